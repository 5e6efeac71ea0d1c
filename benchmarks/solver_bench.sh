#!/usr/bin/env bash
# Speed figures of the bundled solver, built without sanitizers in its own
# build directory. Prints the medians; it checks no goal.
#   benchmarks/solver_bench.sh [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${MARROWICK_BENCH_BUILD:-$root/build-bench}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMARROWICK_SANITIZE=OFF \
  -DMARROWICK_TESTS=OFF >/dev/null
cmake --build "$build" --target marrowick-solver marrowick_solver_bench -j2 >/dev/null
"$build/bin/marrowick_solver_bench" "$build/bin/marrowick-solver" \
  "$root/tests/engine/data/reference" "${1:-41}"
