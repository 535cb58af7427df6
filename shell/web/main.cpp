// The lake in a web page: the platform on the page's canvas (EGL, WebGL 2), the keys of the page, the browser's frames.
//
// The page (page.html) shows a loading line while the world is generated,
// the start questions as a box of its own, and the end of a swim; it hands
// the address's parameters over as options: saver, frames=N, keys=SCRIPT,
// soft, bench. With frames=N the program runs N frames as fast as the browser
// lets it, the canvas at the design size, the keys from keys=SCRIPT (from the
// keyboard where there is none); then the page's title says "done N" and the
// last frame is in <img id="last-frame">.
#include <EGL/egl.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include <GLES3/gl3.h>

#include "bench/frame_times.h"
#include "common/gl_functions.h"
#include "common/key_script.h"
#include "common/keys.h"
#include "common/world.h"
#include "lakebed/fog.h"
#include "scene/frame.h"
#include "shell/messages.h"
#include "shell/program.h"
#include "shell/web/web_font.h"
#include "shell/web/web_scene.h"

namespace {

// What the address asked for.
struct page_options {
    bool saver = false;
    bool soft = false;  // a test run in the 640 x 480 soft mode
    long frames = 0;  // 0: an ordinary swim, paced by the browser
    std::vector<key_hold> keys;
    bool bench = false;
};
page_options options;
program_kind kind = PROGRAM_VIEWER;
const program_scene* scene = &web_scene;

EGLDisplay display = EGL_NO_DISPLAY;
EGLSurface surface = EGL_NO_SURFACE;
EGLContext context = EGL_NO_CONTEXT;

std::deque<platform_event> events;
int canvas_width = 0, canvas_height = 0;

// Keys pressed since the last frame: a key let go before any frame saw it
// pressed waits for the next frame, so that a short tap always counts.
bool pressed_unseen[KEY_TABLE_SIZE] = {};

// The run's state: frames drawn, the script key whose event comes next.
long frame = 0;
int next_key = 0;
bool frame_drawn = false;   // swap_buffers was called in this turn
bool wait_refused = false;  // the pacing asked to wait: the next animation frame is the wait
double frame_start_ms = 0, page_start_ms = 0;
bool title_frame = false;
std::vector<double> main_times;
double first_title_ms = -1;
double generation_ms = 0;
// How far the pacing's clock has been moved on to deadlines it did not wait for.
int64_t clock_skew_ns = 0;

// The canvas's size in device pixels as the page lays it out; the design
// size in a test run, so that its frames are the reference frames.
void canvas_layout_size(int& width, int& height)
{
    if (options.frames > 0) {
        width = world.mode_width;
        height = world.mode_height;
        return;
    }
    double css_width = 0, css_height = 0;
    emscripten_get_element_css_size("#canvas", &css_width, &css_height);
    const double ratio = emscripten_get_device_pixel_ratio();
    width = std::max(1, (int)(css_width * ratio + 0.5));
    height = std::max(1, (int)(css_height * ratio + 0.5));
}

// Gives the canvas's drawing buffer the size the page lays it out at, and
// reports a new size as a resize.
void follow_canvas_size()
{
    int width, height;
    canvas_layout_size(width, height);
    if (width == canvas_width && height == canvas_height) return;
    emscripten_set_canvas_element_size("#canvas", width, height);
    canvas_width = width;
    canvas_height = height;
    platform_event event = {};
    event.kind = PLATFORM_EVENT_RESIZE;
    event.width = width;
    event.height = height;
    events.push_back(event);
}

int virtual_key(const EmscriptenKeyboardEvent& e)
{
    const std::string code = e.code, key = e.key;
    if (code == "ArrowUp") return VK_CODE_UP;
    if (code == "ArrowDown") return VK_CODE_DOWN;
    if (code == "ArrowLeft") return VK_CODE_LEFT;
    if (code == "ArrowRight") return VK_CODE_RIGHT;
    if (code == "Escape") return VK_CODE_ESCAPE;
    if (code == "F1") return VK_CODE_F1;
    // Q and A by their labels; where the layout has no Latin letters, by their places.
    if (key == "q" || key == "Q" || (key.size() != 1 && code == "KeyQ")) return VK_CODE_Q;
    if (key == "a" || key == "A" || (key.size() != 1 && code == "KeyA")) return VK_CODE_A;
    return -1;
}

EM_BOOL on_key(int type, const EmscriptenKeyboardEvent* e, void*)
{
    const int key = virtual_key(*e);
    if (key < 0 || context == EGL_NO_CONTEXT) return EM_FALSE;
    // A test run with a key script takes its keys from the script only.
    if (options.keys.empty()) {
        platform_event event = {};
        event.kind = type == EMSCRIPTEN_EVENT_KEYDOWN ? PLATFORM_EVENT_KEY_DOWN : PLATFORM_EVENT_KEY_UP;
        event.key = key;
        events.push_back(event);
    }
    return EM_TRUE;  // the page neither scrolls nor opens its help
}

bool open_display(message_id&)
{
    return true;
}

// Full screen is the browser's to grant, at the next key or click.
bool enter_display_mode(int, int, int)
{
    if (options.frames > 0) return true;
    EmscriptenFullscreenStrategy strategy = {};
    strategy.scaleMode = EMSCRIPTEN_FULLSCREEN_SCALE_DEFAULT;
    strategy.canvasResolutionScaleMode = EMSCRIPTEN_FULLSCREEN_CANVAS_SCALE_NONE;
    strategy.filteringMode = EMSCRIPTEN_FULLSCREEN_FILTERING_DEFAULT;
    emscripten_request_fullscreen_strategy("#page", EM_TRUE, &strategy);
    return true;
}

void leave_display_mode()
{
    EmscriptenFullscreenChangeEvent status;
    if (emscripten_get_fullscreen_status(&status) == EMSCRIPTEN_RESULT_SUCCESS && status.isFullscreen)
        emscripten_exit_fullscreen();
}

// The browser leaves full screen on its own (its Escape, a switch of tab):
// the program then holds a window, so that the next F1 asks for full screen
// again rather than leaving a full screen that is already gone.
EM_BOOL on_fullscreen_change(int, const EmscriptenFullscreenChangeEvent* e, void*)
{
    if (!e->isFullscreen) world.fullscreen = false;
    return EM_FALSE;
}

const char* egl_failure = nullptr;

bool open_window(const window_request&, message_id& failure)
{
    failure = MESSAGE_NO_RENDERING_CONTEXT;
    egl_failure = nullptr;
    display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        egl_failure = "no EGL display";
        return false;
    }
    const EGLint attributes[] = {EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 24,
                                 EGL_SAMPLE_BUFFERS, 0, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) {
        failure = MESSAGE_NO_PIXEL_FORMAT;
        return false;
    }
    surface = eglCreateWindowSurface(display, config, 0, nullptr);
    const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 3, EGL_NONE};
    context = surface == EGL_NO_SURFACE ? EGL_NO_CONTEXT : eglCreateContext(display, config, EGL_NO_CONTEXT, version);
    if (context == EGL_NO_CONTEXT) {
        egl_failure = "this browser offers no WebGL 2";
        return false;
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        failure = MESSAGE_ACTIVATE_CONTEXT_FAILED;
        return false;
    }
    std::string why;
    if (!use_web_drawing(why)) {
        static std::string cause;
        cause = why;
        egl_failure = cause.c_str();
        failure = MESSAGE_INITIALIZATION_FAILED;
        return false;
    }
    canvas_width = canvas_height = 0;
    follow_canvas_size();
    return true;
}

