#!/usr/bin/env bash
# Where tarvelin_render's dumps and frames may go, what they may replace, and
# what is left after a full disk, a kill or two renderers racing: standard
# output, a FIFO, a device, symbolic links, read-only files, missing folders.
set -u
shopt -s nullglob
render=$1
# Dumps are 80 MB and flushed to disk before they replace anything; on tmpfs
# that flush costs nothing. Device nodes need a file system without nodev.
base=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
work=$(mktemp -d -p "$base")
devices=$(mktemp -d)
trap 'rm -rf "$work" "$devices"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect_names FOLDER NAME...: the folder holds exactly these names, hidden ones included.
expect_names() {
  local folder=$1 want got
  shift
  want=$(printf '%s\n' "$@" | sort)
  got=$(ls -A "$folder" | sort)
  [ "$got" = "$want" ] || fail "$folder holds [$(echo $got)], expected [$(echo $want)]"
}
# expect_failure RC WHAT: the last run exited RC with one line on stderr.
expect_failure() {
  local rc=$1 want=$2 what=$3
  [ "$rc" -eq "$want" ] || fail "$what exited $rc, expected $want"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$what printed $(wc -l <"$work/err") lines on stderr: $(cat "$work/err")"
}

"$render" --frames 0 --dump-world "$work/interactive.tvwd" || fail "reference dump failed"
"$render" --saver --frames 0 --dump-world "$work/saver.tvwd" || fail "saver reference dump failed"
cmp -s "$work/interactive.tvwd" "$work/saver.tvwd" && fail "the two programs dumped the same world"

# Standard output; not together with the text of --bench or --summary.
"$render" --frames 0 --dump-world - >"$work/stdout.tvwd" 2>"$work/err" || fail "--dump-world - failed"
cmp -s "$work/stdout.tvwd" "$work/interactive.tvwd" || fail "--dump-world - wrote a different dump"
[ -s "$work/err" ] && fail "--dump-world - printed on stderr: $(cat "$work/err")"
[ -e ./- ] && fail "--dump-world - made a file named '-'"
"$render" --frames 0 --dump-world - --bench >/dev/null 2>"$work/err"
expect_failure $? 2 "--dump-world - --bench"

# A FIFO is written to, not replaced.
mkdir "$work/fifo"
mkfifo "$work/fifo/pipe"
cat "$work/fifo/pipe" >"$work/from-fifo.tvwd" &
reader=$!
timeout 120 "$render" --frames 0 --dump-world "$work/fifo/pipe" || fail "dump into a FIFO failed"
wait $reader
cmp -s "$work/from-fifo.tvwd" "$work/interactive.tvwd" || fail "the FIFO's reader got a different dump"
[ -p "$work/fifo/pipe" ] || fail "the FIFO was replaced"
expect_names "$work/fifo" pipe

# A character device: a null device of our own, never the system's.
if mknod "$devices/null" c 1 3 2>/dev/null && echo probe >"$devices/null" 2>/dev/null; then
  "$render" --frames 0 --dump-world "$devices/null" 2>"$work/err" || fail "dump into a null device failed: $(cat "$work/err")"
  [ -c "$devices/null" ] || fail "the null device was replaced by: $(ls -l "$devices/null")"
  [ "$(stat -c %t:%T "$devices/null")" = "1:3" ] || fail "the null device changed its numbers"
  expect_names "$devices" null
else
  echo "render_output: no device node test (mknod needs root and a file system without nodev)"
fi

# A symbolic link is followed; the file it points to is replaced, the link stays.
mkdir -p "$work/links/real"
echo earlier >"$work/links/real/world.tvwd"
ln -s real/world.tvwd "$work/links/world.tvwd"
ln -s real/new.tvwd "$work/links/dangling.tvwd"
"$render" --frames 0 --dump-world "$work/links/world.tvwd" || fail "dump through a link failed"
"$render" --saver --frames 0 --dump-world "$work/links/dangling.tvwd" || fail "dump through a dangling link failed"
[ -L "$work/links/world.tvwd" ] && [ -L "$work/links/dangling.tvwd" ] || fail "a link was replaced"
cmp -s "$work/links/real/world.tvwd" "$work/interactive.tvwd" || fail "the linked file does not hold the dump"
cmp -s "$work/links/real/new.tvwd" "$work/saver.tvwd" || fail "the dangling link's file does not hold the dump"
expect_names "$work/links/real" world.tvwd new.tvwd

# A name of 250 characters (the old temporary's added suffix made it too
# long), and a user's own file named like that temporary.
long=$(printf 'n%.0s' $(seq 250))
mkdir "$work/names"
"$render" --frames 0 --dump-world "$work/names/$long" 2>"$work/err" || fail "a 250-character name failed: $(cat "$work/err")"
cmp -s "$work/names/$long" "$work/interactive.tvwd" || fail "the 250-character name does not hold the dump"
echo mine >"$work/names/world.tvwd.partial"
"$render" --frames 0 --dump-world "$work/names/world.tvwd" || fail "a dump beside a .partial file failed"
[ "$(cat "$work/names/world.tvwd.partial")" = mine ] || fail "a user's file named NAME.partial was overwritten"
expect_names "$work/names" "$long" world.tvwd world.tvwd.partial

