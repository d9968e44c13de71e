#!/usr/bin/env bash
# Replays a recorded game through saltburst-sim and compares the state of every frame with the
# recorded digests; on a difference it names the first frame that differs and prints its state.
#   check.sh SIM SCRIPT DIGESTS DATA_DIR
set -euo pipefail
sim=$1 script=$2 expected=$3 data=$4
seed=$(grep -o -m1 'seed [0-9]*' "$script" | awk '{print $2}')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"
ln -s "$data"/*.ogg "$work/data/"
"$sim" --seed "${seed:-1}" --script "$script" --workdir "$work" --digest > "$work/actual"
if cmp -s "$expected" "$work/actual"; then
  echo "replay $(basename "$script"): $(wc -l < "$expected") frames as recorded"
  exit 0
fi
first=$(diff <(cat "$expected") <(cat "$work/actual") | grep -m1 -E '^[<>] [0-9]+ ' | awk '{print $2}')
echo "replay $(basename "$script"): the state first differs at frame ${first:-?} (or the run ended differently)"
diff "$expected" "$work/actual" | head -n 6
if [ -n "${first:-}" ]; then
  rm -f "$work/data/hiscore.dat"
  echo "state at frame $first now:"
  "$sim" --seed "${seed:-1}" --script "$script" --workdir "$work" --frames "$first" --quiet | head -n 1
fi
exit 1
