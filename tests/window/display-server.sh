# Sourced by the with-* scripts: a display server of the run's own, in a work
# folder of its own, that goes away with the script.

work=$(mktemp -d)
server=
finish() {
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM

# Waits until the server started last in the background, its output in
# $work/log, passes the test given as arguments (say -S for its socket).
await_server() {
    server=$!
    tries=0
    while ! test "$@"; do
        if ! kill -0 "$server" 2>/dev/null || [ "$tries" -ge 300 ]; then
            echo "$(basename "$0"): the server did not start:" >&2
            cat "$work/log" >&2
            exit 1
        fi
        tries=$((tries + 1))
        sleep 0.1
    done
}
