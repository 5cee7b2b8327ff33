#!/usr/bin/env bash
# Runs unremark once per row of a table and prints "NAME: ok" for each row
# whose results all match, or what differed.
#
#   table.sh TABLE
#
# A row is NAME|STATUS|INPUT|STDOUT|STDERR; INPUT, STDOUT and STDERR are
# written with printf %b escapes (\n, \r, \0, \xff); an empty STDERR means
# none.  Blank lines and lines starting with # are skipped.
set -u
show() { od -An -c "$1" | tr -s ' \n' ' ' | head -c 300; }
while IFS='|' read -r name status input want errs; do
  [[ -z $name || $name == \#* ]] && continue
  printf '%b' "$input" >in
  printf '%b' "$want" >want
  printf '%b' "$errs" >want.err
  unremark <in >got 2>got.err
  got_status=$?
  verdict=
  [ "$got_status" = "$status" ] || verdict+=" status $got_status;"
  cmp -s want got || verdict+=" stdout [$(show got)];"
  cmp -s want.err got.err || verdict+=" stderr [$(show got.err)];"
  echo "$name:${verdict:- ok}"
done <"$1"
