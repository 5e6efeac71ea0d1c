# Fuzz targets beyond the core conversions; sourced by fuzz/run.sh.
sources[result_file]="src/results/result_file.cpp src/core/number_text.cpp"
