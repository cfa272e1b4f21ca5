#!/usr/bin/env bash
# Builds the libFuzzer target with clang (address and undefined-behaviour sanitizers) in
# build/fuzz and fuzzes the payload reader for SECONDS (default 60), starting from seeds made by
# the archive writer. Findings land in build/fuzz/findings; replay one with
# build/fuzz/tests/fuzz/zarvo-fuzz-mutations FILE.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
build=$root/build/fuzz
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZARVO_LIBFUZZER=ON >/dev/null
cmake --build "$build" -j2 --target zarvo-fuzz-archive zarvo-fuzz-mutations
mkdir -p "$build/corpus" "$build/seeds" "$build/findings"
"$build/tests/fuzz/zarvo-fuzz-mutations" --write-seeds "$build/seeds"
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
  "$build/tests/fuzz/zarvo-fuzz-archive" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$build/findings/" -print_final_stats=1 "$build/corpus" "$build/seeds"
