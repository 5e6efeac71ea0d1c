#!/usr/bin/env bash
# Starts the real window on a virtual X display under a window manager, takes
# the default section through both analyses with the bundled solver and saves
# what a person would see:
#   docs/section-view.png       after "输入数据" and "显示截面"
#   docs/moment-curvature.png   after "OpenSEES弯矩曲率分析" and "显示弯矩曲率曲线"
#   docs/interaction-curve.png  after "OpenSEES PM分析" and "显示PM曲线"
#   docs/key-points.png, docs/context-menu.png
#   docs/report-page1.png, docs/report-page2.png  保存报告… at the end, its pages at 100 dpi
#   docs/design-curve.png       the same beside GB 50010's design curve (C30, HRB400)
#   docs/confinement-dialog.png, docs/confined-section-view.png and
#   docs/confined-key-points.png  the same section with hoops, under 3000 kN
#   docs/circle-section-view.png, docs/circle-moment-curvature.png and
#   docs/circle-interaction-curve.png  a circular column (圆形柱) with a spiral
#   docs/section-view-screen.png (only with --screen) the whole display, frame and title included
# It prints the window title as the window manager reads it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${MARROWICK_BUILD:-$root/build/screenshot}"
# The tool is built with the tests; a window manager (openbox, small and
# ordinary) draws the title bar, and xprop and import read the screen.
# pdftoppm (poppler-utils, with the test packages) makes the report's pages.
"$root/scripts/install-deps.sh" --test openbox x11-utils imagemagick

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target marrowick_screenshot -j"$(nproc)"

screen_file=""
if [ "${1:-}" = "--screen" ]; then screen_file="$root/docs/section-view-screen.png"; fi
mkdir -p "$root/docs"
# The solvers write their scripts and results in the current directory.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
# No opensees.exe on PATH: the pictures show the bundled solver's results.
PATH=/usr/bin:/bin ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" \
  MARROWICK_SCREENSHOTS="$root/docs" MARROWICK_SCREEN="$screen_file" \
  xvfb-run -a -s "-screen 0 1280x800x24" \
  sh -c 'openbox >/dev/null 2>&1 & sleep 1; "$0"' "$build/bin/marrowick_screenshot"
for page in 1 2; do
  pdftoppm -png -r 100 -f "$page" -l "$page" -singlefile "$work/report.pdf" "$root/docs/report-page$page"
  echo "saved $root/docs/report-page$page.png"
done
