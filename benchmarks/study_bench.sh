#!/usr/bin/env bash
# Speed figures of studies with marrowick-batch, built without sanitizers:
# (a) 1,000 sections (--vary over the default section, --outputs none) with
#     the bundled solver inside the batch, and (b) the same study with
#     --solver naming the bundled solver, one process per script, side by
#     side; (c) 10,000 sections inside the batch; peak memory of (a) and (c);
#     (d) 20 sections with every output, inside the batch and as processes;
#     (e) 1,000 sections none of whose scripts repeats (--vary over the
#     concrete's strength, which every script writes), inside the batch and
#     as processes: in (a) the 21 sweep scripts are the same for every
#     axial force, and inside the batch each runs once.
# Prints wall and processor times; it checks no goal (the machine may be
# shared).
#   benchmarks/study_bench.sh [JOBS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${MARROWICK_BENCH_BUILD:-$root/build-bench}"
jobs="${1:-$(nproc)}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMARROWICK_SANITIZE=OFF \
  -DMARROWICK_TESTS=OFF >/dev/null
cmake --build "$build" --target marrowick-batch marrowick-solver -j2 >/dev/null
batch="$build/bin/marrowick-batch"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
: >"$work/default.ini"

# run LABEL ARGS...: one batch as on a machine without OpenSees; prints its
# wall time, processor time (its own and its solvers') and peak memory.
run() {
  local label="$1"
  shift
  rm -rf "$work/out"
  PATH=/usr/bin:/bin /usr/bin/time -f "%e %U %S %M" -o "$work/time" \
    "$batch" --jobs "$jobs" --out "$work/out" "$@" 2>"$work/log" || true
  read -r wall user sys peak <"$work/time"
  awk -v label="$label" -v wall="$wall" -v user="$user" -v sys="$sys" -v peak="$peak" \
    -v tally="$(tail -n 1 "$work/log" | sed -E 's/^marrowick-batch: ([0-9]+ sections, [0-9]+ done).*/\1/')" \
    'BEGIN { printf "%-44s %7.2f s wall, %7.2f s CPU, peak %6.1f MB; %s\n",
             label, wall, user + sys, peak / 1024, tally }'
  last_wall="$wall"
}

thousand=(--outputs none --vary axial_force_kN=-4995:0:5 "$work/default.ini")
run "(a) 1,000 sections, inside the batch" "${thousand[@]}"
inside="$last_wall"
run "(b) 1,000 sections, solver processes" --solver "$build/bin/marrowick-solver" "${thousand[@]}"
awk -v a="$inside" -v b="$last_wall" 'BEGIN { printf "(b) / (a): %.1f times faster inside the batch\n", b / a }'
run "(c) 10,000 sections, inside the batch" --outputs none \
  --vary axial_force_kN=-4999.5:0:0.5 "$work/default.ini"

for i in $(seq 0 19); do
  cat >"$work/s$i.ini" <<INI
[concrete]
peak_strength_MPa=$((25 + i % 4 * 5))
[section]
width_mm=$((400 + i * 10))
bars_x=$((1 + i % 4))
[analysis]
axial_force_kN=-$((500 + i * 100))
INI
done
run "(d) 20 sections, every output, inside" "$work"/s*.ini
run "(d) 20 sections, every output, processes" --solver "$build/bin/marrowick-solver" \
  "$work"/s*.ini
distinct=(--outputs none --vary peak_strength_MPa=20:69.95:0.05 "$work/default.ini")
run "(e) 1,000 distinct sections, inside" "${distinct[@]}"
inside="$last_wall"
run "(e) 1,000 distinct sections, processes" --solver "$build/bin/marrowick-solver" \
  "${distinct[@]}"
awk -v a="$inside" -v b="$last_wall" 'BEGIN { printf "(e) processes / inside: %.1f times faster inside the batch\n", b / a }'
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
