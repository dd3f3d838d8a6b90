#!/usr/bin/env bash
# Runs Pairwright on the virtual receiver: in a window when a display is present, otherwise as a
# scripted tour under Xvfb that saves screenshots.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
source tools/wine-env.sh
pw_wine_prefix
mkdir -p "$PW_BUILD"
cmake --preset win -B "$PW_BUILD/win" >/dev/null
cmake --build "$PW_BUILD/win"
exec tools/demo-run.sh "$@"
