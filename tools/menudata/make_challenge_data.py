#!/usr/bin/env python3
# Writes the data of the combo and point challenges from one description: the layouts
# "LayoutCombo.xml", "LayoutGalaxyMarket.xml" (with its UI animation) and
# "LayoutPointChallenge.xml", and the recipe of their pictures, of the life, sign and bonus-time
# animations, of the challenges' digit styles and of their sounds (data/recipes/82_challenge.recipe).
# Window names are the ones the two scenes look up. Both layouts lie over the play screen
# "LayoutPuzzleBack.xml" (its tray on the right, its side column on the left).
# Run from the source root:
#     python3 tools/menudata/make_challenge_data.py .
# and commit what it writes.
import os, sys
from functools import partial

import uixml
from uixml import child, frame, mix, picture, static, ui_scenes, wnd
from recipes import Recipe

ROOT = sys.argv[1]
LAYOUTS = os.path.join(ROOT, "data/data/layout")
RECIPE = os.path.join(ROOT, "data/recipes/82_challenge.recipe")

NAVY, INK, PAPER, BLUE, GREEN, YELLOW, GREY = "#1B2340", "#141828", "#F4F6FB", "#3D8BFD", "#3CC47C", "#F7C548", "#8E96A3"
RED, PURPLE, TEAL, ORANGE = "#E8505B", "#9B6BDF", "#2BB5B8", "#F28C38"
DIR = "challenge"

recipe = Recipe("challenge", ["# The combo and point challenges: side panels, badges, the market, effects, lives, signs, the",
                              "# bonus-time banner, the challenges' digit styles and their sounds.",
                              "# Written by tools/menudata/make_challenge_data.py with the layouts they belong to.", ""])
image = recipe.image


animbutton = partial(uixml.animbutton, kind="NORMAL")


def anim(path, scenes):
    """An animation file: scenes as (header, [track lines])."""
    recipe.append(f"[anim {path}]")
    for header, tracks in scenes:
        recipe.append(f"scene {header}")
        recipe.extend(f"track {t}" for t in tracks)
    recipe.append("")


def still(name):
    """A one-scene animation showing one picture; returns the layout's asset path."""
    base = name[:-4]
    anim(f"data/{DIR}/still_{base}.xml", [("still", [f"{name} motion=still ms=1000"])])
    return f"{DIR}/still_{base}.xml"


def once(name, motion, ms, extra=""):
    """A one-shot animation of one picture (it plays when its window is shown)."""
    base = name[:-4]
    anim(f"data/{DIR}/{motion}_{base}.xml", [(f"play loop=1", [f"{name} motion={motion} ms={ms} {extra}".strip()])])
    return f"{DIR}/{motion}_{base}.xml"


def looping(name, motion, ms, extra=""):
    base = name[:-4]
    anim(f"data/{DIR}/loop_{base}.xml", [("play", [f"{name} motion={motion} ms={ms} {extra}".strip()])])
    return f"{DIR}/loop_{base}.xml"


