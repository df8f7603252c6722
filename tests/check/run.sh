#!/bin/sh
# vorska-check against the golden report beside each definition file here, on the sample data
# (clean even with --werror), on a folder (status 2), and its sheet of tiny.dat by size and pixels.
# Run from the repository root: tests/check/run.sh path/to/vorska-check
check=$1
out=${TMPDIR:-/tmp}/vorska-check.$$
fail=0
for dat in tests/check/*.dat; do
	{ "$check" "$dat"; echo "exit $?"; } | diff -u "${dat%.dat}.golden" - || fail=1
done
"$check" --werror >"$out.txt" || { cat "$out.txt"; fail=1; }
"$check" tests/check >/dev/null 2>&1
[ $? -eq 2 ] || { echo "a folder must give status 2"; fail=1; }
"$check" --sheet "$out.png" tests/check/tiny.dat >/dev/null
px() { convert "$out.png" -format "%[pixel:p{$1,$2}]" info:; }
# size; background; hit box corner; picture box corner; the shot's own pixels inside both
got="$(identify -format %wx%h "$out.png") $(px 0 0) $(px 37 62) $(px 39 58) $(px 41 64)"
want="381x122 srgb(36,36,44) srgb(250,0,0) srgb(200,200,200) srgb(235,255,255)"
[ "$got" = "$want" ] || { echo "sheet: got $got, want $want"; fail=1; }
rm -f "$out.txt" "$out.png"
exit $fail
