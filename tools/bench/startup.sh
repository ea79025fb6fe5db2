#!/usr/bin/env bash
# Start-up time to the first drawn frame and memory of the real game, headless, side by side with
# SDL's testsprite2 (2,000 sprites, opengl renderer) in alternating rounds of the same run.
# Usage: tools/bench/startup.sh [run folder] [rounds]   (default: build/run, 5 rounds)
# Each game round copies the run folder and starts Quibly with an automation script that saves
# the picture of the first presented frame at frame 1 and quits at frame 2: the time from launch
# to that picture, and the peak resident memory of the run. A second game run goes on to the
# menu's main screen (the logo and the title skipped) and quits there: its peak resident memory
# is the memory at the main screen. testsprite2 runs with the preload of presentshim.c, which
# waits for the first frame to be drawn, marks the time in a file and ends the program.
set -euo pipefail

RUN_DIR=$(realpath "${1:-build/run}")
ROUNDS=${2:-5}
SPRITES=${SPRITES:-2000}
TESTSPRITE=/usr/libexec/installed-tests/SDL2/testsprite2
[[ -x "$RUN_DIR/Quibly" ]] || { echo "no Quibly in $RUN_DIR (build it first)" >&2; exit 1; }
[[ -x "$TESTSPRITE" ]] || { echo "no $TESTSPRITE (Debian package libsdl2-tests)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
gcc -O2 -shared -fPIC "$(dirname "${BASH_SOURCE[0]}")/presentshim.c" -o "$WORK/presentshim.so" -ldl -lGL

now_ns() { date +%s%N; }
mtime_ns() { stat -c %.9Y "$1" | tr -d .; }

# Runs the game on a script in a fresh copy; prints "<first frame ms> <peak KiB>" (the first
# frame only when the script saves first.png).
game_run() {
  local script=$1 copy="$WORK/game"
  rm -rf "$copy" "$WORK/profile"
  cp -r "$RUN_DIR" "$copy"
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
  if [[ -f "$copy/first.png" ]]; then first=$((($(mtime_ns "$copy/first.png") - start) / 1000000)); fi
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

FIRST_SCRIPT='1 shot first.png\n2 quit\n'
MAIN_SCRIPT='40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n600 shot main.png\n610 quit\n'
gf=() gm=() sf=() sm=() mm=()
for ((i = 1; i <= ROUNDS; i++)); do
  if ((i % 2)); then g=$(game_run "$FIRST_SCRIPT"); s=$(sprite_run); else s=$(sprite_run); g=$(game_run "$FIRST_SCRIPT"); fi
  m=$(game_run "$MAIN_SCRIPT")
  read -r g1 g2 <<<"$g"; read -r s1 s2 <<<"$s"; read -r _ m2 <<<"$m"
  gf+=("$g1"); gm+=("$g2"); sf+=("$s1"); sm+=("$s2"); mm+=("$m2")
  printf 'round %d: first frame: game %5d ms (peak %6d KiB), testsprite2 %5d ms (peak %6d KiB); main screen peak %6d KiB\n' \
    "$i" "$g1" "$g2" "$s1" "$s2" "$m2"
done
awk -v g="$(median "${gf[@]}")" -v s="$(median "${sf[@]}")" -v gm="$(median "${gm[@]}")" -v sm="$(median "${sm[@]}")" \
    -v mm="$(median "${mm[@]}")" 'BEGIN {
  printf "median: first frame game %d ms, testsprite2 %d ms, ratio %.2f\n", g, s, g / s
  printf "median: peak memory at the first frame game %.0f MiB, testsprite2 %.0f MiB; game at the main screen %.0f MiB\n", gm / 1024, sm / 1024, mm / 1024
}'
