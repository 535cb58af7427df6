#!/usr/bin/env bash
# cmake --install puts the three programs, the viewer's desktop entry, its
# icons and AppStream metadata, and the manual pages in place.
# Usage: install_layout.sh BUILD_DIR OUT_DIR
set -u
build=$1 prefix=$2/install-prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for program in tarvelin tarvelin_saver tarvelin_render; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
entry=$prefix/share/applications/tarvelin.desktop
[ -f "$entry" ] || fail "no desktop entry"
[ "$(head -n1 "$entry")" = "[Desktop Entry]" ] || fail "the desktop entry has no [Desktop Entry] group first"
grep -qx 'Type=Application' "$entry" || fail "the desktop entry is no application"
grep -q '^Name=.' "$entry" || fail "the desktop entry has no name"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$exec_line" = "tarvelin" ] || fail "the desktop entry runs \"$exec_line\", not tarvelin"

icon=$(sed -n 's/^Icon=//p' "$entry")
[ "$icon" = "tarvelin" ] || fail "the desktop entry's icon is \"$icon\", not tarvelin"
for size in 16 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    # The PNG header: signature, then IHDR with width, height, bit depth 8, colour type 6 (RGBA).
    header=$(od -An -tx1 -j16 -N10 "$png" | tr -d ' \n')
    expected=$(printf '%08x%08x0806' "$size" "$size")
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is no PNG file"
    [ "$header" = "$expected" ] || fail "$png is not a ${size}x${size} 8-bit RGBA image (IHDR $header)"
done
metainfo=$(find "$prefix/share/metainfo" -name '*.metainfo.xml' 2>/dev/null)
[ "$(echo "$metainfo" | grep -c .)" -eq 1 ] || fail "not one AppStream file in share/metainfo: $metainfo"
grep -q '<launchable type="desktop-id">tarvelin.desktop</launchable>' "$metainfo" ||
    fail "the AppStream metadata does not name the installed desktop entry"
for page in man6/tarvelin.6.gz man6/tarvelin_saver.6.gz man1/tarvelin_render.1.gz; do
    [ -f "$prefix/share/man/$page" ] || fail "no manual page share/man/$page"
done
echo "installed: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
