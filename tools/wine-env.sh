# Wine and Xvfb for the build's own use: a throwaway WINEPREFIX inside the
# build folder and a private X display, both torn down by PID afterwards.
# Sourced by ./dev; expects BUILD to be set.

WINE_XVFB_PID=
RECORD_BROWSER=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/record-browser.sh

# Nothing the project runs may reach beyond this machine, not even with a
# name lookup: unless the caller chose hosts, the programs' web hosts are a
# closed loopback port.
export MIRVEX_WEB_HOST=${MIRVEX_WEB_HOST:-http://127.0.0.1:9}
export MIRVEX_LINK_HOST=${MIRVEX_LINK_HOST:-http://127.0.0.1:9}

wine_env() { # name: selects build/wine-<name>
    export WINEPREFIX=$BUILD/wine-$1
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
}

wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        timeout 180 wineboot -i >/dev/null 2>&1 || true
        timeout 60 wineserver -w || true
    fi
    # Pages the programs open go to a script that records them.
    local marker=$WINEPREFIX/.record-browser
    if [ "$(cat "$marker" 2>/dev/null)" != "$RECORD_BROWSER" ]; then
        timeout 60 wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ \
            /d "$RECORD_BROWSER" /f >/dev/null 2>&1 && echo "$RECORD_BROWSER" >"$marker"
    fi
}

# Starts Xvfb on the first free display number from 90 and exports DISPLAY.
# Another build on this machine may take the same number between the check
# and the start; that server then exits at once, and the next number is tried.
xvfb_start() {
    local n=90
    while [ $n -lt 120 ]; do
        if [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; then
            n=$((n + 1))
            continue
        fi
        # -noreset: a server reset when the last client leaves can cut off a
        # Wine program that is connecting at that moment.
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        WINE_XVFB_PID=$!
        for _ in $(seq 1 100); do
            [ -e /tmp/.X11-unix/X$n ] && break
            kill -0 "$WINE_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$WINE_XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
        wait "$WINE_XVFB_PID" 2>/dev/null || true
        WINE_XVFB_PID=
        n=$((n + 1))
    done
    echo "no free X display number from 90 to 119" >&2
    return 1
}

# wine_session_begin name [display]: prefix ready, display up (a private Xvfb
# unless a display is given).
wine_session_begin() {
    # Whatever way the caller ends (error, Ctrl+C), the display and the
    # Wine server go with it.
    trap wine_session_end EXIT
    trap 'wine_session_end; exit 130' INT TERM
    wine_env "$1"
    if [ -n "${2:-}" ]; then
        export DISPLAY=$2
    else
        xvfb_start
    fi
    wine_prefix_ready
}

wine_session_end() {
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    if [ -n "$WINE_XVFB_PID" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
        WINE_XVFB_PID=
    fi
}
