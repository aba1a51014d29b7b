#!/bin/sh
# Takes the screenshot in docs/: the sample carriage-control report open in
# the main window under Xvfb. Needs the packages of tools/setup.sh.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRA_TESTS=OFF >/dev/null
cmake --build build --target veltra >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/user" "$scratch/config"
out=${1:-docs/screenshot.png}
VELTRA_HOME=$scratch/home VELTRA_USER_DIR=$scratch/user XDG_CONFIG_HOME=$scratch/config \
xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
  build/src/app/veltra "$1" &
  pid=$!
  for i in $(seq 1 50); do
    xdotool search --onlyvisible --name "Veltra - " >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 1
  import -window root "$2"
  kill $pid
' sh "$(pwd)/samples/statement-cc.rpt" "$out"
echo "screenshot: $out"
