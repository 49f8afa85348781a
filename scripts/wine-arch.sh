#!/usr/bin/env bash
# Prints the Wine architecture this machine can test: win32 where Wine's 32-bit loader starts,
# win64 where the kernel runs no 32-bit programs (some virtual machines switch IA-32 off).
if /usr/lib/wine/wine --version >/dev/null 2>&1 || [ ! -x /usr/lib/wine/wine64 ]; then
    echo win32
else
    echo win64
fi
