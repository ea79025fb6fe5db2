#!/usr/bin/env python3
# Writes the data of the ranking and achievements pop-ups and of the mode notices from one
# description: the layouts "data/ranking.xml", "data/achievements.xml", "data/congratulation.xml"
# and "data/main_locked.xml" with their UI animations, the recipe of their pictures and of the 75
# achievement icons (data/recipes/66_online_popups.recipe), and the icon names in the
# achievements' description file. Window names are the ones the pop-ups look up.
# Run from the source root:
#     python3 tools/menudata/make_online_popups_data.py .
# and commit what it writes.
import os, re, sys
from uixml import animbutton, child, label, layout, mix, picture, ui_animation
from recipes import Recipe

ROOT = sys.argv[1]
DATA = os.path.join(ROOT, "data/data")
RECIPE = os.path.join(ROOT, "data/recipes/66_online_popups.recipe")
DESC = os.path.join(DATA, "Achievment/Steam_Achievements_desc.xml")

NAVY, PAPER, BLUE, GREEN, YELLOW, GREY = "#1B2340", "#F4F6FB", "#3D8BFD", "#3CC47C", "#F7C548", "#8E96A3"
RED, PURPLE, TEAL, ORANGE = "#E8505B", "#9B6BDF", "#2BB5B8", "#F28C38"
FONT = 'FontName val="KelmorSoft"'

recipe = Recipe("online", ["# The ranking and achievements pop-ups: panels, rows, buttons and the 75 achievement icons.",
                           "# Written by tools/menudata/make_online_popups_data.py with the layouts they belong to.", ""])
image, still, button, panel = recipe.image, recipe.still, recipe.button, recipe.panel


image("online_dim.png", 1024, 768, ["fill #0B0F1E99"])
DIM = still("online_dim.png")

# ---- ranking ----
RW, RH, RX, RY = 720, 660, 152, 54
ROW_Y, ROW_H = 130, 38
rank_panel = panel("ranking_panel.png", RW, RH, BLUE)
image("ranking_row.png", 660, ROW_H - 4, [f"rect 0 0 660 {ROW_H - 4} #E6EBF5 r=8"])
row_pic = still("ranking_row.png")
image("ranking_row_me.png", 660, ROW_H - 4, [f"rect 0 0 660 {ROW_H - 4} {mix(YELLOW, 0.35)} r=8",
                                             f"frame 0 0 660 {ROW_H - 4} 2 {YELLOW} r=8"])
me_bar = still("ranking_row_me.png")
image("ranking_me_star.png", 26, 26, [f"star 13 13 12 {ORANGE}"])
me_star = still("ranking_me_star.png")
image("ranking_me_tag.png", 44, 22, [f"rect 0 0 44 22 {ORANGE} r=8", 'text 22 3 14 #FFFFFF "ME" align=center'])
me_tag = still("ranking_me_tag.png")
image("ranking_own.png", 660, 50, [f"rect 0 0 660 50 {NAVY} r=10", f"frame 0 0 660 50 2 {YELLOW} r=10"])
own_pic = still("ranking_own.png")
prev_btn = button("ranking_btn_prev", 120, 48, BLUE, "PREV")
next_btn = button("ranking_btn_next", 120, 48, BLUE, "NEXT")
mine_btn = button("ranking_btn_mine", 150, 48, GREEN, "MY RECORD", 18)
close_btn = button("ranking_btn_close", 150, 56, RED, "CLOSE", 24)

body = [picture("Pic_ranking_panel", 0, 0, RW, RH, rank_panel),
        label("Label_ranking_title", 20, 12, RW - 40, 46, 30, "#FFFFFF", "LEADERBOARD", "Center"),
        label("Label_head_rank", 26, 88, 70, 30, 16, NAVY, "RANK", "Center"),
        label("Label_head_name", 110, 88, 300, 30, 16, NAVY, "PLAYER"),
        label("Label_head_score", 440, 88, 240, 30, 16, NAVY, "RECORD", "Center")]
