#!/usr/bin/env python3
# Writes the data of the stage challenge from one description: the 50 stages of
# "data/playdata/QuiblyConfig_StageChallenge.xml", the star paths "data/data/stage_bezier.txt",
# the two goal layouts (points and combos) that lie over the board, the stage select pop-up
# "data/data/stageselect.xml" with its UI animation, the stage titles and the reset button of the
# six board layouts, and the recipe of their pictures, the star animation and the tail texture
# (data/recipes/81_stage.recipe). Window names are the ones the scene and the pop-up look up.
# Run from the source root:
#     python3 tools/menudata/make_stage_data.py .
# and commit what it writes.
import math, os, re, sys
from functools import partial

import uixml
from uixml import child, label, layout, mix, picture, static, ui_animation, wnd
from recipes import Recipe

ROOT = sys.argv[1]
DATA = os.path.join(ROOT, "data/data")
PLAYDATA = os.path.join(ROOT, "data/playdata")
RECIPE = os.path.join(ROOT, "data/recipes/81_stage.recipe")

NAVY, PAPER, BLUE, GREEN, YELLOW, GREY = "#1B2340", "#F4F6FB", "#3D8BFD", "#3CC47C", "#F7C548", "#8E96A3"
RED, PURPLE, ORANGE = "#E8505B", "#9B6BDF", "#F28C38"
FACE = "KelmorSoft"

recipe = Recipe("stage", ["# The stage challenge: the play screen around the board, the goal gauge and its lights, the",
                          "# countdown, the stars and their tail, and the stage select pop-up.",
                          "# Written by tools/menudata/make_stage_data.py with the layouts they belong to.", ""])
image, anim, still, button = recipe.image, recipe.anim, recipe.still, recipe.button
animbutton = partial(uixml.animbutton, kind="NORMAL")


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


# ---- the 50 stages ----
# Sizes rise from 4 x 4 to 14 x 14; every third stage asks for a combo count, the others for
# points. The goals are set well inside what a simple player reaches in the stage's time (the
# stage test plays every stage to its goal), and rise with the board.
SIZES = [4] * 5 + [6] * 5 + [8] * 8 + [10] * 9 + [12] * 11 + [14] * 12
assert len(SIZES) == 50


def stage_goal(i, size):
    kind = "Combo" if i % 3 == 2 else "Point"
    step = i - SIZES.index(size)  # the stage's place among those of its size
    if kind == "Combo":
        goal = {4: 3, 6: 4, 8: 5, 10: 6, 12: 7, 14: 8}[size] + step // 3
        time = {4: 60, 6: 70, 8: 80, 10: 90, 12: 100, 14: 110}[size]
    else:
        goal = {4: 200, 6: 350, 8: 600, 10: 900, 12: 1300, 14: 1800}[size] + 100 * step
        time = {4: 60, 6: 70, 8: 80, 10: 90, 12: 100, 14: 120}[size]
    return kind, goal, time


# Each stage's seed and goal: (seed, goal). The goal is the rising one above, held within what the
# simple player of the stage test reaches on that seed in the stage's time (with a margin, and
# never falling within a board size). Measured with the stage test.
CALIBRATION = {
    0: (40604, 50),
    1: (1046, 70),
    2: (56516, 3),
    3: (16958, 70),
    4: (56590, 140),
    5: (32870, 4),
    6: (9150, 310),
    7: (40863, 310),
    8: (48819, 5),
    9: (25099, 520),
    10: (25136, 340),
    11: (33092, 5),
    12: (9372, 340),
    13: (56923, 340),
    14: (1527, 6),
    15: (25321, 340),
    16: (25358, 340),
    17: (57071, 7),
    18: (41270, 400),
    19: (1712, 400),
    20: (33425, 6),
    21: (41381, 400),
    22: (57256, 400),
    23: (17698, 7),
    24: (41492, 410),
    25: (25691, 970),
    26: (33647, 7),
    27: (17846, 380),
    28: (41640, 380),
    29: (17920, 7),
    30: (33795, 380),
    31: (33832, 380),
    32: (57626, 8),
    33: (18068, 380),
    34: (57700, 430),
    35: (2304, 9),
    36: (57774, 430),
    37: (57811, 860),
    38: (34091, 8),
    39: (18290, 520),
    40: (42084, 520),
    41: (26283, 9),
    42: (18401, 520),
    43: (2600, 520),
    44: (50151, 10),
    45: (26431, 520),
    46: (10630, 520),
    47: (58181, 11),
    48: (58218, 520),
    49: (2822, 520),
}
VARIANT = int(os.environ.get("STAGE_SEED_VARIANT", "0"))

stages = []
for i, size in enumerate(SIZES):
    kind, goal, time = stage_goal(i, size)
    seed, capped = CALIBRATION.get(i, (1009 + 37 * i + 7919 * VARIANT, None))
    if capped is not None:
        goal = min(goal, capped)
    special = 0 if size <= 6 else min(1 + (size - 8) // 2, 3)
    speed = "TRUE" if i >= 20 else "FALSE"
    stages.append((i, size, kind, goal, time, special, speed, seed))

cfg = ['<?xml version="1.0" encoding="UTF-8"?>',
       "<!-- The stage challenge: 50 stages from a 4 x 4 board to 14 x 14. Each stage names its board,",
       "     its colour weights and seed, and its goal: \"Point\" (points to score) or \"Combo\" (a combo",
       "     count to reach), \"ClearNum\" the goal and \"ClearTime\" the seconds. Easy play gets 1.2 times",
       "     the time and 0.8 times the goal. Written by tools/menudata/make_stage_data.py. -->",
       "<VanteoConfig>",
       '    <ComboBonus C1="1.0" C2="1.2" C3="1.4" C4="1.6" C5="1.8" C6="2.0" C7="2.2" C8="2.4" C9="2.6" C10="3.0"',
       '                C11="3.2" C12="3.4" C13="3.6" C14="3.8" C15="4.0" C16="4.2" C17="4.4" C18="4.6" C19="4.8" C20="5.0" />',
       '    <BigBlock BigBlockK="1.0" BigBlockM="0.0" />',
       '    <Setting RotateTime="0.3" RefillSpeed="300" maxRefillSpeed="500" BlockClearTimer_ModeFactor="1.0" />',
       '    <RandomSeed Seed="-1" />',
       '    <BlockColorRate A="30" B="30" C="30" star="0" stone="0" />',
       "    <StageList>"]
for i, size, kind, goal, time, special, speed, seed in stages:
    cfg.append(f'        <Stage name="STAGE{i + 1:02d}" XGrid="{size}" YGrid="{size}" SpeedUp="{speed}" seed="{seed}">')
    cfg.append(f'            <BlockColorRate A="30" B="30" C="30" star="{special}" stone="{special}" />')
    cfg.append(f'            <Challenge ClearType="{kind}" ClearNum="{goal}" ClearTime="{time}" />')
    cfg.append("        </Stage>")
cfg += ["    </StageList>", "</VanteoConfig>", ""]
write(os.path.join(PLAYDATA, "QuiblyConfig_StageChallenge.xml"), "\n".join(cfg))

# ---- the eight star paths ----
# Each runs from (0, 0) to (100, 0) over 30 points (one second): x eases in and out, y swings
# to one side or the other and back by a path's own amount.
paths = ["8"]
swings = [(-34, 1.0), (30, 1.0), (-18, 2.0), (22, 1.0), (-46, 1.0), (12, 3.0), (40, 1.0), (-26, 1.5)]
for n, (amount, waves) in enumerate(swings):
    paths.append(f"path {n + 1}")
    paths.append("30")
    for j in range(30):
        t = j / 29
        x = 100 * (0.5 - 0.5 * math.cos(math.pi * t))
        y = amount * math.sin(math.pi * t) * math.cos(math.pi * (waves - 1) * t)
        paths.append(f"{j} {x:.3f} {y:.3f} 0 0")
    paths.append("end")
write(os.path.join(DATA, "stage_bezier.txt"), "\n".join(paths) + "\n")

# ---- pictures of the play screen ----
# The goal layout lies over the board window, so the screen behind both is drawn by the scene
# itself, before the windows.
TRAY = (316, 40, 688, 688)
image("stage_back.png", 1024, 768,
      ["gradient #2B2466 #120F2C", "circle 150 110 240 #FFFFFF08", "circle 940 720 280 #FFFFFF06",
       "rect 36 40 262 688 #0B1024C0 r=22", "frame 36 40 262 688 2 #FFFFFF30 r=22",
       f"rect {TRAY[0]} {TRAY[1]} {TRAY[2]} {TRAY[3]} #0B1024D0 r=18",
       f"frame {TRAY[0]} {TRAY[1]} {TRAY[2]} {TRAY[3]} 6 #3A3F7A r=18",
       f"frame {TRAY[0]} {TRAY[1]} {TRAY[2]} {TRAY[3]} 2 #FFFFFF40 r=18",
       'text 60 128 14 #B8C2E8 "STAGE"', 'text 158 128 14 #B8C2E8 "BEST"',
       'text 60 186 14 #B8C2E8 "TIME"', 'text 108 200 30 #FFFFFF90 ":"',
       'text 60 246 14 #B8C2E8 "GOAL"', 'text 60 304 14 #B8C2E8 "NOW"',
       "rect 52 144 100 34 #00000050 r=8", "rect 150 144 84 34 #00000050 r=8",
       "rect 52 202 150 36 #00000050 r=8", "rect 52 262 188 36 #00000050 r=8",
       "rect 52 320 190 48 #00000050 r=8", "rect 254 150 32 258 #00000070 r=14",
       'text 167 556 18 #8E96A3 "rotate" align=center', 'text 167 575 14 #8E96A3 "wheel  W / E   reset R" align=center'])
image("stage_gauge.png", 24, 250, ["gradient #F7C548 #E8505B", "rect 3 4 6 242 #FFFFFF50 r=3"])
image("stage_light.png", 40, 40, ["circle 20 20 19 #F7C54840", "circle 20 20 12 #F7C548C0", "circle 20 20 6 #FFFFFF"])
LIGHT = anim("stage_light.xml", [("flash loop=1", ["stage_light.png motion=burst ms=500"])])
image("stage_time_alert.png", 156, 42, ["rect 0 0 156 42 #E8505B90 r=10", "frame 0 0 156 42 2 #FFFFFFA0 r=10"])
ALERT = anim("stage_time_alert.xml", [("alert", ["stage_time_alert.png motion=blink ms=500"])])
image("stage_countdown_bubble.png", 120, 120, ["circle 60 60 58 #0B1024B0", "ring 60 60 56 4 #E8505B"])
BUBBLE = still("stage_countdown_bubble.png")
image("stage_combo_on.png", 150, 30, [f"rect 0 0 150 30 {ORANGE} r=10", 'text 75 5 18 #FFFFFF "COMBO ON" align=center'])
COMBO_ON = anim("stage_combo_on.xml", [("on loop=1", ["stage_combo_on.png motion=pop ms=300"])])
image("stage_combo_off.png", 150, 30, [f"rect 0 0 150 30 {GREY} r=10", 'text 75 5 18 #FFFFFF "COMBO OFF" align=center'])
COMBO_OFF = still("stage_combo_off.png")
for diff, colour in (("easy", GREEN), ("hard", RED)):
    image(f"stage_title_{diff}.png", 214, 56, ['text 107 10 28 #00000060 "STAGE ' + diff.upper() + '" align=center',
                                               f'text 107 7 28 {colour} "STAGE {diff.upper()}" align=center'])
image("stage_btn_reset_n.png", 182, 24, [f"rect 0 0 182 24 {mix(BLUE, 0.2, '#000000')} r=8", 'text 91 3 16 #FFFFFF "RESET (R)" align=center'])
image("stage_btn_reset_o.png", 182, 24, [f"rect 0 0 182 24 {BLUE} r=8", 'text 91 3 16 #FFFFFF "RESET (R)" align=center'])
RESET = anim("stage_btn_reset.xml", [("NORMAL", ["stage_btn_reset_n.png motion=still ms=400"]),
                                     ("OVER", ["stage_btn_reset_o.png motion=still ms=400"]),
                                     ("DOWN loop=1", ["stage_btn_reset_o.png motion=press ms=150 amount=0.92"]),
                                     ("DISABLE", ["stage_btn_reset_n.png motion=dim ms=400"])])

# ---- the stars and the tail ----
image("bezier_star_s.png", 14, 14, ["star 7 7 7 #FFFFFF inner=0.45"])
image("bezier_star.png", 20, 20, ["star 10 10 10 #FFFFFF inner=0.45", "circle 10 10 3 #FFFFFF"])
image("bezier_star_l.png", 28, 28, ["circle 14 14 13 #FFFFFF30", "star 14 14 13 #FFFFFF inner=0.45"])
image("bezier_star_blast.png", 30, 30, ["circle 15 15 14 #FFFFFF40", "star 15 15 14 #FFFFFF inner=0.4 points=6"])
recipe.append("[anim data/stage/S0_bezier_point_Animation.xml]")
for scene, png in (("bezier_point_S", "bezier_star_s.png"), ("bezier_point", "bezier_star.png"),
                   ("bezier_point_L", "bezier_star_l.png"), ("bezier_point_star", "bezier_star_blast.png")):
    recipe.append(f"scene {scene} loop=1 res=1x1")
    recipe.append(f"track {png} x=0 y=0 motion=spin ms=1000")
recipe.append("")
image("tail.tga", 32, 16, ["rect 0 2 32 12 #FFFFFF60 r=6", "rect 0 5 32 6 #FFFFFFC0 r=3"])

# ---- the goal layouts ----
# Absolute places, all inside the left panel of the play screen (the board window's title sits
# above, its combo panel, warning and buttons below).
WHITE_W, GOLD_W = 24, 31


def goal_layout(top, kind):
    c = [wnd("Pic_puzzle_place", 0, 0, 1, 1),
         picture("Pic_time_countdown", 48, 199, 156, 42, ALERT,
                 picture("Pic_countdown_bubble", 600 - 48, 324 - 199, 120, 120, BUBBLE) +
                 label("Label_countdown", 646 - 48, 363 - 199, 28, 42, 10, "#FFFFFF")),
         static("Pic_gauge_back", 254, 150, 32, 258, "stage_gauge_back.png"),
         child("WNDEX", "WndEx_gauge", 258, 154, 24, 250,
               '<asset type="BG" path="stage_gauge.png"><tex x="24" y="250"/><rect l="0" t="0" r="24" b="250"/></asset>')]
    for n in (1, 2, 3):
        c.append(picture(f"Pic_bezier_light_{n}", 250, 112 + 2 * (n - 1), 40, 40, LIGHT))
    c += [wnd("Pic_beststage_1", 166, 146, 20, 30), wnd("Pic_beststage_2", 188, 146, 20, 30),
          wnd("Pic_currentstage_1", 68, 146, 20, 30), wnd("Pic_currentstage_2", 90, 146, 20, 30),
          wnd("Pic_num_time_1", 64, 205, 20, 30), wnd("Pic_num_time_2", 86, 205, 20, 30),
          wnd("Pic_num_time_3", 124, 205, 20, 30), wnd("Pic_num_time_4", 146, 205, 20, 30)]
    if kind == "point":
        for n in range(1, 7):
            c.append(wnd(f"Pic_point_goal_{n}", 60 + WHITE_W * (n - 1), 265, 20, 30))
            c.append(wnd(f"Pic_point_current_{n}", 54 + GOLD_W * (n - 1), 323, 28, 42))
    else:
        for n in range(1, 4):
            c.append(wnd(f"Pic_combo_goal_{n}", 60 + WHITE_W * (n - 1), 265, 20, 30))
            c.append(wnd(f"Pic_combo_current_{n}", 54 + GOLD_W * (n - 1), 323, 28, 42))
        c.append(label("Label_combo_caption", 150, 265, 110, 30, 14, "#B8C2E8", "COMBOS"))
        c.append(picture("Pic_stage_combo_on", 52, 376, 150, 30, COMBO_ON))
        c.append(picture("Pic_stage_combo_off", 52, 376, 150, 30, COMBO_OFF))
    if kind == "point":
        c.append(label("Label_point_caption", 50, 376, 210, 24, 14, "#B8C2E8", "POINTS TO SCORE"))
    c += [wnd("layer_num", 0, 0, 1024, 768), wnd("layer_particle", 0, 0, 1024, 768)]
    return layout(top, c, kind="PANEL")


image("stage_gauge_back.png", 32, 258, ["rect 0 0 32 258 #0B1024 r=14", "frame 0 0 32 258 2 #FFFFFF40 r=14"])
write(os.path.join(DATA, "layout/LayoutStagePointBack.xml"), goal_layout("Wnd_LayoutStagePointBack", "point"))
write(os.path.join(DATA, "layout/LayoutStageComboBack.xml"), goal_layout("Wnd_LayoutStageComboBack", "combo"))

# ---- the stage titles and the reset button of the board layouts ----
for size in (4, 6, 8, 10, 12, 14):
    path = os.path.join(DATA, f"layout/LayoutPuzzle{size}.xml")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    for diff in ("easy", "hard"):
        text = re.sub(rf'<child type="WND" name="Wnd_title_stage_{diff}">.*?</child>(</child>)?',
                      f'<child type="WND" name="Wnd_title_stage_{diff}"><pos x="60" y="64"/><rect l="0" t="0" r="214" b="56"/>'
                      f'<child type="PICTURE" name="Pic_title_stage_{diff}"><pos x="0" y="0"/><rect l="0" t="0" r="214" b="56"/>'
                      f'<asset type="STATIC">stage_title_{diff}.png</asset></child></child>', text, flags=re.S)
    text = re.sub(r'<child type="ANIMBUTTON" name="Anibtn_stage_reset">.*?</child>',
                  '<child type="ANIMBUTTON" name="Anibtn_stage_reset">\n            <pos x="76" y="738"/><rect l="0" t="0" r="182" b="24"/>\n'
                  f'            <asset type="NORMAL">{RESET}</asset>\n        </child>', text, flags=re.S)
    write(path, text)

# ---- the stage select pop-up ----
PW, PH, PX, PY = 760, 560, 132, 104
image("select_dim.png", 1024, 768, ["fill #0B0F1E99"])
DIM = still("select_dim.png")
image("select_panel.png", PW, PH, [f"rect 4 6 {PW - 8} {PH - 8} #0B0F1E40 r=24", f"rect 0 0 {PW - 4} {PH - 6} {PAPER} r=24",
                                   f"rect 0 0 {PW - 4} 70 {PURPLE} r=24", f"rect 0 46 {PW - 4} 24 {PURPLE}",
                                   f"frame 0 0 {PW - 4} {PH - 6} 3 #FFFFFF r=24"])
PANEL = still("select_panel.png")
image("select_tray.png", 176, 176, [f"rect 0 0 176 176 {NAVY} r=12", "frame 0 0 176 176 3 #FFFFFF60 r=12"])
image("select_badge_point.png", 150, 40, [f"rect 0 0 150 40 {BLUE} r=12", 'text 75 8 22 #FFFFFF "POINTS" align=center'])
image("select_badge_combo.png", 150, 40, [f"rect 0 0 150 40 {ORANGE} r=12", 'text 75 8 22 #FFFFFF "COMBOS" align=center'])
image("select_dummy_point.png", 40, 40, [f"circle 20 20 18 {BLUE}", 'text 20 8 22 #FFFFFF "P" align=center'])
image("select_dummy_combo.png", 40, 40, [f"circle 20 20 18 {ORANGE}", 'text 20 8 22 #FFFFFF "C" align=center'])
image("select_best.png", 180, 40, [f"rect 0 0 180 40 {YELLOW} r=12", 'text 90 9 20 #FFFFFF "BEST RECORD" align=center shadow=#00000040'])
image("select_clear.png", 180, 40, [f"rect 0 0 180 40 {GREEN} r=12", 'text 90 9 20 #FFFFFF "CLEARED" align=center shadow=#00000040'])
image("select_graph_back.png", 600, 18, ["rect 0 0 600 18 #D5DAE6 r=9"])
image("select_graph.png", 600, 18, [f"rect 0 0 600 18 {GREEN}", "rect 0 3 600 5 #FFFFFF50"])
image("select_graph_gold.png", 600, 18, [f"rect 0 0 600 18 {YELLOW} r=9", "rect 4 3 592 5 #FFFFFF70 r=3"])
image("select_record.png", 24, 28, [f"rect 10 0 3 28 {NAVY}", f"poly {RED} 13 0 24 5 13 10"])
image("select_arrow.png", 20, 16, [f"poly {PURPLE} 0 0 20 0 10 16"])
image("select_allclear.png", 220, 44, [f"rect 0 0 220 44 {YELLOW} r=14", 'text 110 9 24 #FFFFFF "ALL CLEAR!" align=center shadow=#00000050'])
image("select_track.png", 600, 12, ["rect 0 0 600 12 #C5CBD9 r=6"])
image("select_thumb.png", 28, 36, [f"rect 0 0 28 36 {PURPLE} r=8", "frame 0 0 28 36 2 #FFFFFF r=8"])
image("select_thumb_o.png", 28, 36, [f"rect 0 0 28 36 {mix(PURPLE, 0.2)} r=8", "frame 0 0 28 36 2 #FFFFFF r=8"])
START = button("select_btn_start", 200, 56, GREEN, "START")
CLOSE = button("select_btn_close", 160, 56, RED, "CLOSE")

GX, GY = 80, 360  # the graph's place in the panel
body = [picture("Pic_select_panel", 0, 0, PW, PH, PANEL),
        label("Label_select_title", 24, 12, 400, 46, 30, "#FFFFFF", "STAGE SELECT"),
        label("Label_stageselect_easy", PW - 200, 12, 170, 46, 26, mix(GREEN, 0.6), "EASY", "Right"),
        label("Label_stageselect_hard", PW - 200, 12, 170, 46, 26, "#FFFFFF", "HARD", "Right"),
        static("Pic_select_tray", 40, 96, 176, 176, "select_tray.png"),
        wnd("Pic_stageselect_puzzle", 51, 107, 154, 154),
        label("Label_stage_caption", 250, 92, 120, 30, 16, GREY, "STAGE"),
        label("Label_stage_num", 250, 118, 160, 70, 60, NAVY, "01"),
        label("Label_size_caption", 430, 92, 120, 30, 16, GREY, "BOARD"),
        label("Label_stage_size", 430, 124, 180, 50, 36, NAVY, ""),
        label("Label_mode_caption", 250, 196, 120, 30, 16, GREY, "GOAL"),
        wnd("Wnd_stageselect_pointback", 250, 224, 150, 40, f'<child type="PICTURE" name="Pic_point_badge"><pos x="0" y="0"/><rect l="0" t="0" r="150" b="40"/><asset type="STATIC">select_badge_point.png</asset></child>'),
        wnd("Wnd_stageselect_comboback", 250, 224, 150, 40, f'<child type="PICTURE" name="Pic_combo_badge"><pos x="0" y="0"/><rect l="0" t="0" r="150" b="40"/><asset type="STATIC">select_badge_combo.png</asset></child>'),
        static("Pic_stage_point_top_dummy", 410, 224, 40, 40, "select_dummy_point.png"),
        static("Pic_stage_combo_top_dummy", 410, 224, 40, 40, "select_dummy_combo.png"),
        label("Label_stage_mode", 460, 224, 120, 40, 22, NAVY, ""),
        static("Pic_stage_allclear", 540, 110, 180, 40, "select_best.png"),
        static("Pic_stage_clear", 540, 110, 180, 40, "select_clear.png"),
        label("Label_graph_caption", GX, GY - 34, 300, 28, 16, GREY, "STAGES CLEARED"),
        label("Label_record_caption", GX + 340, GY - 34, 200, 28, 16, GREY, "OPEN UP TO", "Right"),
        label("Label_stageselect_record", GX + 545, GY - 38, 60, 34, 26, RED, "01"),
        static("Pic_stageselect_graph_back", GX, GY, 600, 18, "select_graph_back.png"),
        static("Pic_stageselect_graph", GX, GY, 600, 18, "select_graph.png"),
        static("Pic_stageselect_allclear_graph", GX, GY, 600, 18, "select_graph_gold.png"),
        static("Pic_stageselect_record", GX, GY - 12, 24, 28, "select_record.png"),
        static("Pic_stageselect_arrow", GX, GY - 18, 20, 16, "select_arrow.png"),
        static("Pic_select_track", GX, GY + 48, 600, 12, "select_track.png"),
        child("SLIDER", "HSlider_stageselect", GX - 14, GY + 36, 628, 36,
              '<control type="THUMB" name="Btn_HSlider_stageselect_thumb"><pos x="0" y="0"/><rect l="0" t="0" r="28" b="36"/>'
              '<asset type="NORMAL">select_thumb.png</asset><asset type="OVER">select_thumb_o.png</asset>'
              '<asset type="DOWN">select_thumb_o.png</asset></control><sliderect l="0" t="0" r="628" b="36"/>'),
        label("Label_stageselect_stagenum", GX + 240, GY + 80, 120, 40, 26, PURPLE, "01", "Center"),
        wnd("Wnd_stageselect_allclear", 270, 196, 220, 44,
            '<child type="PICTURE" name="Pic_stageselect_allclear"><pos x="0" y="0"/><rect l="0" t="0" r="220" b="44"/>'
            '<asset type="STATIC">select_allclear.png</asset></child>'),
        animbutton("Anibtn_stageselect_start", PW - 440, PH - 90, 200, 56, START),
        animbutton("Anibtn_stageselect_close", PW - 220, PH - 90, 160, 56, CLOSE),
        label("Label_select_keys", 30, PH - 84, 250, 44, 14, GREY, "W / E  or  wheel")]
select = [picture("Pic_popup_dim", 0, 0, 1024, 768, DIM), wnd("Wnd_stageselect_body", PX, PY, PW, PH, "".join(body))]
write(os.path.join(DATA, "stageselect.xml"), layout("Wnd_stageselect", select, "stageselect_UIAnimation.xml", "WND"))


write(os.path.join(DATA, "stageselect_UIAnimation.xml"),
      ui_animation("Wnd_stageselect", "Wnd_stageselect_body", PX, PY, PW, PH, ["select_in"], "select_out"))

write(RECIPE, "\n".join(recipe))
