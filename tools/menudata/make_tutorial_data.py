#!/usr/bin/env python3
# Writes the data of the tutorial, battle-help and special-mode pop-ups from one description:
# the layouts "data/quibly.xml", "data/howto_iq.xml", "data/howto_push.xml", "data/video.xml",
# "data/tutorial.xml", "data/battle_tutorial.xml", "data/howto_battle.xml",
# "data/geek_battle.xml" and "data/geek_push.xml" with their UI animations, the recipe of their
# pictures (data/recipes/68_tutorials.recipe) and the recipe of the tutorial movies and their
# sound tracks (data/recipes/85_tutorial_movies.recipe). Window and scene names are the ones the
# pop-ups look up; the price pictures of the special modes are named in the default unlock file.
# Run from the source root:
#     python3 tools/menudata/make_tutorial_data.py .
# and commit what it writes.
import os, sys
from functools import partial

import uixml
from uixml import animbutton, child, frame, label, mix, picture, popup_tracks
from recipes import Recipe

ROOT = sys.argv[1]
DATA = os.path.join(ROOT, "data/data")
RECIPE = os.path.join(ROOT, "data/recipes/68_tutorials.recipe")
MOVIES = os.path.join(ROOT, "data/recipes/85_tutorial_movies.recipe")

NAVY, PAPER, BLUE, GREEN, YELLOW, GREY = "#1B2340", "#F4F6FB", "#3D8BFD", "#3CC47C", "#F7C548", "#8E96A3"
RED, PURPLE, TEAL, ORANGE = "#E8505B", "#9B6BDF", "#2BB5B8", "#F28C38"
# The lessons show the blocks of play only: red, green and blue.
BLOCKS = {"R": RED, "G": GREEN, "B": BLUE}

recipe = Recipe("tutorial", ["# The tutorial, battle-help and special-mode pop-ups: panels, buttons, category pictures.",
                             "# Written by tools/menudata/make_tutorial_data.py with the layouts they belong to.", ""])
image, still, panel = recipe.image, recipe.still, recipe.panel
# Disabled tutorial buttons are pale, not grey.
button = partial(recipe.button, disabled=("#C5CAD3", "#F4F6FB"))


def write(name, text):
    with open(os.path.join(DATA, name), "w") as f:
        f.write(text)


def layout(file, top, children):
    """Writes the layout `file` with its UI animation named after it; returns that name."""
    animation = file[:-4] + "_UIAnimation.xml"
    write(file, uixml.layout(top, children, animation))
    return animation


class Animation:
    """A UI animation file: scenes, each driving named windows through key frames."""

    def __init__(self):
        self.scenes = []

    def scene(self, name, tracks):
        """tracks: (window, w, h, [frames])"""
        self.scenes.append((name, tracks))

    def save(self, file):
        write(file, uixml.ui_scenes(self.scenes))


def popup(file, top, body, x, y, w, h, colour, title, children, ins, out, extra=None):
    """A dimmed screen with one panel; `ins` are opening scenes, `extra` more scenes (name, tracks)."""
    inner = [picture("Pic_popup_panel", 0, 0, w, h, panel(f"{top}_panel.png", w, h, colour)),
             label("Label_popup_title", 20, 12, w - 40, 46, 30, "#FFFFFF", title, "Center")] + children
    anim = Animation()
    for name in ins:
        anim.scene(name, popup_tracks(top, body, x, y, w, h, True))
    for name, tracks in (extra or []):
        anim.scene(name, tracks)
    anim.scene(out, popup_tracks(top, body, x, y, w, h, False))
    anim.save(layout(file, top, [picture("Pic_popup_dim", 0, 0, 1024, 768, DIM),
                                 child("WND", body, x, y, w, h, "".join(inner))]))


image("tutorial_dim.png", 1024, 768, ["fill #0B0F1E99"])
DIM = still("tutorial_dim.png")
close_btn = button("tut_btn_close", 150, 56, RED, "CLOSE", 24)
ok_btn = button("tut_btn_ok", 150, 56, GREEN, "OK", 24)

