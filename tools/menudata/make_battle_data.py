#!/usr/bin/env python3
# Writes the battle screen from one description: the layout "data/data/layout/LayoutBattleCom.xml"
# (the attack lane and both towers at the top, the player's board in the middle, the opponent's
# next attacks on the left, the bullet stacks, fire buttons and auto-attack switch on the right)
# and the recipe of its pictures, button animations and voices (data/recipes/77_battle.recipe).
# Window names are the ones the battle scene, the board, the lane and the tower displays look up.
# Run from the source root:
#     python3 tools/menudata/make_battle_data.py .
# and commit what it writes.
import os, re, sys
from recipes import Recipe
from uixml import combo_panel

ROOT = sys.argv[1] if len(sys.argv) > 1 else "."
LAYOUT = os.path.join(ROOT, "data/data/layout/LayoutBattleCom.xml")
RECIPE = os.path.join(ROOT, "data/recipes/77_battle.recipe")

NAVY, INK, BLUE, GREEN, RED, YELLOW, GREY = "#1B2340", "#0B1024", "#3D8BFD", "#3CC47C", "#E8505B", "#F7C548", "#8E96A3"
COLOURS = [("red", RED), ("green", GREEN), ("blue", BLUE)]

recipe = Recipe("battle", ["# The battle screen: its backdrop, the opponent's attack preview, the fire buttons, the",
                           "# auto-attack switch, the fire hints, the low hit-point warning, the combo highlights and the",
                           "# battle voices. Written by tools/menudata/make_battle_data.py with the layout they belong to.", ""])
image = recipe.image
windows = []


def button_anim(key, picture, amount=0.9):
    recipe.append(f"[anim data/anim/{key}.xml]")
    for scene, track in (("NORMAL", "motion=still ms=400"), ("ENTER loop=1", "motion=pop ms=250"),
                         ("OVER", "motion=pulse ms=600 amount=0.06"), ("DISABLE", "motion=dim ms=400"),
                         ("DOWN loop=1", f"motion=press ms=150 amount={amount}")):
        recipe.append(f"scene {scene}")
        recipe.append(f"track {picture} {track}")
    recipe.append("")
    return f"anim/{key}.xml"


def child(kind, name, x, y, w, h, asset=None, asset_type="STATIC", extra="", inner=""):
    text = f'<child type="{kind}" name="{name}"><pos x="{x}" y="{y}"/><rect l="0" t="0" r="{w}" b="{h}"/>'
    if asset:
        text += f'<asset type="{asset_type}">{asset}</asset>'
    text += extra + inner + "</child>"
    return text


def add(*args, **kw):
    windows.append(child(*args, **kw))


def label(name, x, y, w, h, colour, align="center", size=18):
    add("LABEL", name, x, y, w, h,
        extra=f'<label val=""/><FontName val="KelmorSoft"/><FontSize val="{size}"/><Color val="{colour}"/>'
              f'<HAlign val="{align.capitalize()}"/><VAlign val="Center"/>')


# --- pictures ------------------------------------------------------------------------------------

image("battle_back.png", 1024, 768, [
    "gradient #26336A #11162C",
    "circle 180 640 300 #FFFFFF06",
    "circle 880 620 260 #FFFFFF05",
    "rect 0 0 1024 36 #0B1024C0",
    "rect 316 238 392 392 #0B1024D0 r=26",
    "frame 316 238 392 392 3 #FFFFFF38 r=26",
    "rect 140 238 160 372 #0B1024B0 r=18",
    "frame 140 238 160 372 2 #FFFFFF28 r=18",
    'text 220 246 16 #B8C2E8 "NEXT ATTACKS" align=center',
    "rect 816 236 172 318 #0B1024B0 r=18",
    "frame 816 236 172 318 2 #FFFFFF28 r=18",
    'text 902 318 14 #8E96A3 "YOUR BULLETS" align=center',
    "rect 24 396 112 140 #0B1024B0 r=14",
    'text 80 372 14 #8E96A3 "ENEMY" align=center',
    'text 512 740 14 #8E96A3 "1 2 3 fire a stack   SPACE the smallest   7 auto   W/E rotate" align=center',
])
image("battle_lane_back.png", 1024, 200, [
    "gradient #3A2A5A #1B2340",
    "rect 0 150 1024 50 #00000030",
    "circle 80 40 60 #E8505B18",
    "circle 944 40 60 #3D8BFD18",
])
image("enemy_preview_light.png", 160, 64, ["rect 0 0 160 64 #F7C54840 r=14", "frame 0 0 160 64 3 #F7C548C0 r=14"])
for n, (colour_name, colour) in enumerate(COLOURS, start=1):
    image(f"btn_fire_{n}.png", 44, 44, [f"circle 22 22 20 {colour}", "ring 22 22 20 2 #FFFFFF90",
                                        f'text 22 8 24 #FFFFFF "{n}" align=center'])
    image(f"hint_fire_{n}.png", 300, 40, [f"rect 0 0 300 40 {INK}E0 r=12", f"frame 0 0 300 40 2 {colour} r=12",
                                          f'text 150 11 16 #FFFFFF "Press {n} to fire your {colour_name} stack!" align=center'])
