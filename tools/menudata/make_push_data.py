#!/usr/bin/env python3
# Writes the data of the push mode from one description: the play screen "LayoutPush.xml" (the
# player's board, the rival's half-size board, names, time, buttons, walk areas), the field layer
# "data/PUSHING_layout.xml" (lanes, block places, levers, scores, arrows, stones, stars), the
# recipe of their pictures, animations and sounds (data/recipes/79_push.recipe), the mode
# configuration with its eleven stages, and the recorded rivals: one recording per stage 0 to 9,
# each a little stronger than the one before, and the shipped self-play rival. The recordings are
# made by a small simulated player with a fixed seed, so the files never change between runs.
# Run from the source root:
#     python3 tools/menudata/make_push_data.py .
# and commit what it writes.
import os, random, struct, sys
from uixml import child, combo_panel, static
from recipes import Recipe

ROOT = sys.argv[1]
DATA = os.path.join(ROOT, "data/data")
PLAYDATA = os.path.join(ROOT, "data/playdata")
RECIPE = os.path.join(ROOT, "data/recipes/79_push.recipe")

NAVY, PAPER, BLUE, GREEN, YELLOW, GREY = "#1B2340", "#F4F6FB", "#3D8BFD", "#3CC47C", "#F7C548", "#8E96A3"
RED, DARK = "#E8505B", "#0B1024"
LANE_COLOURS = [RED, GREEN, BLUE]

# ---- geometry (pixels of the 1024 x 768 screen) ----
BLOCK = 36                      # a lane block, and each block of a stack
LANE_X = 494                    # where a lane block stands at position 0
LANE_Y = [96, 142, 188]         # the tops of the three lanes
LANE_REACH = 132                # the lane limit, in pixels as in lane units
TRACK_X, TRACK_W = LANE_X - LANE_REACH - 10, 2 * LANE_REACH + BLOCK + 20
LEVER_W, LEVER_H, LEVER_Y = 36, 10, 226
LEVER_ENEMY_X, LEVER_USER_X = 292, 696   # the player's stack sinks the rival's lever, on the left
STONE_W = 14
BOARD_X, BOARD_Y = 604, 396     # the player's 8 x 8 board
RIVAL_X, RIVAL_Y = 62, 452      # the rival's half-size board
WALK_Y = 386                    # the walkers' feet

recipe = Recipe("push", ["# The push mode: the play screen, the field's lanes, blocks, levers, arrows, stones, stars and",
                         "# score digits, their animations and the push sounds.",
                         "# Written by tools/menudata/make_push_data.py with the layouts they belong to.", ""])
image = recipe.image


def anim(path, scenes):
    """scenes: list of (header, [track lines])."""
    recipe.append(f"[anim data/{path}]")
    for header, tracks in scenes:
        recipe.append(header)
        recipe.extend(tracks)
    recipe.append("")
    return path


def animated(name, x, y, w, h, path):
    return child("PICTURE", name, x, y, w, h, f'<asset type="ANIMATION">{path}</asset>')


def label(name, x, y, w, h, size, colour, align):
    return child("LABEL", name, x, y, w, h,
                 f'<label val=""/><FontName val="KelmorSoft"/><FontSize val="{size}"/><Color val="{colour}"/>'
                 f'<HAlign val="{align}"/><VAlign val="Center"/>')


def layout(top, children, comment):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n' + f"<!-- {comment} -->\n" + '<kevrin version="2">\n'
            f'    <base type="PANEL" name="{top}">\n        <pos x="0" y="0"/>\n        <rect l="0" t="0" r="1024" b="768"/>\n        '
            + "\n        ".join(children) + "\n    </base>\n</kevrin>\n")


# ---- pictures ----
image("push_back.png", 1024, 768, [
    "gradient #26336A #11162C",
    "circle 512 260 330 #FFFFFF06",
    # the top bar: names and time
    f"rect 24 6 976 48 {DARK}C0 r=16",
    "text 512 14 28 #FFFFFF90 \":\" align=center",
    # the field
    f"rect 240 60 544 322 {DARK}B0 r=22",
    "frame 240 60 544 322 2 #FFFFFF30 r=22",
    "text 512 66 14 #8E96A3 \"clear squares to push the blocks over to the rival\" align=center",
    # the rival's board and the player's board
    f"rect {RIVAL_X - 14} {RIVAL_Y - 40} 208 236 {DARK}C0 r=18",
    f"frame {RIVAL_X - 14} {RIVAL_Y - 40} 208 236 2 {RED}90 r=18",
    f"text {RIVAL_X + 90} {RIVAL_Y - 34} 18 {RED} \"RIVAL\" align=center",
    f"rect {BOARD_X - 12} {BOARD_Y - 12} 384 384 {DARK}D0 r=22",
    f"frame {BOARD_X - 12} {BOARD_Y - 12} 384 384 3 {BLUE}90 r=22",
    # the panel between them
    f"rect 290 420 260 320 {DARK}B0 r=22",
    "text 420 650 16 #8E96A3 \"rotate: wheel  W / E\" align=center",
])
for k, colour in enumerate(LANE_COLOURS, 1):
    image(f"push_block_{k}.png", BLOCK, BLOCK, [f"block 0 0 {BLOCK} {colour}"])
