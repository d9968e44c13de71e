#!/usr/bin/env bash
# saltburst-sim from the outside: stable output, its options, and bad input refused with the line named.
set -uo pipefail
sim=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"
fail() { echo "FAILED: $*"; exit 1; }

printf '0 key 27\n2 move 320 262\n3 click 1\n40 move 300 200\n41 mousedown 1\n60 mouseup 1\n90 key 32\n' > "$work/script"
"$sim" --seed 5 --script "$work/script" --frames 120 --workdir "$work" > "$work/a" || fail "first run"
"$sim" --seed 5 --script "$work/script" --frames 120 --workdir "$work" > "$work/b" || fail "second run"
cmp -s "$work/a" "$work/b" || fail "two runs of the same script differ"
[ "$(wc -l < "$work/a")" -eq 121 ] || fail "expected 120 state lines and the end line"
tail -n 1 "$work/a" | grep -qx '{"end":"frames","frame":120}' || fail "last line: $(tail -n 1 "$work/a")"
sed -n 1p "$work/a" | grep -q '"phase":"splash"' || fail "frame 1 belongs to the splash"
sed -n 100p "$work/a" | grep -q '"game_state":3' || fail "Space at frame 90 pauses the game"
"$sim" --seed 6 --script "$work/script" --frames 120 --workdir "$work" > "$work/c" || fail "third run"
cmp -s "$work/a" "$work/c" && fail "another seed gives the same game"

"$sim" --script "$work/script" --frames 50 --every 20 --workdir "$work" > "$work/every" || fail "--every"
[ "$(grep -c '"frame"' "$work/every")" -eq 4 ] || fail "--every 20 over 50 frames prints frames 20, 40, 50 and the end"
"$sim" --script "$work/script" --frames 50 --quiet --workdir "$work" > "$work/quiet" || fail "--quiet"
[ "$(wc -l < "$work/quiet")" -eq 2 ] || fail "--quiet prints the last state and the end"

printf '0 key 27\n5 key 27\n' | "$sim" --script - --workdir "$work" > "$work/esc" || fail "escape run"
tail -n 1 "$work/esc" | grep -qx '{"end":"escape","frame":5}' || fail "escape end: $(tail -n 1 "$work/esc")"
[ -f "$work/data/hiscore.dat" ] || fail "an orderly end writes the best scores"
printf '0 key 27\n3 close\n' | "$sim" --script - --workdir "$work" --quiet | tail -n 1 | grep -q '"end":"close"' || fail "close"

"$sim" --script - --workdir "$work" --frames 2 --shot "1:$work/one.png" < /dev/null > /dev/null || fail "--shot"
[ -s "$work/one.png" ] || fail "no screenshot written"

for bad in '3 kick 27' 'x key 27' '4 move 10' '5 joyaxis z 1' '6 key 27 28'; do
  printf '0 key 27\n%s\n' "$bad" > "$work/bad"
  if "$sim" --script "$work/bad" --workdir "$work" > "$work/out" 2> "$work/err"; then fail "accepted: $bad"; fi
  grep -q 'bad:2:' "$work/err" || fail "the error does not name line 2 for: $bad ($(cat "$work/err"))"
  [ ! -s "$work/out" ] || fail "ran before refusing: $bad"
done
echo "saltburst-sim command line: all checks passed"
