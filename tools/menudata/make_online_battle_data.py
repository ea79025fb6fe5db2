#!/usr/bin/env python3
# Writes the online battle screen: the layout "data/data/layout/LayoutBattleUser.xml", made from
# the single-player battle's layout (the lane, towers, board, bullet stacks and buttons in the
# same places) with the online changes: the opponent's half-size mirror board on the left where
# the ghost's next attacks were, both players' names, no pause button; and the recipe of its own
# pictures (data/recipes/86_online_match.recipe): the backdrop, the mirror board's frame and the
# pause picture "PauseMenu.bmp".
# Run from the source root, after make_battle_data.py:
#     python3 tools/menudata/make_online_battle_data.py .
# and commit what it writes.
import os, re, sys

ROOT = sys.argv[1] if len(sys.argv) > 1 else "."
SOURCE = os.path.join(ROOT, "data/data/layout/LayoutBattleCom.xml")
LAYOUT = os.path.join(ROOT, "data/data/layout/LayoutBattleUser.xml")
RECIPE = os.path.join(ROOT, "data/recipes/86_online_match.recipe")

# The mirror board: 8 x 8 cells of 45 pixels drawn at half size.
MIRROR_X, MIRROR_Y, MIRROR_SIZE = 128, 296, 180
# The opponent's bullet icons move down below the mirror board.
ICON_SHIFT = 104

recipe = ["# The online battle screen: its backdrop, the frame of the opponent's mirror board and the",
          "# pause picture. Written by tools/menudata/make_online_battle_data.py with the layout they",
          "# belong to.", "",
          "[image data/battle/online_battle_back.png 1024 768]",
          "gradient #26336A #11162C",
          "circle 180 640 300 #FFFFFF06",
          "circle 880 620 260 #FFFFFF05",
          "rect 0 0 1024 36 #0B1024C0",
          "rect 316 238 392 392 #0B1024D0 r=26",
          "frame 316 238 392 392 3 #FFFFFF38 r=26",
          f"rect {MIRROR_X - 6} 246 {MIRROR_SIZE + 12} 240 #0B1024B0 r=18",
          f"frame {MIRROR_X - 6} 246 {MIRROR_SIZE + 12} 240 2 #E8505B60 r=18",
          f'text {MIRROR_X + MIRROR_SIZE // 2} 262 16 #FFD0D4 "OPPONENT" align=center',
          "rect 816 236 172 318 #0B1024B0 r=18",
          "frame 816 236 172 318 2 #FFFFFF28 r=18",
          'text 902 318 14 #8E96A3 "YOUR BULLETS" align=center',
          f"rect 24 {396 + ICON_SHIFT} 112 140 #0B1024B0 r=14",
          f'text 80 {372 + ICON_SHIFT} 14 #8E96A3 "ENEMY" align=center',
          'text 512 740 14 #8E96A3 "1 2 3 fire a stack   SPACE the smallest   7 auto   W/E rotate" align=center',
          "",
          f"[image data/battle/online_mirror_frame.png {MIRROR_SIZE + 8} {MIRROR_SIZE + 8}]",
          f"rect 0 0 {MIRROR_SIZE + 8} {MIRROR_SIZE + 8} #05081480 r=10",
          f"frame 0 0 {MIRROR_SIZE + 8} {MIRROR_SIZE + 8} 2 #FFD0D470 r=10",
          "",
          "[image data/ui/PauseMenu.bmp 827 502]",
          "rect 0 0 827 502 #0B1024 r=0",
          "frame 6 6 815 490 4 #3D8BFD r=24",
          'text 413 200 56 #FFFFFF "PAUSED" align=center',
          'text 413 290 20 #B8C2E8 "The match waits for both players" align=center',
          ""]


def child(kind, name, x, y, w, h, asset=None, asset_type="STATIC"):
    text = f'<child type="{kind}" name="{name}"><pos x="{x}" y="{y}"/><rect l="0" t="0" r="{w}" b="{h}"/>'
    if asset:
        text += f'<asset type="{asset_type}">{asset}</asset>'
    return text + "</child>"


def name_of(line):
    found = re.search(r'name="([^"]+)"', line)
    return found.group(1) if found else None


with open(SOURCE, encoding="utf-8") as f:
    source = f.read()
lines = [line.strip() for line in source[source.find("<base"):source.rfind("</base>")].splitlines()
         if line.strip().startswith("<child")]
if not lines:
    raise SystemExit("no windows found in " + SOURCE)

windows = []
for line in lines:
    name = name_of(line)
    if name == "Pic_background":
        line = child("PICTURE", "Pic_background", 0, 0, 1024, 768, "online_battle_back.png")
    elif name == "Anibtn_menu":
        # No pause in an online match: the name stays for the cursor's list, without a button.
        line = child("WND", "Anibtn_menu", 0, 0, 0, 0)
    elif name == "Pic_battle_enemy_light":
        continue
    elif name.startswith("Pic_bullet_full_"):
        y = int(re.search(r'<pos x="-?\d+" y="(-?\d+)"', line).group(1))
        line = re.sub(r'(<pos x="-?\d+" y=")-?\d+"', lambda m: f'{m.group(1)}{y + ICON_SHIFT}"', line, count=1)
    windows.append(line)
    if name == "Pic_background":
        continue
    if name == "Pic_battle_enemy":
        # The opponent's board where the ghost's next attacks were.
        windows.append(child("PICTURE", "Pic_battle_enemy_vs", MIRROR_X - 4, MIRROR_Y - 4, MIRROR_SIZE + 8,
                             MIRROR_SIZE + 8, "online_mirror_frame.png"))
        windows.append(child("WND", "Wnd_PuzzleArea_enemy", MIRROR_X, MIRROR_Y, MIRROR_SIZE, MIRROR_SIZE))
        windows.append(child("WND", "Pic_enemy_gray", MIRROR_X, MIRROR_Y, MIRROR_SIZE, MIRROR_SIZE))
        windows.append(child("WND", "Wnd_multi_boss", MIRROR_X, MIRROR_Y, MIRROR_SIZE, MIRROR_SIZE))

body = "\n        ".join(windows)
text = f'''<?xml version="1.0" encoding="UTF-8"?>
<!-- The online battle, written by tools/menudata/make_online_battle_data.py from the battle's
     layout: the attack lane and both towers along the top, the player's board in the middle,
     the opponent's mirror board on the left, the bullet stacks, fire buttons and auto-attack
     switch on the right. -->
<kevrin version="2">
    <base type="PANEL" name="Wnd_LayoutBattleUser">
        <pos x="0" y="0"/>
        <rect l="0" t="0" r="1024" b="768"/>
        {body}
    </base>
</kevrin>
'''
with open(LAYOUT, "w", encoding="utf-8", newline="\n") as f:
    f.write(text)
with open(RECIPE, "w", encoding="utf-8", newline="\n") as f:
    f.write("\n".join(recipe).rstrip() + "\n")
print(f"{len(windows)} windows written")