bool has_context()
{
    return context != EGL_NO_CONTEXT;
}

void close_window()
{
    if (display == EGL_NO_DISPLAY) return;
    if (context != EGL_NO_CONTEXT) release_web_drawing();
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
    if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
    context = EGL_NO_CONTEXT;
    surface = EGL_NO_SURFACE;
}

// The last frame as a PNG data address in <img id="last-frame">, the title
// "done N", and with `bench` the figures in <pre id="bench">.
void report_test_run()
{
    EM_ASM({ document.getElementById('last-frame').src = document.getElementById('canvas').toDataURL('image/png'); });
    if (options.bench) {
        const frame_times main_view = summarise_frame_times(main_times);
        char text[256];
        std::snprintf(text, sizeof text,
                      "main-view frame time: median %.2f ms, 95th percentile %.2f ms\n"
                      "main-view frames: %zu\nfirst title frame: %.0f ms after the page's start\n"
                      "world generation: %.0f ms\n",
                      main_view.median, main_view.p95, main_times.size(), first_title_ms, generation_ms);
        EM_ASM({ document.getElementById('bench').textContent = UTF8ToString($0); }, text);
    }
    EM_ASM({ document.body.dataset.drawing = UTF8ToString($1); document.title = 'done ' + $0; }, (int)frame,
           WEB_DRAWING);
}

