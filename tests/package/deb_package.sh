#!/usr/bin/env bash
# cpack -G DEB makes a package that installs, runs and uninstalls cleanly:
# its fields and library dependencies, dpkg -i, tarvelin_render --version from
# /usr/bin, dpkg -r, and no file of it left behind. Needs root for dpkg; skipped
# (exit code 77) without it, or where a tarvelin package is already installed.
# Usage: deb_package.sh BUILD_DIR OUT_DIR VERSION
set -u
build=$1 work=$2/deb-package version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "dpkg -i needs root; run this test as root to check the package"
if dpkg-query -W -f='${Status}' tarvelin 2>/dev/null | grep -q 'installed'; then
    skip "a tarvelin package is installed on this machine already; the test would replace and remove it"
fi

installed=""
# A failing check must not leave the package installed.
trap '[ -n "$installed" ] && dpkg -r tarvelin >/dev/null 2>&1' EXIT

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tarvelin ] || fail "package name is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "package version is '$(field Version)', not $version"
[ "$(field Section)" = x11 ] || fail "section is '$(field Section)', not x11"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
[ "$(field Description | wc -l)" -ge 2 ] || fail "no long description"
depends=$(field Depends)
echo "depends: $depends"
# dpkg-shlibdeps found the libraries the programs link.
depends_names=$(echo "$depends" | tr ',|' '\n\n' | sed 's/^ *//; s/ .*//')
for library in libc6 libstdc++6 libsdl2-2.0-0 libpng16-16 libfreetype6 libfontconfig1 libegl1; do
    echo "$depends_names" | grep -qxF "$library" || fail "Depends lacks $library"
done

# The packages it recommends and enhances are known under those names, where
# apt has its package lists to tell.
if compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
    for relation in Recommends Enhances; do
        names=$(field "$relation" | tr ',|' '\n\n' | sed 's/^ *//; s/ .*//' | grep .)
        [ -n "$names" ] || fail "no $relation field"
        for name in $names; do
            apt-cache show "$name" >/dev/null 2>&1 || fail "$relation names $name, which apt does not know"
        done
    done
    echo "recommends: $(field Recommends); enhances: $(field Enhances)"
fi

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in ./usr/bin/tarvelin ./usr/bin/tarvelin_saver ./usr/bin/tarvelin_render \
            ./usr/share/applications/tarvelin.desktop ./usr/share/man/man6/tarvelin.6.gz \
            ./usr/share/man/man6/tarvelin_saver.6.gz ./usr/share/man/man1/tarvelin_render.1.gz \
            ./usr/share/icons/hicolor/48x48/apps/tarvelin.png ./usr/share/doc/tarvelin/copyright; do
    echo "$contents" | grep -qx "$path" || fail "the package lacks $path"
done
echo "$contents" | grep -q '^\./usr/share/metainfo/.*\.metainfo\.xml$' || fail "the package lacks its AppStream metadata"
echo "$contents" | grep -Eq 'tarvelin_tests|bench_|x_probe|/include/' && fail "the package holds test or development files"

dpkg -i "$deb" >"$work/dpkg-i.log" 2>&1 || { cat "$work/dpkg-i.log"; fail "dpkg -i failed"; }
installed=yes
dpkg-query -W -f='${Status}\n' tarvelin | grep -qx 'install ok installed' || fail "dpkg does not list tarvelin as installed"
files=$(dpkg -L tarvelin | while read -r f; do [ -d "$f" ] || echo "$f"; done)
[ -n "$files" ] || fail "dpkg -L lists no files"
# Hardened as Debian's own packages are: relocations bound at start, fortified calls.
for program in tarvelin tarvelin_saver tarvelin_render; do
    readelf -d "/usr/bin/$program" | grep -q 'BIND_NOW\|FLAGS.*NOW' || fail "$program is not linked with -z now"
    readelf --dyn-syms -W "/usr/bin/$program" | grep -q '__[a-z]*_chk' || fail "$program has no fortified calls"
done
out=$(/usr/bin/tarvelin_render --version) || fail "/usr/bin/tarvelin_render --version failed"
[ "$out" = "tarvelin_render $version" ] || fail "/usr/bin/tarvelin_render --version printed '$out'"
echo "installed: $(echo "$files" | wc -l) files; $out"

dpkg -r tarvelin >"$work/dpkg-r.log" 2>&1 || { cat "$work/dpkg-r.log"; fail "dpkg -r failed"; }
installed=""
# Without configuration files nothing of the package stays known to dpkg.
status=$(dpkg-query -W -f='${Status}' tarvelin 2>/dev/null)
case "$status" in
    ""|"unknown ok not-installed"|"deinstall ok not-installed") ;;
    *) fail "after dpkg -r the package is still '$status'" ;;
esac
listed=$(dpkg -L tarvelin 2>/dev/null)
[ -z "$listed" ] || fail "dpkg -L still lists files after dpkg -r"
left=0
while read -r f; do
    [ -e "$f" ] && { echo "left behind: $f" >&2; left=$((left + 1)); }
done <<<"$files"
[ "$left" -eq 0 ] || fail "$left file(s) left behind by dpkg -r"
echo "removed: every file gone, nothing left in dpkg's database"
