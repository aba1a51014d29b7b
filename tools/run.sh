#!/bin/sh
# Builds Veltra and opens the bundled sample report. Extra arguments replace
# the sample (e.g. tools/run.sh /path/to/report.txt).
set -e
cd "$(dirname "$0")/.."
sh tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRA_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target veltra
if [ $# -eq 0 ]; then set -- "$(pwd)/samples/statement-cc.rpt"; fi
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
  echo "run: no display found; starting under xvfb-run (set QT_QPA_PLATFORM=offscreen to skip)"
  exec xvfb-run -a build/src/app/veltra "$@"
fi
exec build/src/app/veltra "$@"
