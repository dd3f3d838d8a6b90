#!/usr/bin/env bash
# Starts the built program under Wine; without a usable display it runs headless and saves a screenshot.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exe="$PW_BUILD/dist/Pairwright.exe"
# The demo runs on the virtual receiver: a built-in scenario name or a scenario file (see app/README.md).
export PAIRWRIGHT_VIRTUAL=${PAIRWRIGHT_VIRTUAL:-demo}
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec wine "$exe" "$@"
fi
pw_start_display
pw_start_wineserver
trap pw_stop_all EXIT
shots="$PW_BUILD/demo"
mkdir -p "$shots"
wine "$exe" "$@" &
app=$!
sleep 3
import -window root "$shots/start.png"
if kill -0 "$app" 2>/dev/null; then kill "$app"; fi
wait "$app" || true
echo "Pairwright ran under Wine; screenshots are in $shots"
