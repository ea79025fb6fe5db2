#!/usr/bin/env python3
# Writes the main menu's data from one description: the layouts and UI animations under
# data/data/menu, the recipe of their pictures and button animations
# (data/recipes/35_mainmenu.recipe) and the default unlock file (data/playdata/QuiblyUnlockMenu.xml).
# Window names are the ones the main menu looks up. Run from the source root:
#     python3 tools/menudata/make_main_menu_data.py .
# and commit what it writes.
import os, sys
from uixml import mix

ROOT = sys.argv[1]
LAYOUT_DIR = os.path.join(ROOT, "data/data/menu")
RECIPE = os.path.join(ROOT, "data/recipes/35_mainmenu.recipe")
os.makedirs(LAYOUT_DIR, exist_ok=True)

RED, GREEN, BLUE, YELLOW, GREY, PURPLE = "#E8505B", "#3CC47C", "#3D8BFD", "#F7C548", "#8E96A3", "#9B6BDF"
TEAL, ORANGE = "#2BB5B8", "#F28C38"

recipe = ["# The main menu: backgrounds, mode cards, buttons with their state animations, the title",
          "# and warning screens, the opening's story pages and the credits. Written with the layouts",
          "# under data/data/menu, whose window sizes these pictures match.", ""]
made_buttons = {}


made_images = set()


def img(path, w, h, ops):
    if path in made_images:
        return path
    made_images.add(path)
    recipe.append(f"[image data/menu_img/{path} {w} {h}]")
    recipe.extend(ops)
    recipe.append("")
    return path


