#!/usr/bin/env bash
# run.sh [RUNS [TARGET...]]: builds the fuzz targets (clang, libFuzzer, ASan and UBSan) in build/fuzz
# and runs each for RUNS inputs (10^7 unless told), its corpus kept in build/fuzz/corpus.
# Prints per target the inputs run, the time and the rate; exits 1 on the first target that crashes,
# leaks or trips a check (the input is left in build/fuzz/crashes).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-10000000}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(datagram_fuzz endpoint_properties_fuzz settings_record_fuzz firmware_image_fuzz command_line_fuzz)
build=$root/build/fuzz
command -v clang++ >/dev/null || { echo "run.sh: needs clang with libFuzzer (Debian: apt-get install clang)" >&2; exit 2; }

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKVR_FUZZ=ON -DKVR_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/crashes"
printf '%-26s %12s %9s %10s\n' target inputs seconds inputs/s
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  # An image of up to 16 blocks; the other inputs are datagrams, texts and records, 4 KB is plenty.
  max_len=4096
  [ "$target" = firmware_image_fuzz ] && max_len=16384
  log=$build/$target.log
  start=$(date +%s.%N)
  if ! "$build/tools/fuzz/$target" -runs="$runs" -max_len=$max_len -print_final_stats=1 \
       -artifact_prefix="$build/crashes/$target-" "$corpus" >"$log" 2>&1; then
    tail -40 "$log" >&2
    echo "$target: FAILED (log: $log)" >&2
    exit 1
  fi
  end=$(date +%s.%N)
  done_runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  python3 -c "import sys; r, t = int(sys.argv[2]), float(sys.argv[4]) - float(sys.argv[3]); \
print(f'{sys.argv[1]:<26} {r:>12} {t:>9.1f} {r / t:>10.0f}')" "$target" "$done_runs" "$start" "$end"
done
