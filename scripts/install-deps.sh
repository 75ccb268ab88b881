#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vantel need, when any is missing.
set -euo pipefail
packages=(cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
          g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
          wine wine64 wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick nsis
          x11vnc novnc websockify)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! { $sudo dpkg --add-architecture i386 && $sudo apt-get update -q &&
       $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
           "${missing[@]}"; }; then
    echo "install-deps: could not install ${missing[*]} (see apt-get's message above);" \
         "install them with apt-get and try again" >&2
    exit 1
fi
