#!/usr/bin/env bash
# Frame time of free play with the 14 x 14 board in play, next to SDL's testsprite2 at 2,000
# sprites, in alternating rounds of the same run (method: tools/bench/README.md).
# Usage: tools/bench/freeplay.sh [run folder] [rounds]   (default: build/run, 5 rounds)
# The game runs headless from a copy of the run folder whose third free-play stage (the one the
# menu starts) is made 14 x 14 on the 14 x 14 layout. The script skips the logo, starts free play,
# lets the ready-go pass, then saves a picture at two frames FRAMES apart: each save reads the
# finished picture back, so the time between the two saves, divided by FRAMES, is the time per
# drawn frame. testsprite2 is timed the same way by a preload that finishes drawing after frame 20
# and again FRAMES frames later.
set -euo pipefail

RUN_DIR=$(realpath "${1:-build/run}")
ROUNDS=${2:-5}
FRAMES=${FRAMES:-300}
SPRITES=${SPRITES:-2000}
. "$(dirname "${BASH_SOURCE[0]}")/framebench.sh"
bench_start

# Frames of the script (scene loads not counted): the logo is skipped at 40, the menu's title at
# 200, its main screen is clicked on an empty spot at 520, F starts free play at 700, the ready-go
# is long over by 1000; the two saves are FRAMES apart.
FIRST=1000
SECOND=$((FIRST + FRAMES))
game_round() {
  local copy="$WORK/game"
  fresh_game_copy
  # The third stage becomes the 14 x 14 board, drawn in the 14 x 14 layout.
  sed -i 's|<Stage name="8X8" XGrid="8" YGrid="8"|<Stage name="8X8" XGrid="14" YGrid="14"|' \
    "$copy/data/PlayData/QuiblyConfig_Puzzle.xml"
  sed -i 's|LayoutPuzzle8="LayoutPuzzle8.xml"|LayoutPuzzle8="LayoutPuzzle14.xml"|' "$copy/data/KVSkin_Default.xml"
  # The first start's story has been seen, so the menu opens on its title.
  printf '<VanteoConfig>\n    <Opening IsShow="1" />\n</VanteoConfig>\n' > "$copy/data/PlayData/QuiblyConfig.xml"
  # While measured, the player presses a cell of the 14 x 14 board every 20 frames, so blocks
  # clear, fall and refill as in play.
  {
    printf '40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n700 key 46\n900 move 660 384\n'
    printf '%d shot first.png\n' "$FIRST"
    for ((f = FIRST + 10, k = 0; f < SECOND; f += 20, k++)); do
      printf '%d press %d %d\n' "$f" $((345 + 45 * ((k * 5) % 14) + 22)) $((69 + 45 * ((k * 3) % 14) + 22))
    done
    printf '%d shot second.png\n%d quit\n' "$SECOND" $((SECOND + 2))
  } > "$copy/script.txt"
  time_game_copy
}

games=()
sprites=()
for ((i = 1; i <= ROUNDS; i++)); do
  if ((i % 2)); then g=$(game_round); s=$(sprite_round); else s=$(sprite_round); g=$(game_round); fi
  games+=("$g")
  sprites+=("$s")
  printf 'round %d: free play 14x14 %6s ms/frame   testsprite2 %d sprites %6s ms/frame\n' "$i" "$g" "$SPRITES" "$s"
done
mg=$(median "${games[@]}")
ms=$(median "${sprites[@]}")
awk -v g="$mg" -v s="$ms" 'BEGIN { printf "median: free play %.2f ms/frame, testsprite2 %.2f ms/frame, ratio %.2f\n", g, s, g / s }'
