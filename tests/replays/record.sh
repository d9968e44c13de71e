#!/usr/bin/env bash
# Records the digests of every replay script anew, after a change that is meant to alter the game.
#   tests/replays/record.sh [SIM]
set -euo pipefail
cd "$(dirname "$0")"
sim=${1:-../../build/release/tools/sim/saltburst-sim}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for script in *.txt; do
  rm -rf "$work/data" && mkdir -p "$work/data" && ln -s "$PWD"/../../data/*.ogg "$work/data/"
  seed=$(grep -o -m1 'seed [0-9]*' "$script" | awk '{print $2}')
  "$sim" --seed "${seed:-1}" --script "$script" --workdir "$work" --digest > "${script%.txt}.digest"
  echo "$script: $(tail -n 1 "${script%.txt}.digest")"
done
