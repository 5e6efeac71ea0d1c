#!/usr/bin/env bash
# Builds Marrowick and starts it in the current directory, where it writes its
# scripts and reads the solver's results.
set -euo pipefail
here="$(pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DMARROWICK_TESTS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)"
cd "$here"
exec "$root/build/release/bin/marrowick" "$@"