for i in range(1, 11):
    y = ROW_Y + (i - 1) * ROW_H
    body += [picture(f"Pic_ranking_row_{i}", 30, y, 660, ROW_H - 4, row_pic),
             picture(f"Pic_popup_ranking_point_me_{i}", 30, y, 660, ROW_H - 4, me_bar),
             picture(f"Pic_popup_ranking_combo_me_{i}", 36, y + 4, 26, 26, me_star),
             picture(f"Pic_popup_ranking_multi_{i}", 640, y + 6, 44, 22, me_tag),
             label(f"Label_sub_ranking_rank_{i}", 40, y, 60, ROW_H - 4, 18, NAVY, "", "Center"),
             label(f"Label_sub_ranking_name_{i}", 110, y, 320, ROW_H - 4, 18, NAVY),
             label(f"Label_sub_ranking_point_{i}", 440, y, 190, ROW_H - 4, 18, NAVY, "", "Right"),
             label(f"Label_sub_ranking_combo_{i}", 440, y, 190, ROW_H - 4, 18, NAVY, "", "Right"),
             label(f"Label_sub_ranking_win_{i}", 440, y, 90, ROW_H - 4, 18, GREEN, "", "Right"),
             label(f"Label_sub_ranking_lose_{i}", 540, y, 90, ROW_H - 4, 18, RED, "", "Right")]
oy = ROW_Y + 10 * ROW_H + 8
body += [picture("Pic_ranking_own", 30, oy, 660, 50, own_pic),
         label("Label_sub_ranking_rank_me", 40, oy, 60, 50, 20, YELLOW, "", "Center"),
         label("Label_sub_ranking_name_me", 110, oy, 320, 50, 20, "#FFFFFF"),
         label("Label_sub_ranking_point_me", 440, oy, 190, 50, 20, "#FFFFFF", "", "Right"),
         label("Label_sub_ranking_combo_me", 440, oy, 190, 50, 20, "#FFFFFF", "", "Right"),
         label("Label_sub_ranking_win_me", 440, oy, 90, 50, 20, mix(GREEN, 0.4), "", "Right"),
         label("Label_sub_ranking_lose_me", 540, oy, 90, 50, 20, mix(RED, 0.4), "", "Right")]
by = RH - 80
body += [animbutton("btn_popup_ranking_prev", 30, by, 120, 48, prev_btn),
         label("Label_popup_ranking_page", 150, by, 110, 48, 20, NAVY, "", "Center"),
         animbutton("btn_popup_ranking_next", 260, by, 120, 48, next_btn),
         animbutton("Anibtn_myrecord", 392, by, 150, 48, mine_btn),
         animbutton("Anibtn_popup_close", RW - 170, by - 4, 150, 56, close_btn)]
ranking = [picture("Pic_popup_dim", 0, 0, 1024, 768, DIM),
           child("WND", "Wnd_popup_body", RX, RY, RW, RH, "".join(body))]
with open(os.path.join(DATA, "ranking.xml"), "w") as f:
    f.write(layout("Wnd_ranking", ranking, "ranking_UIAnimation.xml"))
boards = ["stage", "battle", "push", "iq", "point", "combo", "multi"]
with open(os.path.join(DATA, "ranking_UIAnimation.xml"), "w") as f:
    f.write(ui_animation("Wnd_ranking", "Wnd_popup_body", RX, RY, RW, RH,
                         [f"ranking_{b}_in" for b in boards], "ranking_out"))

# ---- achievements ----
AW, AH, AX, AY = 1000, 690, 12, 39
BOX_W, BOX_H = 480, 76
ach_panel = panel("achi_panel.png", AW, AH, PURPLE)
image("achi_box.png", BOX_W, BOX_H, [f"rect 2 4 {BOX_W - 4} {BOX_H - 6} #0B0F1E30 r=14",
                                     f"rect 0 0 {BOX_W - 4} {BOX_H - 6} #FFFFFF r=14",
                                     f"frame 0 0 {BOX_W - 4} {BOX_H - 6} 2 {mix(PURPLE, 0.5)} r=14"])
box_pic = still("achi_box.png")
image("achi_box_off.png", BOX_W, BOX_H, [f"rect 0 0 {BOX_W - 4} {BOX_H - 6} #1B234055 r=14"])
off_pic = still("achi_box_off.png")
image("achi_gauge_back.png", 400, 22, [f"rect 0 0 400 22 #D5DAE6 r=11"])
gauge_back = still("achi_gauge_back.png")
image("achi_gauge_bar.png", 400, 22, [f"rect 0 0 400 22 {GREEN} r=11", "rect 4 3 392 7 #FFFFFF50 r=4"])
a_prev = button("achi_btn_prev", 120, 48, PURPLE, "PREV")
a_next = button("achi_btn_next", 120, 48, PURPLE, "NEXT")
a_ok = button("achi_btn_ok", 150, 56, GREEN, "OK", 24)
a_global = button("achi_btn_global", 200, 48, BLUE, "GLOBAL STATS", 18)
a_single = button("achi_btn_single", 200, 48, GREY, "LOCAL", 18)

