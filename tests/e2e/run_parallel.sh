#!/usr/bin/env bash
# Runs end-to-end test scripts side by side and reports each one. Every script
# has its own Xvfb (or Wine prefix) and spends most of its time waiting for
# windows and frames, so several fit on a machine at once; one ctest entry
# per group keeps ctest -j from holding them back to a core each.
#
# Usage: run_parallel.sh TIMEOUT SCRIPT... -- ARGUMENTS...
#   Each SCRIPT (a path to a .sh file) runs as `bash SCRIPT ARGUMENTS...`
#   under `timeout TIMEOUT`, its output in a log of its own. A script that
#   fails has its whole log printed. TARVELIN_E2E, a space-separated list of
#   script names without .sh, runs only those.
# Exit status: 1 when any script failed, 77 when every script that ran
# skipped (exit 77), 0 otherwise.
set -u
limit=$1
shift
scripts=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  scripts+=("$1")
  shift
done
[ $# -gt 0 ] && shift

logs=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$logs"' EXIT
trap 'exit 143' TERM INT

started=()
for script in "${scripts[@]}"; do
  name=$(basename "$script" .sh)
  if [ -n "${TARVELIN_E2E:-}" ] && [[ " $TARVELIN_E2E " != *" $name "* ]]; then
    continue
  fi
  (
    begin=$(date +%s)
    timeout --kill-after=10 "$limit" bash "$script" "$@" >"$logs/$name.log" 2>&1
    echo "$? $(($(date +%s) - begin))" >"$logs/$name.status"
  ) &
  started+=("$name")
done
wait

failed=0 skipped=0
for name in "${started[@]}"; do
  read -r rc took <"$logs/$name.status"
  case $rc in
    0) echo "ok      $name (${took} s)" ;;
    77) echo "skipped $name: $(grep -m1 '^SKIP' "$logs/$name.log")"; skipped=$((skipped + 1)) ;;
    *)
      echo "FAILED  $name (exit $rc after ${took} s); its output:"
      sed 's/^/    /' "$logs/$name.log"
      failed=$((failed + 1))
      ;;
  esac
done
[ $failed -gt 0 ] && exit 1
[ ${#started[@]} -gt 0 ] && [ $skipped -eq ${#started[@]} ] && exit 77
exit 0