image("push_track.png", TRACK_W, BLOCK + 8, [
    f"rect 0 0 {TRACK_W} {BLOCK + 8} #00000060 r=10",
    f"rect 0 0 14 {BLOCK + 8} {BLUE}90 r=6",
    f"rect {TRACK_W - 14} 0 14 {BLOCK + 8} {RED}90 r=6",
    f"rect {TRACK_W // 2 - 1} 4 2 {BLOCK} #FFFFFF30",
])
image("push_lever_user.png", LEVER_W, LEVER_H, [f"rect 0 0 {LEVER_W} {LEVER_H} {BLUE} r=4",
                                                f"rect 2 1 {LEVER_W - 4} 3 #FFFFFF60 r=2"])
image("push_lever_enemy.png", LEVER_W, LEVER_H, [f"rect 0 0 {LEVER_W} {LEVER_H} {RED} r=4",
                                                 f"rect 2 1 {LEVER_W - 4} 3 #FFFFFF60 r=2"])
image("push_post.png", 8, 150, ["rect 0 0 8 150 #FFFFFF20 r=3"])
image("push_score_box_user.png", 52, 46, [f"rect 0 0 52 46 {BLUE}C0 r=12", "frame 0 0 52 46 2 #FFFFFF70 r=12"])
image("push_score_box_enemy.png", 52, 46, [f"rect 0 0 52 46 {RED}C0 r=12", "frame 0 0 52 46 2 #FFFFFF70 r=12"])
image("push_score_glow.png", 52, 46, [f"rect 0 0 52 46 {YELLOW}90 r=12"])
image("push_arrow_user.png", 48, 24, [f"poly {BLUE} 0 12 18 0 18 7 48 7 48 17 18 17 18 24", "poly #FFFFFF50 4 12 16 4 16 9 4 12"])
image("push_arrow_enemy.png", 48, 24, [f"poly {RED} 48 12 30 0 30 7 0 7 0 17 30 17 30 24", "poly #FFFFFF50 44 12 32 4 32 9 44 12"])
image("push_stone.png", STONE_W, BLOCK, [f"rect 0 0 {STONE_W} {BLOCK} #7A7F8C r=4", f"rect 2 2 {STONE_W - 4} 10 #B5BAC6 r=3",
                                         f"rect 2 16 {STONE_W - 4} 4 #5A5F6C r=2"])
image("push_star.png", 64, 64, [f"star 32 32 30 {YELLOW}", "star 32 32 16 #FFFFFF80"])
image("push_warning.png", 320, 40, [f"rect 0 0 320 40 {RED} r=14", "frame 0 0 320 40 2 #FFFFFF90 r=14",
                                    'text 160 9 18 #FFFFFF "ONE MORE BLOCK LOSES!" align=center'])
image("push_highlight.png", 360, 360, [f"frame 0 0 360 360 8 {YELLOW}C0 r=20"])
recipe.append("[digits data/push/push_num_{d}.png 30 40]")
recipe.append('text 15 0 36 #FFFFFF "{d}" align=center shadow=#14182890')
recipe.append("")

# ---- animations the field and the layouts play ----
for k in range(1, 4):
    pic = f"push_block_{k}.png"
    anim(f"anim/PUSHING_block_{k}_Anibtn_pushing_block_{k}.xml", [
        ("scene NORMAL", [f"track {pic} motion=still ms=400"]),
        ("scene ENTER", [f"track {pic} motion=pulse ms=300 amount=0.12"]),
        ("scene LEAVE", [f"track {pic} motion=pulse ms=300 amount=0.12"]),
        ("scene OVER loop=1", [f"track {pic} motion=pop ms=300"]),
    ])
anim("anim/PUSHING_ScoreNUM_Animation.xml", [("digitscenes push_num_ .png", [])])
anim("anim/PUSHING_stone_Animation.xml", [("scene Default", ["track push_stone.png motion=still ms=400"])])
for k in range(1, 4):
    anim(f"anim/PUSHING_arrow_{k}_Animation.xml", [("scene arrow loop=1", ["track push_arrow_user.png x=0 y=0 motion=fadeout ms=700"])])
    anim(f"anim/PUSHING_arrow_enemy_{k}_Animation.xml", [("scene arrow loop=1", ["track push_arrow_enemy.png x=0 y=0 motion=fadeout ms=700"])])
STAR = anim("push/push_star_flash.xml", [("scene flash loop=1", ["track push_star.png motion=burst ms=600"])])
GLOW = anim("push/push_score_glow.xml", [("scene glow loop=1", ["track push_score_glow.png motion=flash ms=500"])])
WARNING = anim("push/push_warning.xml", [("scene blink", ["track push_warning.png motion=blink ms=600"])])
HIGHLIGHT = anim("push/push_highlight.xml", [("scene flash loop=1", ["track push_highlight.png motion=flash ms=600"])])
HIGHLIGHT_S = anim("push/push_highlight_small.xml", [("scene flash loop=1", ["track push_highlight.png motion=fadeout ms=400"])])

# ---- sounds: pushes of either side and a block landing on a stack ----
recipe.extend(["[sound data/sound/push_user.wav 0.3]", "note 0 0.25 620 380 vol=0.4 wave=triangle decay=7", "",
               "[sound data/sound/push_com.wav 0.3]", "note 0 0.25 300 520 vol=0.4 wave=square decay=7", "",
               "[sound data/sound/push_land.wav 0.4]", "note 0 0.12 180 90 vol=0.6 wave=noise decay=10",
               "note 0.02 0.3 140 70 vol=0.5 wave=sine decay=6", ""])

# ---- the play screen ----
main = [static("Pic_push_back", 0, 0, 1024, 768, "push_back.png")]
main += [label("Label_name_enemy", 44, 12, 300, 36, 22, "#FFD0D4", "Left"),
         # right-aligned short of the online match's fight time at the top right
         label("Label_name_user", 530, 12, 300, 36, 22, "#D6E6FF", "Right")]
for i, x in enumerate([462, 484, 520, 542], 1):
    main.append(child("PICTURE", f"Pic_num_time_{i}", x, 15, 20, 30))
main += [child("PICTURE", "Pic_pushing_emeny", 40, WALK_Y, 200, 6),
         child("PICTURE", "Pic_pushing_user", 784, WALK_Y, 200, 6),
         child("WND", "Wnd_PuzzleArea_enemy", RIVAL_X, RIVAL_Y, 180, 180),
         child("WND", "Wnd_PuzzleArea", BOARD_X, BOARD_Y, 360, 360),
         child("WND", "Wnd_ComboArea", BOARD_X, BOARD_Y, 360, 360),
         combo_panel(310, 436)]
for name in ["Pic_doublechance_on", "Pic_doublechance_white", "Pic_doublechance_fail", "Pic_doublechance_success"]:
    main.append(child("PICTURE", name, BOARD_X, BOARD_Y - 34, 160, 32))
main += [animated("Pic_effect_highlight_Large", BOARD_X, BOARD_Y, 360, 360, HIGHLIGHT),
         animated("Pic_effect_highlight_small", BOARD_X, BOARD_Y, 360, 360, HIGHLIGHT_S),
         animated("Pic_warning", 352, 58, 320, 40, WARNING),
         child("ANIMBUTTON", "Anibtn_rotate_L", 330, 560, 72, 72, '<asset type="NORMAL">anim/Btn_Rotate_L_Animation.xml</asset>'),
         child("ANIMBUTTON", "Anibtn_rotate_R", 432, 560, 72, 72, '<asset type="NORMAL">anim/Btn_Rotate_R_Animation.xml</asset>'),
         child("ANIMBUTTON", "Anibtn_menu", 329, 676, 182, 48, '<asset type="NORMAL">anim/Btn_Menu_Animation.xml</asset>')]
with open(os.path.join(DATA, "layout/LayoutPush.xml"), "w") as f:
    f.write(layout("Wnd_LayoutPush", main,
                   "The push mode's play screen: the player's board on the right, the rival's half-size board on "
                   "the left, the names and the play time, the combo panel, the rotate and menu buttons, the "
                   "warning and the walk areas of the cheering walkers. The field is the layer "
                   "data/PUSHING_layout.xml above it."))

# ---- the field layer ----
field = [child("PICTURE", "Pic_pushing_count", 492, 64, 40, 24)]
for k, y in enumerate(LANE_Y, 1):
    field.append(static(f"Pic_pushing_lane_{k}", TRACK_X, y - 4, TRACK_W, BLOCK + 8, "push_track.png"))
