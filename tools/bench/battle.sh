#!/usr/bin/env bash
# Frame time of the battle at its busiest (a full board in play, the lane full of units of both
# sides, the ghost firing), next to SDL's testsprite2 at 2,000 sprites, in alternating rounds of
# the same run (method: tools/bench/README.md).
# Usage: tools/bench/battle.sh [run folder] [rounds]   (default: build/run, 5 rounds)
# The game runs headless from a copy of the run folder in which the easy battle plays against a
# looping ghost that fires a unit every GHOST_STEP seconds (and a mine now and then), both sides
# have hit points enough to outlast the run, and the auto-attack (on at the start) fires every
# group the player clears. The script goes from the menu to the easy battle,
# clears a group every few frames, lets the lane fill, then saves a picture at two frames FRAMES
# apart: each save reads the finished picture back, so the time between the two saves, divided
# by FRAMES, is the time per drawn frame. testsprite2 is timed the same way by a preload that
# finishes drawing after frame 20 and again FRAMES frames later.
# KEEP=<folder> keeps the last game round's pictures (first.png, second.png) there.
set -euo pipefail

RUN_DIR=$(realpath "${1:-build/run}")
ROUNDS=${2:-5}
FRAMES=${FRAMES:-300}
SPRITES=${SPRITES:-2000}
GHOST_STEP=${GHOST_STEP:-0.05}
. "$(dirname "${BASH_SOURCE[0]}")/framebench.sh"
bench_start

# The ghost: looping, 100,000 hit points for itself and the player, a unit of power 10 to 39
# (all of the fastest walking speed) of the three colours in turn every GHOST_STEP seconds for
# two minutes, and an enemy mine every 4 s, as the highest stage sends them, only far more
# often. No star unit: it stuns the player's units.
awk -v step="$GHOST_STEP" 'BEGIN {
  print "<Replay loop=\"TRUE\" HP=\"100000\" UserHP=\"100000\">"
  n = int(120 / step)
  for (k = 0; k < n; k++) {
    t = 1 + k * step
    printf "<Rep T=\"%.3f\" DA%d=\"%d\"/>\n", t, k % 3, 10 + (k * 7) % 30
    if (step < 4 && k % int(4 / step) == int(2 / step)) printf "<Rep T=\"%.3f\" DA4=\"1\"/>\n", t + step / 2
  }
  print "</Replay>"
}' > "$WORK/Busiest.gst"

# Frames of the script (scene loads not counted): the logo is skipped at 40, the menu's title at
# 200, its main screen clicked on an empty spot at 520, the battle card at 620, "Battle levels"
# at 760, "Easy" at 960; the ready-go is over by 1300. From 1100 on a cell of the 8 x 8 board is
# pressed every PRESS_EVERY frames; the lane has filled long before FIRST, and the two saves are
# FRAMES apart.
PRESS_EVERY=${PRESS_EVERY:-6}
FIRST=${FIRST:-2200}
SECOND=$((FIRST + FRAMES))
game_round() {
  local copy="$WORK/game"
  fresh_game_copy
  cp "$WORK/Busiest.gst" "$copy/data/PlayData/Busiest.gst"
  sed -i 's|data/PlayData/BattleGhost01.gst|data/PlayData/Busiest.gst|' "$copy/data/PlayData/QuiblyConfig_Battle.xml"
  # The story has been seen and the battle is open; the menu opens on its title.
  printf '<VanteoConfig>\n    <Opening IsShow="1" />\n    <UnlockMainMenu Puzzle="1" Battle="1" Push="0" IQ="0" Multi="0" />\n</VanteoConfig>\n' \
    > "$copy/data/PlayData/QuiblyConfig.xml"
  {
    printf '40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n620 click 512 325\n'
    printf '760 click 770 275\n900 move 190 265\n960 press 190 265\n'
    for ((f = 1100, k = 0; f < SECOND; f += PRESS_EVERY, k++)); do
      printf '%d press %d %d\n' "$f" $((332 + 45 * ((k * 5) % 8) + 22)) $((254 + 45 * ((k * 3) % 8) + 22))
    done
    printf '%d shot first.png\n%d shot second.png\n%d quit\n' "$FIRST" "$SECOND" $((SECOND + 2))
  } > "$copy/script.txt"
  time_game_copy
}

games=()
sprites=()
for ((i = 1; i <= ROUNDS; i++)); do
  if ((i % 2)); then g=$(game_round); s=$(sprite_round); else s=$(sprite_round); g=$(game_round); fi
  games+=("$g")
  sprites+=("$s")
  printf 'round %d: battle %6s ms/frame   testsprite2 %d sprites %6s ms/frame   load %s\n' "$i" "$g" "$SPRITES" "$s" \
    "$(cut -d' ' -f1 /proc/loadavg)"
done
range() { printf '%s\n' "$@" | sort -g | sed -n '1p;$p' | paste -sd' ' | awk '{ printf "%s to %s", $1, $2 }'; }
mg=$(median "${games[@]}")
ms=$(median "${sprites[@]}")
awk -v g="$mg" -v s="$ms" -v rg="$(range "${games[@]}")" -v rs="$(range "${sprites[@]}")" \
  'BEGIN { printf "median: battle %.2f ms/frame (%s), testsprite2 %.2f ms/frame (%s), ratio %.2f\n", g, rg, s, rs, g / s }'