# ---- the paged movie tutorials: a movie, the page number, next and close ----
MW, MH = 480, 300  # the movies' size: the picture where they are drawn has it too
PW, PH = 640, 540
PX, PY = (1024 - PW) // 2, (768 - PH) // 2
next_btn = button("tut_btn_next", 150, 56, BLUE, "NEXT", 24)
frame_pic = still_frame = None
image("tut_movie_frame.png", MW + 16, MH + 16, [f"rect 0 0 {MW + 16} {MH + 16} {NAVY} r=12"])
frame_pic = still("tut_movie_frame.png")


def paged(file, top, title, colour, pages):
    body = "Wnd_tutorial_body"
    vx, vy = (PW - MW) // 2, 84
    by = PH - 86
    children = [picture("Pic_tutorial_frame", vx - 8, vy - 8, MW + 16, MH + 16, frame_pic),
                picture("Picture_tutorial_video", vx, vy, MW, MH),
                label("Label_tutorial_page", 40, by + 4, 60, 48, 26, colour, "1", "Right"),
                label("Label_tutorial_pages", 106, by + 4, 90, 48, 26, NAVY, f"/ {pages}"),
                animbutton("Anibtn_tutorial_next", PW - 360, by, 150, 56, next_btn),
                animbutton("Anibtn_tutorial_close", PW - 190, by, 150, 56, close_btn)]
    # Every page scene holds the screen and panel still and fades the movie in.
    page = lambda: [(top, 1024, 768, [frame(0, 0, 0, 1), frame(300, 0, 0, 1)]),
                    (body, PW, PH, [frame(0, PX, PY, 1), frame(300, PX, PY, 1)]),
                    ("Picture_tutorial_video", MW, MH, [frame(0, vx, vy, 0), frame(300, vx, vy, 1)])]
    first = [(top, 1024, 768, [frame(0, 0, 0, 0), frame(220, 0, 0, 1)]),
             (body, PW, PH, [frame(0, PX, PY + 40, 0), frame(260, PX, PY - 6, 1), frame(340, PX, PY, 1)]),
             ("Picture_tutorial_video", MW, MH, [frame(0, vx, vy, 0), frame(200, vx, vy, 0), frame(420, vx, vy, 1)])]
    extra = [("quibly_1", first)] + [(f"quibly_{p}", page()) for p in range(2, pages + 1)]
    popup(file, top, body, PX, PY, PW, PH, colour, title, children, [], "quibly_out", extra)


paged("quibly.xml", "Wnd_quibly", "HOW TO PLAY", TEAL, 15)
paged("howto_iq.xml", "Wnd_howto_iq", "LOGIC PUZZLES", PURPLE, 4)
paged("howto_push.xml", "Wnd_howto_push", "PUSH", GREEN, 4)

# ---- the battle videos: four choices and the movie ----
VW, VH = 800, 520
VX, VY = (1024 - VW) // 2, (768 - VH) // 2
children = [picture("Pic_video_frame", 282, 84, MW + 16, MH + 16, frame_pic),
            picture("Picture_popup_video", 290, 92, MW, MH),
            animbutton("Anibtn_popup_ok", VW - 190, VH - 86, 150, 56, ok_btn)]
for k, name in enumerate(["Basics", "Attacks", "Items", "Winning"]):
    children.append(animbutton(f"Anibtn_popup_videoselect_{k + 1}", 34, 92 + k * 76, 220, 60,
                               button(f"tut_btn_video{k + 1}", 220, 60, BLUE, f"{k + 1}. {name}", 22)))
popup("video.xml", "Wnd_video", "Wnd_video_body", VX, VY, VW, VH, BLUE, "BATTLE VIDEOS", children,
      ["video_in"], "video_out")

# ---- the two tutorial menus: three choices and close ----
TW, TH = 600, 420
TX, TY = (1024 - TW) // 2, (768 - TH) // 2


