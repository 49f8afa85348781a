#!/usr/bin/env bash
# Runs every fuzz target of the native build (tests/native) for longer than `make test` does:
# FUZZ_SECONDS each (default 300), one after the other. New inputs go to <build>/native/
# fuzz-work, findings to <build>/native/fuzz-artifacts. Usage: scripts/fuzz.sh [build folder]
set -euo pipefail
build="${1:-build}/native"
seconds="${FUZZ_SECONDS:-300}"
corpus="$(cd "$(dirname "$0")/.." && pwd)/tests/native/fuzz/corpus"
failed=()
for target in "$build"/fuzz_*; do
    name="${target##*/fuzz_}"
    mkdir -p "$build/fuzz-work/$name" "$build/fuzz-artifacts"
    echo "fuzz: $name for ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1536 -print_final_stats=1 \
            -artifact_prefix="$build/fuzz-artifacts/$name-" \
            "$build/fuzz-work/$name" "$corpus/$name" 2> "$build/fuzz-work/$name.log"; then
        failed+=("$name")
        tail -n 40 "$build/fuzz-work/$name.log"
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: findings in ${failed[*]} (inputs in $build/fuzz-artifacts)"
    exit 1
fi
echo "fuzz: no findings"
