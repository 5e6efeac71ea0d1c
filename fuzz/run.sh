#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for the given number of seconds,
# starting from the seed corpus kept in the repo.
#   fuzz/run.sh SECONDS [TARGET...]
# Prints one line per target: executions, corpus size and whether it crashed.
# Crash inputs are left in build/fuzz/<target>/ as crash-*.
set -euo pipefail
seconds="${1:?usage: fuzz/run.sh SECONDS [TARGET...]}"
shift
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${MARROWICK_FUZZ_BUILD:-$root/build/fuzz}"
cxx="${CXX_FUZZ:-clang++-14}"
mkdir -p "$out"

declare -A sources=(
  [parse_number]="src/core/number_text.cpp"
  [format_exponent]="src/core/number_text.cpp"
  [fiber_model]="src/section/fiber_model.cpp"
)
core="src/core/failure.cpp src/core/extended_arithmetic.cpp src/core/decimal_symbol.cpp src/core/text_file.cpp"
declare -A extra_flags_of=() libs_of=()
if [ -f "$root/fuzz/targets.sh" ]; then
  # More targets (result reader, solver) register themselves here.
  source "$root/fuzz/targets.sh"
fi

targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=($(printf '%s\n' "${!sources[@]}" | sort))

flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -ffp-contract=off -I"$root/src" -I"$root/engine")
status=0
for target in "${targets[@]}"; do
  binary="$out/$target/$target"
  mkdir -p "$out/$target/corpus"
  files=("$root/fuzz/${target}_fuzz.cpp")
  for f in $core ${sources[$target]}; do files+=("$root/$f"); done
  newest=$(ls -t "${files[@]}" | head -n 1)
  if [ ! -x "$binary" ] || [ "$newest" -nt "$binary" ]; then
    "$cxx" "${flags[@]}" ${extra_flags_of[$target]:-} "${files[@]}" -o "$binary" ${libs_of[$target]:-}
  fi
  log="$out/$target/last-run.log"
  set +e
  (cd "$out/$target" && UBSAN_OPTIONS=halt_on_error=1 ASAN_OPTIONS=detect_leaks=0 \
     "$binary" ${MARROWICK_FUZZ_SEED:+-seed=$MARROWICK_FUZZ_SEED} -max_total_time="$seconds" -timeout=10 -rss_limit_mb=3072 -print_final_stats=1 \
     corpus "$root/fuzz/corpus/$target" >"$log" 2>&1)
  rc=$?
  set -e
  runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
  if [ $rc -ne 0 ]; then
    echo "$target: FAILED after ${runs:-?} executions (see $log)"
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -n 5
    status=1
  else
    echo "$target: ${runs:-0} executions in ${seconds}s, corpus $(ls "$out/$target/corpus" | wc -l), no crash"
  fi
done
exit $status
