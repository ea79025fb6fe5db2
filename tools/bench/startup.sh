#!/usr/bin/env bash
# Start-up time to the first drawn frame and memory of the real game, headless, side by side with
# SDL's testsprite2 (2,000 sprites, opengl renderer) in alternating rounds of the same run.
# Usage: tools/bench/startup.sh [run folder] [rounds] [other run folder...]
#        (default: build/run, 5 rounds). With other run folders (another build of the game, say
#        before and after a change), every round runs each of them as well, in turn.
# Each game round copies the run folder and starts Quibly with an automation script that writes
# a frames report right after the first presented frame (a line of text, so no picture encoding
# is counted as the game's start, as testsprite2's preload only marks the time too) and quits at
# frame 2: the time from launch to that report, and the peak resident memory of the run. A second game run goes on to the
# menu's main screen (the logo and the title skipped) and quits there: its peak resident memory
# is the memory at the main screen. testsprite2 runs with the preload of presentshim.c, which
# waits for the first frame to be drawn, marks the time in a file and ends the program.
set -euo pipefail

RUN_DIRS=("$(realpath "${1:-build/run}")")
ROUNDS=${2:-5}
for other in "${@:3}"; do RUN_DIRS+=("$(realpath "$other")"); done
SPRITES=${SPRITES:-2000}
TESTSPRITE=/usr/libexec/installed-tests/SDL2/testsprite2
for dir in "${RUN_DIRS[@]}"; do
  [[ -x "$dir/Quibly" ]] || { echo "no Quibly in $dir (build it first)" >&2; exit 1; }
done
[[ -x "$TESTSPRITE" ]] || { echo "no $TESTSPRITE (Debian package libsdl2-tests)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
gcc -O2 -shared -fPIC "$(dirname "${BASH_SOURCE[0]}")/presentshim.c" -o "$WORK/presentshim.so" -ldl -lGL

now_ns() { date +%s%N; }
mtime_ns() { stat -c %.9Y "$1" | tr -d .; }

# Runs the game of a run folder on a script in a fresh copy; prints "<first frame ms> <peak KiB>"
# (the first frame only when the script writes first.txt).
game_run() {
  local dir=$1 script=$2 copy="$WORK/game"
  rm -rf "$copy" "$WORK/profile"
  cp -r "$dir" "$copy"
  rm -f "$copy/QuiblyConfig.pak" "$copy/Log_VODozivo.txt"
  # The first start's story has been seen, so the menu opens on its title.
  printf '<VanteoConfig>\n    <Opening IsShow="1" />\n</VanteoConfig>\n' > "$copy/data/PlayData/QuiblyConfig.xml"
  printf '%b' "$script" > "$copy/script.txt"
  local start
  start=$(now_ns)
  ( cd "$copy" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LP_NUM_THREADS=2 ASAN_OPTIONS=detect_leaks=0 \
      QUIBLY_DEBUG_OUTPUT=0 QUIBLY_PROFILE_DIR="$WORK/profile" QUIBLY_AUTOMATION=script.txt \
      QUIBLY_AUTOMATION_FRAME_MS=16 QUIBLY_AUTOMATION_WAIT_LOADS=1 \
      /usr/bin/time -f '%M' -o "$copy/peak.txt" ./Quibly >/dev/null 2>&1 )
  local first=-
  if [[ -f "$copy/first.txt" ]]; then first=$((($(mtime_ns "$copy/first.txt") - start) / 1000000)); fi
  echo "$first $(cat "$copy/peak.txt")"
}

sprite_run() {
  rm -f "$WORK/sprite.first"
  local start
  start=$(now_ns)
  ( cd "$(dirname "$TESTSPRITE")" && SDL_VIDEODRIVER=offscreen LP_NUM_THREADS=2 LD_PRELOAD="$WORK/presentshim.so" \
      FIRST_FRAME_FILE="$WORK/sprite.first" /usr/bin/time -f '%M' -o "$WORK/sprite.peak" \
      ./testsprite2 --renderer opengl --geometry 1024x768 --blend blend "$SPRITES" >/dev/null 2>&1 ) || true
  [[ -f "$WORK/sprite.first" ]] || { echo "testsprite2 drew no frame" >&2; exit 1; }
  echo "$((($(mtime_ns "$WORK/sprite.first") - start) / 1000000)) $(cat "$WORK/sprite.peak")"
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

FIRST_SCRIPT='1 frames first.txt\n2 quit\n'
MAIN_SCRIPT='40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n600 shot main.png\n610 quit\n'
# Per build b: first frame (gf_b), peak at the first frame (gm_b), peak at the main screen (mm_b).
declare -A gf gm mm
sf=() sm=()
for ((i = 1; i <= ROUNDS; i++)); do
  line="round $i:"
  # testsprite2 runs first in odd rounds and last in even ones.
  if ((i % 2)); then s=$(sprite_run); fi
  for b in "${!RUN_DIRS[@]}"; do
    read -r g1 g2 <<<"$(game_run "${RUN_DIRS[$b]}" "$FIRST_SCRIPT")"
    read -r _ m2 <<<"$(game_run "${RUN_DIRS[$b]}" "$MAIN_SCRIPT")"
    gf[$b]+="$g1 "; gm[$b]+="$g2 "; mm[$b]+="$m2 "
    line+=$(printf ' game%s %5d ms (peak %6d KiB, main screen %6d KiB);' "$([[ $b == 0 ]] || echo " $b")" "$g1" "$g2" "$m2")
  done
  if ! ((i % 2)); then s=$(sprite_run); fi
  read -r s1 s2 <<<"$s"
  sf+=("$s1"); sm+=("$s2")
  printf '%s testsprite2 %5d ms (peak %6d KiB)\n' "$line" "$s1" "$s2"
done
s_med=$(median "${sf[@]}")
awk -v s="$s_med" -v sm="$(median "${sm[@]}")" 'BEGIN { printf "median: testsprite2 first frame %d ms, peak %.0f MiB\n", s, sm / 1024 }'
for b in "${!RUN_DIRS[@]}"; do
  # shellcheck disable=SC2086
  awk -v dir="${RUN_DIRS[$b]}" -v g="$(median ${gf[$b]})" -v s="$s_med" -v gm="$(median ${gm[$b]})" \
      -v mm="$(median ${mm[$b]})" 'BEGIN {
    printf "median: %s: first frame %d ms, ratio to testsprite2 %.2f; peak at the first frame %.0f MiB, at the main screen %.0f MiB\n", dir, g, g / s, gm / 1024, mm / 1024
  }'
done
