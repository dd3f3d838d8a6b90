#!/usr/bin/env bash
# Starts the built program under Wine on the virtual receiver's demo story. With a usable display it
# simply runs; without one the headless tour plays the story in English, then Arabic right to left,
# clicks through it as a user would and saves a screenshot of every page.
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

echo "Pairwright tour under Wine (headless), about four minutes:"
# The tour waits for every page with a deadline of its own; this one only guards against Wine itself.
status=0
timeout 900 wine "$PW_BUILD/win/tests/e2e/pw_tour.exe" "$(winepath -w "$shots")" || status=$?
# The real ImageMagick tools (a stand-in convert may come first on the path).
for f in "$shots"/*/*.bmp; do
    [ -e "$f" ] || continue
    /usr/bin/convert "$f" "${f%.bmp}.png" && rm "$f"
done
for language in english arabic; do
    echo "  $language:"
    for f in "$shots/$language"/*.png; do
        [ -e "$f" ] && echo "    $f"
    done
done
echo "Screenshots are in $shots (with the program's trace.txt of each run)"
case "$status" in
0) ;;
124) echo "The tour did not end in time" >&2 ;;
*) echo "The tour missed $status of its pages (see above)" >&2 ;;
esac
exit "$status"
