#!/usr/bin/env bash
# The manual pages format without a warning, carry the version, and
# each page describes every option its program's --help lists.
# Usage: man_pages.sh MAN_DIR TARVELIN_RENDER VERSION [BIN_DIR]
set -u
dir=$1 render=$2 version=$3 bin=${4:-}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for page in tarvelin.6 tarvelin_saver.6 tarvelin_render.1; do
    file=$dir/$page
    [ -f "$file" ] || { fail "no $page"; continue; }
    # -ww: every warning; -z: format, print nothing. Warnings go to stderr.
    warnings=$(groff -ww -man -z "$file" 2>&1)
    [ -z "$warnings" ] || fail "$page: groff warns: $warnings"
    name=${page%.*} section=${page##*.}
    head_line=$(grep -m1 '^\.TH ' "$file")
    echo "$head_line" | grep -q "^\.TH ${name^^} $section \"[0-9-]*\" \"tarvelin $version\"" ||
        fail "$page: heading '$head_line' lacks the section, date or version $version"
    grep -q '@[A-Z_]*@' "$file" && fail "$page: a placeholder was not filled in"
    for part in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" "SEE ALSO"; do
        grep -q "^\.SH \"\?$part\"\?$" "$file" || fail "$page: no $part section"
    done
done

# Every option of a program's usage is in its page (as roff writes dashes,
# \-); with `both`, the page also names none the program does not take.
# check_options PROGRAM PAGE both|listed
check_options() {
    local options page_options option
    options=$("$1" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
    [ -n "$options" ] || fail "$1 --help lists no options"
    page_options=$(sed 's/\\-/-/g' "$dir/$2" | grep -o -- '--[a-z][a-z-]*' | sort -u)
    for option in $options; do
        echo "$page_options" | grep -qx -- "$option" || fail "$2 does not describe $option"
    done
    [ "$3" = both ] || return 0
    for option in $page_options; do
        echo "$options" | grep -qx -- "$option" || fail "$2 describes $option, which --help does not list"
    done
}
check_options "$render" tarvelin_render.1 both
if [ -n "$bin" ]; then
    check_options "$bin/tarvelin" tarvelin.6 both
    check_options "$bin/tarvelin_saver" tarvelin_saver.6 both
fi

echo "man_pages: $failures failure(s)"
[ $failures -eq 0 ]