def button(key, w, h, colour, label, size=22):
    r = min(14, h // 3)
    states = {"n": (colour, "#FFFFFF"), "o": (mix(colour, 0.15), "#FFFFFF"),
              "d": (mix(colour, 0.2, "#000000"), "#F0F0F0"), "x": (GREY, "#DDE1E8")}
    for s, (fill, text) in states.items():
        image(f"{key}_{s}.png", w, h, [f"rect 2 5 {w - 4} {h - 6} #0B0F1E50 r={r}",
                                       f"rect 2 2 {w - 4} {h - 6} {fill} r={r}",
                                       f"frame 2 2 {w - 4} {h - 6} 2 #FFFFFF90 r={r}",
                                       f'text {w // 2} {(h - 6 - size) // 2} {size} {text} "{label}" align=center shadow=#00000040'])
    anim(f"data/{DIR}/{key}.xml", [("NORMAL", [f"{key}_n.png motion=still ms=400"]),
                                   ("ENTER loop=1", [f"{key}_o.png motion=pop ms=250"]),
                                   ("OVER", [f"{key}_o.png motion=pulse ms=600 amount=0.04"]),
                                   ("DOWN loop=1", [f"{key}_d.png motion=press ms=150 amount=0.92"]),
                                   ("DISABLE", [f"{key}_x.png motion=still ms=400"])])
    return f"{DIR}/{key}.xml"


def place(name, x, y, w, h, colour):
    """A place of digits: an empty label whose colour the digits take."""
    return child("LABEL", name, x, y, w, h, f'<label val=""/><Color val="{colour}"/>')


def layout(top, children, x=0, y=0, w=1024, h=768, animation=None, comment=""):
    props = (f'  <properties>\n    <property name="UIAnimation" val="{animation}"/>\n  </properties>\n'
             if animation else "")
    return ('<?xml version="1.0" encoding="UTF-8"?>\n' + (f"<!-- {comment} -->\n" if comment else "") +
            f'<kevrin version="2">\n{props}  <base type="PANEL" name="{top}">\n'
            f'    <pos x="{x}" y="{y}"/><rect l="0" t="0" r="{w}" b="{h}"/>\n    ' + "\n    ".join(children) +
            "\n  </base>\n</kevrin>\n")


def write(name, text, folder=LAYOUTS):
    with open(os.path.join(folder, name), "w") as f:
        f.write(text)


# ---- shared pieces ---------------------------------------------------------------------------
# The side column of the play screen spans x 36..298; the tray on the right holds the 8 x 8 board
# at (480, 204), 360 pixels square.
COL_X, COL_W = 36, 262
BOARD = (480, 204, 360, 360)

menu_btn = button("ch_btn_menu", 120, 44, RED, "MENU")
area = [wnd("Wnd_PuzzleArea", *BOARD), wnd("Wnd_ComboArea", *BOARD)]
rotate = [animbutton("Anibtn_rotate_L", 80, 600, 72, 72, "anim/Btn_Rotate_L_Animation.xml"),
          animbutton("Anibtn_rotate_R", 182, 600, 72, 72, "anim/Btn_Rotate_R_Animation.xml")]

image("ch_sparkle_large.png", 400, 90, [f"star {x} {y} {r} {c}" for x, y, r, c in
                                        ((30, 45, 26, YELLOW), (90, 24, 16, "#FFFFFF"), (310, 24, 16, "#FFFFFF"),
                                         (370, 45, 26, YELLOW))])
image("ch_sparkle_small.png", 240, 60, [f"star {x} {y} {r} {c}" for x, y, r, c in
                                        ((22, 30, 18, YELLOW), (52, 16, 10, "#FFFFFF"), (188, 16, 10, "#FFFFFF"),
                                         (218, 30, 18, YELLOW))])
highlight_large = once("ch_sparkle_large.png", "flash", 900)
highlight_small = once("ch_sparkle_small.png", "flash", 700)
highlights = [picture("Pic_effect_highlight_Large", 460, 96, 400, 90, highlight_large),
              picture("Pic_effect_highlight_small", 540, 120, 240, 60, highlight_small)]
image("ch_warning.png", 376, 376, [f"frame 0 0 376 376 6 {RED} r=18", f"frame 8 8 360 360 2 {RED}80 r=12"])
warning = picture("Pic_warning", BOARD[0] - 8, BOARD[1] - 8, 376, 376, looping("ch_warning.png", "blink", 800))

# ---- combo challenge ---------------------------------------------------------------------------
TOP_Y, TOP_H = 40, 232
image("combo_panel_top.png", COL_W, TOP_H, [
    f"rect 0 0 {COL_W} {TOP_H} {INK} r=22", f"frame 0 0 {COL_W} {TOP_H} 2 #FFFFFF30 r=22",
    f'text {COL_W // 2} 12 21 {YELLOW} "COMBO CHALLENGE" align=center shadow=#00000080',
    f'text 67 74 16 #B8C2E8 "BEST" align=center', f'text 195 74 16 #B8C2E8 "COMBO" align=center',
    f"rect 14 96 106 52 #00000050 r=12", f"rect 138 90 110 64 #00000050 r=12",
    f'text {COL_W // 2} 170 15 #8E96A3 "every lost click costs a life" align=center',
    f'text {COL_W // 2} 192 15 #8E96A3 "a life back every 15 combos" align=center'])
LIVES_Y, LIVES_H = 404, 144
image("combo_panel_lives.png", COL_W, LIVES_H, [
    f"rect 0 0 {COL_W} {LIVES_H} {INK} r=22", f"frame 0 0 {COL_W} {LIVES_H} 2 #FFFFFF30 r=22",
    f'text {COL_W // 2} 8 18 #B8C2E8 "LIVES" align=center'])
image("combo_badge_easy.png", 72, 22, [f"rect 0 0 72 22 {GREEN} r=8", 'text 36 2 16 #FFFFFF "EASY" align=center'])
image("combo_badge_hard.png", 72, 22, [f"rect 0 0 72 22 {RED} r=8", 'text 36 2 16 #FFFFFF "HARD" align=center'])
image("combo_glow.png", 124, 76, [f"frame 0 0 124 76 4 {YELLOW} r=16", f"frame 6 6 112 64 2 {YELLOW}80 r=12"])
image("combo_newbest.png", 112, 24, [f"rect 0 0 112 24 {YELLOW} r=8", f'text 56 3 16 {INK} "NEW BEST" align=center'])
image("combo_newbest_frame.png", 112, 58, [f"frame 0 0 112 58 3 {YELLOW} r=12"])
image("combo_lastchance_back.png", COL_W, LIVES_H, [f"rect 0 0 {COL_W} {LIVES_H} {RED}50 r=22",
                                                    f"frame 0 0 {COL_W} {LIVES_H} 3 {RED} r=22"])
image("combo_lastchance.png", 220, 34, [f"rect 0 0 220 34 {RED} r=12",
                                        'text 110 5 22 #FFFFFF "LAST CHANCE!" align=center shadow=#00000060'])
image("combo_life_up.png", 150, 30, [f"rect 0 0 150 30 {GREEN} r=10", 'text 75 4 20 #FFFFFF "+1 LIFE" align=center'])
image("combo_life_down.png", 150, 30, [f"rect 0 0 150 30 {RED} r=10", 'text 75 4 20 #FFFFFF "-1 LIFE" align=center'])
reset_btn = button("ch_btn_restart", 120, 44, BLUE, "RESTART", 20)

cx = COL_X
combo_children = area + [
    picture("Pic_combo_panel_top", cx, TOP_Y, COL_W, TOP_H, still("combo_panel_top.png")),
    picture("Pic_combo_panel_lives", cx, LIVES_Y, COL_W, LIVES_H, still("combo_panel_lives.png")),
    picture("Pic_lastchance_back", cx, LIVES_Y, COL_W, LIVES_H, still("combo_lastchance_back.png")),
    picture("Pic_combo_easy", cx + 95, TOP_Y + 44, 72, 22, still("combo_badge_easy.png")),
    picture("Pic_combo_hard", cx + 95, TOP_Y + 44, 72, 22, still("combo_badge_hard.png")),
    picture("Pic_combo_effect", cx + 133, TOP_Y + 84, 124, 76, once("combo_glow.png", "flash", 600)),
    # The best combo: three digits in the left box; the new best of this game in gold over them.
    place("Pic_maxcombo_1", cx + 34, TOP_Y + 107, 20, 30, "#FFFFFF"),
    place("Pic_maxcombo_2", cx + 56, TOP_Y + 107, 20, 30, "#FFFFFF"),
    place("Pic_maxcombo_3", cx + 78, TOP_Y + 107, 20, 30, "#FFFFFF"),
    wnd("Wnd_combo", cx + 11, TOP_Y + 93, 112, 86, [
        picture("Pic_combo_newbest_frame", 0, 0, 112, 58, still("combo_newbest_frame.png")),
        place("Pic_maxcombo_now_1", 23, 14, 20, 30, YELLOW),
        place("Pic_maxcombo_now_2", 45, 14, 20, 30, YELLOW),
        place("Pic_maxcombo_now_3", 67, 14, 20, 30, YELLOW),
        picture("Pic_combo_effect_2", 0, -28, 112, 24, once("combo_newbest.png", "pop", 500))]),
    # The combo of this game: three large digits in the right box.
    place("Pic_combo_1", cx + 139, TOP_Y + 95, 36, 54, "#FFFFFF"),
    place("Pic_combo_2", cx + 175, TOP_Y + 95, 36, 54, "#FFFFFF"),
    place("Pic_combo_3", cx + 211, TOP_Y + 95, 36, 54, "#FFFFFF"),
] + [wnd(f"Anibtn_life_{i + 1}", cx + 21 + (i % 5) * 46, LIVES_Y + 42 + (i // 5) * 50, 32, 32) for i in range(10)] + [
    picture("Pic_life_up_effect", cx + 56, LIVES_Y + 104, 150, 30, once("combo_life_up.png", "rise", 900)),
    picture("Pic_life_down_effect", cx + 56, LIVES_Y + 104, 150, 30, once("combo_life_down.png", "rise", 900)),
    picture("Pic_lastchance_effect", cx + 21, LIVES_Y + 108, 220, 34, once("combo_lastchance.png", "flash", 1800)),
    warning] + highlights + rotate + [
    animbutton("Anibtn_menu", 44, 684, 120, 44, menu_btn),
    animbutton("Anibtn_combo_reset", 172, 684, 120, 44, reset_btn),
    animbutton("Anibtn_stage_reset", 0, 0, 1, 1)]
write("LayoutCombo.xml", layout("Wnd_LayoutCombo", combo_children,
                                comment="The combo challenge over the play screen: best and current combo, the "
                                        "lives, the board, the buttons. Written by tools/menudata/make_challenge_data.py."))

# ---- the galaxy market -------------------------------------------------------------------------
MX, MY, MW, MH = 480, 572, 360, 150
image("market_panel.png", MW, MH, [
    f"rect 0 4 {MW} {MH - 4} #0B0F1E60 r=20", f"rect 0 0 {MW} {MH - 6} {PURPLE} r=20",
    f"frame 0 0 {MW} {MH - 6} 3 #FFFFFF80 r=20",
    "circle 40 30 2 #FFFFFF", "circle 300 20 2 #FFFFFF", "circle 330 110 2 #FFFFFF", "circle 180 12 1.5 #FFFFFF",
    f'text {MW // 2 + 40} 12 24 #FFFFFF "GALAXY MARKET" align=center shadow=#00000060',
    f'text {MW // 2 + 40} 44 16 {mix(PURPLE, 0.7)} "a life for 100 cubes" align=center'])
image("market_ufo.png", 96, 60, [f"circle 48 26 18 {TEAL}", f"circle 48 26 12 {mix(TEAL, 0.6)}",
                                 f"rect 4 30 88 18 {GREY} r=9", f"rect 14 34 68 6 #FFFFFF80 r=3",
                                 f"circle 22 52 4 {YELLOW}", f"circle 48 54 4 {YELLOW}", f"circle 74 52 4 {YELLOW}"])
image("market_hand.png", 40, 40, [f"rect 4 4 32 32 {YELLOW} r=8", f"frame 4 4 32 32 2 {ORANGE} r=8",
                                  'text 20 9 18 #FFFFFF "+1" align=center'])
buy_btn = button("market_btn_buy", 200, 52, GREEN, "BUY A LIFE", 22)
market = [picture("Pic_market_panel", 0, 0, MW, MH, still("market_panel.png")),
          picture("market_ufo_in", 14, 12, 96, 60, once("market_ufo.png", "pop", 500)),
          picture("market_ufo_out", 14, 12, 96, 60, once("market_ufo.png", "fadeout", 600)),
          picture("market_hand", 100, 84, 40, 40, once("market_hand.png", "rise", 800)),
          animbutton("market_buy_Normal", 140, 78, 200, 52, buy_btn)]


def market_animation():
    """The market slides in, its buy button opens (on) or stays dim (off), and it leaves."""
    top, buy = "Wnd_LayoutGalaxyMarket", "market_buy_Normal"
    scenes = []
    bx, by = 140, 78

    def scene(name, top_frames, buy_frames):
        scenes.append((name, [(top, MW, MH, top_frames), (buy, 200, 52, buy_frames)]))

    here = [frame(0, MX, MY, 1), frame(300, MX, MY, 1)]
    dim = [frame(0, bx, by, 0.45), frame(300, bx, by, 0.45)]
    lit = [frame(0, bx, by, 0.45), frame(300, bx, by, 1)]
    scene("market_in", [frame(0, MX, MY + 60, 0), frame(350, MX, MY - 6, 1), frame(450, MX, MY, 1)], dim)
    scene("market_open_on", here, lit)
    scene("market_open_off", here, dim)
    scene("market_close_on", here, lit)
    scene("market_close_off", here, dim)
    scene("market_buy", [frame(0, MX, MY, 1), frame(300, MX, MY - 8, 1), frame(800, MX, MY + 60, 0)],
          [frame(0, bx, by, 1), frame(800, bx, by, 0)])
    scene("all_out", [frame(0, MX, MY, 1), frame(400, MX, MY + 60, 0)], [frame(0, bx, by, 1), frame(400, bx, by, 0)])
    return ui_scenes(scenes)


write("LayoutGalaxyMarket.xml", layout("Wnd_LayoutGalaxyMarket", market, MX, MY, MW, MH,
                                       "LayoutGalaxyMarket_UIAnimation.xml",
                                       "The combo challenge's market under the board. Written by "
                                       "tools/menudata/make_challenge_data.py."))
# UI animations are read from the data folder itself.
write("LayoutGalaxyMarket_UIAnimation.xml", market_animation(), os.path.join(ROOT, "data/data"))

# ---- point challenge ---------------------------------------------------------------------------
PANEL_H = 688
image("point_panel.png", COL_W, PANEL_H, [
    f"rect 0 0 {COL_W} {PANEL_H} #0B1024 r=22", f"frame 0 0 {COL_W} {PANEL_H} 2 #FFFFFF30 r=22",
    f'text {COL_W // 2} 12 21 {YELLOW} "POINT CHALLENGE" align=center shadow=#00000080',
    f'text {COL_W // 2} 52 18 #B8C2E8 "SCORE" align=center', f"rect 12 78 238 48 #00000060 r=12",
    f'text {COL_W // 2} 138 18 #B8C2E8 "BEST" align=center', f"rect 12 164 238 48 #00000060 r=12",
    f'text {COL_W // 2} 224 18 #B8C2E8 "TIME" align=center', f"rect 81 250 100 48 #00000060 r=12",
    f"rect 24 312 214 16 #00000070 r=8",
    f'text {COL_W // 2} 516 18 #8E96A3 "rotate" align=center',
    f'text {COL_W // 2} 535 14 #8E96A3 "wheel  W / E" align=center'])
image("point_gauge.png", 210, 12, [f"gradient {GREEN} {TEAL}", "rect 0 0 210 4 #FFFFFF40"])
image("point_best_frame.png", 242, 52, [f"frame 0 0 242 52 3 {YELLOW} r=12"])
image("point_timeover.png", 300, 60, [f"rect 0 0 300 60 {INK}D0 r=16", f"frame 0 0 300 60 2 {RED} r=16",
                                      f'text 150 10 34 {RED} "TIME OVER" align=center shadow=#00000080'])
image("point_countdown.png", 120, 120, [f"circle 60 60 56 {INK}C0", f"ring 60 60 56 4 {RED}"])
image("point_start_countdown.png", 120, 60, [f"rect 0 0 120 60 {INK}C0 r=16", f"frame 0 0 120 60 2 {YELLOW} r=16"])
alarm_colours = [GREEN, GREEN, TEAL, YELLOW, ORANGE, RED]
for n, colour in enumerate(alarm_colours, 1):
    image(f"point_alarm_{n}.png", 24, 24, [f"circle 12 12 10 {colour}", "circle 9 9 3 #FFFFFF80"])
PX = COL_X
sx = PX + 131 - 7 * 22 // 2  # seven digits of 20 pixels, 22 apart, centred in the column
point_children = area + [
    picture("Pic_point_panel", PX, 40, COL_W, PANEL_H, still("point_panel.png")),
    static("WndEx_point_timegauge", PX + 26, 354, 210, 12, "point_gauge.png")] + [
    place(f"Pic_point_score_{i}", sx + 22 * (i - 1), 127, 20, 30, "#FFFFFF") for i in range(1, 8)] + [
    wnd("Wnd_point_best", PX + 10, 202, 242, 52, [
        picture("Pic_point_best_frame", 0, 0, 242, 52, still("point_best_frame.png")),
        place("Pic_point_maxscore_1", sx - PX - 10, 11, 20, 30, YELLOW)]),
    wnd("Wnd_point_best_off", PX + 10, 202, 242, 52, [
        place(f"Pic_point_bestscore_{i}", sx - PX - 10 + 22 * (i - 1), 11, 20, 30, "#C9CED8") for i in range(1, 8)]),
    place("Pic_point_time_1", PX + 109, 299, 20, 30, "#FFFFFF"),
    place("Pic_point_time_2", PX + 131, 299, 20, 30, "#FFFFFF")] + [
    picture(f"Pic_gauge_alarm_{n}", PX + 6, 348, 24, 24, once(f"point_alarm_{n}.png", "pop", 400))
    for n in range(1, 7)] + [
    # The signs of the milestones above the board; the first is where the sign animation plays.
    place("Pic_point_sign_1", 560, 100, 200, 80, YELLOW),
    place("Pic_point_sign_2", 560, 100, 200, 80, "#E6ECFF"),
    place("Pic_point_sign_3", 560, 100, 200, 80, "#FFD86B"),
    # The countdowns beside the board: the last ten seconds, and the first four of the sixty.
    wnd("Pic_time_countdown", 862, 324, 120, 120, [
        picture("Pic_time_countdown_ring", 0, 0, 120, 120, looping("point_countdown.png", "pulse", 1000, "amount=0.05")),
        place("Label_countdown", 40, 30, 40, 60, "#FFFFFF")]),
    wnd("Pic_time_countdown_2", 862, 354, 120, 60, [
        picture("Pic_time_countdown_back", 0, 0, 120, 60, still("point_start_countdown.png")),
        place("Label_countdown_2", 19, 0, 81, 60, YELLOW)]),
    picture("Pic_point_timeover", 510, 354, 300, 60, still("point_timeover.png")),
    warning] + highlights + rotate + [
    animbutton("Anibtn_menu", 44, 684, 120, 44, menu_btn),
    animbutton("Anibtn_point_reset", 172, 684, 120, 44, reset_btn),
    animbutton("Anibtn_stage_reset", 0, 0, 1, 1),
    wnd("Wnd_title_stage_easy", 0, 0, 1, 1), wnd("Wnd_title_stage_hard", 0, 0, 1, 1),
    wnd("Wnd_ready_go", *BOARD, [wnd("Pic_ready", 0, 0, 1, 1)])]
write("LayoutPointChallenge.xml", layout("Wnd_LayoutPointChallenge", point_children,
                                         comment="The point challenge over the play screen: score, best, time "
                                                 "and its gauge, the board, the signs and countdowns. Written by "
                                                 "tools/menudata/make_challenge_data.py."))

# ---- animations named by the skin table --------------------------------------------------------
image("ch_life_on.png", 32, 32, [f"circle 16 16 14 {RED}", "circle 11 11 4 #FFFFFF70", f"ring 16 16 14 2 {mix(RED, 0.4)}"])
image("ch_life_off.png", 32, 32, ["circle 16 16 13 #2A3150", "ring 16 16 13 2 #5A6070"])
anim("data/anim/Effect_Combolife_Animation.xml", [
    ("Normal", ["ch_life_on.png motion=still ms=400"]),
    ("Disable", ["ch_life_off.png motion=still ms=400"]),
    ("Up loop=1", ["ch_life_on.png motion=pop ms=500"]),
    ("Down loop=1", ["ch_life_off.png motion=still ms=500", "ch_life_on.png motion=burst ms=500"])])
for kind, (colour, label) in enumerate(((ORANGE, "NICE!"), ("#B8C2E8", "GREAT!"), (YELLOW, "AMAZING!")), 1):
    image(f"pc_sign_{kind}.png", 220, 80, [f"rect 0 0 220 80 {INK}D8 r=18", f"frame 0 0 220 80 3 {colour} r=18",
                                        f'text 110 6 26 {colour} "{label}" align=center shadow=#00000080'])
image("pc_sign_num.png", 220, 80, [])
anim("data/anim/PointSign_Animation.xml", [
    (f"sign_{k} loop=1", [f"pc_sign_{k}.png x=0 y=0 motion=flash ms=2200",
                          "pc_sign_num.png name=Label_sign_num hidden=1 x=-0.18 y=0.03 motion=flash ms=2200"])
    for k in (1, 2, 3)])
image("pc_bonustime.png", 360, 70, [f"rect 0 0 360 70 {INK}D8 r=20", f"frame 0 0 360 70 3 {YELLOW} r=20",
                                 f'text 180 10 44 {YELLOW} "BONUS TIME" align=center shadow=#00000080'])
anim("data/anim/PointChal_BounsTime_Animation.xml", [("bonustime loop=1", ["pc_bonustime.png x=0 y=0 motion=flash ms=1900"])])

# ---- digit styles ------------------------------------------------------------------------------
recipe += [f"[digits data/{DIR}/num_combo_{{d}}.png 36 54]",
           f'text 18 0 50 {YELLOW} "{{d}}" align=center shadow=#141828C0', "",
           f"[digits data/{DIR}/num_best_{{d}}.png 20 30]",
           'text 10 0 26 #FFFFFF "{d}" align=center shadow=#141828B0', "",
           f"[digits data/{DIR}/num_score_{{d}}.png 20 30]",
           'text 10 0 27 #FFFFFF "{d}" align=center shadow=#141828B0', "",
           f"[digits data/{DIR}/num_count_{{d}}.png 40 60]",
           f'text 20 0 56 #FFFFFF "{{d}}" align=center shadow=#141828C0', ""]
for key, digits in (("Num_ComboChal_CurCombo", "num_combo_"), ("Num_ComboChal_BestComboOn", "num_best_"),
                    ("Num_ComboChal_BestComboOff", "num_best_"), ("Num_PointChal_Score", "num_score_"),
                    ("Num_PointChal_Time", "num_score_"), ("Num_PointChal_CountdownTime", "num_count_"),
                    ("Num_Point_Rank", "num_best_")):
    recipe += [f"[anim data/anim/{key}_Animation.xml]", f"digitscenes {digits} .png", ""]

# ---- sounds ------------------------------------------------------------------------------------
sounds = {
    "ch_penalty_small.wav 0.35": ["note 0 0.3 420 220 vol=0.45 wave=square decay=9"],
    "ch_penalty_big.wav 0.7": ["note 0 0.3 330 160 vol=0.5 wave=square decay=6",
                               "note 0.3 0.35 220 110 vol=0.5 wave=square decay=6"],
    "ch_life_up.wav 0.5": ["seq 0 0.08 E5 G5 C6 wave=triangle vol=0.45 decay=8"],
    "ch_life_full.wav 0.8": ["seq 0 0.08 C5 E5 G5 C6 E6 G6 wave=triangle vol=0.45 decay=6"],
    "ch_combo100.wav 1.0": ["seq 0 0.1 G4 C5 E5 G5 C6 wave=square vol=0.3 decay=5",
                            "note 0.5 0.45 1046 1046 vol=0.3 wave=triangle decay=3"],
    "ch_10sec.wav 0.3": ["note 0 0.12 988 988 vol=0.4 wave=sine decay=10", "note 0.15 0.12 988 988 vol=0.4 wave=sine decay=10"],
    "ch_alert.wav 0.6": ["note 0 0.25 880 660 vol=0.45 wave=square decay=5", "note 0.3 0.25 880 660 vol=0.45 wave=square decay=5"],
    "ch_playend.wav 0.9": ["seq 0 0.12 C6 G5 E5 C5 wave=square vol=0.35 decay=5"],
    "ch_bonustime.wav 1.0": ["seq 0 0.09 C5 D5 E5 G5 A5 C6 wave=triangle vol=0.4 decay=4",
                             "note 0.55 0.4 1568 1568 vol=0.3 wave=sine decay=3"],
    "ch_sign.wav 0.7": ["seq 0 0.07 G5 B5 D6 G6 wave=sine vol=0.45 decay=6"],
}
for header, notes in sounds.items():
    recipe.append(f"[sound data/sound/{header}]")
    recipe.extend(notes)
    recipe.append("")

with open(RECIPE, "w") as f:
    f.write("\n".join(recipe).rstrip("\n") + "\n")