# Bad targets fail at once, before any frame is drawn (a hundred million frames
# would take days), with one line and exit code 1, and leave things as they were.
mkdir "$work/ro"
echo earlier >"$work/ro/world.tvwd"
chmod 444 "$work/ro/world.tvwd"
timeout 60 "$render" --frames 100000000 --dump-world "$work/ro/world.tvwd" >/dev/null 2>"$work/err"
expect_failure $? 1 "a dump onto a read-only file"
grep -q "ro/world.tvwd" "$work/err" || fail "the read-only message does not name the file"
[ "$(cat "$work/ro/world.tvwd")" = earlier ] || fail "the read-only file was changed"
[ "$(stat -c %a "$work/ro/world.tvwd")" = 444 ] || fail "the read-only file's mode changed"
expect_names "$work/ro" world.tvwd
timeout 60 "$render" --frames 100000000 --dump-world "$work/missing/world.tvwd" >/dev/null 2>"$work/err"
expect_failure $? 1 "a dump into a missing folder"
[ -e "$work/missing" ] && fail "a dump into a missing folder created it"
timeout 60 "$render" --frames 100000000 --dump-world "$work/fifo" >/dev/null 2>"$work/err"
expect_failure $? 1 "a dump onto a folder"
touch "$work/plain"
timeout 60 "$render" --frames 100000000 --shot 1 --out "$work/plain/shots" >/dev/null 2>"$work/err"
expect_failure $? 1 "frames into a folder under a file"
# A frame's file that cannot be replaced, however late its frame comes.
mkdir -p "$work/ro-png/frame-000005.png"
timeout 60 "$render" --frames 100000000 --shot 1,5 --out "$work/ro-png" >/dev/null 2>"$work/err"
expect_failure $? 1 "a frame onto a folder"
grep -q "frame-000005.png" "$work/err" || fail "the message for a frame onto a folder does not name it: $(cat "$work/err")"
rmdir "$work/ro-png/frame-000005.png"
echo earlier >"$work/ro-png/frame-002000.png"
chmod 444 "$work/ro-png/frame-002000.png"
timeout 60 "$render" --frames 100000000 --shot all --out "$work/ro-png" >/dev/null 2>"$work/err"
expect_failure $? 1 "frames onto a read-only frame"
[ "$(cat "$work/ro-png/frame-002000.png")" = earlier ] || fail "the read-only frame was changed"
expect_names "$work/ro-png" frame-002000.png

# A full disk (a file-size limit): the earlier file stays, no temporary is left.
mkdir "$work/full"
echo earlier >"$work/full/world.tvwd"
(ulimit -f 1024 && exec "$render" --frames 0 --dump-world "$work/full/world.tvwd") 2>"$work/err"
expect_failure $? 1 "a dump past the file-size limit"
[ "$(cat "$work/full/world.tvwd")" = earlier ] || fail "a failed dump changed the earlier file"
expect_names "$work/full" world.tvwd
mkdir "$work/full-png"
echo earlier >"$work/full-png/frame-000003.png"
(ulimit -f 4 && exec "$render" --frames 3 --shot 3 --out "$work/full-png") >/dev/null 2>"$work/err"
expect_failure $? 1 "a frame past the file-size limit"
[ "$(cat "$work/full-png/frame-000003.png")" = earlier ] || fail "a failed frame write changed the earlier frame"
expect_names "$work/full-png" frame-000003.png
# A video: a read-only file is refused before the first frame; a write that
# fails in the writer's thread ends the run, the earlier file kept.
mkdir "$work/video"
echo earlier >"$work/video/ro.mkv"
chmod 444 "$work/video/ro.mkv"
timeout 60 "$render" --frames 100000000 --video "$work/video/ro.mkv" >/dev/null 2>"$work/err"
expect_failure $? 1 "a video onto a read-only file"
echo earlier >"$work/video/swim.mkv"
(ulimit -f 16 && exec timeout 120 "$render" --frames 100000000 --video "$work/video/swim.mkv") 2>"$work/err"
expect_failure $? 1 "a video past the file-size limit"
grep -q "writing video '$work/video/swim.mkv' failed" "$work/err" || fail "the failed video said: $(cat "$work/err")"
[ "$(cat "$work/video/swim.mkv")" = earlier ] || fail "a failed video changed the earlier file"
expect_names "$work/video" ro.mkv swim.mkv

