#!/usr/bin/env bash
# Shows unremark on a small C file: the input, the filtered text, and the
# two ways a run fails.  The text before a failure is kept; the message of
# an unterminated comment goes to standard error.
set -euo pipefail
BIN=${BIN:-$(cd "$(dirname "$0")/../../build/bin" && pwd)}
here=$(cd "$(dirname "$0")" && pwd)

echo "--- sample.c"
cat "$here/sample.c"
echo "--- unremark < sample.c"
"$BIN/unremark" <"$here/sample.c"

echo "--- a line comment of 200 characters (status 1)"
status=0
printf 'int x; //%0198d\n' 0 | "$BIN/unremark" || status=$?
echo "status $status"

echo "--- a block comment that never closes (status 1)"
status=0
printf 'int y; /* no end\n' | "$BIN/unremark" 2>&1 || status=$?
echo "status $status"
