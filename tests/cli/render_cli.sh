#!/usr/bin/env bash
# tarvelin_render's exit codes and messages, its version and icons, and the
# world dumps of both builds. Usage: render_cli.sh TARVELIN_RENDER VERSION
set -u
render=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expect_usage_error() {
  "$render" "$@" >"$work/out" 2>"$work/err"
  local rc=$?
  [ $rc -eq 2 ] || fail "'$*' exited $rc, expected 2"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "'$*' printed $(wc -l <"$work/err") lines on stderr"
  grep -q ' (see --help)$' "$work/err" || fail "'$*' said '$(cat "$work/err")', with no '(see --help)'"
  [ -s "$work/out" ] && fail "'$*' printed on stdout"
}
expect_usage_error --bogus
expect_usage_error --frames
expect_usage_error --frames x
expect_usage_error --frames 10 --keys "up@3-1"
expect_usage_error --saver --soft --frames 0
expect_usage_error --shot 1,,2
expect_usage_error --icon 8
expect_usage_error --icon 1024
expect_usage_error --icon 32 --frames 10
expect_usage_error --frames 3 --frames 4
expect_usage_error --frames 3 --keys up@4
expect_usage_error --saver --host 16384x16384

out=$("$render" --version 2>"$work/err")
rc=$?
[ $rc -eq 0 ] || fail "--version exited $rc"
[ "$out" = "tarvelin_render $version" ] || fail "--version printed '$out', not 'tarvelin_render $version'"
[ -s "$work/err" ] && fail "--version printed on stderr"
"$render" --help | grep -q -- "--version" || fail "--help does not list --version"

# The icon: an RGBA PNG of the size asked for, in the file asked for.
"$render" --icon 40 --out "$work/icon.png" 2>"$work/err" || fail "--icon 40 failed: $(cat "$work/err")"
[ "$(od -An -tx1 -j16 -N10 "$work/icon.png" | tr -d ' \n')" = 00000028000000280806 ] ||
  fail "--icon 40 did not write a 40 x 40 RGBA PNG file"
(cd "$work" && "$render" --icon 16) || fail "--icon 16 without --out failed"
[ -s "$work/tarvelin-16.png" ] || fail "--icon 16 without --out did not write tarvelin-16.png"
"$render" --icon 32 --out "$work/missing/dir/icon.png" 2>"$work/err"
rc=$?
[ $rc -eq 1 ] || fail "unwritable icon exited $rc, expected 1"
grep -q "missing/dir/icon.png" "$work/err" || fail "unwritable icon message does not name the file"
expect_usage_error --frames 3 --shot 2,5
expect_usage_error --out --frames 1
expect_usage_error --frames 3 --video swim.avi
expect_usage_error --frames 3 --from 2
expect_usage_error --frames 3 --video swim.mkv --from 4
# An option taken for a file name would write an 80 MB dump named "--frames".
(cd "$work" && exec "$render" --dump-world --frames) >/dev/null 2>"$work/err"
rc=$?
[ $rc -eq 2 ] || fail "--dump-world --frames exited $rc, expected 2"
[ -e "$work/--frames" ] && fail "--dump-world --frames wrote a file named --frames"

"$render" --frames 0 >"$work/out" 2>"$work/err" || fail "--frames 0 failed"
[ -s "$work/err" ] && fail "--frames 0 printed on stderr"

"$render" --frames 0 --dump-world "$work/missing/dir/w.tvwd" 2>"$work/err"
rc=$?
[ $rc -eq 1 ] || fail "unwritable dump exited $rc, expected 1"
grep -q "missing/dir/w.tvwd" "$work/err" || fail "unwritable dump message does not name the file"
[ -e "$work/missing" ] && fail "unwritable dump created something"

"$render" --frames 0 --dump-world "$work/i.tvwd" || fail "interactive dump failed"
"$render" --saver --frames 0 --dump-world "$work/s.tvwd" || fail "screensaver dump failed"
for f in i s; do
  [ "$(head -c 4 "$work/$f.tvwd")" = "TVWD" ] || fail "$f.tvwd has no TVWD header"
  [ "$(stat -c %s "$work/$f.tvwd")" -gt 80000000 ] || fail "$f.tvwd is too small"
  [ -e "$work/$f.tvwd.partial" ] && fail "$f.tvwd left a partial file"
done
cmp -s "$work/i.tvwd" "$work/s.tvwd" && fail "the two builds dumped the same world"
"$render" --frames 0 --dump-world "$work/i2.tvwd" && cmp -s "$work/i.tvwd" "$work/i2.tvwd" ||
  fail "two runs dumped different worlds"

"$render" --frames 0 --summary >"$work/out" || fail "--summary failed"
grep -q "500 ribbon weeds" "$work/out" || fail "summary lacks the plant counts"

echo "render_cli: $failures failure(s)"
[ $failures -eq 0 ]