def button(key, w, h, colour, label, size=None, sub=None, icon=None, round_=None):
    """A button picture set and its state animation; returns the animation file name."""
    if key in made_buttons:
        return made_buttons[key]
    r = round_ if round_ is not None else min(22, h // 3)
    size = size or max(14, min(34, int(h * 0.38)))

    def face(fill, text_colour, rim, extra_frame=None):
        ops = [f"rect 0 3 {w} {h - 3} {mix(fill, 0.35, '#000000')} r={r}",
               f"rect 0 0 {w} {h - 4} {fill} r={r}",
               f"rect 4 4 {w - 8} {max(4, (h - 8) // 2)} {mix(fill, 0.18)} r={max(2, r - 4)}"]
        if extra_frame:
            ops.append(f"frame 1 1 {w - 2} {h - 6} {r} 3 {extra_frame}")
        if icon:
            ops.extend(icon(w, h))
        ty = (h - 4 - size) // 2 - (size // 2 if sub else 0) - 2
        ops.append(f'text {w // 2} {ty} {size} {text_colour} "{label}" align=center shadow=#00000060')
        if sub:
            ops.append(f'text {w // 2} {ty + size + 6} {max(12, size // 2)} {text_colour}D0 "{sub}" align=center')
        return ops

    img(f"mm_{key}.png", w, h, face(colour, "#FFFFFF", None))
    img(f"mm_{key}_over.png", w, h, face(mix(colour, 0.2), "#FFFFFF", None, "#FFFFFFC0"))
    img(f"mm_{key}_gray.png", w, h, face("#4A5068", "#9AA0B4", None))
    anim = f"mm_{key}_btn.xml"
    recipe.extend([f"[anim data/menu_anim/{anim}]",
                   "scene NORMAL", f"track mm_{key}.png motion=still ms=400",
                   "scene OVER", f"track mm_{key}_over.png motion=pulse ms=900 amount=0.03",
                   "scene DOWN", f"track mm_{key}_over.png motion=press ms=120 amount=0.94",
                   "scene DISABLE", f"track mm_{key}_gray.png motion=still ms=400", ""])
    made_buttons[key] = anim
    return anim


# ---- layout writing -------------------------------------------------------------------------

class W:
    def __init__(self, kind, name, x, y, w, h, inner="", children=None):
        self.kind, self.name, self.x, self.y, self.w, self.h = kind, name, x, y, w, h
        self.inner = inner
        self.children = children or []

    def xml(self, indent, top=False):
        tag = "base" if top else "child"
        pad = "  " * indent
        out = [f'{pad}<{tag} type="{self.kind}" name="{self.name}">',
               f'{pad}  <pos x="{self.x}" y="{self.y}"/><rect l="0" t="0" r="{self.w}" b="{self.h}"/>']
        if self.inner:
            out.append(pad + "  " + self.inner)
        for c in self.children:
            out.append(c.xml(indent + 1))
        out.append(f"{pad}</{tag}>")
        return "\n".join(out)

    def walk(self):
        yield self
        for c in self.children:
            yield from c.walk()


def Btn(name, x, y, anim, w, h):
    return W("ANIMBUTTON", name, x, y, w, h, f'<asset type="GROUP">menu_anim/{anim}</asset>')


def Pic(name, x, y, w, h, picture):
    return W("PICTURE", name, x, y, w, h, f'<asset type="STATIC">{picture}</asset>')


def AniPic(name, x, y, w, h, anim):
    return W("PICTURE", name, x, y, w, h, f'<asset type="ANIMATION">menu_anim/{anim}</asset>')


def Label(name, x, y, w, h, text, colour="#FFFFFF", align="right"):
    return W("LABEL", name, x, y, w, h,
             f'<label val="{text}"/><FontName val="KelmorSoft"/><Color val="{colour}"/><HAlign val="{align}"/>')


def Box(name, x, y, w, h, children=None):
    return W("WND", name, x, y, w, h, "", children)


def Group(name, x, y, w, h, children):
    """A container whose children are given in screen coordinates."""
    for c in children:
        c.x -= x
        c.y -= y
    return W("WND", name, x, y, w, h, "", children)


def write_layout(file, top, ui):
    text = ['<?xml version="1.0" encoding="UTF-8"?>', '<kevrin version="2">']
    if ui:
        text += ["  <properties>", f'    <property name="UIAnimation" val="menu/{ui}"/>', "  </properties>"]
    text.append(top.xml(1, top=True))
    text.append("</kevrin>")
    with open(os.path.join(LAYOUT_DIR, file), "w") as f:
        f.write("\n".join(text) + "\n")


def frame(ms, x, y, a):
    return (f'<frame cnt="{int(ms)}"><posx val="{x}"/><posy val="{y}"/><scalex val="1"/><scaley val="1"/>'
            f'<centerx val="0"/><centery val="0"/><rotate val="0"/><alpha val="{a}"/></frame>')


def write_ui(file, top, scenes):
    """scenes: name -> list of (window name, [(ms, dx, dy, alpha)...]) with offsets from the layout."""
    windows = {w.name: w for w in top.walk()}
    out = ['<?xml version="1.0" encoding="UTF-8"?>', '<kvanimation version="1.2">']
    for scene, objects in scenes.items():
        out.append(f'  <scene name="{scene}">')
        for i, (name, keys) in enumerate(objects):
            w = windows[name]
            out.append(f'    <asset type="UI" name="UIWND_{name}"><rect l="0" t="0" r="{w.w}" b="{w.h}"/></asset>')
        for i, (name, keys) in enumerate(objects):
            out.append(f'    <object name="{name}" ani="a{i}"><asset link="UIWND_{name}" type="UI"/></object>')
        for i, (name, keys) in enumerate(objects):
            w = windows[name]
            frames = "".join(frame(ms, w.x + dx, w.y + dy, a) for ms, dx, dy, a in keys)
            out.append(f'    <anim name="a{i}">{frames}</anim>')
        out.append("  </scene>")
    out.append("</kvanimation>")
    with open(os.path.join(LAYOUT_DIR, file), "w") as f:
        f.write("\n".join(out) + "\n")


def fade_in(ms=400, dy=0):
    return [(0, 0, dy, 0), (ms, 0, 0, 1)]


def fade_out(ms=300, dy=0):
    return [(0, 0, 0, 1), (ms, 0, dy, 0)]


def hold(a=1, ms=1):
    return [(0, 0, 0, a), (ms, 0, 0, a)]


# ---- shared pictures ------------------------------------------------------------------------

def deco_blocks(seed, count, ymin, ymax):
    import random
    rnd = random.Random(seed)
    cols = [RED, GREEN, BLUE, YELLOW, GREY]
    ops = []
    for _ in range(count):
        s = rnd.choice([26, 34, 42, 52])
        x = rnd.randrange(-20, 1010)
        y = rnd.randrange(ymin, ymax)
        ops.append(f"block {x} {y} {s} {rnd.choice(cols)}50")
    return ops


img("mm_main_bg.png", 1024, 768, ["gradient #2B3A78 #101529", "circle 512 250 380 #FFFFFF08",
                                  "circle 512 250 260 #FFFFFF08"] + deco_blocks(3, 26, 560, 760) +
    deco_blocks(5, 10, 0, 120) + ["rect 0 704 1024 64 #0B0F20A0"])
img("mm_logo.png", 520, 150, ["text 262 8 104 #00000060 \"Quibly\" align=center",
                              "text 258 2 104 #FFFFFF \"Quibly\" align=center",
                              "block 92 118 26 #E8505B", "block 122 118 26 #3CC47C", "block 152 118 26 #3D8BFD",
                              "block 182 118 26 #F7C548", "text 330 118 22 #B8C2E8 \"the block puzzle\" align=center"])
recipe.extend(["[anim data/menu_anim/mm_logo_anim.xml]", "scene NORMAL loop=1", "track mm_logo.png motion=pop ms=900", ""])
# A soft golden glow around the puzzle card (20 pixels out on every side), shaped like the card so
# that nothing of it shows as a shape of its own behind the card.
img("mm_hilight.png", 300, 190, ["rect 0 0 300 190 #F7C54818 r=34", "rect 6 6 288 178 #F7C54828 r=30",
                                 "rect 12 12 276 166 #F7C54838 r=26"])
img("mm_loading.png", 240, 40, ['text 120 4 26 #B8C2E8 "Loading..." align=center'])
img("mm_pressanykey.png", 360, 44, ['text 180 4 30 #F7C548 "Press any key" align=center shadow=#00000080'])
img("mm_credits.png", 600, 440, [
    "rect 0 0 600 440 #0B1024 r=28", "frame 0 0 600 440 28 3 #F7C548",
    'text 300 28 40 #F7C548 "Credits" align=center shadow=#00000080',
    'text 300 100 22 #FFFFFF "Game design and programming" align=center',
    'text 300 132 20 #B8C2E8 "the Quibly team" align=center',
    'text 300 184 22 #FFFFFF "Pictures, sound and music" align=center',
    'text 300 216 20 #B8C2E8 "made by our own generator" align=center',
    'text 300 268 22 #FFFFFF "Fonts" align=center',
    'text 300 300 20 #B8C2E8 "DejaVu and Nanum font families" align=center',
    "block 204 342 40 #E8505B", "block 252 342 40 #3CC47C", "block 300 342 40 #3D8BFD", "block 348 342 40 #F7C548",
    'text 300 390 16 #8E96A3 "Thank you for playing!" align=center',
    'text 300 412 14 #F7C548 "Click CREDITS again to close" align=center'])
recipe.extend(["[anim data/menu_anim/mm_credits_anim.xml]", "scene NORMAL loop=1",
               "track mm_credits.png motion=fadein ms=500", ""])
img("mm_lock_card.png", 260, 150, ["rect 0 0 260 146 #0B1024F0 r=22", "frame 0 0 260 146 22 3 #8E96A380",
                                   "rect 112 52 36 30 #C8CDD8 r=5", "ring 130 50 13 5 #C8CDD8",
                                   'text 130 96 20 #C8CDD8 "Locked" align=center'])
img("mm_lock_card_over.png", 260, 150, ["rect 0 0 260 146 #0B1024E8 r=22", "frame 0 0 260 146 22 3 #F7C548",
                                        "rect 112 52 36 30 #F7C548 r=5", "ring 130 50 13 5 #F7C548",
                                        'text 130 96 20 #F7C548 "Locked" align=center'])
recipe.extend(["[anim data/menu_anim/mm_lock_card_btn.xml]", "scene NORMAL", "track mm_lock_card.png motion=still ms=400",
               "scene OVER", "track mm_lock_card_over.png motion=still ms=400",
               "scene DOWN", "track mm_lock_card_over.png motion=press ms=120 amount=0.96",
               "scene DISABLE", "track mm_lock_card.png motion=still ms=400", ""])


def card_icon(colours):
    def ops(w, h):
        out = []
        x0 = w - 30 - 22 * len(colours)
        for i, c in enumerate(colours):
            out.append(f"block {x0 + i * 22} {h - 34} 20 {c}")
        return out
    return ops


# The progress marks: the hint of the guided first play, the clear icons and the record labels.
img("mm_clickhere.png", 220, 56, ["rect 0 0 220 42 #F7C548 r=14", "poly #F7C548 98 40 110 56 122 40",
                                  'text 110 8 22 #4A3500 "Click here!" align=center'])
img("mm_icon_allclear.png", 44, 44, ["circle 22 22 21 #F7C548", "star 22 20 15 #FFFFFF",
                                     'text 22 26 10 #4A3500 "No.1" align=center'])
img("mm_icon_clear.png", 44, 44, ["circle 22 22 21 #3CC47C", "poly #FFFFFF 10 22 16 16 20 24 32 10 37 15 20 33"])
img("mm_sub_current.png", 120, 20, ["circle 10 10 8 #FFFFFF", "circle 35 10 6 #FFFFFF60", "circle 60 10 6 #FFFFFF60",
                                    "circle 85 10 6 #FFFFFF60", "circle 110 10 6 #FFFFFF60"])
img("mm_ranking_back.png", 400, 30, ["rect 0 0 400 30 #0B102480 r=12"])


def clear_icons(prefix, level, x, y):
    """The all-clear and clear icons of one level, at the top right corner of its card."""
    return [Pic(f"{prefix}allclear_{level}", x, y, 44, 44, "mm_icon_allclear.png"),
            Pic(f"{prefix}clear_{level}", x, y, 44, 44, "mm_icon_clear.png")]


def ranking_labels(x, y):
    """The ranking score line of a sub-menu, and the hidden twin of the build without the platform."""
    return [Pic("Single_ranking_back", x, y, 400, 30, "mm_ranking_back.png"),
            Label("Steam_Label_cmt_ranking", x, y, 400, 30, "", "#F7C548", "center"),
            Label("Single_Label_cmt_ranking", x, y, 400, 30, "", "#F7C548", "center")]


# ---- main screen ----------------------------------------------------------------------------

CARD_W, CARD_H = 260, 150
cards = [("Anibtn_puzzle", "card_puzzle", RED, "Puzzle", "challenges", 107, 250, [RED, RED]),
         ("Anibtn_battle", "card_battle", BLUE, "Battle", "beat a rival", 382, 250, [BLUE, RED]),
         ("Anibtn_pushing", "card_push", GREEN, "Push", "three lanes", 657, 250, [GREEN, YELLOW]),
         ("Anibtn_iq", "card_iq", PURPLE, "Logic", "puzzles & editor", 244, 430, [PURPLE, GREY]),
         ("Steam_Anibtn_multi", "card_multi", ORANGE, "Online", "play a friend", 519, 430, [ORANGE, BLUE])]
locks = {"Anibtn_battle": "Anibtn_lock_battle", "Anibtn_pushing": "Anibtn_lock_push", "Anibtn_iq": "Anibtn_lock_iq",
         "Steam_Anibtn_multi": "Steam_Anibtn_lock_multi"}

main_children = [Pic("Pic_main_bg", 0, 0, 1024, 768, "mm_main_bg.png"),
                 AniPic("open_logo1", 252, 40, 520, 150, "mm_logo_anim.xml"),
                 Pic("Pic_first_hilight", 87, 230, 300, 190, "mm_hilight.png")]
mode_children = []
for name, key, colour, label, sub, x, y, icons in cards:
    mode_children.append(Btn(name, x, y, button(key, CARD_W, CARD_H, colour, label, 38, sub, card_icon(icons)),
                             CARD_W, CARD_H))
for name, key, colour, label, sub, x, y, icons in cards:
    if name in locks:
        mode_children.append(Btn(locks[name], x, y, "mm_lock_card_btn.xml", CARD_W, CARD_H))
main_children.append(Group("Wnd_main_modes", 100, 240, 824, 350, mode_children))
main_children.append(Pic("main_clickhere", 127, 194, 220, 56, "mm_clickhere.png"))
small = [("Anibtn_quibly", "small_tutorial", TEAL, "Tutorial", 40),
         ("AniBtn_Opening", "small_opening", GREY, "Story", 210),
         ("Anibtn_credits", "small_credits", GREY, "Credits", 380)]
for name, key, colour, label, x in small:
    main_children.append(Btn(name, x, 712, button(key, 150, 46, colour, label, 20), 150, 46))
main_children.append(Btn("Single_Anibtn_Achie", 550, 712, button("small_achie", 150, 46, GREY, "Awards", 20), 150, 46))
# The current-skin marks: a swatch per skin, the ring on the worn one.
skin_colours = [BLUE, ORANGE, PURPLE]
for i, c in enumerate(skin_colours):
    img(f"mm_skin{i}.png", 34, 34, [f"block 2 2 30 {c}"])
    main_children.append(Pic(f"S{i}_back", 24 + i * 44, 24, 34, 34, f"mm_skin{i}.png"))
img("mm_skin_mark.png", 42, 42, ["ring 21 21 18 3 #FFFFFF"])
for i in range(3):
    main_children.append(Pic(f"S{i}_currentskin", 20 + i * 44, 20, 42, 42, "mm_skin_mark.png"))
main_children += [Pic("Pic_loading", 392, 640, 240, 40, "mm_loading.png"),
                  Pic("Pic_pressanykey", 332, 636, 360, 44, "mm_pressanykey.png"),
                  AniPic("Pic_credits", 212, 768, 600, 440, "mm_credits_anim.xml")]
main = W("PANEL", "Wnd_mainmenu", 0, 0, 1024, 768, "", main_children)
write_layout("MAINMENU.xml", main, "MainMenu_UI.xml")
cards_in = [(n, [(0, 0, 40, 0), (150 + i * 60, 0, 40, 0), (450 + i * 60, 0, 0, 1)]) for i, (n, *_r) in enumerate(cards)]
write_ui("MainMenu_UI.xml", main, {
    "main_in": [("Wnd_mainmenu", fade_in(400)), ("open_logo1", [(0, 0, -40, 0), (500, 0, 0, 1)])] + cards_in,
    "main_in_2": [("Wnd_mainmenu", [(0, 0, 0, 0), (900, 0, 0, 1)])] + cards_in,
    "main_out": [("Wnd_mainmenu", fade_out(500))],
    "return": [("Wnd_mainmenu", [(0, 0, 0, 0.4), (350, 0, 0, 1)])] + [(n, hold(1)) for n, *_r in cards],
    "credits_in": [("Pic_credits", [(0, 0, 0, 0), (450, 0, -600, 1)])],
    "credits_out": [("Pic_credits", [(0, 0, -600, 1), (400, 0, 0, 0)])],
})

# ---- quick menu -----------------------------------------------------------------------------

def round_icon(kind):
    def ops(w, h):
        cx, cy = w // 2, (h - 4) // 2
        if kind == "power":
            return [f"ring {cx} {cy + 2} 14 4 #FFFFFF", f"rect {cx - 3} {cy - 16} 6 16 #FFFFFF r=3"]
        if kind == "skin":
            return [f"block {cx - 15} {cy - 15} 14 {RED}", f"block {cx + 1} {cy - 15} 14 {GREEN}",
                    f"block {cx - 15} {cy + 1} 14 {BLUE}", f"block {cx + 1} {cy + 1} 14 {YELLOW}"]
        if kind == "gear":
            return [f"ring {cx} {cy} 11 6 #FFFFFF", f"star {cx} {cy} 19 #FFFFFF60 points=8 inner=0.75"]
        return [f"rect {cx - 12} {cy - 14} 24 18 #FFFFFF r=4", f"rect {cx - 3} {cy + 4} 6 8 #FFFFFF",
                f"rect {cx - 10} {cy + 11} 20 5 #FFFFFF r=2"]
    return ops


def icon_button(key, colour, kind):
    return button(key, 64, 64, colour, "", 12, None, round_icon(kind), 30)


# The hint bubble, its tail on the skin button, stands above the quick menu's window, which
# holds only the button row: an empty band over the buttons would take the clicks meant for
# the sub-menus' buttons beneath it while the bubble is hidden.
img("mm_skins_comment.png", 280, 60, ["rect 0 0 280 48 #FFFFFF r=14", "poly #FFFFFF 26 46 38 60 50 46",
                                      'text 140 14 16 #26336A "New skins for 1000 cubes!" align=center'])
quick = W("PANEL", "Wnd_quickmenu", 730, 692, 290, 72, "", [
    Pic("Pic_skins_comment", 0, -72, 280, 60, "mm_skins_comment.png"),
    Btn("Anibtn_skin", 6, 0, icon_button("q_skin", TEAL, "skin"), 64, 64),
    Btn("Anibtn_option", 76, 0, icon_button("q_option", GREY, "gear"), 64, 64),
    Btn("Anibtn_record", 146, 0, icon_button("q_record", YELLOW, "trophy"), 64, 64),
    Btn("Anibtn_switch_off", 216, 0, icon_button("q_off", RED, "power"), 64, 64)])
write_layout("QUICKMENU.xml", quick, "QuickMenu_UI.xml")
write_ui("QuickMenu_UI.xml", quick, {
    "main_in": [("Wnd_quickmenu", [(0, 0, 0, 0), (600, 0, 0, 0), (1000, 0, 0, 1)])],
    "main_return": [("Wnd_quickmenu", fade_in(350, 30))],
    "sub_in": [("Wnd_quickmenu", [(0, 0, 0, 0.5), (300, 0, 0, 1)])],
})

# ---- auto pop-up layer ----------------------------------------------------------------------

img("mm_banner_reset.png", 420, 66, ["rect 0 0 420 66 #0B1024E0 r=20", "frame 0 0 420 66 20 3 #3CC47C",
                                     'text 210 18 26 #FFFFFF "Self-play data reset" align=center'])
# The notices stand on the line of the main screen's bonus text, under the mode cards and above the
# small buttons, where they cover no card and, in the sub-menus, no button.
BANNER = (302, 632, 420, 66)
banner_children = [Pic("Pic_auto_reset", *BANNER, "mm_banner_reset.png")]
for i, (name, c) in enumerate([("Classic", BLUE), ("Africa", ORANGE), ("Horror", PURPLE)], start=1):
    img(f"mm_banner_skin{i}.png", 420, 66, ["rect 0 0 420 66 #0B1024E0 r=20", f"frame 0 0 420 66 20 3 {c}",
                                            f'text 210 18 26 #FFFFFF "Skin changed: {name}" align=center'])
    banner_children.append(Pic(f"Pic_auto_skin{i}", *BANNER, f"mm_banner_skin{i}.png"))
auto = W("PANEL", "Wnd_autopopup", 0, 0, 1024, 768, "", banner_children)
write_layout("Autopopup.xml", auto, "Autopopup_UI.xml")
banners = ["Pic_auto_reset", "Pic_auto_skin1", "Pic_auto_skin2", "Pic_auto_skin3"]


def banner_scene(shown):
    objs = []
    for b in banners:
        if b == shown:
            objs.append((b, [(0, 0, 20, 0), (250, 0, 0, 1), (1600, 0, 0, 1), (2000, 0, -10, 0)]))
        else:
            objs.append((b, hold(0)))
    return objs


write_ui("Autopopup_UI.xml", auto, {"reset": banner_scene("Pic_auto_reset"),
                                    "skin_changed_1": banner_scene("Pic_auto_skin1"),
                                    "skin_changed_2": banner_scene("Pic_auto_skin2"),
                                    "skin_changed_3": banner_scene("Pic_auto_skin3")})

# ---- warning screen -------------------------------------------------------------------------

img("mm_warning_bg.png", 1024, 768, ["gradient #1B2450 #0A0E1E"] + deco_blocks(11, 14, 600, 760) + [
    "text 516 146 96 #00000060 \"Quibly\" align=center", "text 512 140 96 #FFFFFF \"Quibly\" align=center",
    "rect 212 300 600 180 #FFFFFF10 r=24", "frame 212 300 600 180 24 2 #F7C54880",
    'text 512 322 26 #F7C548 "A friendly reminder" align=center',
    'text 512 370 20 #E0E4F0 "Take a short break every hour," align=center',
    'text 512 400 20 #E0E4F0 "and play in a well-lit room." align=center',
    'text 512 540 30 #FFFFFF "Click or press any key" align=center shadow=#00000080'])
warning = W("PANEL", "Wnd_warning", 0, 0, 1024, 768, "", [
    Pic("Pic_warning_bg", 0, 0, 1024, 768, "mm_warning_bg.png"),
    Pic("Pic_loading", 392, 600, 240, 40, "mm_loading.png")])
write_layout("warning.xml", warning, "Warning_UI.xml")
write_ui("Warning_UI.xml", warning, {"warning_in": [("Wnd_warning", fade_in(300))]})

# ---- opening --------------------------------------------------------------------------------

story = ["Long ago, the Quibly blocks lived in perfect squares.",
         "Red, green and blue stood side by side, two by two.",
         "Then the great shuffle came and scattered every colour.",
         "Stars fell from the sky, and grey stones blocked the way.",
         "The blocks could no longer find their partners.",
         "Only a clever player can bring them back together.",
         "Join 2 x 2 squares of one colour into glowing groups.",
         "Clear the groups, chain combos and turn the board.",
         "Challenge rivals, solve puzzles, push the lanes.",
         "Your adventure waits behind this door. Knock!"]
pictures = [[RED, RED, GREEN, BLUE], [RED, GREEN, BLUE, YELLOW], [BLUE, GREY, RED, GREEN], [YELLOW, GREY, GREY, BLUE],
            [GREEN, RED, BLUE, GREY], [YELLOW, YELLOW, RED, BLUE], [RED, RED, RED, RED], [GREEN, GREEN, BLUE, BLUE],
            [BLUE, RED, GREEN, YELLOW], [YELLOW, RED, GREEN, BLUE]]
img("mm_opening_bg.png", 1024, 768, ["gradient #1D2A5E #0A0E1E", "circle 512 330 330 #FFFFFF08"] +
    deco_blocks(17, 18, 640, 760))
opening_children = [Pic("Pic_opening_bg", 0, 0, 1024, 768, "mm_opening_bg.png")]
for i, line in enumerate(story):
    n = i + 2
    cols = pictures[i]
    ops = ["rect 0 0 800 360 #0B1024D0 r=30", "frame 0 0 800 360 30 3 #FFFFFF30",
           f'text 400 24 22 #F7C548 "{i + 1} / 10" align=center']
    for j, c in enumerate(cols):
        ops.append(f"block {400 - 2 * 62 + j * 62} {90 + (j % 2) * 18} 56 {c}")
    if i == 3:
        ops.append("star 560 110 26 #F7C548")
    ops.append(f'text 400 251 24 #FFFFFF "{line}" align=center shadow=#00000080')
    img(f"mm_story{n}.png", 800, 360, ops)
    opening_children.append(Pic(f"opening_{n}", 112, 150, 800, 360, f"mm_story{n}.png"))
door = button("door", 200, 120, "#8B5A2B", "Open the door", 20, None,
              lambda w, h: ["frame 10 8 180 100 14 3 #00000050", "circle 168 60 7 #F7C548"], 16)
opening_children += [Btn("opening_door", 412, 540, door, 200, 120),
                     Btn("Anibtn_opening_next", 814, 690, button("op_next", 170, 52, BLUE, "Next  >", 22), 170, 52),
                     Btn("Btn_Quit", 874, 24, button("op_skip", 120, 44, GREY, "Skip", 20), 120, 44)]
opening = W("PANEL", "Wnd_opening", 0, 0, 1024, 768, "", opening_children)
write_layout("opening_2.xml", opening, "Opening_UI.xml")
pages = [f"opening_{n}" for n in range(2, 12)]


def opening_scene(current, length=3600):
    objs = []
    for p in pages:
        if p == current and p == pages[0]:
            # The first page came in with the opening itself and stays as it is.
            objs.append((p, [(0, 0, 0, 1), (length, 0, 0, 1)]))
        elif p == current:
            objs.append((p, [(0, 0, 30, 0), (300, 0, 30, 0), (900, 0, 0, 1), (length, 0, 0, 1)]))
        else:
            objs.append((p, [(0, 0, 0, 0), (1, 0, 0, 0)]))
    objs.append(("opening_door", [(0, 0, 0, 0), (1, 0, 0, 0)] if current != "opening_11" else
                 [(0, 0, 40, 0), (900, 0, 40, 0), (1500, 0, 0, 1)]))
    # A page may cut the fade-in of the opening short: the layout itself is brought to full view.
    objs.append(("Wnd_opening", [(0, 0, 0, 1), (1, 0, 0, 1)]))
    return objs


def opening_in(ms):
    """The opening fades in with its first page already on it, never as an empty page."""
    return ([("Wnd_opening", [(0, 0, 0, 0), (ms, 0, 0, 1)]), (pages[0], [(0, 0, 0, 1), (ms, 0, 0, 1)])] +
            [(p, hold(0)) for p in pages[1:]] + [("opening_door", hold(0))])


scenes = {"opening_in_1": opening_in(1200), "opening_in_2": opening_in(600)}
for p in pages:
    scenes[p] = opening_scene(p)
scenes["opening_out"] = [("Wnd_opening", [(0, 0, 0, 1), (300, 0, 0, 1), (1200, 0, 0, 0)]),
                         ("opening_door", [(0, 0, 0, 1), (600, 0, -20, 1), (1000, 0, -20, 0)])]
write_ui("Opening_UI.xml", opening, scenes)

# ---- sub-menus ------------------------------------------------------------------------------

img("mm_cube_icon.png", 30, 30, ["block 2 2 26 #F7C548", "text 15 4 16 #7A5A00 \"C\" align=center"])


def price_pics(key, price):
    normal = img(f"mm_price_{key}.png", 96, 32, ["rect 0 0 96 30 #F7C548 r=15", "block 7 5 20 #FFFFFF",
                                                 f'text 58 6 16 #4A3500 "{price}" align=center'])
    gray = img(f"mm_price_{key}_gray.png", 96, 32, ["rect 0 0 96 30 #5A6070 r=15", "block 7 5 20 #8E96A3",
                                                    f'text 58 6 16 #C0C4CE "{price}" align=center'])
    return normal, gray


def lock_button(key, w, h):
    if ("lock", key) in made_buttons:
        return made_buttons[("lock", key)]
    pic = img(f"mm_lock_{key}.png", w, h, [f"rect 0 0 {w} {h - 4} #0B1024E8 r=18",
                                           f"rect {w // 2 - 16} {h // 2 - 18} 32 26 #C8CDD8 r=5",
                                           f"ring {w // 2} {h // 2 - 20} 11 4 #C8CDD8"])
    over = img(f"mm_lock_{key}_over.png", w, h, [f"rect 0 0 {w} {h - 4} #0B1024A0 r=18",
                                                 f"frame 0 0 {w} {h - 4} 18 3 #F7C548",
                                                 f"rect {w // 2 - 16} {h // 2 - 18} 32 26 #F7C548 r=5",
                                                 f"ring {w // 2} {h // 2 - 20} 11 4 #F7C548"])
    anim = f"mm_lock_{key}_btn.xml"
    recipe.extend([f"[anim data/menu_anim/{anim}]", "scene NORMAL", f"track {pic} motion=still ms=400",
                   "scene OVER", f"track {over} motion=still ms=400",
                   "scene DOWN", f"track {over} motion=press ms=120 amount=0.96",
                   "scene DISABLE", f"track {pic} motion=still ms=400", ""])
    made_buttons[("lock", key)] = anim
    return anim


unlock_groups = {0: [], 1: [], 2: [], 3: [], 4: []}


def sub_menu(index, file, ui, top, title, colour, content, panels, howto, extra_scenes=None):
    bg = img(f"mm_sub{index}_bg.png", 1024, 768, [f"gradient {mix(colour, 0.55, '#101529')} #0D1226"] +
             deco_blocks(20 + index, 16, 620, 760))
    head = img(f"mm_sub{index}_head.png", 1024, 96, ["rect 0 0 1024 92 #0B1024C0", f"rect 0 88 1024 6 {colour}",
                                                    f'text 512 22 44 #FFFFFF "{title}" align=center shadow=#00000080'])
    children = [Pic(f"Pic_sub{index}_bg", 0, 0, 1024, 768, bg), Pic("WndEx_sub_frame", 0, 0, 1024, 96, head),
                Btn("Anibtn_sub_btn_exit", 20, 22, button("sub_exit", 120, 48, GREY, "<  Menu", 20), 120, 48),
                Btn("Anibtn_sub_option", 770, 22, icon_button("sub_option", GREY, "gear"), 64, 64),
                Pic("Pic_cube_icon", 850, 32, 30, 30, "mm_cube_icon.png"),
                Label("Label_cube_count", 884, 36, 110, 26, "0", "#F7C548", "left"),
                Box("Single_location", 0, 0, 10, 10, [Pic("Pic_single_dot", 0, 0, 2, 2, "mm_cube_icon.png")])]
    # The arrows are drawn last, over every panel, so a click on an arrow reaches it.
    arrows = [Btn("Anibtn_arrowL", 14, 360, button(f"arrow_l{index}", 56, 96, colour, "<", 40, None, None, 18), 56, 96),
              Btn("Anibtn_arrow_R", 954, 360, button(f"arrow_r{index}", 56, 96, colour, ">", 40, None, None, 18), 56, 96)]
    if howto:
        children.append(Btn("Anibtn_howtoman", 20, 700, button("howto", 170, 48, TEAL, "How to play", 20), 170, 48))
        children.append(Btn("Anibtn_howtoman_first", 20, 700,
                            button("howto_first", 170, 48, YELLOW, "How to play!", 20), 170, 48))
    children.append(Group("Wnd_sub_home", 0, 100, 1024, 590, content))
    for p in panels:
        children.append(p)
    if panels:
        children.append(Btn("Anibtn_sub_btn_back", 154, 22, button("sub_back", 120, 48, TEAL, "Back", 20), 120, 48))
    else:
        children.append(Btn("Anibtn_sub_btn_back", -200, -200, button("sub_back", 120, 48, TEAL, "Back", 20), 120, 48))
    children += arrows
    topw = W("PANEL", top, 0, 0, 1024, 768, "", children)
    write_layout(file, topw, ui)
    scenes = {"sub_in": [(top, [(0, 0, 60, 0), (380, 0, 0, 1)])],
              "return": [(top, [(0, 0, 0, 0.2), (300, 0, 0, 1)])],
              "sub_OFF": [(top, [(0, 0, 0, 1), (320, 0, 60, 0)])]}
    for i, p in enumerate(panels, start=1):
        scenes[f"sub2_{i}_in"] = [(p.name, [(0, 0, 0, 0), (1, -1024, 0, 0), (380, -1024, 0, 1)])]
        scenes[f"sub2_{i}_to_sub"] = [(p.name, [(0, -1024, 0, 1), (330, 0, 0, 0)])]
        scenes[f"sub2_{i}_OFF"] = [(top, [(0, 0, 0, 1), (320, 0, 60, 0)]),
                                   (p.name, [(0, -1024, 0, 1), (320, -1024, 0, 1), (321, 0, 0, 0)])]
    if extra_scenes:
        scenes.update(extra_scenes)
    write_ui(ui, topw, scenes)


def mode_card(name, key, x, y, colour, label, sub, group=None, price=None, w=260, h=150):
    out = [Btn(name, x, y, button(key, w, h, colour, label, 30, sub), w, h)]
    if group is not None and price is not None:
        lock = f"Anibtn_lock_{key}"
        cube = f"Pic_cube_{key}"
        normal, gray = price_pics(key, price)
        out.append(Btn(lock, x, y, lock_button(f"{w}x{h}", w, h), w, h))
        out.append(Pic(cube, x + w - 104, y + 8, 96, 32, normal))
        out.append(Pic(cube + "_gray", x + w - 104, y + 8, 96, 32, gray))
        unlock_groups[group].append((name, lock, cube, price))
    elif group is not None:
        unlock_groups[group].append((name, "", "", 0))
    return out


def small_btn(name, key, x, y, colour, label, w=200, h=48):
    return Btn(name, x, y, button(key, w, h, colour, label, 18), w, h)


# An inner panel slides over the sub-menu's home from y 120 to 570, clear of the buttons that stay
# in view below it (the sub-menu's ranking at y 580, the battle tutorial, "How to play", the quick
# menu), so each of them can still be clicked while the panel is open.
PANEL_H = 450


def panel(name, children):
    img(f"mm_{name}_bg.png", 1024, PANEL_H, [f"rect 60 0 904 {PANEL_H} #10163A r=30",
                                              f"frame 60 0 904 {PANEL_H} 30 3 #FFFFFF30"])
    return Box(name, 1024, 120, 1024, PANEL_H, [Pic(f"Pic_{name}_bg", 0, 0, 1024, PANEL_H, f"mm_{name}_bg.png")] + children)


def panel_note(name, lines):
    """A few lines under a panel's only button, saying what waits behind it."""
    ops = [f'text 320 {8 + i * 34} {22 if i == 0 else 19} {"#FFFFFF" if i == 0 else "#B8C2E8"} "{t}" align=center'
           for i, t in enumerate(lines)]
    return Pic(f"Pic_{name}_note", 192, 320, 640, 120, img(f"mm_{name}_note.png", 640, 120, ops))


# Puzzle challenges (0): a card per inner panel and the stage challenge beside them.
sub_menu(0, "SUB_puzzle.xml", "SubPuzzle_UI.xml", "Wnd_sub_puzzle", "Puzzle Challenges", RED,
         [small_btn("Anibtn_sub_btn_1", "p_cat1", 122, 200, RED, "Combo & Point", 260, 150),
          small_btn("Anibtn_sub_btn_2", "p_cat2", 642, 200, YELLOW, "Stages", 260, 150),
          small_btn("Steam_btn_puzzle_ranking_stage", "rank_stage", 412, 580, GREY, "Stage ranking"),
          Label("Label_cmt_stage", 642, 356, 260, 28, "", "#F7C548", "center"),
          Pic("main_clickhere", 662, 142, 220, 56, "mm_clickhere.png"),
          Pic("Pic_sub_current", 452, 640, 120, 20, "mm_sub_current.png")] +
         clear_icons("Pic_icon_stage_", "hard", 850, 190),
         [panel("Wnd_sub2_1", mode_card("Anibtn_sub2_btn_1", "combo", 192, 120, RED, "Combo", "chain the clears", 0, 300) +
                mode_card("Anibtn_sub2_2_btn_3", "point", 572, 120, BLUE, "Point", "score in time", 0, 200) +
                [Label("Label_cmt_combo", 192, 276, 260, 28, "", "#F7C548", "center"),
                 Label("Label_cmt_point", 572, 276, 260, 28, "", "#F7C548", "center"),
                 small_btn("Steam_btn_puzzle_ranking_combo", "rank_combo", 222, 320, GREY, "Combo ranking"),
                 small_btn("Steam_btn_puzzle_ranking_point", "rank_point", 602, 320, GREY, "Point ranking")]),
          panel("Wnd_sub2_2", [small_btn("Anibtn_sub3_btn_1", "stage", 382, 140, YELLOW, "Stage challenge", 260, 150),
                               panel_note("stages", ["Fifty stages, one after the other.",
                                                     "Score the points or chain the combos each stage asks for;",
                                                     "a cleared stage opens the next one."])])],
         True)
# unlock group 0 positions: 0 point, 1 combo
unlock_groups[0] = [unlock_groups[0][1], unlock_groups[0][0]]

levels = [("Easy", GREEN), ("Normal", BLUE), ("Hard", ORANGE), ("Extreme", RED)]
prices = [None, 200, 400, 800]
battle_levels = []
for i, ((label, c), p) in enumerate(zip(levels, prices)):
    battle_levels += mode_card(f"Anibtn_sub2_2_btn_{i + 1}", f"battle{i + 1}", 90 + i * 215, 80, c, label,
                               "vs the computer", 1, p, 200, 130)
battle_levels += mode_card("Anibtn_sub2_2_btn_5", "battle_self", 412, 250, PURPLE, "Self-play", "your own ghost", 1, 500,
                           200, 130)
LEVEL_KEYS = ["easy", "normal", "hard", "extreme"]


def level_marks(y, self_x, self_y):
    """Rank labels and clear icons under and on the four level cards, and the self-play wins."""
    out = []
    for i, level in enumerate(LEVEL_KEYS):
        x = 90 + i * 215
        out.append(Label(f"Label_cmt_{level}", x, y + 134, 200, 26, "", "#F7C548", "center"))
        out += clear_icons("Pic_icon_", level, x + 160, y - 10)
    out.append(Label("Label_cmt_self", self_x, self_y + 134, 200, 26, "", "#F7C548", "center"))
    return out


battle_levels += level_marks(80, 412, 250)
sub_menu(1, "SUB_battle.xml", "SubBattle_UI.xml", "Wnd_sub_battle", "Battle", BLUE,
         [small_btn("Anibtn_sub_btn_1", "b_cat1", 122, 200, PURPLE, "Special modes", 260, 150),
          small_btn("Anibtn_sub_btn_2", "b_cat2", 642, 200, BLUE, "Battle levels", 260, 150),
          small_btn("Steam_Btn_battle_ranking", "rank_battle", 412, 580, GREY, "Battle ranking"),
          # Above "How to play", clear of the quick menu and its hint bubble at the right.
          small_btn("Anibtn_tutorial_help", "b_tutorial", 20, 640, TEAL, "Battle tutorial", 170, 48)] +
         ranking_labels(312, 640),
         [panel("Wnd_sub2_1", [small_btn("Anibtn_sub2_1_btn_4_", "b_special", 382, 140, PURPLE, "Special battles", 260, 150),
                               panel_note("special", ["Six rivals with rules of their own.",
                                                      "Open each with cubes, beat it, and climb its ranking;",
                                                      "clear them all for an achievement."])]),
          panel("Wnd_sub2_2", battle_levels)], True)

push_levels = []
for i, ((label, c), p) in enumerate(zip(levels, prices)):
    push_levels += mode_card(f"Anibtn_sub2_1_btn_{i + 1}", f"push{i + 1}", 90 + i * 215, 60, c, label,
                             "push the lanes", 2, p, 200, 130)
push_levels += mode_card("Anibtn_sub2_1_btn_5", "push_self", 305, 220, PURPLE, "Self-play", "your own ghost", 2, 500,
                         200, 130)
push_levels += level_marks(60, 305, 220)
push_levels += [small_btn("Anibtn_sub2_1_btn_4_2", "p_special", 520, 220, TEAL, "Special pushes", 200, 130),
                small_btn("Anibtn_sub2_1_btn_6", "p_reset", 412, 390, GREY, "Reset self-play")]
sub_menu(2, "SUB_pushing.xml", "SubPush_UI.xml", "Wnd_sub_pushing", "Push", GREEN,
         [small_btn("Anibtn_sub_btn_1", "u_cat1", 122, 200, GREEN, "Push modes", 260, 150),
          small_btn("Anibtn_sub_btn_2", "u_cat2", 642, 200, TEAL, "Push rules", 260, 150),
          small_btn("Steam_Btn_push_ranking", "rank_push", 412, 580, GREY, "Push ranking")] +
         ranking_labels(312, 640),
         [panel("Wnd_sub2_1", push_levels),
          panel("Wnd_sub2_2", [Pic("Pic_push_rules", 192, 100, 640, 240,
                                   img("mm_push_rules.png", 640, 240, [
                                       'text 320 20 26 #FFFFFF "Clear groups to push your lanes." align=center',
                                       'text 320 70 22 #B8C2E8 "Four blocks stacked on one side lose the game." align=center',
                                       'text 320 120 22 #B8C2E8 "Stars push every lane at once." align=center',
                                       "block 240 170 40 #3CC47C", "block 290 170 40 #F7C548", "block 340 170 40 #3D8BFD"]))])],
         True)

iq = (mode_card("Anibtn_sub_btn_1", "iq_easy", 90, 200, GREEN, "Easy", "logic puzzles", 3, None, 200, 130) +
      mode_card("Anibtn_sub_btn_1_1", "iq_normal", 305, 200, BLUE, "Normal", "logic puzzles", 3, 300, 200, 130) +
      mode_card("Anibtn_sub_btn_1_2", "iq_hard", 520, 200, RED, "Hard", "logic puzzles", 3, 600, 200, 130) +
      [small_btn("Anibtn_sub_btn_2_1", "iq_mine", 735, 200, PURPLE, "My puzzles", 200, 130),
       small_btn("Anibtn_sub_btn_2", "iq_editor", 305, 400, TEAL, "Puzzle editor", 200, 60),
       small_btn("Steam_Btn_iq_ranking", "rank_iq", 520, 400, GREY, "Logic ranking", 200, 60)] +
      [Label(f"Label_cmt_{level}", 90 + i * 215, 334, 200, 26, "", "#F7C548", "center")
       for i, level in enumerate(["easy", "normal", "hard"])] +
      [w for i, level in enumerate(["easy", "normal", "hard"]) for w in clear_icons("Pic_icon_iq_", level, 250 + i * 215, 190)] +
      ranking_labels(312, 480))
sub_menu(3, "SUB_iq.xml", "SubIQ_UI.xml", "Wnd_sub_iq", "Logic Puzzles", PURPLE, iq, [], True)

multi = [small_btn("Btn_multi_host", "m_host", 192, 200, ORANGE, "Host a game", 300, 150),
         small_btn("Btn_multi_join", "m_join", 532, 200, BLUE, "Join a game", 300, 150),
         small_btn("Anibtn_multi_achievements", "m_achie", 192, 420, YELLOW, "Achievements", 300, 80),
         small_btn("Btn_multi_ranking", "m_rank", 532, 420, GREY, "Online ranking", 300, 80),
         Label("Label_cmt_ranking", 312, 540, 400, 30, "", "#B8C2E8", "center")]
sub_menu(4, "SUB_multi.xml", "SubMulti_UI.xml", "Wnd_sub_multi", "Online", ORANGE, multi, [], False)

# ---- the title: its animation and its sound -----------------------------------------------

img("mm_title_bg.png", 1024, 768, ["gradient #2B3A78 #0A0E1E", "circle 512 330 300 #FFFFFF0A"] +
    deco_blocks(31, 20, 560, 760))
for key, c in [("r", RED), ("g", GREEN), ("b", BLUE), ("y", YELLOW)]:
    img(f"mm_title_block_{key}.png", 90, 90, [f"block 3 3 84 {c}"])
recipe.extend(["[anim data/menu_anim/opening_Animation.xml]",
               "scene opening_2 res=1024x768",
               "track mm_title_bg.png x=0.5 y=0.5 motion=fadein ms=700",
               "track mm_title_block_r.png x=0.35 y=0.56 motion=pop ms=500 delay=500",
               "track mm_title_block_g.png x=0.45 y=0.56 motion=pop ms=500 delay=700",
               "track mm_title_block_b.png x=0.55 y=0.56 motion=pop ms=500 delay=900",
               "track mm_title_block_y.png x=0.65 y=0.56 motion=pop ms=500 delay=1100",
               "track mm_logo.png x=0.5 y=0.32 motion=pop ms=900 delay=1300",
               "track mm_title_block_y.png x=0.65 y=0.56 motion=still ms=600 delay=2200", ""])
recipe.extend(["[sound data/sound/TilteAni.wav 2.4]",
               "seq 0.5 0.2 C5 E5 G5 C6 wave=triangle vol=0.4 decay=6",
               "note 1.3 0.9 1046 1046 vol=0.3 wave=sine decay=3",
               "note 1.3 0.9 1318 1318 vol=0.2 wave=sine decay=3", ""])

def fix_frame(line):
    # frames are written "frame x y w h radius thickness colour" above; the recipe wants the radius as r=.
    parts = line.split()
    if parts and parts[0] == "frame" and len(parts) == 8:
        return " ".join(parts[:5] + [parts[6], parts[7], "r=" + parts[5]])
    return line


with open(RECIPE, "w") as f:
    f.write("\n".join(fix_frame(l) for l in recipe) + "\n")

# The default unlock file: each lockable entry of the sub-menus with its price, then the
# special modes.
names = ["Puzzle", "Battle", "Push", "IQ", "Multi"]
out = ["<UnlockMenu>"]
for g, n in enumerate(names):
    out.append(f"    <{n}>")
    for btn, lock, cube, price in unlock_groups[g]:
        if lock:
            out.append(f'        <UnlockInfo BtnName="{btn}" UnlockPic="{lock}" CubePic="{cube}" Cube="{price}" IsUnlock="0" />')
        else:
            out.append(f'        <UnlockInfo BtnName="{btn}" UnlockPic="" CubePic="" Cube="0" IsUnlock="1" />')
    out.append(f"    </{n}>")
out.append("    <BattleGeek>")
for m, p in zip(["clone", "star", "stone", "big", "dash", "hell"], [300, 300, 400, 400, 600, 1000]):
    out.append(f'        <UnlockInfo BtnName="btn_btgeek_{m}" UnlockPic="btn_btgeek_lock_{m}" CubePic="Pic_btn_btgeek_cube_{m}" Cube="{p}" IsUnlock="0" />')
out.append("    </BattleGeek>")
out.append("    <PushGeek>")
for m, p in zip(["onecolor", "hell"], [400, 1000]):
    out.append(f'        <UnlockInfo BtnName="btn_psgeek_{m}" UnlockPic="btn_psgeek_lock_{m}" CubePic="Pic_btn_psgeek_cube_{m}" Cube="{p}" IsUnlock="0" />')
out.append("    </PushGeek>")
out.append("</UnlockMenu>")
with open(os.path.join(ROOT, "data/playdata/QuiblyUnlockMenu.xml"), "w") as f:
    f.write("\n".join(out) + "\n")
print("ok", len(recipe))
