# Sourced by the scripts that run something on an X server of their own.
#
# start_xvfb WORK [XVFB ARGUMENTS]: starts Xvfb on a display it picks itself and says which, so that runs
# side by side never race for one; sets xvfb to its process and exports DISPLAY. The caller stops it.
# The server's US keymap gets keys of their own for æ, ø and å: xdotool types a letter the keymap lacks
# through a key it remaps for a moment, and a slow program can read that key after it is mapped back.
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
    xkbcomp -xkb "$DISPLAY" "$work/keymap.xkb" 2>/dev/null
    awk '/^xkb_symbols/ { symbols = 1 }
         symbols && /^};/ { print "    key <I222> { [ ae, AE ] };"; print "    key <I230> { [ aring, Aring ] };"
                            print "    key <I248> { [ oslash, Oslash ] };"; symbols = 0 }
         { print }' "$work/keymap.xkb" >"$work/keymap-no.xkb"
    xkbcomp -w 0 "$work/keymap-no.xkb" "$DISPLAY" 2>/dev/null
}
