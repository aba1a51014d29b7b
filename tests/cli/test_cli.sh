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
# A report inside an encrypted archive: ARCHIVE:MEMBER with --password,
# member names compared ignoring case; the same pages as the plain file.
if command -v zip >/dev/null; then
  zip -q -j -P pw "$tmp/a.zip" "$samples/statement-cc.rpt" || fail "zip"
  : > "$tmp/EMPTY.RPT"; zip -q -j "$tmp/a.zip" "$tmp/EMPTY.RPT" || fail "zip empty"
  "$cli" info "$tmp/a.zip:STATEMENT-CC.RPT" --password pw > "$tmp/ainfo" || fail "archive info exit status"
  grep -q '^pages: 12$' "$tmp/ainfo" || fail "archive pages: $(cat $tmp/ainfo)"
  "$cli" page --password pw "$tmp/a.zip:statement-cc.rpt" 2 > "$tmp/ap2" || fail "archive page exit status"
  cmp -s "$tmp/p2" "$tmp/ap2" || fail "archive page 2 differs from the plain file's"
  "$cli" info "$tmp/a.zip:statement-cc.rpt" --password nope 2> "$tmp/err" && fail "wrong password must fail"
  grep -q 'wrong password' "$tmp/err" || fail "wrong password message: $(cat $tmp/err)"
  "$cli" info "$tmp/a.zip:statement-cc.rpt" 2> "$tmp/err" && fail "missing password must fail"
  grep -q 'password required' "$tmp/err" || fail "password required message: $(cat $tmp/err)"
  "$cli" info "$tmp/a.zip:other.rpt" 2> "$tmp/err" && fail "missing member must fail"
  grep -q 'not found' "$tmp/err" || fail "missing member message: $(cat $tmp/err)"
  "$cli" info "$tmp/a.zip:empty.rpt" 2> "$tmp/err" && fail "empty member must fail"
  grep -q 'FileSize = 0' "$tmp/err" || fail "empty member message: $(cat $tmp/err)"
  head -c 100 "$tmp/a.zip" > "$tmp/cut.zip"
  "$cli" info "$tmp/cut.zip:statement-cc.rpt" 2> "$tmp/err" && fail "truncated archive must fail"
  grep -q 'damaged' "$tmp/err" || fail "truncated archive message: $(cat $tmp/err)"
fi
# Compressed reports: compress, then every page shows as in the original.
for v in 1A 1B; do
  "$cli" compress "$samples/statement-cc.rpt" "$tmp/c$v.vtc" --version $v > "$tmp/cout" || fail "compress $v exit status"
  grep -q '^pages: 12$' "$tmp/cout" || fail "compress $v output: $(cat $tmp/cout)"
  head -c 19 "$tmp/c$v.vtc" | grep -q '^\*VT COMPRESSION V1\*$' || fail "compress $v header"
  "$cli" info "$tmp/c$v.vtc" > "$tmp/cinfo" || fail "compressed $v info exit status"
  grep -q '^type: 4 compressed$' "$tmp/cinfo" || fail "compressed $v type: $(cat $tmp/cinfo)"
  grep -q '^pages: 12$' "$tmp/cinfo" || fail "compressed $v pages: $(cat $tmp/cinfo)"
  n=1
  while [ $n -le 12 ]; do
    "$cli" page "$samples/statement-cc.rpt" $n > "$tmp/orig" || fail "page $n"
    "$cli" page "$tmp/c$v.vtc" $n > "$tmp/back" || fail "compressed $v page $n exit status"
    cmp -s "$tmp/orig" "$tmp/back" || fail "compressed $v page $n differs"
    n=$((n + 1))
  done
done
"$cli" compress "$samples/statement-cc.rpt" "$tmp/x.vtc" --version 2C 2> "$tmp/err" && fail "unknown version must fail"
grep -q 'unknown compression version' "$tmp/err" || fail "unknown version message: $(cat $tmp/err)"
"$cli" compress "$samples/statement-cc.rpt" "$tmp/no/such/x.vtc" 2> "$tmp/err" && fail "unwritable target must fail"
grep -q 'cannot write' "$tmp/err" || fail "unwritable target message: $(cat $tmp/err)"
[ ! -e "$tmp/x.vtc" ] || fail "a failed compress left a file"
echo "cli ok"
