#!/usr/bin/env bash
# Installs the build in BUILD_DIR into a scratch prefix, then, from an empty
# directory and with no OpenSees on PATH, runs the installed solver on a small
# script and starts the installed program.
#   tests/install/install_test.sh BUILD_DIR
set -euo pipefail
build="${1:?usage: install_test.sh BUILD_DIR}"
prefix="$(mktemp -d)"
work="$(mktemp -d)"
trap 'rm -rf "$prefix" "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

# Marrowick looks for its solver beside its own executable.
[ -x "$prefix/bin/marrowick" ] || fail "bin/marrowick not installed"
[ -x "$prefix/bin/marrowick-solver" ] || fail "bin/marrowick-solver not installed beside marrowick"
[ -x "$prefix/bin/marrowick-batch" ] || fail "bin/marrowick-batch not installed beside marrowick"

desktop="$prefix/share/applications/marrowick.desktop"
icon="$prefix/share/icons/hicolor/64x64/apps/marrowick.png"
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$icon" ] || fail "no icon"
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "the icon is not a PNG"
grep -qx 'Exec=marrowick' "$desktop" || fail "the desktop entry does not start marrowick"
grep -qx 'Icon=marrowick' "$desktop" || fail "the desktop entry does not name the installed icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
else
  echo "desktop-file-validate not found: desktop entry checked by hand only"
fi

# A script of one's own, run where the engineer stands.
cd "$work"
cat > beam.tcl <<'TCL'
wipe
model basic -ndm 2 -ndf 3
node 1 0 0; node 2 0 0
fix 1 1 1 1; fix 2 0 1 0
uniaxialMaterial Elastic 1 30000
section Fiber 1 {
  foreach y {-200 -100 0 100 200} { fiber $y 0 10000 1 }
}
element zeroLengthSection 1 1 2 1
recorder Node -file mk.out -time -node 2 -dof 3 disp
pattern Plain 1 Linear { load 2 0 0 1e6 }
integrator DisplacementControl 2 3 1e-6
test EnergyIncr 1e-10 50
algorithm Newton
analysis Static
puts "analyze returned [analyze 20]"
file delete beam.tcl
TCL
output="$(PATH=/usr/bin:/bin "$prefix/bin/marrowick-solver" beam.tcl)" || fail "the installed solver failed"
[ "$output" = "analyze returned 0" ] || fail "unexpected solver output: $output"
[ "$(wc -l < mk.out)" -eq 20 ] || fail "mk.out has $(wc -l < mk.out) lines, expected 20"
[ ! -e beam.tcl ] || fail "the script did not delete itself"
rm -f mk.out

# The batch command finds the installed solver beside itself.
printf '[analysis]\naxial_segments=2\n' > column.ini
PATH=/usr/bin:/bin "$prefix/bin/marrowick-batch" column.ini 2>/dev/null || fail "the installed batch failed"
[ "$(wc -l < column/m-n.out)" -eq 4 ] || fail "the batch's m-n.out does not have 3 levels"
rm -rf column column.ini study.csv

# The program starts from an empty directory and keeps running until closed.
status=0
PATH=/usr/bin:/bin timeout 5 "$prefix/bin/marrowick" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the installed marrowick exited with status $status instead of running"
[ -z "$(ls -A)" ] || fail "starting marrowick wrote files: $(ls -A)"
echo "installed layout, solver run, batch run and start: ok"