# writing PID FOLDER: whether PID is writing a file in FOLDER: a nameless one
# (O_TMPFILE; its link reads FOLDER/#INODE (deleted)) or a hidden temporary.
writing() {
  [ -n "$(find "/proc/$1/fd" -lname "$2/#*" -print -quit 2>/dev/null)" ] || compgen -G "$2/.tarvelin-*" >/dev/null
}

# kill_at_temporary FOLDER SIGNAL AFTER COMMAND...: starts the command, stops
# it as soon as it is writing a file in FOLDER beside AFTER finished files,
# sends SIGNAL and lets it go on. Sets `killed_rc` to its exit code, or -1
# when it finished first.
kill_at_temporary() {
  local folder=$1 sig=$2 after=$3 pid seen=0 files
  shift 3
  env --default-signal=INT "$@" >/dev/null 2>&1 &
  pid=$!
  while kill -0 $pid 2>/dev/null; do
    writing $pid "$folder" || continue
    files=("$folder"/*)
    [ ${#files[@]} -ge "$after" ] || continue
    # Stopped while still writing, or it finished too soon.
    kill -STOP $pid 2>/dev/null && writing $pid "$folder" && seen=1
    break
  done
  [ $seen -eq 1 ] && kill -"$sig" $pid
  kill -CONT $pid 2>/dev/null
  wait $pid
  killed_rc=$?
  [ $seen -eq 1 ] || killed_rc=-1
}

# Killed mid-write: the earlier dump survives and nothing is left, even after SIGKILL.
mkdir "$work/kill"
for sig in TERM INT KILL; do
  for attempt in $(seq 1 10); do
    cp "$work/saver.tvwd" "$work/kill/world.tvwd"
    kill_at_temporary "$work/kill" $sig 1 "$render" --frames 0 --dump-world "$work/kill/world.tvwd"
    [ $killed_rc -ne -1 ] && break
  done
  [ $killed_rc -eq $((128 + $(kill -l $sig))) ] || fail "SIG$sig during a dump: exit code $killed_rc"
  cmp -s "$work/kill/world.tvwd" "$work/saver.tvwd" || fail "SIG$sig during a dump changed the earlier file"
  expect_names "$work/kill" world.tvwd
done
# Where a file system has no nameless files, the next run removes what a killed one left.
dead=$(sh -c 'echo $$')
echo half >"$work/kill/.tarvelin-$dead-0.partial"
"$render" --frames 0 --dump-world "$work/kill/world.tvwd" || fail "a dump beside a leftover failed"
expect_names "$work/kill" world.tvwd

# Killed while writing frames: every frame written is whole, no temporary is left.
"$render" --frames 20 --shot all --out "$work/frames" >/dev/null || fail "reference frames failed"
"$render" --soft --frames 20 --shot all --out "$work/soft-frames" >/dev/null || fail "reference soft frames failed"
# A frame's temporary lives for a moment only: a few tries may be needed to catch one.
for attempt in $(seq 1 10); do
  rm -rf "$work/kill-frames"
  mkdir "$work/kill-frames"
  kill_at_temporary "$work/kill-frames" TERM 5 "$render" --frames 20 --shot all --out "$work/kill-frames"
  [ $killed_rc -ne -1 ] && break
done
[ $killed_rc -eq 143 ] || fail "SIGTERM while writing frames: exit code $killed_rc"
[ "$(ls "$work/kill-frames" | wc -l)" -ge 5 ] || fail "SIGTERM while writing frames: $(ls "$work/kill-frames" | wc -l) frames written"
ls -A "$work/kill-frames" | grep -q '^\.' && fail "SIGTERM while writing frames left $(ls -A "$work/kill-frames" | grep '^\.')"
for f in "$work"/kill-frames/*.png; do
  cmp -s "$f" "$work/frames/${f##*/}" || fail "SIGTERM while writing frames left a damaged ${f##*/}"
done

# Two renderers on one path and on one folder: each file is whole, the last one wins.
mkdir "$work/race"
for round in 1 2; do
  "$render" --frames 0 --dump-world "$work/race/world.tvwd" &
  first=$!
  "$render" --saver --frames 0 --dump-world "$work/race/world.tvwd" &
  second=$!
  wait $first || fail "the first of two dumps on one path failed"
  wait $second || fail "the second of two dumps on one path failed"
  cmp -s "$work/race/world.tvwd" "$work/interactive.tvwd" || cmp -s "$work/race/world.tvwd" "$work/saver.tvwd" ||
    fail "two dumps on one path left a file that is neither"
  expect_names "$work/race" world.tvwd
done
"$render" --frames 20 --shot all --out "$work/race-frames" >/dev/null &
first=$!
"$render" --soft --frames 20 --shot all --out "$work/race-frames" >/dev/null &
second=$!
wait $first || fail "the first of two renderers on one folder failed"
wait $second || fail "the second of two renderers on one folder failed"
[ "$(ls -A "$work/race-frames" | wc -l)" -eq 20 ] || fail "two renderers on one folder left $(ls -A "$work/race-frames" | wc -l) files"
for f in "$work"/race-frames/*.png; do
  cmp -s "$f" "$work/frames/${f##*/}" || cmp -s "$f" "$work/soft-frames/${f##*/}" ||
    fail "two renderers on one folder left a damaged ${f##*/}"
done

echo "render_output: $failures failure(s)"
[ $failures -eq 0 ]
