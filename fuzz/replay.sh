#!/usr/bin/env bash
# Regression test: replays every saved input of TARGET (its corpus and its
# past findings) through the tool of BIN_DIR and fails on a crash, a
# sanitizer report, a time-out or an exit status the tool does not document.
#
#   fuzz/replay.sh TARGET BIN_DIR LAUNCHER
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/targets.sh"
target=$1 bin_dir=$2 launcher=$3
target_info "$target" || exit 2
tool=$bin_dir/$TOOL

export ASAN_OPTIONS=detect_leaks=0:exitcode=86
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=87
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0 count=0
for input in "$here/corpus/$target"/* "$here/findings/$target"/*; do
  [ -f "$input" ] || continue
  count=$((count + 1))
  case $MODE in
    file) (cd "$scratch" && timeout 20 "$tool" "$input") ;;
    stdin) (cd "$scratch" && timeout 20 "$tool" <"$input") ;;
    opts | words) (cd "$scratch" && timeout 20 "$launcher" "$MODE" "$tool" "$input") ;;
  esac >/dev/null 2>"$scratch/.stderr" </dev/null
  status=$?
  why=
  case " $STATUSES " in *" $status "*) ;; *) why="exit status $status" ;; esac
  [ "$status" = 124 ] && why="time-out"
  grep -qE 'Sanitizer|runtime error:' "$scratch/.stderr" && why="sanitizer report"
  if [ -n "$why" ]; then
    echo "FAIL $target $(basename "$input"): $why"
    grep -E -m 5 -A 3 'Sanitizer|runtime error:' "$scratch/.stderr"
    failed=1
  fi
done
echo "$target: $count inputs replayed"
[ "$count" -gt 0 ] || { echo "no inputs for $target"; exit 1; }
exit $failed