def choices(file, top, title, colour, names):
    children = [label("Label_popup_text", 30, 80, TW - 60, 40, 18, NAVY, "What would you like to see?", "Center")]
    for k, (name, key, text, c) in enumerate(names):
        children.append(animbutton(name, 40 + k * 180, 140, 160, 140, button(key, 160, 140, c, text, 24)))
    children.append(animbutton("Anibtn_popup_close", (TW - 150) // 2, TH - 90, 150, 56, close_btn))
    popup(file, top, top + "_body", TX, TY, TW, TH, colour, title, children, ["video_in"], "video_out")


choices("tutorial.xml", "Wnd_tutorial_menu", "TUTORIAL", TEAL,
        [("popup_tutorial_slide_Normal1", "tut_btn_slides", "Lessons", TEAL),
         ("popup_tutorial_video_Normal1", "tut_btn_videos", "Videos", BLUE),
         ("popup_tutorial_freeplay_Normal1", "tut_btn_freeplay", "Free play", GREEN)])
choices("battle_tutorial.xml", "Wnd_battle_tutorial", "BATTLE TUTORIAL", BLUE,
        [("btn_bttutorial_slide", "tut_btn_bthelp", "Help", TEAL),
         ("btn_bttutorial_video", "tut_btn_btvideo", "Videos", BLUE),
         ("btn_bttutorial_keyhelp", "tut_btn_btkeys", "Keys", PURPLE)])

# ---- the battle help: nine categories, each with an animated picture ----
HW, HH = 860, 600
HX, HY = (1024 - HW) // 2, (768 - HH) // 2
CATEGORIES = [("Blocks", "Click a 2x2 square of one colour: its whole group clears.", "board"),
              ("Bullets", "Cleared blocks fill the bullet of their colour.", "bullets"),
              ("Units", "A full bullet sends a unit down the lane.", "unit"),
              ("The lane", "Units meet on the lane; the stronger one goes on.", "lane"),
              ("Combos", "Clear again quickly for a combo bonus.", "combo"),
              ("Rotate", "Turn the board by 90 degrees to find squares.", "rotate"),
              ("Items", "Stars and stones change the board.", "items"),
              ("Towers", "A unit at the tower takes its hit points.", "tower"),
              ("Winning", "Bring the rival tower to zero to win.", "win")]
CW, CH = 500, 360
cat_x, cat_y = 316, 90


def category_picture(n, title, text, kind):
    """A still page and a moving mark over it, played by the picture's own animation."""
    ops = [f"rect 0 0 {CW} {CH} #FFFFFF r=16", f"frame 0 0 {CW} {CH} 2 {mix(BLUE, 0.5)} r=16",
           f'text {CW // 2} 20 28 {NAVY} "{title}" align=center', f'text {CW // 2} {CH - 50} 13 {NAVY} "{text}" align=center']
    cells = ["RRGB", "RRGB", "BGGB", "BGGG"]
    for r, row in enumerate(cells):
        for c, k in enumerate(row):
            ops.append(f"block {170 + c * 40} {80 + r * 40} 38 {BLOCKS[k]}")
    image(f"bthelp_page_{n}.png", CW, CH, ops)
    marks = {"board": [f"frame 4 4 72 72 4 {ORANGE} r=8"], "bullets": [f"rect 4 20 72 40 {RED} r=10"],
             "unit": [f"circle 40 40 30 {BLUE}", "ring 40 40 30 4 #FFFFFF"], "lane": [f"poly {GREEN} 4 40 60 4 60 76"],
             "combo": [f"star 40 40 36 {YELLOW}"], "rotate": [f"ring 40 40 30 8 {TEAL}", f"poly {TEAL} 56 10 76 30 50 34"],
             "items": [f"star 40 40 36 {ORANGE}"], "tower": [f"rect 20 8 40 64 {PURPLE} r=6"],
             "win": [f"star 40 40 36 {GREEN}"]}[kind]
    image(f"bthelp_mark_{n}.png", 80, 80, marks)
    recipe.append(f"[anim data/tutorial/bthelp_{n}.xml]")
    recipe.append(f"scene show res={CW}x{CH}")
    recipe.append(f"track bthelp_page_{n}.png motion=still ms=1200")
    recipe.append(f"track bthelp_mark_{n}.png x={(170 + 80) / CW:.3f} y={(80 + 80) / CH:.3f} motion=pop ms=700")
    recipe.append("")
    return f"tutorial/bthelp_{n}.xml"


image("bthelp_list_on.png", 230, 50, [f"frame 0 0 230 50 4 {YELLOW} r=12"])
overlay = still("bthelp_list_on.png")
children = [animbutton("Anibtn_battlehelp_close", HW - 190, HH - 86, 150, 56, close_btn)]
for n, (title, text, kind) in enumerate(CATEGORIES, 1):
    children.append(animbutton(f"Anibtn_bthelp_categorynum_{n}", 40, 84 + (n - 1) * 52, 230, 46,
                               button(f"tut_btn_cat{n}", 230, 46, BLUE if n % 2 else mix(BLUE, 0.2, NAVY), f"{n}. {title}", 20)))
    children.append(picture(f"Pic_battlehelp_{n}", cat_x, cat_y, CW, CH, category_picture(n, title, text, kind)))
children.append(picture("howto_battle_list_on", 38, 82, 230, 50, overlay))


def help_scene(n):
    tracks = [("howto_battle_list_on", 230, 50, [frame(0, 38, 82 + (n - 1) * 52, 0), frame(150, 38, 82 + (n - 1) * 52, 1)])]
    for k in range(1, 10):
        alpha = 1 if k == n else 0
        tracks.append((f"Pic_battlehelp_{k}", CW, CH, [frame(0, cat_x, cat_y, 0 if k == n else 0), frame(250, cat_x, cat_y, alpha)]))
    return tracks


help_in = [("Wnd_howto_battle", 1024, 768, [frame(0, 0, 0, 0), frame(220, 0, 0, 1)]),
           ("Wnd_howto_battle_body", HW, HH, [frame(0, HX, HY + 40, 0), frame(260, HX, HY - 6, 1), frame(340, HX, HY, 1)])]
help_in += help_scene(1)[:1] + [(f"Pic_battlehelp_{k}", CW, CH, [frame(0, cat_x, cat_y, 0), frame(340, cat_x, cat_y, 1 if k == 1 else 0)])
                                for k in range(1, 10)]
popup("howto_battle.xml", "Wnd_howto_battle", "Wnd_howto_battle_body", HX, HY, HW, HH, BLUE, "BATTLE HELP", children,
      [], "help_out", [("help_in", help_in)] + [(f"help_{n}", help_scene(n)) for n in range(1, 10)])

# ---- the special modes: a card per mode with its lock, price, place and marks ----
image("geek_clear.png", 40, 40, [f"circle 20 20 18 {GREEN}", 'text 20 10 16 #FFFFFF "OK" align=center'])
image("geek_allclear.png", 40, 40, [f"star 20 20 19 {YELLOW}"])
clear_pic, allclear_pic = still("geek_clear.png"), still("geek_allclear.png")


def special(file, top, title, colour, prefix, modes, prices):
    w = 60 + 220 * min(3, len(modes))
    h = 110 + 210 * ((len(modes) + 2) // 3) + 90
    x, y = (1024 - w) // 2, (768 - h) // 2
    children = []
    for k, ((mode, text, c, note), price) in enumerate(zip(modes, prices)):
        cx, cy = 40 + (k % 3) * 220, 90 + (k // 3) * 210
        children.append(animbutton(f"{prefix}{mode}", cx, cy, 200, 150,
                                   button(f"geek_{prefix}{mode}", 200, 150, c, text, 26, note=note)))
        price_text = f'text 72 8 22 #FFFFFF "{price}" align=center'
        cube = lambda face: [f"rect 8 8 24 24 #FFFFFF r=5", f'text 20 9 17 {face} "C" align=center']
        image(f"geek_price_{prefix}{mode}.png", 110, 40, [f"rect 0 0 110 40 {mix(YELLOW, 0.25, '#000000')} r=12"]
              + cube(mix(YELLOW, 0.3, '#000000')) + [price_text])
        image(f"geek_price_{prefix}{mode}_gray.png", 110, 40, [f"rect 0 0 110 40 {GREY} r=12"] + cube(GREY) + [price_text])
        # The price lies on the lock, so an unlocked mode shows neither.
        prices = (picture(f"Pic_{prefix}cube_{mode}", 45, 104, 110, 40, still(f"geek_price_{prefix}{mode}.png"))
                  + picture(f"Pic_{prefix}cube_{mode}_gray", 45, 104, 110, 40, still(f"geek_price_{prefix}{mode}_gray.png")))
        lock = button(f"geek_lock_{prefix}{mode}", 200, 150, mix(c, 0.55, "#1B2340"), text, 24, note=note)
        children.append(child("ANIMBUTTON", f"{prefix}lock_{mode}", cx, cy, 200, 150,
                              f'<asset type="GROUP">{lock}</asset>' + prices))
        children.append(label(f"Label_cmt_{mode}", cx, cy + 154, 150, 40, 20, NAVY, "", "Left"))
        children.append(picture(f"Pic_icon_clear_{mode}", cx + 160, cy + 154, 40, 40, clear_pic))
        children.append(picture(f"Pic_icon_allclear_{mode}", cx + 160, cy + 154, 40, 40, allclear_pic))
    children.append(animbutton("Anibtn_popup_close", w - 190, h - 86, 150, 56, close_btn))
    popup(file, top, top + "_body", x, y, w, h, colour, title, children, ["video_in"], "video_out")


# Each special battle's tile says what its rival does (the ghosts of tools/ghostgen/ghosts.txt).
special("geek_battle.xml", "Wnd_geek_battle", "SPECIAL BATTLES", PURPLE, "btn_btgeek_",
        [("clone", "Clone", BLUE, "Thin tower, fast aim"), ("star", "Star", YELLOW, "Stars every 20 s"),
         ("stone", "Stone", GREY, "Mines on your lane"), ("big", "Big", GREEN, "Your tower: half HP"),
         ("dash", "Dash", ORANGE, "It takes your bullets"), ("hell", "Hell", RED, "Mines, stars, repairs")],
        [300, 300, 400, 400, 600, 1000])
# Each special push's tile says what its stage does (tools/menudata/make_push_data.py).
special("geek_push.xml", "Wnd_geek_push", "SPECIAL PUSH", GREEN, "btn_psgeek_",
        [("onecolor", "One colour", TEAL, "One colour, one lane"), ("hell", "Hell", RED, "Top rival, more stones")],
        [400, 1000])

with open(RECIPE, "w") as f:
    f.write("\n".join(recipe))

# ---- the movies: each page's lesson in steps, with a short tune ----
movies = ["# The tutorial and battle movies with their sound tracks, one lesson each, short and small.",
          "# Written by tools/menudata/make_tutorial_data.py.", ""]
CELL = 40
BX, BY = 40, 60  # the board's corner in the movie


def board(rows, x=BX, y=BY, span=""):
    ops = [f"rect {x - 6} {y - 6} {len(rows[0]) * CELL + 12} {len(rows) * CELL + 12} #2A3350 r=10{span}"]
    for r, row in enumerate(rows):
        for c, k in enumerate(row):
            if k in BLOCKS:
                ops.append(f"block {x + c * CELL + 1} {y + r * CELL + 1} {CELL - 2} {BLOCKS[k]}{span}")
    return ops


def when(a, b):
    return f" from={a} until={b}"


def cursor(cx, cy, span=""):
    return [f"poly #0B0F1E {cx} {cy} {cx} {cy + 26} {cx + 8} {cy + 19} {cx + 14} {cy + 30} {cx + 19} {cy + 28} "
            f"{cx + 13} {cy + 17} {cx + 23} {cy + 17}{span}",
            f"poly #FFFFFF {cx + 2} {cy + 4} {cx + 2} {cy + 21} {cx + 8} {cy + 16} {cx + 14} {cy + 27} {cx + 17} {cy + 26} "
            f"{cx + 11} {cy + 15} {cx + 19} {cy + 15}{span}"]


def caption(text, sub=""):
    ops = [f'text 240 12 24 #FFFFFF "{text}" align=center shadow=#00000080']
    if sub:
        ops.append(f'text 340 120 15 #D5D9E2 "{sub}" align=center')
    return ops


def side(lines, span=""):
    return [f'text 370 {90 + i * 26} 16 #FFFFFF "{t}" align=center{span}' for i, t in enumerate(lines)]


BASE = ["RRGB", "RRGB", "BGGB", "BGGG", "BBRG"]
CLEARED = ["..GB", "..GB", "BGGB", "BGGG", "BBRG"]
ROTATED = ["BBBRR", "BBBRR", "RGGGG", "GGGBB", "GGBBB"][:4]


def click_lesson(title, lines, before, after, at=(BX + CELL, BY + CELL)):
    return (caption(title) + board(before, span=when(0, 1.6)) + board(after, span=when(1.6, 9)) +
            cursor(at[0] + 40, at[1] + 50, when(0.3, 1.0)) + cursor(at[0], at[1], when(1.0, 9)) +
            [f"ring {at[0]} {at[1]} 18 4 #FFFFFF{when(1.3, 1.7)}"] + side(lines))


def lane_lesson(title, lines, units):
    ops = caption(title) + ["rect 30 150 420 60 #2A3350 r=12", f"rect 30 130 40 100 {BLUE} r=8", f"rect 410 130 40 100 {RED} r=8"]
    for i, (colour, x0) in enumerate(units):
        for step in range(6):
            x = x0 + step * (40 if colour == BLUE else -40)
            ops.append(f"circle {x} 180 16 {colour}{when(step * 0.5, step * 0.5 + 0.5)}")
    return ops + [f'text 240 240 16 #FFFFFF "{t}" align=center' for t in lines[:1]] + \
        [f'text 240 {264 + i * 22} 14 #D5D9E2 "{t}" align=center' for i, t in enumerate(lines[1:])]


def push_lesson(title, lines, moving):
    ops = caption(title)
    for lane in range(3):
        ops.append(f"rect {60 + lane * 130} 60 110 200 #2A3350 r=10")
        for r in range(3):
            ops.append(f"block {75 + lane * 130} {200 - r * 40} 38 {BLOCKS['RGB'[(lane + r) % 3]]}")
    for step in range(5):
        ops.append(f"block {75 + moving * 130 + 40} {80 + step * 20} 38 {GREEN}{when(step * 0.5, step * 0.5 + 0.5)}")
    return ops + [f'text 240 {268 + i * 14} 12 #FFFFFF "{t}" align=center' for i, t in enumerate(lines[:2])]


lessons = {
    "Movie1": caption("Welcome to Quibly") + board(BASE) + side(["Coloured blocks", "fill the board.", "Clear them", "for points!"]),
    "Movie2": caption("The board") + board(BASE) + [f"frame {BX - 8} {BY - 8} {4 * CELL + 16} {5 * CELL + 16} 4 #FFFFFF r=12{when(0.8, 9)}"]
              + side(["Blocks sit in", "a square grid."]),
    "Movie3": caption("Squares") + board(BASE) + [f"frame {BX} {BY} {2 * CELL} {2 * CELL} 4 #FFFFFF r=6{when(0.8, 9)}"]
              + side(["Four blocks of", "one colour in", "a 2 x 2 square", "make a group."]),
    "Movie4": click_lesson("Click a group", ["Click a square:", "its whole group", "clears at once."], BASE, CLEARED),
    "Movie5": click_lesson("Bigger groups", ["Squares that", "touch join into", "one big group."],
                           ["RRRB", "RRRB", "BGGB", "BGGG", "BBRG"], ["...B", "...B", "BGGB", "BGGG", "BBRG"]),
    "Movie6": click_lesson("Loose blocks", ["A block alone", "goes by itself,", "for few points."], BASE,
                           ["RRG.", "RRGB", "BGGB", "BGGG", "BBRG"], (BX + 3 * CELL + 20, BY + 20)),
    "Movie7": click_lesson("Combos", ["Clear again", "quickly for", "a combo bonus."], BASE, CLEARED)
              + [f'text 370 200 30 {YELLOW} "COMBO x2" align=center{when(1.7, 9)}'],
    "Movie8": caption("Rotate") + board(BASE, span=when(0, 1.5)) + board(ROTATED, span=when(1.5, 9))
              + [f"ring 370 170 30 8 {TEAL}", f"poly {TEAL} 386 136 410 150 384 162"] + side(["Turn the board", "by 90 degrees."]),
    "Movie9": click_lesson("Stars", ["A star takes", "the colour that", "completes a square."],
                           ["RRGB", "R.GB", "BGGB", "BGGG", "BBRG"], ["..GB", "..GB", "BGGB", "BGGG", "BBRG"])
              + [f"star {BX + CELL + 20} {BY + CELL + 20} 18 #FFFFFF{when(0, 1.6)}"],
    "Movie10": click_lesson("Stones", ["Stone squares", "break when a", "group clears by."],
                            ["RRGB", "RRGB", "BGGB", "BGGG", "BBRG"], CLEARED)
               + [f"rect {BX + 2 * CELL + 4} {BY + 4} {CELL * 2 - 8} {CELL * 2 - 8} #8E96A3 r=6{when(0, 1.6)}"],
    "Movie11": caption("Double chance") + board(BASE) + [f'text 370 200 26 {ORANGE} "x2" align=center{when(0.8, 9)}']
               + side(["When it lights,", "every clear", "counts double."]),
    "Movie12": caption("Points") + board(BASE) + [f'text 370 200 30 #FFFFFF "{n}" align=center{when(i * 0.6, i * 0.6 + 0.6)}'
                                                   for i, n in enumerate(["0", "120", "480", "1,250", "3,600"])]
               + side(["Bigger groups", "score more."]),
    "Movie13": lane_lesson("Battle", ["Send units at the rival tower.", "Full bullets launch them."], [(BLUE, 80)]),
    "Movie14": push_lesson("Push", ["Push blocks into three lanes", "before they fill up."], 1),
    "Movie15": caption("Have fun!") + board(BASE) + [f"star 370 210 40 {YELLOW}{when(0.5, 9)}"] + side(["Pick a mode", "from the menu."]),
    "MovieIQ0": caption("Logic puzzles") + board(BASE) + side(["Clear every", "block of the", "puzzle."]),
    "MovieIQ1": click_lesson("Plan the order", ["Each click", "changes what", "is left."], BASE, CLEARED),
    "MovieIQ2": caption("Few clicks") + board(CLEARED) + [f'text 370 200 28 {YELLOW} "3 left" align=center{when(0.8, 9)}']
                + side(["Solve it in", "as few clicks", "as you can."]),
    "MovieIQ3": caption("Make your own") + board(["R...", "RR..", "....", "..BB", "..BB"])
                + [f"block {BX + CELL + 1} {BY + 1} {CELL - 2} {RED}{when(1.2, 9)}"] + cursor(BX + CELL + 20, BY + 20, when(0.6, 9))
                + side(["The editor", "builds puzzles", "block by block."]),
    "MoviePushing0": push_lesson("Three lanes", ["Blocks rise in three lanes.", "Keep them low."], 0),
    "MoviePushing1": push_lesson("Push blocks", ["Drop a block on a lane", "to push it."], 1),
    "MoviePushing2": push_lesson("Levers", ["Pull a lever to clear", "a lane's top row."], 2),
    "MoviePushing3": push_lesson("The goal", ["Outlast your rival:", "the fullest lane loses."], 1),
    "MovieBattle0": click_lesson("Fill bullets", ["Clears fill", "the bullet of", "their colour."], BASE, CLEARED),
    "MovieBattle1": lane_lesson("Launch units", ["A full bullet launches a unit.", "Right-click fires too."], [(BLUE, 80)]),
    # The third battle video is the one the menu calls "Items": stars and stones on the board.
    "MovieBattle2": caption("Items") + board(BASE)
                    + [f"block {BX + 3 * CELL + 1} {BY + 2 * CELL + 1} {CELL - 2} {GREY}{when(0.6, 9)}",
                       f"star {BX + CELL + CELL // 2} {BY + 4 * CELL + CELL // 2} 18 {YELLOW}{when(1.4, 9)}"]
                    + side(["Stars and stones", "fall onto the board", "and change it."]),
    "MovieBattle3": lane_lesson("Destroy the tower", ["Units at the tower take", "its hit points. Zero wins."], [(BLUE, 200)]),
}
tunes = ["C5 E5 G5 E5", "D5 F5 A5 F5", "E5 G5 B5 G5", "C5 G4 E5 C5", "F5 A5 C6 A5", "G4 B4 D5 B4"]
for i, (name, ops) in enumerate(lessons.items()):
    movies.append(f"[movie data/movie/{name}.avi {MW} {MH} fps=10 seconds=3 fadein=0.3 fadeout=0.3]")
    movies.append("fill #151B30")
    movies.extend(ops)
    movies.append("")
    movies.append(f"[sound data/movie/{name}.ogg 3]")
    movies.append(f"seq 0.1 0.35 {tunes[i % len(tunes)]} {tunes[(i + 1) % len(tunes)]} wave=triangle vol=0.25 decay=4")
    movies.append("")
with open(MOVIES, "w") as f:
    f.write("\n".join(movies))
