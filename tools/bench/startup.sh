#!/usr/bin/env bash
# Start-up time to the first drawn frame and peak memory of the real game, headless.
# Usage: tools/bench/startup.sh [run folder] [runs]   (default: build/run, 5 runs)
# Each run copies the run folder, starts Quibly with an automation script that saves the picture
# of the first presented frame at frame 1 and quits at frame 2, and reports the time from launch
# to that picture and the peak resident memory of the whole run.
set -euo pipefail

RUN_DIR=$(realpath "${1:-build/run}")
RUNS=${2:-5}
[[ -x "$RUN_DIR/Quibly" ]] || { echo "no Quibly in $RUN_DIR (build it first)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

for ((i = 1; i <= RUNS; i++)); do
  copy="$WORK/run$i"
  cp -r "$RUN_DIR" "$copy"
  rm -f "$copy/QuiblyConfig.pak" "$copy/Log_VODozivo.txt"
  printf '1 shot first.png\n2 quit\n' > "$copy/script.txt"
  start=$(date +%s%N)
  ( cd "$copy" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 \
      QUIBLY_DEBUG_OUTPUT=0 QUIBLY_PROFILE_DIR="$WORK/profile$i" QUIBLY_AUTOMATION=script.txt \
      /usr/bin/time -f '%M' -o "$copy/peak.txt" ./Quibly >/dev/null 2>&1 )
  [[ -f "$copy/first.png" ]] || { echo "run $i: no first frame was saved" >&2; exit 1; }
  shot=$(stat -c %.9Y "$copy/first.png" | tr -d .)
  printf 'run %d: first frame %4d ms, peak memory %6d KiB\n' "$i" $(((shot - start) / 1000000)) "$(cat "$copy/peak.txt")"
done
