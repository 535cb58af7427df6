#!/usr/bin/env bash
# cmake --install puts both programs and the viewer's desktop entry in place.
# Usage: install_layout.sh BUILD_DIR OUT_DIR
set -u
build=$1 prefix=$2/install-prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for program in tarvelin tarvelin_saver; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
entry=$prefix/share/applications/tarvelin.desktop
[ -f "$entry" ] || fail "no desktop entry"
[ "$(head -n1 "$entry")" = "[Desktop Entry]" ] || fail "the desktop entry has no [Desktop Entry] group first"
grep -qx 'Type=Application' "$entry" || fail "the desktop entry is no application"
grep -q '^Name=.' "$entry" || fail "the desktop entry has no name"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$exec_line" = "tarvelin" ] || fail "the desktop entry runs \"$exec_line\", not tarvelin"
echo "installed: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
