#!/usr/bin/env bash
# The skin gallery: builds the Windows program and its artwork, opens every skinned dialog template
# with its skin under Wine (headless), in normal, hover, pressed and disabled looks and in both
# layouts, and saves PNG screenshots plus one contact sheet to $PW_BUILD/gallery.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
source tools/wine-env.sh

mkdir -p "$PW_BUILD"
cmake --preset win -B "$PW_BUILD/win" >"$PW_BUILD/win.configure.log" 2>&1 ||
    { cat "$PW_BUILD/win.configure.log"; exit 1; }
cmake --build "$PW_BUILD/win" --target pw_gallery pw_ui pw_lan

trap pw_stop_all EXIT
pw_wine_prefix && pw_start_display && pw_start_wineserver || exit 1
# Without a window manager Wine waits two seconds for one whenever a window it counts as managed (any
# window that was ever activated, as every pop-up is when it opens) goes away.
wine reg add 'HKCU\Software\Wine\AppDefaults\pw_gallery.exe\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

out="$PW_BUILD/gallery"
rm -rf "$out"
mkdir -p "$out/bmp"
wine "$PW_BUILD/win/tools/gallery/pw_gallery.exe" "$(winepath -w "$PW_BUILD/dist")" "$(winepath -w "$out/bmp")"

# The real ImageMagick tools (a stand-in convert may come first on the path).
for f in "$out"/bmp/*.bmp; do
    /usr/bin/convert "$f" "$out/$(basename "${f%.bmp}").png"
done
rm -rf "$out/bmp"
# One row per dialog: left-to-right looks, then right-to-left looks.
mapfile -t shots < <(ls "$out"/*.png)
sheet=(-tile 8x -geometry '360x300>+6+6' -background '#f4f4f4')
# Labels need a font ImageMagick can find; without one the sheet goes unlabelled.
/usr/bin/montage -font DejaVu-Sans -pointsize 11 -label '%t' "${shots[@]}" "${sheet[@]}" \
    "$out/contact-sheet.png" 2>/dev/null ||
    /usr/bin/montage "${shots[@]}" "${sheet[@]}" "$out/contact-sheet.png"
echo "Skin gallery: ${#shots[@]} screenshots and contact-sheet.png in $out"
