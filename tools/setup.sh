#!/bin/sh
# Installs every Debian package that building, testing and running Veltra need.
# Idempotent: when everything is already there it only checks and returns.
set -e

PACKAGES="build-essential cmake ninja-build pkg-config git
qt6-base-dev libqt6sql6-sqlite libzip-dev libsqlite3-dev zlib1g-dev
libgtest-dev libgmock-dev libbenchmark-dev
xvfb xauth xdotool imagemagick poppler-utils fonts-liberation fonts-dejavu-core
zip unzip"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  echo "setup: all packages present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO=sudo
  else
    echo "setup: these packages are missing:$missing" >&2
    echo "setup: run this script as root (or install sudo) so that apt-get can install them." >&2
    exit 1
  fi
fi

echo "setup: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing
