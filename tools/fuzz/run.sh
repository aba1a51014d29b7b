#!/bin/sh
# Builds the libFuzzer drivers with clang and runs each for SECONDS (default
# 600), two at a time, keeping each driver's corpus in fuzz-corpus/NAME/.
# Prints one line per driver: name, executions, seconds, result.
#
#   sh tools/fuzz/run.sh [SECONDS] [DRIVER...]
set -e
cd "$(dirname "$0")/../.."
secs=${1:-600}
[ $# -gt 0 ] && shift
drivers=${*:-"fuzz_scanformat fuzz_pageindex fuzz_expandblock fuzz_zipreader fuzz_profile"}
cmake -S . -B build-fuzz -G Ninja -DVELTRA_FUZZ=ON -DVELTRA_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" >/dev/null
# shellcheck disable=SC2086
cmake --build build-fuzz --target $drivers >/dev/null
mkdir -p fuzz-corpus fuzz-logs
# Seed inputs kept in the tree (small valid files, so that a run starts
# inside the format rather than at its first check).
seeds() { [ -d "tools/fuzz/seeds/$1" ] && echo "tools/fuzz/seeds/$1"; true; }
run_one() {
  mkdir -p "fuzz-corpus/$1"
  if build-fuzz/tools/fuzz/"$1" -max_len=140000 -max_total_time="$secs" -print_final_stats=1 \
       -artifact_prefix="fuzz-logs/$1-" "fuzz-corpus/$1" $(seeds "$1") >"fuzz-logs/$1.log" 2>&1; then
    result=clean
  else
    result="FINDING (see fuzz-logs/$1.log)"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "fuzz-logs/$1.log" | tail -1)
  echo "$1 $runs ${secs}s $result"
}
set -- $drivers
while [ $# -gt 0 ]; do
  a=$1; shift
  if [ $# -gt 0 ]; then
    b=$1; shift
    run_one "$a" > "fuzz-logs/$a.result" & run_one "$b" > "fuzz-logs/$b.result"; wait
    cat "fuzz-logs/$a.result" "fuzz-logs/$b.result"
  else
    run_one "$a"
  fi
done
