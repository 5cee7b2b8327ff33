# Sourced by the disk tools' cases: show CMD ARGS... runs one invocation and
# prints the command, its standard output and standard error line by line
# (through cat -A, so every line end shows as '$' and a missing newline or a
# stray byte is visible) and its exit status.  SHOW_FILTER, when set, is a
# command that standard output passes through first.
show() {
    printf '$'
    printf ' %s' "$@"
    printf '\n'
    "$@" >out.txt 2>err.txt
    local status=$?
    if [ -s out.txt ]; then
        ${SHOW_FILTER:-cat} <out.txt | cat -A | sed 's/^/  out| /'
    fi
    cat -A err.txt | sed 's/^/  err| /'
    echo "  status $status"
}
