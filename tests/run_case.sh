#!/usr/bin/env bash
# Runs one end-to-end case and compares every result byte for byte.
#
#   run_case.sh CASE_DIR BIN_DIR
#
# A case is a folder:
#   cmd                  shell script run by bash in a scratch folder, with
#                        BIN_DIR first on PATH; $CASE names the case folder
#   stdin                standard input (default: empty)
#   expected.stdout      standard output (default: must be empty)
#   expected.stderr      standard error, exact (default: must be empty) ...
#   expected.stderr.sub  ... or, for texts the system words itself (perror,
#                        getopt), lines that must each occur in standard error
#   expected.status      exit status (default: 0)
#   expected.files/      files the run must leave, compared byte for byte
#   expected.absent      names of files the run must not create, one a line
# Every other file of the case folder is copied into the scratch folder
# before the run, so a case keeps its input tables beside its expectations.
set -u

case_dir=$(cd "$1" && pwd) || exit 2
bin_dir=$(cd "$2" && pwd) || exit 2
scratch=$(mktemp -d)
results=$(mktemp -d)
trap 'rm -rf "$scratch" "$results"' EXIT

for f in "$case_dir"/* "$case_dir"/.[!.]*; do
  [ -e "$f" ] || continue
  case $(basename "$f") in
    cmd | stdin | expected.*) ;;
    *) cp -R "$f" "$scratch/" ;;
  esac
done

stdin=/dev/null
[ -f "$case_dir/stdin" ] && stdin=$case_dir/stdin

# Sanitizer builds report through standard error and a distinct status, so
# any report fails the comparison below.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=0:exitcode=86}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1:exitcode=87}

(cd "$scratch" && PATH="$bin_dir:$PATH" CASE="$case_dir" \
  timeout 240 bash "$case_dir/cmd") <"$stdin" >"$results/stdout" 2>"$results/stderr"
status=$?

failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

want_status=0
[ -f "$case_dir/expected.status" ] && want_status=$(tr -d ' \n' <"$case_dir/expected.status")
[ "$status" = "$want_status" ] || fail "exit status $status, expected $want_status"

compare() { # compare EXPECTED ACTUAL LABEL
  if ! cmp -s "$1" "$2"; then
    fail "$3 differs (- expected, + actual):"
    diff -u --text "$1" "$2" | tail -n +3 | head -n 60
  fi
}

if [ -f "$case_dir/expected.stdout" ]; then
  compare "$case_dir/expected.stdout" "$results/stdout" "standard output"
else
  compare /dev/null "$results/stdout" "standard output"
fi

if [ -f "$case_dir/expected.stderr" ]; then
  compare "$case_dir/expected.stderr" "$results/stderr" "standard error"
elif [ -f "$case_dir/expected.stderr.sub" ]; then
  while IFS= read -r line || [ -n "$line" ]; do
    grep -qF -- "$line" "$results/stderr" ||
      fail "standard error lacks: $line"
  done <"$case_dir/expected.stderr.sub"
  [ "$failed" = 0 ] || { echo "standard error was:"; head -c 4000 "$results/stderr"; }
else
  compare /dev/null "$results/stderr" "standard error"
fi

if [ -d "$case_dir/expected.files" ]; then
  while IFS= read -r -d '' want; do
    rel=${want#"$case_dir/expected.files/"}
    if [ -f "$scratch/$rel" ]; then
      compare "$want" "$scratch/$rel" "file $rel"
    else
      fail "file $rel was not written"
    fi
  done < <(find "$case_dir/expected.files" -type f -print0)
fi

if [ -f "$case_dir/expected.absent" ]; then
  while IFS= read -r name; do
    [ -z "$name" ] || [ ! -e "$scratch/$name" ] || fail "file $name exists"
  done <"$case_dir/expected.absent"
fi

exit "$failed"
