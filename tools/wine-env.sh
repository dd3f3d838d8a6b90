# Sourced by the scripts: the project's Wine prefix, a headless display and a persistent wineserver.
# PW_BUILD chooses the build root (default: build/ in the checkout).
PW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export PW_BUILD=${PW_BUILD:-$PW_ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$PW_BUILD/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No network here: keep Wine from offering its Mono and Gecko add-ons. Shortcuts made in the prefix (the
# installer's) stay in the prefix: no menu entries or icons for the build machine's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

pw_wine_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Preparing the Wine prefix in $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot --init >/dev/null 2>&1
        wineserver -w
    fi
    # Wine does not find fonts-wine's Tahoma by itself; the skins draw their text in it.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for f in tahoma.ttf tahomabd.ttf; do
        [ -f "$fonts/$f" ] || cp /usr/share/wine/fonts/$f "$fonts/"
    done
}

pw_start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    local n=90
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    PW_XVFB_PID=$!
    export DISPLAY=:$n
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "Xvfb did not start" >&2
    return 1
}

pw_start_wineserver() {
    # A persistent server makes each Wine start about a second instead of two and a half.
    # A server left from an earlier run may hold a desktop on a display that is gone: start afresh.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p </dev/null >/dev/null 2>&1
    # Start Wine's own background processes now, detached from our pipes: started later by a
    # test, they would inherit CTest's output pipe and CTest would wait for them forever.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}

pw_stop_all() {
    wineserver -k 2>/dev/null || true
    if [ -n "${PW_XVFB_PID:-}" ]; then kill "$PW_XVFB_PID" 2>/dev/null || true; fi
}