field += [static("Pic_pushing_post_enemy", LEVER_ENEMY_X + 18, LEVER_Y, 8, 150, "push_post.png"),
          static("Pic_pushing_post_user", LEVER_USER_X + 18, LEVER_Y, 8, 150, "push_post.png"),
          static("Pic_pushing_lever_enemy", LEVER_ENEMY_X, LEVER_Y, LEVER_W, LEVER_H, "push_lever_enemy.png"),
          static("Pic_pushing_lever_user", LEVER_USER_X, LEVER_Y, LEVER_W, LEVER_H, "push_lever_user.png"),
          # the player's count above the stack it counts (on the rival's lever), the rival's on the right
          static("Pic_pushing_score_box_user", LEVER_ENEMY_X - 60, 78, 52, 46, "push_score_box_user.png"),
          animated("Pic_pushing_score_back_user", LEVER_ENEMY_X - 60, 78, 52, 46, GLOW),
          child("PICTURE", "Pic_pushing_score_user", LEVER_ENEMY_X - 49, 81, 30, 40),
          static("Pic_pushing_score_box_enemy", LEVER_USER_X + 52, 78, 52, 46, "push_score_box_enemy.png"),
          animated("Pic_pushing_score_back_enemy", LEVER_USER_X + 52, 78, 52, 46, GLOW),
          child("PICTURE", "Pic_pushing_score_enemy", LEVER_USER_X + 63, 81, 30, 40),
          animated("Pic_pushing_star_user", LEVER_USER_X - 6, 150, 64, 64, STAR),
          animated("Pic_pushing_star_enemy", LEVER_ENEMY_X - 14, 150, 64, 64, STAR)]