body = [picture("Pic_achi_panel", 0, 0, AW, AH, ach_panel),
        label("Label_achi_title", 20, 12, AW - 40, 46, 30, "#FFFFFF", "ACHIEVEMENTS", "Center"),
        label("Label_achi_unlocked_count", 30, 84, 70, 34, 26, PURPLE, "", "Right"),
        label("Label_achi_slash", 104, 84, 20, 34, 26, NAVY, "/", "Center"),
        label("Label_achi_unlocked_total", 126, 84, 70, 34, 26, NAVY),
        picture("Pic_achi_gauge_back", 210, 90, 400, 22, gauge_back),
        child("PROGRESS", "Progress_gauge", 210, 90, 400, 22,
              '<asset type="BAR">online/achi_gauge_bar.png</asset><tex x="400" y="22"/>'),
        label("Label", 620, 84, 100, 34, 24, GREEN, "", "Left"),
        label("Label_fontcolor_on", 0, 0, 1, 1, 10, NAVY),
        label("Label_fontcolor_off", 0, 0, 1, 1, 10, "#8A90A0"),
        label("Label_datecolor_on", 0, 0, 1, 1, 10, "#2FA567"),
        label("Label_datecolor_off", 0, 0, 1, 1, 10, "#A9AEBB")]
SMALL = "나눔고딕 ExtraBold"  # the small face of the UI text
LINE_W = BOX_W - 92  # a description line, from beside the icon to the box's right edge
for k in range(12):
    n = k + 1
    col, row = k % 2, k // 2
    x, y = 24 + col * (BOX_W + 8), 126 + row * (BOX_H + 2)
    inner = "".join([
        picture(f"Pic_achi_box_{n}", 0, 0, BOX_W, BOX_H, box_pic),
        picture(f"achi_icon_on_{n}", 8, 4, 64, 64),
        label(f"Label_line1_on_{n}", 84, 6, LINE_W, 36, 14, NAVY),
        label(f"Label_line2_1_on_{n}", 84, 2, LINE_W, 24, 14, NAVY),
        label(f"Label_line2_2_on_{n}", 84, 24, LINE_W, 24, 14, NAVY),
        label(f"Label_date1_on_{n}", 84, 48, LINE_W, 18, 9, "#2FA567", face=SMALL),
        label(f"Label_date2_on_{n}", 84, 48, LINE_W, 18, 9, "#2FA567", face=SMALL),
        picture(f"achi_box_off_{n}", 0, 0, BOX_W, BOX_H, off_pic)])
    body.append(child("WND", f"dummy_box_{n}", x, y, BOX_W, BOX_H, inner))
by = AH - 84
body += [animbutton("anibtn_achi_prev", 30, by, 120, 48, a_prev),
         label("Label_achi_pagecurrent", 150, by, 50, 48, 22, PURPLE, "", "Right"),
         label("Label_achi_pageslash", 200, by, 20, 48, 22, NAVY, "/", "Center"),
         label("Label_achi_pageall", 220, by, 50, 48, 22, NAVY),
         animbutton("anibtn_achi_next", 270, by, 120, 48, a_next),
         animbutton("Steam_globalachi", 420, by, 200, 48, a_global),
         animbutton("Single_globalachi", 420, by, 200, 48, a_single),
         animbutton("Anibtn_popup_ok", AW - 180, by - 4, 150, 56, a_ok)]
achievements = [picture("Pic_popup_dim", 0, 0, 1024, 768, DIM),
                child("WND", "Wnd_popup_body", AX, AY, AW, AH, "".join(body))]
with open(os.path.join(DATA, "achievements.xml"), "w") as f:
    f.write(layout("Wnd_achievements", achievements, "achievements_UIAnimation.xml"))
with open(os.path.join(DATA, "achievements_UIAnimation.xml"), "w") as f:
    f.write(ui_animation("Wnd_achievements", "Wnd_popup_body", AX, AY, AW, AH, ["skins_in"], "skins_out"))

# ---- the mode notices: a card per mode, the congratulation and the locked note ----
NW, NH, NX, NY = 520, 340, 252, 214
MODES = [("battle", "Battle", BLUE, "beat a rival"), ("push", "Push", GREEN, "three lanes"),
         ("iq", "Logic", PURPLE, "puzzles & editor"), ("multi", "Online", ORANGE, "play a friend")]
