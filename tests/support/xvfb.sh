# Sourced by the scripts that run something on an X server of their own.
#
# start_xvfb WORK [XVFB ARGUMENTS]: starts Xvfb on a display it picks itself and says which, so that runs
# side by side never race for one; sets xvfb to its process and exports DISPLAY. The caller stops it.
# -noreset: the server otherwise resets whenever its last client leaves, and a client that connects
# meanwhile (weston, just after a readiness check's xdotool has gone) is turned away.
start_xvfb() {
    local work=$1
    shift
    Xvfb -displayfd 3 "$@" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
    DISPLAY=:$(cat "$work/display")
    export DISPLAY
}
