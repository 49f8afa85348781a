# Sourced: the project's Wine settings. A project-local prefix, no debug noise, and never
# the Mono or Gecko installers (their hidden dialogs would hang a headless run).
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The shipped program is 32-bit. On a machine whose kernel runs no 32-bit programs (IA-32
# emulation off), Wine's 32-bit loader cannot start: there the project builds and tests a 64-bit
# build under a 64-bit prefix instead (QK_WINE_ARCH=win64; scripts/wine-arch.sh decides).
if [ -z "${QK_WINE_ARCH:-}" ]; then
    QK_WINE_ARCH="$(bash "$ROOT/scripts/wine-arch.sh")"
fi
export QK_WINE_ARCH
export WINEARCH="$QK_WINE_ARCH"
if [ "$QK_WINE_ARCH" = win64 ]; then
    export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix64}"
    # Debian's wine and wine-stable wrappers pick the 32-bit loader whenever it is installed,
    # even where the kernel cannot run it: put wrappers for the 64-bit loader first on the path.
    shim="$ROOT/build/wine64-bin"
    if [ ! -x "$shim/wine-stable" ]; then
        mkdir -p "$shim"
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
        chmod +x "$shim/wine"
        cp "$shim/wine" "$shim/wine-stable"
    fi
    case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
    export WINELOADER=/usr/lib/wine/wine64
else
    export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
fi
# Written by wine-prefix.sh when the prefix is made and configured; raise the number when its
# configuration changes, so existing prefixes are configured again.
QK_PREFIX_MARKER="$WINEPREFIX/.qk-configured-4"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=;winemenubuilder.exe=}"