image("btn_auto_on.png", 164, 40, [f"rect 0 0 164 40 {GREEN} r=14", "frame 0 0 164 40 2 #FFFFFF70 r=14",
                                   'text 82 8 22 #FFFFFF "AUTO  ON" align=center'])
image("btn_auto_off.png", 164, 40, [f"rect 0 0 164 40 {GREY} r=14", "frame 0 0 164 40 2 #FFFFFF70 r=14",
                                    'text 82 8 22 #FFFFFF "AUTO  OFF" align=center'])
image("warning.png", 136, 196, [f"frame 0 0 136 196 5 {RED}D0 r=16", 'text 68 164 20 #E8505B "DANGER" align=center'])
image("highlight_large.png", 360, 360, ["circle 180 180 176 #F7C54830", "ring 180 180 170 6 #F7C548A0"])
image("highlight_small.png", 360, 360, ["circle 180 180 150 #FFFFFF20", "ring 180 180 146 4 #FFFFFFA0"])
# The combo panel of every board layout (uixml.COMBO_PANEL_WINDOWS places its digits): the
# captions and the rate's "x" and point are part of the picture.
image("combo_panel.png", 214, 110, [f"rect 0 0 214 110 {INK}C0 r=14", "frame 0 0 214 110 2 #FFFFFF30 r=14",
                                    'text 58 6 15 #B8C2E8 "BONUS" align=center',
                                    'text 160 6 15 #B8C2E8 "COMBO" align=center',
                                    f'text 20 34 26 {YELLOW} "x" align=center',
                                    f'text 63 28 38 {YELLOW} "." align=center'])

fire = [button_anim(f"Btn_Fire_{n}_Animation", f"btn_fire_{n}.png") for n in (1, 2, 3)]
auto_on = button_anim("Btn_AutoOn_Animation", "btn_auto_on.png", 0.94)
auto_off = button_anim("Btn_AutoOff_Animation", "btn_auto_off.png", 0.94)

# Voices of the battle's big moments: the last blow given and taken, the speed-up, the ghost's
# big star and big stone, and the low hit-point alarm.
recipe += [
    "[sound data/sound/voice_last_attacking.wav 0.9]",
    "seq 0 0.09 C5 E5 G5 C6 wave=saw vol=0.35 decay=6",
    "note 0.36 0.5 1046 1318 vol=0.3 wave=triangle decay=3", "",
    "[sound data/sound/voice_last_attacked.wav 0.9]",
    "seq 0 0.12 G4 E4 C4 wave=saw vol=0.35 decay=5",
    "note 0.36 0.5 262 180 vol=0.3 wave=triangle decay=3", "",
    "[sound data/sound/voice_speedup.wav 0.6]",
    "note 0 0.5 400 1200 vol=0.35 wave=square decay=4", "",
    "[sound data/sound/voice_bigstar_com.wav 0.7]",
    "seq 0 0.08 E6 C6 A5 F5 wave=triangle vol=0.35 decay=8", "",
    "[sound data/sound/voice_bigstone_com.wav 0.6]",
    "note 0 0.5 180 90 vol=0.45 wave=square decay=6", "",
    "[sound data/sound/battle_alert.wav 0.6]",
    "note 0 0.14 880 880 vol=0.35 wave=square decay=2",
    "note 0.2 0.14 880 880 vol=0.35 wave=square decay=2", "",
]

# --- the layout (drawn in this order) --------------------------------------------------------------

add("PICTURE", "Pic_background", 0, 0, 1024, 768, "battle_back.png")
# The board is drawn before the lane: its refill row, one cell above the board, comes down from
# under the lane's lower edge into the board's frame instead of over the lane.
add("WND", "Wnd_PuzzleArea", 332, 254, 360, 360)
add("PICTURE", "Pic_background_2", 0, 36, 1024, 200, "battle_lane_back.png")
backdrop = len(windows)

