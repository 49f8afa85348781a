#!/usr/bin/env bash
# Runs every benchmark of the build under one Wine server on a private display, keeps each
# one's output in BUILD/bench/<name>.txt and prints the figures against their floors as a
# table (also BUILD/bench/summary.txt). Benchmarks pass or fail nothing.
# Usage: scripts/bench.sh [BUILD]   (default: build)
# The program measured is what ships: where 32-bit programs run, the 32-bit release build in
# build-release/stage (built when missing or out of date); elsewhere BUILD's own staged
# program (the 64-bit twin). BENCH_STAGE=FOLDER measures the program in FOLDER instead.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="$(cd "${1:-build}" && pwd)"
BIN="$BUILD/tests/bin"
OUT="$BUILD/bench"
mkdir -p "$OUT"
if [ -z "${BENCH_STAGE:-}" ] && [ "$(bash "$here/wine-arch.sh")" = win32 ]; then
    bash "$here/release-build.sh" "$here/../build-release" > "$OUT/release-build.txt" 2>&1 ||
        { echo "bench: the release build failed (see $OUT/release-build.txt)" >&2; exit 1; }
    BENCH_STAGE="$here/../build-release/stage"
    measured="the 32-bit release build"
elif [ -n "${BENCH_STAGE:-}" ]; then
    measured="the program in $BENCH_STAGE"
else
    measured="the 64-bit twin's staged program (this machine runs no 32-bit programs)"
fi
if [ -n "${BENCH_STAGE:-}" ]; then
    export QK_BENCH_STAGE="Z:$(cd "$BENCH_STAGE" && pwd)"
    measured="$measured ($(cd "$BENCH_STAGE" && pwd))"
else
    measured="$measured ($BUILD/stage)"
fi
echo "bench: measuring $measured" | tee "$OUT/measured.txt"
benches=(startup_bench maker_comm_bench framework_lang_bench framework_printer_list_bench exchange_bench
    menu_bench settingsfile_bench)
for b in "${benches[@]}"; do
    [ -f "$BIN/$b.exe" ] || { echo "bench: no $BIN/$b.exe; run make build first" >&2; exit 1; }
done

cat > "$OUT/run.sh" <<INNER
#!/usr/bin/env bash
for b in ${benches[*]}; do
    echo "bench: \$b" >&2
    # Bounded: a benchmark that hangs must not stop the others.
    timeout 120 wine "$BIN/\$b.exe" > "$OUT/\$b.txt" 2>&1 || echo "bench: \$b ended with \$?" >&2
done
INNER
bash "$here/xvfb-session.sh" bash "$OUT/run.sh"

# Lines "bench<TAB>name<TAB>ms<TAB>floor ms" (the floor empty when another line names it).
outputs=("${benches[@]/#/$OUT/}")
cat "${outputs[@]/%/.txt}" 2>/dev/null | tr -d '\r' | awk -F'\t' '
    $1 != "bench" { next }
    { name[++n] = $2; ms[n] = $3; floor[n] = $4 }
    $2 ~ /^\(c\) floor/ { libraryFlip = $3 }
    END {
        printf "%-46s %10s %10s %8s\n", "benchmark", "ms", "floor ms", "ratio"
        for (i = 1; i <= n; ++i) {
            if (name[i] ~ /^\(c\) floor/) continue
            if (name[i] ~ /^\(c\)/ && libraryFlip != "") {
                printf "%-46s %10.1f %10.1f %+7.1f ms\n", name[i], ms[i], libraryFlip, ms[i] - libraryFlip
            } else if (floor[i] > 0) {
                printf "%-46s %10.1f %10.1f %7.2fx\n", name[i], ms[i], floor[i], ms[i] / floor[i]
            } else {
                printf "%-46s %10.1f %10s %8s\n", name[i], ms[i], "-", "-"
            }
        }
    }' | { cat "$OUT/measured.txt"; cat; } | tee "$OUT/summary.txt"
echo "bench: the benchmarks' own output is in $OUT"