void swap_buffers()
{
    // The browser shows the canvas as the frame's drawing left it: what the
    // drawing path still holds belongs to this frame.
    if (gl_draw_held_primitives) gl_draw_held_primitives();
    ++frame;
    next_key = 0;
    frame_drawn = true;
    std::fill(std::begin(pressed_unseen), std::end(pressed_unseen), false);
    if (options.bench) {
        // The frame counts once the GPU has drawn it.
        unsigned char pixel[4];
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        const double ms = emscripten_get_now() - frame_start_ms;
        if (!title_frame) main_times.push_back(ms);
    }
    if (title_frame && first_title_ms < 0) first_title_ms = emscripten_get_now() - page_start_ms;
    // The browser shows the canvas when this task ends; a test run's last
    // frame is read before it does.
    if (options.frames > 0 && frame == options.frames) report_test_run();
}

bool poll_event(platform_event& event)
{
    event = {};
    if (options.frames > 0) {
        if (frame >= options.frames) {
            event.kind = PLATFORM_EVENT_QUIT;
            return true;
        }
        // The script's keys before each frame, as tarvelin_render sends them.
        if (!options.keys.empty() && next_key < (int)std::size(SCRIPT_KEYS)) {
            const int key = SCRIPT_KEYS[next_key++].code;
            event.kind = key_held(options.keys, key, frame + 1) ? PLATFORM_EVENT_KEY_DOWN : PLATFORM_EVENT_KEY_UP;
            event.key = key;
            return true;
        }
    }
    if (!events.empty()) {
        const platform_event& next = events.front();
        const bool key = next.key >= 0 && next.key < KEY_TABLE_SIZE;
        if (!(next.kind == PLATFORM_EVENT_KEY_UP && key && pressed_unseen[next.key])) {
            event = next;
            events.pop_front();
            if (event.kind == PLATFORM_EVENT_KEY_DOWN && key) pressed_unseen[event.key] = true;
            return true;
        }
    }
    title_frame = world.title_running;
    frame_start_ms = emscripten_get_now();
    return false;
}

int64_t now_ns()
{
    return (int64_t)(emscripten_get_now() * 1e6) + clock_skew_ns;
}

// The browser calls the loop once per animation frame: a frame that is due
// within a few milliseconds is drawn now (the animation frame was the
// wait), a later one at the next animation frame. A test run never waits.
bool wait_until(int64_t deadline_ns)
{
    const int64_t early = deadline_ns - now_ns();
    if (options.frames > 0 || early <= 4000000) {
        if (early > 0) clock_skew_ns += early;
        return true;
    }
    wait_refused = true;
    return false;
}

message_answer message_box(message_id id)
{
    const message_text& box = message_text_of(id);
    EM_ASM({ showMessage(UTF8ToString($0), UTF8ToString($1)); }, box.caption, box.text);
    return box.buttons == MESSAGE_BUTTONS_OK ? ANSWER_OK : ANSWER_NO;
}

const char* failure_cause()
{
    return egl_failure;
}

const platform web_platform = {
    nullptr, nullptr, open_display, enter_display_mode, leave_display_mode, open_window, has_context,
    close_window, swap_buffers, poll_event, now_ns, wait_until, message_box, web_font, failure_cause, nullptr,
};

// The end of a swim: Escape, or a test run's last frame.
void end_swim()
{
    emscripten_cancel_main_loop();
    close_program_window(web_platform);
    // Escape ended it (a test run that ran its frames has said so already).
    if (frame < options.frames || options.frames == 0) EM_ASM({ showEnded(); });
}

// One animation frame: the events that came, then at most one frame.
void animation_frame()
{
    if (options.frames == 0) follow_canvas_size();
    frame_drawn = false;
    while (!world.done) {
        wait_refused = false;
        if (!run_loop_turn(web_platform, *scene)) {
            // The window could not be opened again after F1; it has been reported.
            emscripten_cancel_main_loop();
            return;
        }
        if (frame_drawn || wait_refused) break;
    }
    if (world.done) end_swim();
}

