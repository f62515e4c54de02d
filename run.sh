#!/usr/bin/env bash
# Builds the program (Release) and starts it from its runnable folder.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "つばき出納帳 needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set)." >&2
  exit 1
fi

# The workbooks open in the desktop's spreadsheet program through xdg-open.
scripts/install-deps.sh xdg-utils libreoffice-calc
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j2
exec build/release/app/tsubaki
