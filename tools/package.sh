#!/usr/bin/env bash
# Builds the release packages on Linux: the Windows build (Release, stripped) and from its program
# folder the portable zip and the per-user installer, in $PW_BUILD/release/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
source tools/wine-env.sh
mkdir -p "$PW_BUILD"
cmake --preset win -B "$PW_BUILD/win" >"$PW_BUILD/win.configure.log" 2>&1 ||
    { cat "$PW_BUILD/win.configure.log"; exit 1; }
# Packed afresh on every run; the build fails when Pairwright.exe is larger than 2 MB.
rm -rf "$PW_BUILD/release"
cmake --build "$PW_BUILD/win" --target pw_packages
echo
for f in "$PW_BUILD/dist/Pairwright.exe" "$PW_BUILD"/release/*; do
    bytes=$(stat -c %s "$f")
    printf '%9d bytes %6s MB  %s\n' "$bytes" "$(awk -v b="$bytes" 'BEGIN { printf "%.2f", b / 1048576 }')" \
        "$(realpath --relative-to=. "$f")"
done
