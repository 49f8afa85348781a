#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, when missing.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for p in g++-mingw-w64-i686 mingw-w64-tools wine wine32:i386 wine64 xvfb xauth x11-utils cmake \
         googletest imagemagick make fonts-wqy-microhei xdotool clang-14 libclang-rt-14-dev; do
    have_pkg "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
fi

# Wine's 32-bit loader needs a kernel that runs i386 programs. Some virtual machines are built
# without that; there the programs run through qemu's user-mode emulation, registered with the
# kernel's binfmt_misc (slower, but the same programs and the same results). Debian registers
# no i386 handler on amd64, so the entry is written here.
runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if ! runs_i386; then
    echo "setup: this kernel does not run 32-bit programs; using qemu user-mode emulation"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    if ! have_pkg qemu-user-static; then
        $SUDO apt-get update -q
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends \
            qemu-user-static
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    [ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt" || true
    if [ ! -e "$binfmt/qemu-i386" ]; then
        magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
        echo ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" |
            $SUDO tee "$binfmt/register" >/dev/null || true
    fi
    runs_i386 || { echo "setup: 32-bit programs still cannot run here" >&2; exit 1; }
fi
