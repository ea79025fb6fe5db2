# Sourced by the frame-time benchmarks (freeplay.sh, battle.sh): the checks, the work folder, the
# testsprite2 preload, a fresh copy of the run folder for each game round, the timed game run and
# the medians. The caller sets RUN_DIR, FRAMES and SPRITES first.

TESTSPRITE=/usr/libexec/installed-tests/SDL2/testsprite2

# Checks both programs, makes the work folder WORK (removed on exit) and builds the preload.
bench_start() {
  [[ -x "$RUN_DIR/Quibly" ]] || { echo "no Quibly in $RUN_DIR (build it first)" >&2; exit 1; }
  [[ -x "$TESTSPRITE" ]] || { echo "no $TESTSPRITE (Debian package libsdl2-tests)" >&2; exit 1; }
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
  gcc -O2 -shared -fPIC "$(dirname "${BASH_SOURCE[0]}")/presentshim.c" -o "$WORK/presentshim.so" -ldl -lGL
}

# A fresh copy of the run folder at $WORK/game, without saved options or log.
fresh_game_copy() {
  rm -rf "$WORK/game" "$WORK/profile"
  cp -r "$RUN_DIR" "$WORK/game"
  rm -f "$WORK/game/QuiblyConfig.pak" "$WORK/game/Log_VODozivo.txt"
}

# Runs the copy headless on its script.txt, which saves first.png and, FRAMES frames later,
# second.png: each save reads the finished picture back, so the time between the two files,
# divided by FRAMES, is the time per drawn frame (printed in ms). KEEP=<folder> keeps the
# pictures there.
time_game_copy() {
  local copy="$WORK/game"
  ( cd "$copy" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LP_NUM_THREADS=2 ASAN_OPTIONS=detect_leaks=0 \
      QUIBLY_DEBUG_OUTPUT=0 QUIBLY_AUTOMATION_FRAME_MS=16 QUIBLY_AUTOMATION_WAIT_LOADS=1 QUIBLY_PROFILE_DIR="$WORK/profile" \
      QUIBLY_AUTOMATION=script.txt ./Quibly >/dev/null 2>&1 )
  [[ -f "$copy/first.png" && -f "$copy/second.png" ]] || { echo "the game saved no pictures" >&2; exit 1; }
  [[ -z "${KEEP:-}" ]] || { mkdir -p "$KEEP" && cp "$copy/first.png" "$copy/second.png" "$KEEP/"; }
  local t1 t2
  t1=$(stat -c %.9Y "$copy/first.png" | tr -d .)
  t2=$(stat -c %.9Y "$copy/second.png" | tr -d .)
  awk -v a="$t1" -v b="$t2" -v n="$FRAMES" 'BEGIN { printf "%.2f", (b - a) / 1e6 / n }'
}

# testsprite2 with SPRITES sprites, timed by the preload: ms per drawn frame.
sprite_round() {
  ( cd "$(dirname "$TESTSPRITE")" && SDL_VIDEODRIVER=offscreen LP_NUM_THREADS=2 LD_PRELOAD="$WORK/presentshim.so" \
      FRAMES="$FRAMES" ./testsprite2 --renderer opengl --geometry 1024x768 --blend blend "$SPRITES" 2>&1 >/dev/null |
      sed -n 's/^true \([0-9.]*\) ms\/frame$/\1/p' )
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
