#!/usr/bin/env bash
# The Windows programs carry the icon of shell/win32/tarvelin.ico and version
# information with this version; the screensaver also its name for the
# Windows list. Reads the 64-bit build (scripts/build-windows.sh); skipped
# (exit code 77) when it or wrestool is missing, unless TARVELIN_REQUIRE_WINE=1.
# Usage: windows_resources.sh BIN_DIR ICON VERSION
set -u
bin=$1 icon=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() {
    [ "${TARVELIN_REQUIRE_WINE:-0}" = 1 ] && fail "$* (required here)"
    echo "SKIP: $*"
    exit 77
}
command -v wrestool >/dev/null && command -v icotool >/dev/null || skip "no wrestool and icotool (icoutils)"
[ -f "$bin/tarvelin.exe" ] || skip "no $bin/tarvelin.exe"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# icotool names the images it extracts after the file: both copies are icon.ico.
mkdir "$work/committed"
cp "$icon" "$work/committed/icon.ico"
icotool -x -o "$work/committed" "$work/committed/icon.ico" || fail "$icon is no icon file"
sizes=$(icotool -l "$icon" | grep -o -- '--width=[0-9]*' | cut -d= -f2 | tr '\n' ' ')
[ "$sizes" = "16 32 48 256 " ] || fail "$icon holds sizes '$sizes', not 16 32 48 256"

# version_string FILE KEY: the value of KEY in FILE's version information.
# The block is UTF-16; without its zero bytes each key runs into its value.
version_string() {
    wrestool -x --raw --type=16 "$1" | tr -d '\000' | grep -a -o "$2[ -~]*" | head -n1 | cut -c$((${#2} + 1))-
}

for file in tarvelin.exe tarvelin_saver.exe tarvelin_saver.scr; do
    exe=$bin/$file
    [ -f "$exe" ] || fail "no $exe"
    name=${file%.*}
    wrestool -l "$exe" | grep -q 'type=version' || fail "$file has no version information"
    for key in FileVersion ProductVersion; do
        value=$(version_string "$exe" $key)
        # The next entry's length may follow the value; the version must start it.
        [[ "$value" == "$version"* ]] || fail "$file: $key is '$value', not $version"
    done
    # Each file gives its own name: the .scr is no copy of the .exe.
    version_string "$exe" OriginalFilename | grep -q "^$file" || fail "$file: OriginalFilename is not $file"
    version_string "$exe" InternalName | grep -q "^$name" || fail "$file: InternalName is not $name"
    version_string "$exe" ProductName | grep -q '^Tarvelin' || fail "$file: ProductName is not Tarvelin"
    version_string "$exe" FileDescription | grep -q '^Tarvelin lake bottom' || fail "$file: no FileDescription"

    # The icon group is the committed icon, image for image.
    mkdir "$work/$file"
    wrestool -x --type=14 "$exe" -o "$work/$file/icon.ico" || fail "$file has no icon"
    icotool -x -o "$work/$file" "$work/$file/icon.ico" || fail "$file: the icon does not read back"
    for png in "$work/committed"/*.png; do
        cmp -s "$png" "$work/$file/$(basename "$png")" || fail "$file: $(basename "$png") differs from $icon"
    done
    echo "ok   $file: version $version, icon $sizes"
done
wrestool -x --raw --type=6 "$bin/tarvelin_saver.scr" | tr -d '\000' | grep -aq 'Tarvelin lake bottom' ||
    fail "tarvelin_saver.scr has no name for the screensaver list (string 1)"
wrestool -l "$bin/tarvelin.exe" | grep -q 'type=string' && fail "tarvelin.exe carries the screensaver's name"
echo "windows_resources: all three programs carry the icon and version $version"
