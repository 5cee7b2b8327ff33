# Sourced by the fuzz scripts: what each fuzz target runs.
#   target_info NAME  sets TOOL (executable name), MODE (file, opts, words
#   or stdin: how the input reaches the tool), STATUSES (the exit
#   statuses the tool documents, as the shell sees them), and for afl-fuzz
#   and afl-cmin AFL_ENV (the environment that picks the shim's mode) and
#   AFL_INPUT (the tool's argument naming the input, none for stdin).
FUZZ_TARGETS="vecstep vecstep-opts vecdrive vecdrive-opts vecpins vecpins-opts unremark tccsum sz2blk"

target_info() {
  case $1 in
    vecstep | vecstep-opts) TOOL=vecstep STATUSES="0 1 2 143" ;;
    vecdrive | vecdrive-opts) TOOL=vecdrive STATUSES="0 1 2 143" ;;
    vecpins | vecpins-opts) TOOL=vecpins STATUSES="0 1 2" ;;
    unremark) TOOL=unremark STATUSES="0 1" ;;
    tccsum) TOOL=tccsum STATUSES="0 1 255" ;;
    sz2blk) TOOL=sz2blk STATUSES="0 255" ;;
    *) echo "unknown fuzz target: $1 (one of: $FUZZ_TARGETS)" >&2; return 1 ;;
  esac
  case $1 in
    *-opts) MODE=opts ;;
    unremark) MODE=stdin ;;
    sz2blk) MODE=words ;;
    *) MODE=file ;;
  esac
  AFL_INPUT=(@@)
  [ "$MODE" = stdin ] && AFL_INPUT=()
  AFL_ENV=()
  case $MODE in opts | words) AFL_ENV=(FUZZ_ARGS=$MODE) ;; esac
  return 0
}
