#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, when missing.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for p in g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine32:i386 wine64 xvfb xauth x11-utils cmake \
         googletest imagemagick make nsis ccache fonts-wine fonts-wqy-microhei xdotool clang-14 libclang-rt-14-dev; do
    have_pkg "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
    # A mirror half-way through a sync fails one list of several; the install then goes on
    # with the lists that did arrive and fails on its own if a package is really missing.
    $SUDO apt-get update -q || echo "setup: some package lists could not be fetched; going on"
    install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "$@" "${need[@]}"; }
    # Where the security lists of the two architectures are out of step, the i386 libraries
    # cannot match their amd64 twins' versions: take both from the release's own lists then.
    install || install -t "$(. /etc/os-release && echo "$VERSION_CODENAME")"
fi

