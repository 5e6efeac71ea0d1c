# Fuzz targets beyond the core conversions; sourced by fuzz/run.sh.
sources[result_file]="src/results/result_file.cpp src/core/number_text.cpp"
# The bundled solver in-process: its analysis and Tcl command layer.
sources[solver_script]="$(cd "$root" && ls engine/*.cpp | grep -v engine/main.cpp | tr '\n' ' ')"
extra_flags_of[solver_script]="-I/usr/include/tcl8.6"
libs_of[solver_script]="-ltcl8.6"
