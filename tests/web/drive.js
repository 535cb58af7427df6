// Drives a page in headless Chromium through the DevTools protocol on a pipe
// (no debugging port, no modules beyond Node's own), in real time.
//
// Usage: node drive.js URL STEP...
//   wait EXPR [SECONDS]  until the page's EXPR is true (default 60 s), else exit 1
//   key NAME             press and release a key (Enter, Escape, ArrowUp, ..., F1, q, a)
//   down NAME / up NAME  press or release it
//   sleep SECONDS
//   print EXPR           the page's EXPR on standard output
// Chromium comes from CHROMIUM (default: chromium), with SwiftShader's WebGL.
// CHROMIUM_GPU picks how Chromium draws:
//   swiftshader (default)  everything on SwiftShader: WebGL, and the browser's
//                          compositing of the page (--use-angle=swiftshader)
//   auto                   as Chromium sets itself up where there is no GPU:
//                          WebGL on SwiftShader, the page composited in software
'use strict';
const {spawn} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [url, ...steps] = process.argv.slice(2);
if (!url) {
  console.error('usage: node drive.js URL STEP... (see the file)');
  process.exit(2);
}
const gpu = process.env.CHROMIUM_GPU || 'swiftshader';
if (gpu !== 'swiftshader' && gpu !== 'auto') {
  console.error(`drive.js: CHROMIUM_GPU must be swiftshader or auto, not ${gpu}`);
  process.exit(2);
}
const gpuFlags = gpu === 'swiftshader' ? ['--use-angle=swiftshader'] : [];
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tarvelin-drive-'));
const browser = spawn(process.env.CHROMIUM || 'chromium', [
  '--headless=new', '--no-sandbox', '--enable-unsafe-swiftshader', ...gpuFlags,
  '--remote-debugging-pipe', '--window-size=1024,768', `--user-data-dir=${profile}`, 'about:blank',
], {stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe']});
const toBrowser = browser.stdio[3], fromBrowser = browser.stdio[4];
// The browser's end of the pipes goes when it closes: that is no failure of ours.
toBrowser.on('error', () => {});
fromBrowser.on('error', () => {});

let nextId = 1, buffered = '';
const pending = new Map();
fromBrowser.on('data', (chunk) => {
  buffered += chunk.toString('utf8');
  let end;
  while ((end = buffered.indexOf('\0')) >= 0) {
    const message = JSON.parse(buffered.slice(0, end));
    buffered = buffered.slice(end + 1);
    const waiter = pending.get(message.id);
    if (waiter) {
      pending.delete(message.id);
      message.error ? waiter.reject(new Error(JSON.stringify(message.error))) : waiter.resolve(message.result);
    }
  }
});
function send(method, params = {}, sessionId) {
  const id = nextId++;
  toBrowser.write(JSON.stringify({id, method, params, ...(sessionId ? {sessionId} : {})}) + '\0');
  return new Promise((resolve, reject) => pending.set(id, {resolve, reject}));
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const KEYS = {
  Enter: [13, 'Enter', '\r'], Escape: [27, 'Escape'], ArrowLeft: [37, 'ArrowLeft'], ArrowUp: [38, 'ArrowUp'],
  ArrowRight: [39, 'ArrowRight'], ArrowDown: [40, 'ArrowDown'], F1: [112, 'F1'], q: [81, 'KeyQ', 'q'], a: [65, 'KeyA', 'a'],
};

async function main() {
  const {targetId} = await send('Target.createTarget', {url: 'about:blank'});
  const {sessionId} = await send('Target.attachToTarget', {targetId, flatten: true});
  const evaluate = async (expression) => {
    const {result, exceptionDetails} = await send('Runtime.evaluate', {expression, returnByValue: true}, sessionId);
    if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.text}`);
    return result.value;
  };
  const key = (type, name) => {
    const [code, codeName, text] = KEYS[name] || [];
    if (!code) throw new Error(`unknown key ${name}`);
    return send('Input.dispatchKeyEvent', {
      type: type === 'down' ? (text ? 'keyDown' : 'rawKeyDown') : 'keyUp', windowsVirtualKeyCode: code,
      code: codeName, key: text && text !== '\r' ? text : codeName.replace(/^Key/, ''), ...(type === 'down' && text ? {text} : {}),
    }, sessionId);
  };
  await send('Page.enable', {}, sessionId);
  await send('Page.navigate', {url}, sessionId);
  for (let k = 0; k < steps.length; ++k) {
    const step = steps[k];
    if (step === 'wait') {
      const expression = steps[++k];
      const seconds = /^[0-9.]+$/.test(steps[k + 1] || '') ? Number(steps[++k]) : 60;
      const deadline = Date.now() + seconds * 1000;
      // Until the page has loaded its script, the expression may throw: not yet.
      const holds = () => evaluate(`(() => { try { return !!(${expression}); } catch (e) { return false; } })()`);
      while (!(await holds())) {
        if (Date.now() > deadline) throw new Error(`waited ${seconds} s for ${expression}`);
        await sleep(100);
      }
    } else if (step === 'key') {
      await key('down', steps[++k]);
      await key('up', steps[k]);
    } else if (step === 'down' || step === 'up') {
      await key(step, steps[++k]);
    } else if (step === 'sleep') {
      await sleep(Number(steps[++k]) * 1000);
    } else if (step === 'print') {
      console.log(await evaluate(steps[++k]));
    } else {
      throw new Error(`unknown step ${step}`);
    }
  }
}

main().then(() => 0, (error) => { console.error(`drive.js: ${error.message}`); return 1; }).then((code) => {
  send('Browser.close').catch(() => {});
  setTimeout(() => {
    browser.kill();
    try {
      fs.rmSync(profile, {recursive: true, force: true});
    } catch (error) {
      // Chromium may still be writing its profile as it goes; the folder is a temporary one.
    }
    process.exit(code);
  }, 500);
});
