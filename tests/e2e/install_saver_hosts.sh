#!/usr/bin/env bash
# cmake --install puts the saver where the screensaver hosts look: into
# XScreenSaver's hack folder with its description for the settings dialog,
# and an xsecurelock saver module that runs the installed saver.
# Usage: install_saver_hosts.sh BUILD_DIR OUT_DIR
set -u
build=$1 prefix=$2/install-hosts-prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
hack_dir=$(sed -n 's/^TARVELIN_XSCREENSAVER_HACKDIR:PATH=//p' "$build/CMakeCache.txt")
config_dir=$(sed -n 's/^TARVELIN_XSCREENSAVER_CONFIGDIR:PATH=//p' "$build/CMakeCache.txt")
module_dir=$(sed -n 's/^TARVELIN_XSECURELOCK_HELPERDIR:PATH=//p' "$build/CMakeCache.txt")
under_prefix() { case "$1" in /*) echo "$1" ;; *) echo "$prefix/$1" ;; esac; }
hack_dir=$(under_prefix "$hack_dir")
config_dir=$(under_prefix "$config_dir")
module_dir=$(under_prefix "$module_dir")

[ -x "$hack_dir/tarvelin_saver" ] || fail "no tarvelin_saver in the hack folder $hack_dir"
[ -L "$hack_dir/tarvelin_saver" ] || fail "the hack is a copy, not a link to bin/tarvelin_saver"
cmp -s "$hack_dir/tarvelin_saver" "$prefix/bin/tarvelin_saver" || fail "the hack differs from bin/tarvelin_saver"

config=$config_dir/tarvelin_saver.xml
[ -f "$config" ] || fail "no $config"
grep -q '<screensaver name="tarvelin_saver" _label="[^"]' "$config" || fail "the description names no tarvelin_saver"
grep -q '<command arg="--root"/>' "$config" || fail "the description has no --root command line"
grep -q '<_description>' "$config" || fail "the description has no text"
[ "$(grep -c '<screensaver\|</screensaver>' "$config")" = "2" ] || fail "the description is not one screensaver element"
# XScreenSaver makes the command line from the description: the command, then
# each setting's arguments. Every line it can make must be one the saver
# takes: with a variable that holds no window, the saver's only complaint is
# that variable. (Python's parser checks the XML is well-formed on the way.)
command_lines=$(python3 - "$config" <<'PY'
import itertools, sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
choices = []
for setting in root:
    if setting.tag == "boolean":
        choices.append(["", setting.get("arg-set")])
    elif setting.tag == "select":
        options = [o.get("arg-set", "") for o in setting.findall("option")]
        # The one option without arguments is the default.
        if options.count("") != 1:
            sys.exit("select %s: %d options without arguments" % (setting.get("id"), options.count("")))
        choices.append(options)
for combination in itertools.product(*choices):
    print(" ".join([root.find("command").get("arg")] + [a for a in combination if a]))
PY
) || fail "the description does not read: $command_lines"
[ "$(echo "$command_lines" | wc -l)" -ge 6 ] || fail "the description offers no resolution and frame-rate choices: $command_lines"
while IFS= read -r line; do
    # shellcheck disable=SC2086
    err=$(XSCREENSAVER_WINDOW=not-a-window "$prefix/bin/tarvelin_saver" $line 2>&1 >/dev/null)
    case "$err" in
        "tarvelin_saver: \$XSCREENSAVER_WINDOW: 'not-a-window' is not a window id (see --help)") ;;
        *) fail "the saver does not take the description's '$line': $err" ;;
    esac
done <<<"$command_lines"

module=$module_dir/saver_tarvelin
[ -x "$module" ] || fail "no executable xsecurelock module $module"
[ "$(head -c 2 "$module")" = "#!" ] || fail "the module is no script"
grep -qF "\"$prefix/bin/tarvelin_saver\"" "$module" || fail "the module does not run $prefix/bin/tarvelin_saver"
# The module hands the saver xsecurelock's window: a variable holding no
# window is the saver's own one-line error with code 2.
err=$(XSCREENSAVER_WINDOW=not-a-window "$module" 2>&1 >/dev/null)
rc=$?
[ "$rc" = "2" ] || fail "the module's saver ended with $rc, not 2"
case "$err" in
    "tarvelin_saver: \$XSCREENSAVER_WINDOW: 'not-a-window' is not a window id (see --help)") ;;
    *) fail "the module's saver said: $err" ;;
esac
echo "installed for the hosts: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