void start_swim()
{
    reset_program_loop();
    if (!open_program_window(web_platform, *scene)) return;
    emscripten_set_main_loop(animation_frame, 0, 0);
    // A test run draws as fast as it can, not once per animation frame.
    if (options.frames > 0) emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 0);
}

// The two questions, asked by the page one after the other.
program_options answers;
int question = 0;

void ask_next_question()
{
    const message_id id = question == 0 ? MESSAGE_ASK_FULLSCREEN : MESSAGE_ASK_SOFT_MODE;
    const message_text& box = message_text_of(id);
    EM_ASM({ askQuestion(UTF8ToString($0), UTF8ToString($1)); }, box.caption, box.text);
}

void generate_world(void*)
{
    const double start = emscripten_get_now();
    start_program(kind, &web_platform);
    generation_ms = emscripten_get_now() - start;
    EM_ASM({ document.getElementById('loading').hidden = true; });
    if (kind == PROGRAM_VIEWER && options.frames == 0) {
        ask_next_question();
        return;
    }
    if (options.frames > 0) {
        // As tarvelin_render runs it: the default window, never full screen.
        world.fullscreen = false;
        if (kind == PROGRAM_VIEWER) set_soft_mode(options.soft);
    }
    start_swim();
}

// The page has painted the loading line: generate the world in the next task.
EM_BOOL painted(double, void*)
{
    emscripten_async_call(generate_world, nullptr, 0);
    return EM_FALSE;
}

bool parse_page_options(int argc, char** argv, std::string& error)
{
    for (int k = 1; k < argc; ++k) {
        const std::string name = argv[k];
        const std::string value = k + 1 < argc ? argv[k + 1] : "";
        if (name == "saver") {
            options.saver = true;
        } else if (name == "soft") {
            options.soft = true;
        } else if (name == "bench") {
            options.bench = true;
        } else if (name == "frames") {
            if (!parse_count(value, 1, FRAME_LIMIT, options.frames)) {
                error = "frames takes a whole number from 1 to " + std::to_string(FRAME_LIMIT) + ", not '" + value + "'";
                return false;
            }
            ++k;
        } else if (name == "keys") {
            if (!parse_key_script(value, options.keys, error)) return false;
            ++k;
        } else {
            error = "unknown parameter '" + name + "'";
            return false;
        }
    }
    if (options.saver && options.soft) {
        error = "soft is a mode of the interactive program and cannot be used with saver";
        return false;
    }
    if (options.soft && options.frames == 0) {
        error = "soft is for test runs with frames=N; otherwise the start question asks";
        return false;
    }
    return true;
}

}  // namespace

extern "C" {

// Where the swim stands, for tests that drive the page: frames drawn, whether
// the title runs, whether the swim has ended, the camera's yaw and pitch.
EMSCRIPTEN_KEEPALIVE const char* web_status()
{
    static char text[160];
    std::snprintf(text, sizeof text, "frames %ld title %d done %d yaw %.9g pitch %.9g", frame,
                  world.title_running ? 1 : 0, world.done ? 1 : 0, (double)world.camera_yaw,
                  (double)world.camera_pitch);
    return text;
}

// The page's answer to the question it shows: 1 for Yes, 0 for No.
EMSCRIPTEN_KEEPALIVE void web_answer(int yes)
{
    if (question == 0) {
        answers.fullscreen = yes ? PRESET_YES : PRESET_NO;
        question = 1;
        ask_next_question();
        return;
    }
    answers.soft = yes ? PRESET_YES : PRESET_NO;
    question = 2;
    EM_ASM({ document.getElementById('question').hidden = true; });
    ask_start_questions(web_platform, answers);
    start_swim();
}

}

int main(int argc, char** argv)
{
    page_start_ms = 0;  // performance.now() counts from the page's start
    std::string error;
    if (!parse_page_options(argc, argv, error)) {
        EM_ASM({ showMessage('tarvelin', UTF8ToString($0)); }, error.c_str());
        return 2;
    }
    kind = options.saver ? PROGRAM_SAVER : PROGRAM_VIEWER;
    // Drawn at the design size and fitted to the canvas, whatever its size.
    program_options picture;
    picture.resolution = RESOLUTION_DESIGN;
    use_picture_options(picture);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, on_key);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, on_key);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, on_fullscreen_change);
    emscripten_request_animation_frame(painted, nullptr);
    return 0;
}
