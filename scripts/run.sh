#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program from its application folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: the program needs a screen. Start it under a virtual one with:"
  echo "  xvfb-run -a -s '-screen 0 1280x800x24' build/dist/mxreader"
  exit 1
fi
exec build/dist/mxreader