label("Label_name_enemy", 134, 34, 300, 22, "#FFD0D4", "left", 16)
label("Label_name_user", 590, 34, 300, 22, "#D6E6FF", "right", 16)
for n, x in enumerate((466, 488, 520, 542), start=1):
    add("PICTURE", f"Pic_num_time_{n}", x, 6, 22, 28)
add("LABEL", "Label_time_colon", 506, 4, 18, 28, extra='<label val=":"/><FontName val="KelmorSoft"/><FontSize val="22"/>'
    '<Color val="#FFFFFF"/><HAlign val="Center"/><VAlign val="Center"/>')

# The opponent's next six attacks.
slots = "".join(child("PICTURE", f"Pic_battle_enemy_bullet_{n}", 180 - 140, 278 + 52 * (n - 1) - 238, 1, 1) for n in range(1, 7))
slots += "".join(child("PICTURE", f"Pic_num_enemy_bullet_{n}", 84, 28 + 52 * (n - 1), 60, 24) for n in range(1, 7))
add("PICTURE", "Pic_battle_enemy_light", 140, 264, 160, 64, "enemy_preview_light.png")
add("PANEL", "Pic_battle_enemy", 140, 238, 160, 372, inner=slots)

# The board's combo panel and effects.
add("WND", "Wnd_ComboArea", 332, 254, 360, 360)
windows.append(combo_panel(96, 624))
for name in ("Pic_doublechance_on", "Pic_doublechance_white", "Pic_doublechance_fail", "Pic_doublechance_success"):
    add("PICTURE", name, 432, 620, 160, 32)
add("PICTURE", "Pic_effect_highlight_Large", 332, 254, 360, 360, "highlight_large.png")
add("PICTURE", "Pic_effect_highlight_small", 332, 254, 360, 360, "highlight_small.png")
add("ANIMBUTTON", "Anibtn_rotate_L", 720, 560, 72, 72, "anim/Btn_Rotate_L_Animation.xml", "NORMAL")
add("ANIMBUTTON", "Anibtn_rotate_R", 720, 640, 72, 72, "anim/Btn_Rotate_R_Animation.xml", "NORMAL")

# The player's controls.
for n in (1, 2, 3):
    add("ANIMBUTTON", f"Anibtn_bullet_{n}", 828 + 52 * (n - 1), 556, 44, 44, fire[n - 1], "NORMAL")
add("ANIMBUTTON", "Anibtn_attack_off", 820, 608, 164, 40, auto_off, "NORMAL")
add("ANIMBUTTON", "Anibtn_attack_on", 820, 608, 164, 40, auto_on, "NORMAL")
add("ANIMBUTTON", "Anibtn_menu", 812, 708, 182, 48, "anim/Btn_Menu_Animation.xml", "NORMAL")
for n in (1, 2, 3):
    add("PICTURE", f"Pic_message_{n}", 700, 192 - 0, 300, 40, f"hint_fire_{n}.png")
add("PICTURE", "Pic_warning", 888, 38, 136, 196, "warning.png")

# The lane, towers, gauges and bullet stacks of the tower displays, kept as they are placed in
# the layout; the windows written here replace their earlier versions.
with open(LAYOUT, encoding="utf-8") as f:
    old = f.read()
own = {re.search(r'name="([^"]+)"', w).group(1) for w in windows}
lane = [line.strip() for line in old[old.find("<base"):old.rfind("</base>")].splitlines()
        if line.strip().startswith("<child") and re.search(r'name="([^"]+)"', line).group(1) not in own]
if not lane:
    raise SystemExit("the lane and tower windows were not found in the layout")
windows[backdrop:backdrop] = lane
body = "\n        ".join(windows)
text = f'''<?xml version="1.0" encoding="UTF-8"?>
<!-- The single-player battle, written by tools/menudata/make_battle_data.py: the attack lane
     and both towers along the top, the player's board in the middle, the opponent's next six
     attacks on the left, the bullet stacks, fire buttons and auto-attack switch on the right. -->
<kevrin version="2">
    <base type="PANEL" name="Wnd_LayoutBattleCom">
        <pos x="0" y="0"/>
        <rect l="0" t="0" r="1024" b="768"/>
        <!-- The attack lane and the two towers: road, tower glows, towers, lane units, hit flashes,
             crazy displays, hit-point gauges and numbers, bullet stacks. -->
        {body}
    </base>
</kevrin>
'''
with open(LAYOUT, "w", encoding="utf-8", newline="\n") as f:
    f.write(text)
with open(RECIPE, "w", encoding="utf-8", newline="\n") as f:
    f.write("\n".join(recipe).rstrip() + "\n")
print(f"{len(windows)} windows and {sum(1 for r in recipe if r.startswith('['))} recipe entries written")
