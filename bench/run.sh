#!/bin/sh
# Scan and first-page benchmarks against standard tools on the same files in
# the same run. Not part of the test suite.
#
#   sh bench/run.sh [MIB]     (default 1024: about 1 GiB per report)
#
# Writes the reports into bench/scratch/ (kept between runs) and prints a
# Markdown table for docs/BENCHMARKS.md.
set -e
cd "$(dirname "$0")/.."
mib=${1:-1024}
command -v /usr/bin/time >/dev/null || apt-get install -y -qq time >/dev/null
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRA_TESTS=OFF -DVELTRA_BENCH=ON >/dev/null
cmake --build build-bench --target veltra-cli bench-firstpage bench-openload >/dev/null
cli=build-bench/src/cli/veltra-cli
first=build-bench/bench/bench-firstpage
openload=build-bench/bench/bench-openload
mkdir -p bench/scratch

best_of3() { # prints the best wall time in seconds of three runs of "$@"
  best=""
  for i in 1 2 3; do
    s=$(date +%s.%N); "$@" >/dev/null; e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

echo "| report | size MiB | pages | veltra-cli info s | wc -l s | ratio | first page ms | peak RSS MiB | open to final count s | vs info |"
echo "|---|---|---|---|---|---|---|---|---|---|"
for kind in cc ff plain; do
  f=bench/scratch/$kind-$mib.rpt
  [ -f "$f" ] || python3 bench/gen_report.py $kind "$mib" "$f"
  cat "$f" > /dev/null  # warm the page cache for both tools alike
  tv=$(best_of3 "$cli" info "$f")
  tw=$(best_of3 wc -l "$f")
  pages=$("$cli" info "$f" | sed -n 's/^pages: //p')
  fp=$("$first" "$f")
  rss=$(/usr/bin/time -f %M "$cli" info "$f" 2>&1 >/dev/null | tail -1)
  ol=$("$openload" "$f" | cut -d' ' -f1)
  printf "| %s | %s | %s | %.3f | %.3f | %.2f | %s | %.1f | %.3f | %.2f |\n" "$kind" "$mib" "$pages" "$tv" "$tw" \
    "$(echo "$tv / $tw" | bc -l)" "$fp" "$(echo "$rss / 1024" | bc -l)" "$ol" "$(echo "$ol / $tv" | bc -l)"
done

# Compressed report (made from the carriage-control report) and a zip archive
# holding a 200 MiB report, against the standard tools on the same data:
# `wc -l` on the compressed file, `unzip -p | wc -l` for the archive.
echo
echo "| report | size MiB | pages | veltra-cli info s | standard tool s | ratio | first page ms |"
echo "|---|---|---|---|---|---|---|"
comp=bench/scratch/cc-$mib.vtc
[ -f "$comp" ] || "$cli" compress "bench/scratch/cc-$mib.rpt" "$comp"
cat "$comp" > /dev/null
tv=$(best_of3 "$cli" info "$comp")
tw=$(best_of3 wc -l "$comp")
pages=$("$cli" info "$comp" | sed -n 's/^pages: //p')
fp=$("$first" "$comp")
printf "| compressed | %.0f | %s | %.3f | %.3f (wc -l) | %.2f | %s |\n" \
  "$(echo "$(stat -c %s "$comp") / 1048576" | bc -l)" "$pages" "$tv" "$tw" "$(echo "$tv / $tw" | bc -l)" "$fp"

zsrc=bench/scratch/cc-200.rpt
[ -f "$zsrc" ] || python3 bench/gen_report.py cc 200 "$zsrc"
zarc=bench/scratch/cc-200.zip
if [ ! -f "$zarc" ]; then (cd bench/scratch && zip -q -P bench cc-200.zip cc-200.rpt); fi
unzip_wc() { unzip -p -P bench "$zarc" cc-200.rpt | wc -l; }
tv=$(best_of3 "$cli" info "$zarc:cc-200.rpt" --password bench)
tw=$(best_of3 unzip_wc)
pages=$("$cli" info "$zarc:cc-200.rpt" --password bench | sed -n 's/^pages: //p')
printf "| zip member (encrypted) | 200 | %s | %.3f | %.3f (unzip -p \\| wc -l) | %.2f | - |\n" \
  "$pages" "$tv" "$tw" "$(echo "$tv / $tw" | bc -l)"
