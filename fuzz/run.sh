#!/usr/bin/env bash
# Builds the libFuzzer targets (CMake with -DMARROWICK_FUZZ=ON and clang,
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for the given
# number of seconds, starting from the seed corpus kept in the repo.
#   fuzz/run.sh SECONDS [TARGET...]
# Prints one line per target: executions, corpus size and whether it crashed.
# Crash inputs are left in build/fuzz/<target>/ as crash-*.
set -euo pipefail
seconds="${1:?usage: fuzz/run.sh SECONDS [TARGET...]}"
shift
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${MARROWICK_FUZZ_BUILD:-$root/build/fuzz}"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(cd "$root/fuzz" && ls *_fuzz.cpp | sed 's/_fuzz\.cpp$//'))
fi

cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Debug -DMARROWICK_FUZZ=ON -DMARROWICK_TESTS=OFF \
  -DCMAKE_C_COMPILER="${CC_FUZZ:-clang-14}" -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++-14}" \
  >"$out.configure.log" 2>&1 || { cat "$out.configure.log"; exit 1; }
cmake --build "$out" -j2 --target $(printf '%s_fuzz ' "${targets[@]}") >"$out.build.log" 2>&1 ||
  { tail -n 30 "$out.build.log"; exit 1; }

status=0
for target in "${targets[@]}"; do
  mkdir -p "$out/$target/corpus"
  log="$out/$target/last-run.log"
  set +e
  (cd "$out/$target" && UBSAN_OPTIONS=halt_on_error=1 ASAN_OPTIONS=detect_leaks=0 \
     "$out/bin/$target" ${MARROWICK_FUZZ_SEED:+-seed=$MARROWICK_FUZZ_SEED} -max_total_time="$seconds" -timeout=10 -rss_limit_mb=3072 -print_final_stats=1 \
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