cards = {}
for key, title, colour, sub in MODES:
    image(f"notice_card_{key}.png", 300, 120, [f"rect 2 6 296 112 #0B0F1E50 r=20", f"rect 0 0 296 110 {colour} r=20",
                                                f"rect 6 6 284 46 {mix(colour, 0.18)} r=14",
                                                f'text 148 16 34 #FFFFFF "{title}" align=center shadow=#00000050',
                                                f'text 148 66 18 #FFFFFFD0 "{sub}" align=center'])
    cards[key] = still(f"notice_card_{key}.png")
    image(f"notice_card_{key}_lock.png", 300, 120, [f"rect 0 0 296 110 {mix(colour, 0.45, '#404654')} r=20",
                                                     f'text 148 16 34 #D5D9E2 "{title}" align=center',
                                                     "rect 128 62 40 32 #E4E7EE r=6", "ring 148 62 13 5 #E4E7EE"])
    cards[key + "_lock"] = still(f"notice_card_{key}_lock.png")
congrats_panel = panel("notice_panel_new.png", NW, NH, GREEN)
locked_panel = panel("notice_panel_locked.png", NW, NH, GREY)
ok_btn = button("notice_btn_ok", 150, 56, GREEN, "OK", 24)
body = [picture("Pic_notice_panel", 0, 0, NW, NH, congrats_panel),
        label("Label_notice_title", 20, 12, NW - 40, 46, 30, "#FFFFFF", "NEW MODE OPEN!", "Center"),
        label("Label_notice_text", 20, 210, NW - 40, 30, 14, NAVY, "Find it on the main screen.", "Center")]
for key, _, _, _ in MODES:
    body.append(picture(f"main_unlocked_{key}", 110, 84, 300, 120, cards[key]))
body.append(animbutton("Anibtn_popup_ok", 185, 262, 150, 56, ok_btn))
with open(os.path.join(DATA, "congratulation.xml"), "w") as f:
    f.write(layout("Wnd_congratulation",
                   [picture("Pic_popup_dim", 0, 0, 1024, 768, DIM), child("WND", "Wnd_popup_body", NX, NY, NW, NH, "".join(body))],
                   "congratulation_UIAnimation.xml"))
with open(os.path.join(DATA, "congratulation_UIAnimation.xml"), "w") as f:
    f.write(ui_animation("Wnd_congratulation", "Wnd_popup_body", NX, NY, NW, NH, ["congratulation_in"], "congratulation_out"))
why = {"battle": "Play a push game to open Battle.", "push": "Reach stage 10 of the stage challenge.",
       "iq": "Reach a combo of 50 in the combo mode.", "multi": "Online play is not open yet."}
body = [picture("Pic_notice_panel", 0, 0, NW, NH, locked_panel),
        label("Label_notice_title", 20, 12, NW - 40, 46, 30, "#FFFFFF", "STILL LOCKED", "Center")]
for key, _, _, _ in MODES:
    body.append(picture(f"main_lockimg_{key}", 110, 78, 300, 120, cards[key + "_lock"]))
    body.append(label(f"main_lock_txt_{key}1", 20, 206, NW - 40, 40, 14, NAVY, why[key], "Center"))
body.append(animbutton("Anibtn_popup_ok1", 185, 262, 150, 56, ok_btn))
with open(os.path.join(DATA, "main_locked.xml"), "w") as f:
    f.write(layout("Wnd_main_locked",
                   [picture("Pic_popup_dim", 0, 0, 1024, 768, DIM), child("WND", "Wnd_popup_body", NX, NY, NW, NH, "".join(body))],
                   "main_locked_UIAnimation.xml"))
with open(os.path.join(DATA, "main_locked_UIAnimation.xml"), "w") as f:
    f.write(ui_animation("Wnd_main_locked", "Wnd_popup_body", NX, NY, NW, NH, ["locked_in", "locked_in_multi"], "locked_out"))

# ---- the 75 icons: a colour per family, a mark per kind, and the achievement's figure ----
API = ["BATTLE_GEEK_ALLCLEAR", "BATTLE_GEEK_NO1", "BATTLE_SELF_10", "BATTLE_SELF_100", "PUSH_LEVEL_ALLCLEAR",
       "PUSH_LEVEL_NO1", "PUSH_GEEK_ALLCLEAR", "PUSH_GEEK_NO1", "PUSH_SELF_10", "PUSH_SELF_100", "IQ_EASY",
       "IQ_EASY_NO1", "IQ_NORMAL", "IQ_NORMAL_NO1", "IQ_HARD", "IQ_HARD_NO1"]
