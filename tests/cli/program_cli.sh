#!/usr/bin/env bash
# The command line of tarvelin and tarvelin_saver: --help and --version, bad
# options (a line, the usage, exit code 2, nothing opened), and a program
# that cannot run for want of a display (exit code 1 and its cause).
# Usage: program_cli.sh BIN_DIR
set -u
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Nothing here may reach a display, so none is given.
run() { env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= "$@" >"$work/out" 2>"$work/err"; }

for program in tarvelin tarvelin_saver; do
  run timeout 20 "$bin/$program" --help
  rc=$?
  [ $rc -eq 0 ] || fail "$program --help exited $rc"
  head -1 "$work/out" | grep -q "^usage: $program" || fail "$program --help: no usage line"
  [ -s "$work/err" ] && fail "$program --help wrote on stderr: $(cat "$work/err")"

  run timeout 20 "$bin/$program" --version
  rc=$?
  [ $rc -eq 0 ] || fail "$program --version exited $rc"
  grep -Eqx "$program [0-9]+\.[0-9]+\.[0-9]+" "$work/out" || fail "$program --version printed '$(cat "$work/out")'"

  for bad in --bogus -x --fullscreen=yes stray; do
    run timeout 20 "$bin/$program" "$bad"
    rc=$?
    [ $rc -eq 2 ] || fail "$program $bad exited $rc, expected 2"
    head -1 "$work/err" | grep -q "^$program: .*'$bad'.* (see --help)$" || fail "$program $bad: first line is '$(head -1 "$work/err")'"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$program $bad: more than one line: $(cat "$work/err")"
    [ -s "$work/out" ] && fail "$program $bad printed on stdout"
    # Nothing was opened: no message box was even tried.
    grep -q "message box" "$work/err" && fail "$program $bad tried to show a box"
  done
done

# Two answers to one question, or two windows to draw in: one line, code 2.
for args in "tarvelin --fullscreen --window" "tarvelin --soft --soft" "tarvelin_saver --window-id 1 --window-id 2" \
            "tarvelin_saver -root --root"; do
  run timeout 20 $bin/$args
  rc=$?
  [ $rc -eq 2 ] || fail "'$args' exited $rc, expected 2"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "'$args': not one line: $(cat "$work/err")"
done

# The viewer's options are not the screensaver's.
run timeout 20 "$bin/tarvelin_saver" --window
[ $? -eq 2 ] || fail "tarvelin_saver --window was taken"

# No display: the program cannot run; exit code 1 and a line with the cause.
for program in "tarvelin --window --no-soft" "tarvelin --fullscreen --soft" tarvelin_saver; do
  run timeout 60 $bin/$program
  rc=$?
  [ $rc -eq 1 ] || fail "'$program' without a display exited $rc, expected 1"
  grep -Eq "^${program%% *}: Can't Open The Display\. \(.+\)$" "$work/err" ||
    fail "'$program' without a display: no cause on stderr: $(cat "$work/err")"
  # At once: no question, no world, nothing else said.
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "'$program' without a display said more than one line: $(cat "$work/err")"
done

# A recording that cannot be written: one line naming it, exit code 1, before
# the display and the world.
for program in tarvelin tarvelin_saver; do
  run timeout 20 "$bin/$program" --record "$work/no-such-folder/swim.txt"
  rc=$?
  [ $rc -eq 1 ] || fail "$program --record into a missing folder exited $rc, expected 1"
  grep -q "^$program: cannot write recording '$work/no-such-folder/swim.txt': " "$work/err" ||
    fail "$program --record into a missing folder said: $(cat "$work/err")"
done
run timeout 20 "$bin/tarvelin_saver" --root --record "$work/swim.txt"
[ $? -eq 2 ] || fail "tarvelin_saver --root --record was taken"

[ $failures -eq 0 ] && echo "program command line: all checks passed"
exit $((failures > 0))
