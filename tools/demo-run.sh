#!/usr/bin/env bash
# Starts the built program under Wine on the virtual receiver. With a usable display it simply runs;
# without one it plays a short headless tour (English, then Arabic right to left) and saves screenshots.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
dist="$PW_BUILD/dist"
# The demo runs on the virtual receiver: a built-in scenario name or a scenario file (see app/README.md).
export PAIRWRIGHT_VIRTUAL=${PAIRWRIGHT_VIRTUAL:-demo}
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec wine "$dist/Pairwright.exe" "$@"
fi
trap pw_stop_all EXIT
pw_start_display
pw_start_wineserver
shots="$PW_BUILD/demo"
rm -rf "$shots"
mkdir -p "$shots"

# shoot PROGRAM_FOLDER NAME: runs the program from that folder, waits for its window, saves NAME.png.
shoot() {
    wine "$1/Pairwright.exe" "${@:3}" &
    local app=$!
    if timeout 30 xdotool search --sync --onlyvisible --name 'Vorn Veltrane Receiver Control Panel' >/dev/null; then
        sleep 1 # let the skinned controls finish painting
        import -window root -crop 640x720+0+0 "$shots/$2.png"
        echo "  $shots/$2.png"
    else
        echo "  the main window did not appear for $2" >&2
    fi
    kill "$app" 2>/dev/null || true
    wineserver -k >/dev/null 2>&1 || true
    wait "$app" 2>/dev/null || true
    pw_start_wineserver
}

echo "Pairwright tour under Wine (headless):"
shoot "$dist" main-english "$@"

# Arabic as a user installs it: "Default" set to Arabic and the right-to-left renderings copied over ui.
arabic="$shots/program-arabic"
cp -r "$dist" "$arabic"
cp "$arabic"/lan/Arabic/ui/*.bmp "$arabic/ui/"
sed -i 's/^Default=.*/Default=Arabic/' "$arabic/lan/pairwright.ini"
shoot "$arabic" main-arabic "$@"
rm -rf "$arabic"
echo "Screenshots are in $shots"
