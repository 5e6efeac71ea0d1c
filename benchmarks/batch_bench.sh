#!/usr/bin/env bash
# Speed figures of marrowick-batch: 20 varied sections, each with the default
# 20 axial segments (22 solver runs a section, 440 in all), with the bundled
# solver, built without sanitizers. Prints the wall time, the solver runs per
# second and the share of the wall time the solver slots stood idle (our own
# work: scripts, results, pictures, start-up); it checks no goal.
#   benchmarks/batch_bench.sh [JOBS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${MARROWICK_BENCH_BUILD:-$root/build-bench}"
jobs="${1:-$(nproc)}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMARROWICK_SANITIZE=OFF \
  -DMARROWICK_TESTS=OFF >/dev/null
cmake --build "$build" --target marrowick-batch marrowick-solver -j2 >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for i in $(seq 0 19); do
  cat >"$work/s$i.ini" <<INI
[concrete]
peak_strength_MPa=$((25 + i % 4 * 5))
[steel]
yield_strength_MPa=$((300 + i % 3 * 50))
[section]
width_mm=$((400 + i * 10))
height_mm=$((500 + i % 5 * 50))
bars_x=$((1 + i % 4))
bars_y=$((1 + i % 3))
bar_diameter_x_mm=$((16 + i % 3 * 4))
fiber_size_mm=$((35 + i % 3 * 5))
[analysis]
axial_force_kN=-$((500 + i * 100))
INI
done

# As on a machine without OpenSees: the bundled solver beside the program.
start=$(date +%s.%N)
PATH=/usr/bin:/bin "$build/bin/marrowick-batch" --jobs "$jobs" --out "$work/out" "$work"/s*.ini \
  2>"$work/log"
end=$(date +%s.%N)
summary=$(tail -n 1 "$work/log")
echo "$summary"
# «…; 440 solver runs in 2.31 s; solvers ran 4.40 s (3.90 s CPU), marrowick-batch 0.20 s CPU»
read -r runs solver solver_cpu own_cpu < <(sed -E \
  's/.*; ([0-9]+) solver runs in .*; solvers ran ([0-9.]+) s \(([0-9.]+) s CPU\), marrowick-batch ([0-9.]+) s CPU/\1 \2 \3 \4/' \
  <<<"$summary")
awk -v start="$start" -v end="$end" -v runs="$runs" -v solver="$solver" -v jobs="$jobs" \
  -v solver_cpu="$solver_cpu" -v own_cpu="$own_cpu" -v cores="$(nproc)" 'BEGIN {
  wall = end - start
  printf "20 sections, %d solver runs, %d at a time, %d cores\n", runs, jobs, cores
  printf "wall time:                 %.2f s\n", wall
  printf "solver runs a second:      %.1f\n", runs / wall
  printf "not spent in solvers:      %.1f %% of %d x the wall time\n", 100 * (1 - solver / (jobs * wall)), jobs
  printf "processor time:            solvers %.2f s, marrowick-batch %.2f s (%.1f %%)\n", solver_cpu, own_cpu,
    100 * own_cpu / (solver_cpu + own_cpu)
  printf "wall time on idle cores:   %.2f s at the least (all processor time over %d cores)\n",
    (solver_cpu + own_cpu) / cores, cores
}'
