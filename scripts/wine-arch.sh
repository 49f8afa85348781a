#!/usr/bin/env bash
# Prints the Wine architecture this machine can test: win32 where Wine's 32-bit loader starts,
# win64 where the kernel runs no 32-bit programs (some virtual machines switch IA-32 off).
# QK_WINE_ARCH=win32|win64 overrides the check (to try the other machine kind's road).
case "${QK_WINE_ARCH:-}" in
    win32 | win64) echo "$QK_WINE_ARCH"; exit 0 ;;
esac
if /usr/lib/wine/wine --version >/dev/null 2>&1 || [ ! -x /usr/lib/wine/wine64 ]; then
    echo win32
else
    echo win64
fi
