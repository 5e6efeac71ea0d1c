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
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<MSG
Marrowick is built ($root/build/release/bin/marrowick), but it is a desktop
program and this session has no display (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session, or try it in a virtual display:
    xvfb-run -a -s "-screen 0 1280x800x24" $root/build/release/bin/marrowick
MSG
  exit 1
fi
exec "$root/build/release/bin/marrowick" "$@"
