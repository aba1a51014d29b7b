#!/bin/sh
# veltra-cli on the bundled sample: page count, page list, page text, errors.
cli="$1"; samples="$2"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cli" info "$samples/statement-cc.rpt" > "$tmp/info" || fail "info exit status"
grep -q '^type: 1 carriage-control$' "$tmp/info" || fail "type: $(cat $tmp/info)"
grep -q '^pages: 12$' "$tmp/info" || fail "pages: $(cat $tmp/info)"

"$cli" pages "$samples/statement-cc.rpt" > "$tmp/pages" || fail "pages exit status"
[ "$(wc -l < "$tmp/pages")" -eq 12 ] || fail "page list length"
head -1 "$tmp/pages" | grep -q '^1 0 ' || fail "page 1 starts at 0"

"$cli" page "$samples/statement-cc.rpt" 2 > "$tmp/p2" || fail "page exit status"
head -1 "$tmp/p2" | grep -q 'PAGE     2' || fail "page 2 heading"

"$cli" info "$tmp/missing.txt" 2> "$tmp/err" && fail "missing file must fail"
grep -q 'Could not open file 01' "$tmp/err" || fail "missing file message"
: > "$tmp/empty.txt"
"$cli" info "$tmp/empty.txt" 2>/dev/null && fail "empty file must fail"
"$cli" page "$samples/statement-cc.rpt" 99 2>/dev/null && fail "page out of range must fail"
echo "cli ok"
