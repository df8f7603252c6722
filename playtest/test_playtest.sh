#!/bin/sh
# vorska-playtest from another folder: bad input's statuses and messages, a ship that leaves
# the world or explodes for ever, the shape of --tsv, and that it measures the file it is
# given: bullets six times wider and taller cost the novice more lives (seeded runs, so the
# same every time), and that a pilot's run played back on that file loses the same lives.
# Usage: test_playtest.sh PROGRAM VORSKA-REPLAY
pt=$1
replay=$2
sample="$(cd "$(dirname "$0")/.." && pwd)/data/entity.dat"
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT && cd "$dir" || exit 1
fail() { echo "FAIL: $*"; exit 1; }
# status, a line the messages must hold, then the arguments
expect() {
	want=$1 line=$2 && shift 2
	"$pt" "$@" >out 2>err
	got=$?
	{ [ "$got" = "$want" ] && grep -qF "$line" err; } || fail "$*: status $got, messages: $(cat err)"
}
expect 2 "missing.dat: error: cannot read the file (No such file or directory)" missing.dat
sed 's/^ENTITY Player$/ENTITY Pilot/' "$sample" >noplayer.dat
expect 1 "Could not find EntityData: Player" noplayer.dat
expect 2 "usage: vorska-playtest" --tsv --cycles
expect 0 "" --runs=1 --cycles 10 --plot p.png
[ -s p.png ] || grep -q "gnuplot is not installed" err || fail "--plot: neither a plot nor why not"
sed 's/ENTER EF_PLAYER_GONE/ENTER EF_DIE/' "$sample" >gone.dat
expect 0 "" --runs 1 --cycles 1500 --tsv gone.dat
grep -q "^still	1	0	1	" out || fail "a ship removed from the world: $(cat out)"
# what follows plays whole games: the sanitizer build, ten times slower, leaves it to the others
[ -n "$PLAYTEST_QUICK" ] && exit 0
# a DEATH that never ends: the run still ends at the top (the test's timeout guards a hang)
sed -e 's/ ENTER EF_PLAYER_DIE//; s/ ENTER EF_PLAYER_GONE//; s/NEXT_STATE REBORN/LOOP 0/' "$sample" >stuck.dat
expect 0 "" --runs 1 --tsv stuck.dat

sed '/^ENTITY Bullet/,/END_ENTITY/s/WIDTH 3 HEIGHT 3/WIDTH 18 HEIGHT 18/' "$sample" >wide.dat
grep -q "WIDTH 18 HEIGHT 18" wide.dat || fail "the sample's bullets are no longer 3 by 3"
"$pt" --runs 3 --cycles 2000 --tsv >sample.tsv 2>/dev/null || fail "the sample"
"$pt" --runs 3 --cycles 2000 --tsv wide.dat >wide.tsv 2>/dev/null || fail "wide bullets"
for tsv in sample.tsv wide.tsv; do
	awk -F'\t' 'BEGIN { split("still novice skilled", pilot, " ") }
		NF != 5 || $1 != pilot[NR] || $2 != 3 || $3 !~ /^[0-3]$/ || $4 !~ /^[0-9]+$/ || $5 !~ /^(-|[01]\.[0-9]+)$/ { bad = 1 }
		END { exit bad || NR != 3 }' $tsv || fail "$tsv: $(cat $tsv)"
done
lost() { awk '$1 == "novice" { print $4 }' "$1"; }
[ "$(lost wide.tsv)" -gt "$(lost sample.tsv)" ] || fail "wide bullets cost the novice no more lives: $(cat sample.tsv wide.tsv)"
"$pt" --runs 1 --cycles 1500 --tsv --runs-to runs wide.dat >one.tsv 2>/dev/null || fail "--runs-to"
[ "$(echo runs/*)" = "runs/novice-1.vrun runs/skilled-1.vrun runs/still-1.vrun" ] || fail "runs: $(echo runs/*)"
"$replay" --headless --level wide.dat runs/novice-1.vrun >replayed || fail "novice-1.vrun: $(cat replayed)"
grep -q "cycles played, $(lost one.tsv) lives lost" replayed || fail "novice-1.vrun: $(tail -n 1 replayed), $(cat one.tsv)"