for k, y in enumerate(LANE_Y, 1):
    field += [child("PICTURE", f"Pic_pushing_block_{k}", LANE_X, y, LANE_REACH, BLOCK),
              child("PICTURE", f"Pic_pushing_arrow_{k}_user", LANE_X - 26, y + BLOCK // 2, 4, 4),
              child("PICTURE", f"Pic_pushing_arrow_{k}_enemy", LANE_X + BLOCK + 26, y + BLOCK // 2, 4, 4),
              child("PICTURE", f"Pic_pushing_stone_user_{k}", LANE_X + BLOCK, y, STONE_W, BLOCK),
              child("PICTURE", f"Pic_pushing_stone_enemy_{k}", LANE_X - STONE_W, y, STONE_W, BLOCK)]
field.append(child("WND", "Wnd_Push_DrawArea", 0, 0, 1024, 768))
with open(os.path.join(DATA, "PUSHING_layout.xml"), "w") as f:
    f.write(layout("Wnd_Pushing", field,
                   "The push field, a layer above the play screen: three lanes, the places where their blocks "
                   "stand and drop from, the two levers with their stacks, the stack counts, the arrows and "
                   "stones of each lane and the star flashes; the field draws itself in Wnd_Push_DrawArea."))

with open(RECIPE, "w") as f:
    f.write("\n".join(recipe))

# ---- the rivals ----
MSG = {"rotate": 0, "stone": 1, "star": 2, "group": 3, "layout": 4}


def record(t, kind, payload=b""):
    data = struct.pack("<i", MSG[kind]) + payload
    return struct.pack("<fi", t, len(data)) + data


def board_words(rng):
    """An 8 x 8 board of plain blocks with the odd star and stone and no square left to clear."""
    kinds = [[0] * 8 for _ in range(8)]
    for r in range(8):
        for c in range(8):
            while True:
                roll = rng.random()
                kind = 4 if roll < 0.03 else 5 if roll < 0.06 else rng.randint(1, 3)
                square = (r > 0 and c > 0 and kinds[r - 1][c - 1] == kind and kinds[r - 1][c] == kind
                          and kinds[r][c - 1] == kind)
                if not square:
                    break
            kinds[r][c] = kind
    return b"".join(struct.pack("<H", k) for row in kinds for k in row)


def recording(skill, seed, seconds=240.0, one_lane=None):
    """A rival of skill 0 (slow, single squares) to 1 (quick, big groups, stars and stones); with
    one_lane, every group it clears is of that colour and pushes that one lane."""
    rng = random.Random(seed)
    out = [record(0.0, "layout", board_words(rng))]
    t = 0.0
    gap = 4.2 - 2.4 * skill
    next_star = 40 - 22 * skill if skill >= 0.3 else None
    next_stone = 30 - 14 * skill if skill >= 0.2 else None
    while True:
        t += gap * rng.uniform(0.7, 1.3)
        if t > seconds:
            break
        if rng.random() < 0.3:
            out.append(record(round(t - 0.4, 2), "rotate", struct.pack("<i", rng.choice([-1, 1]))))
        squares = 1 + (rng.random() < 0.15 + 0.45 * skill) + (rng.random() < 0.3 * skill)
        # The board's score of m squares with the configuration's BigBlockK 10 and BigBlockM 1,
        # raised by a combo now and then.
        points = int(10 * squares * (squares + 1) * rng.uniform(1.0, 1.0 + 0.3 * skill))
        colour = rng.randint(0, 2)
        if one_lane is not None:
            colour = one_lane
        cells = 4 * squares
        payload = struct.pack("<8i", 1, colour, points, cells, 0, 0, rng.randint(0, 6), rng.randint(0, 6))
        out.append(record(round(t, 2), "group", payload))
        if next_star is not None and t >= next_star:
            out.append(record(round(t + 0.3, 2), "star", struct.pack("<2i", rng.randint(0, 6), rng.randint(0, 6))))
            next_star += (40 - 22 * skill) * rng.uniform(0.8, 1.2)
        if next_stone is not None and t >= next_stone:
            out.append(record(round(t + 0.2, 2), "stone"))
            next_stone += (30 - 14 * skill) * rng.uniform(0.8, 1.2)
        out.append(record(round(t + 0.5, 2), "layout", board_words(rng)))
    return b"".join(out)


os.makedirs(os.path.join(DATA, "push"), exist_ok=True)
# The special push modes play stages 5 ("One colour") and 6 ("Hell"): a rival that pushes one lane
# only, on boards dealt mostly in that lane's colour, and the quickest rival, on boards with more
# stones.
SPECIAL_RIVALS = {5: {"one_lane": 0}, 6: {"skill": 1.0}}
for stage in range(10):
    special = dict(SPECIAL_RIVALS.get(stage, {}))
    skill = special.pop("skill", stage / 9.0)
    with open(os.path.join(DATA, f"push/PushStage_{stage:02d}.puz"), "wb") as f:
        f.write(recording(skill, 1000 + stage, **special))
rival = recording(0.25, 2000)
for name in ("PushYour_Init.puz", "PushYour.puz"):
    with open(os.path.join(PLAYDATA, name), "wb") as f:
        f.write(rival)

# ---- the mode configuration ----
NAMES = ["Pebble", "Breeze", "Ripple", "Sprout", "Comet", "Summit", "Tempest", "Glacier", "Thunder", "Titan"]
RATE = '<BlockColorRate A="30" B="30" C="30" star="3" stone="3" />'
RATES = {5: '<BlockColorRate A="60" B="15" C="15" star="3" stone="3" />',
         6: '<BlockColorRate A="30" B="30" C="30" star="3" stone="8" />'}
stages = "\n".join(f'        <Stage name="{NAMES[s]}" file="data/push/PushStage_{s:02d}.puz" SpeedUp="FALSE">{RATES.get(s, RATE)}</Stage>'
                   for s in range(10))
config = f"""<?xml version="1.0" encoding="UTF-8"?>
<!-- The push mode: the push field's lane speed (lane units per second) and how long a stone holds a
     lane (seconds), the board's tuning, and eleven stages. Stages 0 to 9 replay the recording named
     by "file", each rival a little stronger; stage 5 ("One colour") deals mostly the first colour
     against a rival that pushes its lane only, stage 6 ("Hell") the quickest rival and more stones;
     the last stage is self-play, against the player's own recording.
     Written by tools/menudata/make_push_data.py. -->
<VanteoConfig>
    <ComboBonus C1="1.0" C2="1.2" C3="1.4" C4="1.6" C5="1.8" C6="2.0" C7="2.2" C8="2.4" C9="2.6" C10="3.0"
                C11="3.2" C12="3.4" C13="3.6" C14="3.8" C15="4.0" C16="4.2" C17="4.4" C18="4.6" C19="4.8" C20="5.0" />
    <BigBlock BigBlockK="10.0" BigBlockM="1.0" />
    <PushBlock TrapTime="6" MoveSpeed="60" />
    <Setting RotateTime="0.3" RefillSpeed="300" maxRefillSpeed="500" BlockClearTimer_ModeFactor="1.0" />
    <RandomSeed Seed="-1" />
    <BlockColorRate A="30" B="30" C="30" star="3" stone="3" />
    <StageList>
{stages}
        <Stage name="SELFPLAY" SpeedUp="FALSE">{RATE}</Stage>
    </StageList>
</VanteoConfig>
"""
with open(os.path.join(PLAYDATA, "QuiblyConfig_Push.xml"), "w") as f:
    f.write(config)
