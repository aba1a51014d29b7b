#!/bin/sh
# veltra-cli on the real reports of the corpus: type and page count of
# every report must match the table "Pages by the program's own rules" at the
# end of the corpus MANIFEST. Skipped when the corpus is not there.
cli="$1"; corpus="$2"
manifest=$(ls "$corpus"/MANIFEST* 2>/dev/null | head -1)
if [ -z "$manifest" ]; then echo "no corpus at $corpus: skipped"; exit 0; fi
fail=0; checked=0
sed -n '/^## Pages by the program/,$p' "$manifest" | grep '^| ' | grep -v '^| file ' |
  sed 's/^| *//; s/ *|$//; s/ *| */|/g' > /tmp/veltra-corpus-table.$$
while IFS='|' read -r file type pages; do
  [ -f "$corpus/$file" ] || { echo "missing: $file"; fail=1; continue; }
  out=$("$cli" info "$corpus/$file") || { echo "FAIL: $file: exit status"; fail=1; continue; }
  got_type=$(echo "$out" | sed -n 's/^type: \([0-9]\).*/\1/p')
  got_pages=$(echo "$out" | sed -n 's/^pages: //p')
  if [ "$got_type" != "$type" ] || [ "$got_pages" != "$pages" ]; then
    echo "FAIL: $file: type $got_type pages $got_pages, manifest says type $type pages $pages"
    fail=1
  fi
  checked=$((checked + 1))
done < /tmp/veltra-corpus-table.$$
n=$(wc -l < /tmp/veltra-corpus-table.$$)
rm -f /tmp/veltra-corpus-table.$$
[ "$n" -gt 0 ] || { echo "FAIL: no rows read from $manifest"; exit 1; }
[ "$fail" -eq 0 ] || exit 1
echo "corpus: $n reports match"