figures = (["ALL", "No.1", "10", "100", "ALL", "No.1", "ALL", "No.1", "10", "100", "E", "E1", "N", "N1", "H", "H1",
            "30m", "20m", "10m", "100", "300", "500", "1M", "2M", "5M", "100K", "1M", "3M", "100K", "1M", "3M",
            "100K", "1M", "3M", "10", "100", "1000", "100", "500", "10h", "50h", "10K", "500K", "2K", "100K", "5K",
            "250K", "500", "5K", "500", "5K", "1K", "50K", "500", "20K", "2K", "9K", "M", "M*", "M#", "10", "20",
            "PUSH", "BTL", "IQ", "PZL", "BTL", "PUSH", "IQ", "SKIN", "TUT", "ALL", "No.1", "ALL", "No.1"])
assert len(figures) == 75


def family(i):
    if i <= 3 or 73 <= i <= 74:
        return RED, "sword"
    if i <= 9:
        return GREEN, "arrow"
    if i <= 15:
        return PURPLE, "bulb"
    if i <= 36:
        return YELLOW, "cup"
    if i <= 56:
        return TEAL, "chart"
    if i <= 61:
        return ORANGE, "star"
    if i <= 70:
        return BLUE, "key"
    return RED, "crown"


def mark(kind, colour):
    c = mix(colour, 0.55)
    return {"sword": [f"poly {c} 30 8 36 8 36 38 30 38", f"rect 22 36 22 5 {c}"],
            "arrow": [f"poly {c} 14 24 40 24 40 14 54 30 40 46 40 36 14 36"],
            "bulb": [f"circle 32 24 14 {c}", f"rect 26 36 12 8 {c}"],
            "cup": [f"poly {c} 18 10 46 10 42 32 22 32", f"rect 29 32 6 8 {c}", f"rect 22 40 20 5 {c}"],
            "chart": [f"rect 14 30 8 14 {c}", f"rect 26 20 8 24 {c}", f"rect 38 12 8 32 {c}"],
            "star": [f"star 32 26 17 {c}"],
            "key": [f"circle 24 24 10 {c}", f"rect 30 22 22 5 {c}", f"rect 44 26 4 8 {c}"],
            "crown": [f"poly {c} 12 40 14 14 24 28 32 10 40 28 50 14 52 40"]}[kind]


for i, figure in enumerate(figures):
    colour, kind = family(i)
    size = 16 if len(figure) <= 4 else 12
    image(f"achi_{i:02d}_on.png", 64, 64, [f"circle 32 32 31 {mix(colour, 0.3, '#000000')}", f"circle 32 31 29 {colour}",
                                            f"ring 32 31 26 3 #FFFFFF60"] + mark(kind, colour) +
          [f'text 32 {44 - size // 2} {size} #FFFFFF "{figure}" align=center shadow=#00000070'])
    image(f"achi_{i:02d}_off.png", 64, 64, ["circle 32 32 31 #5A6070", "circle 32 31 29 #9AA0AE",
                                             "ring 32 31 26 3 #FFFFFF40"] + mark(kind, "#9AA0AE") +
          [f'text 32 {44 - size // 2} {size} #E4E7EE "{figure}" align=center'])

with open(RECIPE, "w") as f:
    f.write("\n".join(recipe))

# Point each description at its own icons.
with open(DESC, encoding="utf-8") as f:
    desc = f.read()


def wrap(text, width=32):
    """One line, or two of at most `width` characters split at a blank: a line of the box's
    label holds about 32 characters of the UI face."""
    if len(text) <= width:
        return text, ""
    cut = text.rfind(" ", 0, width + 1)
    return text[:cut], text[cut + 1:]


def icons(match):
    entry = match.group(0)
    sid = int(re.search(r'steamid="(\d+)"', entry).group(1))
    d1 = re.search(r'desc1="([^"]*)"', entry).group(1)
    d2 = re.search(r'desc2="([^"]*)"', entry).group(1)
    line1, line2 = wrap((d1 + " " + d2).strip())
    entry = re.sub(r'desc1="[^"]*"', lambda _: f'desc1="{line1}"', entry)
    entry = re.sub(r'desc2="[^"]*"', lambda _: f'desc2="{line2}"', entry)
    entry = re.sub(r'LockImage="[^"]*"', f'LockImage="achi_{sid:02d}_off.png"', entry)
    return re.sub(r'UnlockImage="[^"]*"', f'UnlockImage="achi_{sid:02d}_on.png"', entry)


with open(DESC, "w", encoding="utf-8") as f:
    f.write(re.sub(r"<Achiev [^>]*/>", icons, desc))
