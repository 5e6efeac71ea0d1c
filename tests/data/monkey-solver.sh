#!/bin/bash
# The monkey test's stand-in solver, installed as opensees.exe with @MODES@
# and @DONE@ replaced by the paths of its mode and done files. It reads its
# answer from the mode file, one letter per level (level n takes letter n,
# round the string): g a good recorder file, b a bad one (each level its own
# kind of bad), n no file at all, s slow (a pause, then a good file). It notes
# in the done file when it has read its answer and again when it ends.
PATH=/usr/bin:/bin
case "$1" in
  os.tcl) n=1; out=mom_cur.out ;;
  P*.tcl) n=${1#P}; n=${n%.tcl}; out="P${n}_mom_cur.out" ;;
  *) exit 2 ;;
esac
read -r modes < "@MODES@"
mode=${modes:$(( (n - 1) % ${#modes} )):1}
echo "start $1" >> "@DONE@"
kind=fast
case "$mode" in
  s) kind=slow; sleep 0.$(( n % 3 + 1 ))
     printf '0 0 \n%d.5 1e-06 \n%d 2e-06 \n' $(( n * 37 % 101 + 1 )) $(( n % 7 )) > "$out" ;;
  g) printf '0 0 \n%d.5 1e-06 \n%d 2e-06 \n' $(( n * 37 % 101 + 1 )) $(( n % 7 )) > "$out" ;;
  b) case $(( n % 5 )) in
       0) printf 'garbage \n' ;;
       1) printf '1,5 2 \n' ;;
       2) printf '\n' ;;
       3) printf '12.5 3e-' ;;
       4) printf '1e400 1 \n' ;;
     esac > "$out" ;;
esac
echo "$kind $1" >> "@DONE@"
