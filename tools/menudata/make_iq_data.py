#!/usr/bin/env python3
# Writes the data of the logic-puzzle screens from one description: the play layout
# "layout/LayoutIQPuzzle.xml", the editor's layout "layout/LayoutIQPuzzleEditor.xml" with its UI
# animation, the chooser "iqpuzzle_select.xml" with its UI animation, and the recipe of their
# pictures (data/recipes/78_iq.recipe). Window names are the ones the scenes look up.
# Run from the source root:
#     python3 tools/menudata/make_iq_data.py .
# and commit what it writes.
import os, sys
from uixml import animbutton, child, frame, label, layout, mix, picture, static, ui_scenes, wnd
from recipes import Recipe

ROOT = sys.argv[1]
DATA = os.path.join(ROOT, "data/data")
RECIPE = os.path.join(ROOT, "data/recipes/78_iq.recipe")

NAVY, PAPER, BLUE, GREEN, YELLOW, GREY = "#1B2340", "#F4F6FB", "#3D8BFD", "#3CC47C", "#F7C548", "#8E96A3"
RED, PURPLE, TEAL, ORANGE, INK = "#E8505B", "#9B6BDF", "#2BB5B8", "#F28C38", "#0B1024"
TAB_COLOURS = {"easy": GREEN, "normal": BLUE, "hard": RED, "user": PURPLE}
TAB_TEXT = {"easy": "EASY", "normal": "NORMAL", "hard": "HARD", "user": "MY PUZZLES"}

recipe = Recipe("iq", ["# The logic-puzzle screens: the play screen's side panel, the chooser's slots and pages, the",
                       "# editor's backdrop, palette frames and buttons.",
                       "# Written by tools/menudata/make_iq_data.py with the layouts they belong to.", ""])
image = recipe.image


def still(name, motion="still", ms=1000, amount=None):
    base = name[:-4]
    recipe.append(f"[anim data/iq/still_{base}.xml]")
    recipe.append("scene still" + (" loop=1" if motion != "still" else ""))
    extra = f" amount={amount}" if amount is not None else ""
    recipe.append(f"track {name} motion={motion} ms={ms}{extra}")
    recipe.append("")
    return f"iq/still_{base}.xml"


def button(key, w, h, colour, label, size=22):
    r = min(14, h // 3)
    states = {"n": (colour, "#FFFFFF"), "o": (mix(colour, 0.18), "#FFFFFF"),
              "d": (mix(colour, 0.2, "#000000"), "#F0F0F0"), "x": (GREY, "#DDE1E8")}
    for s, (fill, text) in states.items():
        image(f"{key}_{s}.png", w, h, [f"rect 2 5 {w - 4} {h - 6} #0B0F1E50 r={r}",
                                       f"rect 2 2 {w - 4} {h - 6} {fill} r={r}",
                                       f"frame 2 2 {w - 4} {h - 6} 2 #FFFFFF90 r={r}",
                                       f'text {w // 2} {(h - 6 - size) // 2} {size} {text} "{label}" align=center shadow=#00000040'])
    return anim_states(key)


def anim_states(key):
    recipe.append(f"[anim data/iq/{key}.xml]")
    for scene, s, motion in (("NORMAL", "n", "motion=still ms=400"), ("OVER", "o", "motion=still ms=400"),
                             ("DOWN", "d", "motion=press ms=120 amount=0.94"), ("DISABLE", "x", "motion=still ms=400")):
        recipe.append(f"scene {scene}")
        recipe.append(f"track {key}_{s}.png {motion}")
    recipe.append("")
    return f"iq/{key}.xml"


def write(relative, text):
    with open(os.path.join(DATA, relative), "w") as f:
        f.write(text)


# ---- shared pictures ------------------------------------------------------------------------------
for tab, colour in TAB_COLOURS.items():
    image(f"iq_title_{tab}.png", 214, 56, [f"rect 0 4 214 48 {colour} r=16", f"frame 0 4 214 48 2 #FFFFFF80 r=16",
                                          f'text 107 12 28 #FFFFFF "{TAB_TEXT[tab]}" align=center shadow=#00000050'])
TITLES = {tab: still(f"iq_title_{tab}.png") for tab in TAB_COLOURS}
image("iq_buffer_back.png", 214, 90, [f"rect 0 0 214 90 #00000050 r=14", f"frame 0 0 214 90 2 {mix(ORANGE, 0.3)} r=14",
                                      f'text 20 10 18 {mix(ORANGE, 0.3)} "IN HAND"'])
BUFFER_BACK = still("iq_buffer_back.png")
image("iq_buffer_block.png", 45, 45, [f"rect 2 2 41 41 {ORANGE} r=8", "frame 2 2 41 41 2 #FFFFFFA0 r=8",
                                      "rect 10 10 25 25 #FFFFFF50 r=4"])
BUFFER_BLOCK = still("iq_buffer_block.png", "pulse", 800, 0.05)
RESET = button("iq_btn_reset", 182, 48, ORANGE, "RESET", 22)

# ---- the play screen ------------------------------------------------------------------------------
image("iq_side_panel.png", 262, 688, [
    "rect 0 0 262 688 #141B3A r=22", "frame 0 0 262 688 2 #FFFFFF30 r=22",
    f'text 131 128 20 {GREY} "PUZZLE" align=center',
    f'text 131 208 22 #B8C2E8 "BEST TIME" align=center',
    "rect 24 240 214 60 #F4F6FBE0 r=14",
    f'text 94 248 34 {INK} ":" align=center', f'text 160 248 34 {INK} "." align=center',
    f'text 131 338 22 #B8C2E8 "TIME" align=center',
    "rect 24 370 214 60 #00000050 r=14",
    f'text 94 378 34 #FFFFFF90 ":" align=center', f'text 160 378 34 #FFFFFF90 "." align=center',
    ])
SIDE = still("iq_side_panel.png")
# The record box lies over the best time's box, so it draws the same separators at the same places.
image("iq_record_glow.png", 214, 60, [f"rect 0 0 214 60 {mix(YELLOW, 0.55)} r=14", f"frame 0 0 214 60 3 {YELLOW} r=14",
                                      f'text 22 6 12 {INK} "RECORD PACE"',
                                      f'text 70 8 34 {INK} ":" align=center', f'text 136 8 34 {INK} "." align=center'])
RECORD = still("iq_record_glow.png")
image("iq_clear_glow.png", 360, 360, [f"frame 0 0 360 360 8 {YELLOW}A0 r=12", f"frame 8 8 344 344 3 #FFFFFF90 r=8",
                                      f'text 180 150 56 {YELLOW} "CLEAR!" align=center shadow=#000000A0'])
CLEAR_GLOW = still("iq_clear_glow.png", "pulse", 700, 0.04)
image("iq_hint.png", 480, 60, [f'text 240 6 18 #B8C2E8 "click a 2 x 2 block to clear its group" align=center',
                               f'text 240 32 16 {GREY} "a lone block removed fails   wheel / W E turn" align=center'])
HINT = still("iq_hint.png")

BX, BY = 60, 40  # the side panel's inner origin is (36 + 24, 40)
play = [
    picture("Pic_iq_sidepanel", 36, 40, 262, 688, SIDE),
    picture("Pic_iq_easy", BX, 56, 214, 56, TITLES["easy"]),
    picture("Pic_iq_normal", BX, 56, 214, 56, TITLES["normal"]),
    picture("Pic_iq_hard", BX, 56, 214, 56, TITLES["hard"]),
    picture("Pic_iq_userpuzzle", BX, 56, 214, 56, TITLES["user"]),
    label("Label_iq_filename", BX, 180, 214, 34, 24, "#FFFFFF", "", "Center"),
    # The best time: the ink set on the light box, the record pace shown over it while the
    # player is not slower than the best.
    label("Label_iq_besttime_fail_1", BX + 14, 294, 40, 30, 22, INK, "--", "Center"),
    label("Label_iq_besttime_fail_2", BX + 80, 294, 40, 30, 22, INK, "--", "Center"),
    label("Label_iq_besttime_fail_3", BX + 146, 294, 40, 30, 22, INK, "--", "Center"),
    wnd("Wnd_record", BX, 280, 214, 60, [
        picture("Pic_iq_record", 0, 0, 214, 60, RECORD),
        label("Label_iq_besttime_1", 14, 14, 40, 30, 22, INK, "--", "Center"),
        label("Label_iq_besttime_2", 80, 14, 40, 30, 22, INK, "--", "Center"),
        label("Label_iq_besttime_3", 146, 14, 40, 30, 22, INK, "--", "Center")]),
    # The clock's digits stand in its box as the best time's stand in theirs (14 below the box's
    # top), level with the separators drawn in the side panel.
    label("Label_iq_currenttime_1", BX + 14, 424, 40, 30, 22, "#FFFFFF", "", "Center"),
    label("Label_iq_currenttime_2", BX + 80, 424, 40, 30, 22, "#FFFFFF", "", "Center"),
    label("Label_iq_currenttime_3", BX + 146, 424, 40, 30, 22, "#FFFFFF", "", "Center"),
    picture("Pic_iq_bufferback", BX, 456, 214, 90, BUFFER_BACK, inner=picture("Pic_iq_bufferblock", 150, 30, 45, 45, BUFFER_BLOCK)),
    child("WND", "Wnd_PuzzleArea", 480, 204, 360, 360),
    child("WND", "Wnd_ComboArea", 480, 204, 360, 360),
    picture("Pic_effect_highlight_small", 480, 204, 360, 360, CLEAR_GLOW),
    animbutton("Anibtn_rotate_L", 80, 596, 72, 72, "anim/Btn_Rotate_L_Animation.xml", "NORMAL"),
    animbutton("Anibtn_rotate_R", 182, 596, 72, 72, "anim/Btn_Rotate_R_Animation.xml", "NORMAL"),
    picture("Pic_iq_hint", 420, 590, 480, 60, HINT),
    animbutton("Anibtn_iq_reset", 868, 668, 120, 48, button("iq_btn_reset_small", 120, 48, ORANGE, "RESET", 20)),
    animbutton("Anibtn_menu", 76, 680, 182, 48, "anim/Btn_Menu_Animation.xml", "NORMAL"),
]
write("layout/LayoutIQPuzzle.xml", layout("Wnd_LayoutIQPuzzle", play, kind="PANEL"))

# ---- the editor -----------------------------------------------------------------------------------
BOARD_X, BOARD_Y = 520, 50
recipe.append("[image data/ui/VanteoBG_Puzzle1.bmp 1024 768]")
recipe.extend(["gradient #2A2350 #120F26", "circle 150 700 280 #FFFFFF06", "circle 930 90 240 #FFFFFF07",
               "rect 36 40 262 688 #0B1024C0 r=22", "frame 36 40 262 688 2 #FFFFFF30 r=22",
               "rect 316 24 688 720 #0B1024C8 r=26", "frame 316 24 688 720 3 #FFFFFF38 r=26",
               f"rect {BOARD_X - 8} {BOARD_Y - 8} 376 376 #00000060 r=12"])
# The grid of the 8 x 8 board's cells (45 pixels each); the last line stays inside the board.
GRID_LINES = [min(i * 45, 359) for i in range(9)]
recipe.extend([f"rect {BOARD_X + at} {BOARD_Y} 1 360 #FFFFFF30" for at in GRID_LINES] +
              [f"rect {BOARD_X} {BOARD_Y + at} 360 1 #FFFFFF30" for at in GRID_LINES])
recipe.extend([f'text 167 56 28 {YELLOW} "PUZZLE" align=center shadow=#00000060',
               f'text 167 88 28 {YELLOW} "EDITOR" align=center shadow=#00000060',
               f'text 416 60 16 {GREY} "click an empty cell" align=center',
               f'text 416 80 16 {GREY} "to place the piece," align=center',
               f'text 416 100 16 {GREY} "a block to remove it" align=center',
               f'text 340 436 16 #B8C2E8 "BLOCKS 1-5"', f'text 650 436 16 #B8C2E8 "FIXED A-F   WALL G"',
               f'text 340 522 16 #B8C2E8 "BIG BLOCKS Q-T"', ""])
image("ed_slot.png", 52, 52, ["rect 0 0 52 52 #FFFFFF14 r=10", "frame 0 0 52 52 2 #FFFFFF40 r=10"])
image("ed_slot_sel.png", 52, 52, [f"rect 0 0 52 52 {YELLOW}60 r=10", f"frame 0 0 52 52 3 {YELLOW} r=10"])
image("ed_slot_big.png", 98, 98, ["rect 0 0 98 98 #FFFFFF14 r=12", "frame 0 0 98 98 2 #FFFFFF40 r=12"])
image("ed_slot_big_sel.png", 98, 98, [f"rect 0 0 98 98 {YELLOW}60 r=12", f"frame 0 0 98 98 3 {YELLOW} r=12"])
for key, base in (("ed_piece", "ed_slot"), ("ed_piece_big", "ed_slot_big")):
    recipe.append(f"[anim data/iq/{key}.xml]")
    for scene, pic in (("NORMAL", base), ("OVER", base), ("DOWN", base), ("DISABLE", base + "_sel")):
        recipe.append(f"scene {scene}")
        recipe.append(f"track {pic}.png motion=still ms=400")
    recipe.append("")
PIECE, PIECE_BIG = "iq/ed_piece.xml", "iq/ed_piece_big.xml"

small = [("1", "Pic_block_blue_s"), ("2", "Pic_block_green_s"), ("3", "Pic_block_red_s"), ("4", "Pic_block_stone_s"),
         ("5", "Pic_block_star_s"), ("a", "Pic_block_blue_pin"), ("s", "Pic_block_green_pin"), ("d", "Pic_block_red_pin"),
         ("f", "Pic_block_stone_pin"), ("g", "Pic_block_wall")]
big = [("q", "Pic_block_blue_l"), ("w", "Pic_block_green_l"), ("e", "Pic_block_red_l"), ("r", "Pic_block_stone_l"),
       ("t", "Pic_block_star_l")]
tools = []
for i, (key, pic) in enumerate(small):
    x = 340 + i * 58 + (30 if i >= 5 else 0)
    tools.append(animbutton(f"Anibnt_blockselect_{key}", x, 460, 52, 52, PIECE))
    tools.append(picture(pic, x + 4, 464, 45, 45))
for i, (key, pic) in enumerate(big):
    x = 340 + i * 112
    tools.append(animbutton(f"Anibnt_blockselect_{key}", x, 546, 98, 98, PIECE_BIG))
    tools.append(picture(pic, x + 4, 550, 90, 90))
file_buttons = [("Anibtn_new", "NEW", BLUE), ("Anibtn_load", "LOAD", BLUE), ("Anibtn_save", "SAVE", GREEN),
                ("Anibtn_save as", "SAVE AS", GREEN)]
for i, (name, text, colour) in enumerate(file_buttons):
    key = "ed_btn_" + text.lower().replace(" ", "_")
    tools.append(animbutton(name, 76, 200 + i * 56, 182, 48, button(key, 182, 48, colour, text)))
image("ed_text_test.png", 182, 56, [f'text 91 14 24 #FFFFFF "TEST PLAY" align=center shadow=#00000050'])
image("ed_text_test_cleared.png", 182, 56, [f'text 91 4 22 #FFFFFF "TEST PLAY" align=center shadow=#00000050',
                                             f'text 91 30 16 {YELLOW} "CLEARED!" align=center'])
# The two test buttons share one place and only one is shown at a time; each carries its own
# text as a child, so the text of the hidden one goes with it.
tools += [
    animbutton("Anibtn_editor_test", 76, 440, 182, 56, button("ed_btn_test", 182, 56, ORANGE, ""),
               inner=picture("Pic_editor_text_test", 0, 0, 182, 56, still("ed_text_test.png"))),
    animbutton("Anibtn_editor_test_cleared", 76, 440, 182, 56, button("ed_btn_test_cleared", 182, 56, GREEN, ""),
               inner=picture("Pic_editor_text_test_cleared", 0, 0, 182, 56, still("ed_text_test_cleared.png"))),
]
test_tools = [
    label("Label_editor_testing", 60, 200, 214, 36, 26, YELLOW, "TESTING", "Center"),
    label("Label_editor_testing_hint", 60, 236, 214, 30, 14, GREY, "clear every block", "Center"),
    animbutton("Anibtn_editor_retry", 76, 290, 182, 48, button("ed_btn_retry", 182, 48, BLUE, "RETRY")),
    animbutton("Anibtn_iq_reset", 76, 346, 182, 48, RESET),
    animbutton("Anibtn_editor_endtest", 76, 402, 182, 48, button("ed_btn_endtest", 182, 48, RED, "END TEST")),
    picture("Pic_iq_bufferback", 60, 470, 214, 90, BUFFER_BACK, inner=picture("Pic_iq_bufferblock", 150, 30, 45, 45, BUFFER_BLOCK)),
]
editor = [
    static("Pic_editor_back", 0, 0, 1024, 768, "VanteoBG_Puzzle1.bmp"),
    child("WND", "Wnd_PuzzleArea", BOARD_X, BOARD_Y, 360, 360),
    child("WND", "Wnd_ComboArea", BOARD_X, BOARD_Y, 360, 360),
    label("Label_filename", 60, 130, 214, 36, 22, "#FFFFFF", "--------", "Center"),
    label("Label_pleasesave", 330, 680, 660, 40, 20, RED, "", "Center"),
    wnd("Wnd_editor_tools", 0, 0, 1024, 768, tools),
    wnd("Wnd_editor_test_tools", 0, 0, 1024, 768, test_tools),
    animbutton("Anibtn_editor_rotate_L", 80, 580, 72, 72, "anim/Btn_Rotate_L_Animation.xml", "NORMAL"),
    animbutton("Anibtn_editor_rotate_R", 182, 580, 72, 72, "anim/Btn_Rotate_R_Animation.xml", "NORMAL"),
    animbutton("Anibtn_sub_btn_exit", 76, 668, 182, 48, button("ed_btn_exit", 182, 48, RED, "EXIT")),
]
write("layout/LayoutIQPuzzleEditor.xml",
      layout("Wnd_LayoutIQPuzzleEditor", editor, "LayoutIQPuzzleEditor_UIAnimation.xml"))
off = [frame(0, 2000, 0, 0), frame(10, 2000, 0, 0)]
write("LayoutIQPuzzleEditor_UIAnimation.xml", ui_scenes({
    "editor_in": [("Wnd_editor_tools", 1024, 768, [frame(0, 0, 0, 0), frame(250, 0, 0, 1)]),
                  ("Wnd_editor_test_tools", 1024, 768, off)],
    "editor_test_in": [("Wnd_editor_test_tools", 1024, 768, [frame(0, 0, 0, 0), frame(250, 0, 0, 1)]),
                       ("Wnd_editor_tools", 1024, 768, off)],
}))

# ---- the chooser ----------------------------------------------------------------------------------
SW, SH = 220, 282
# Each slot's preview is the 8 x 8 board of 45-pixel cells drawn at half size, centred on the card
# (its shadow aside) in a navy frame with a margin all round, so no block reaches the frame's edge.
PREVIEW, PREVIEW_Y, PREVIEW_MARGIN = 8 * 45 // 2, 48, 6
PREVIEW_X = (SW - 6 - PREVIEW) // 2
image("sel_back.png", 1024, 768, ["gradient #203066 #0E1430", "circle 120 660 300 #FFFFFF06",
                                  "circle 900 120 260 #FFFFFF07", "rect 0 0 1024 84 #0B102480"])
image("sel_slot.png", SW, SH, [f"rect 3 5 {SW - 6} {SH - 6} #00000050 r=18", f"rect 0 0 {SW - 6} {SH - 6} {PAPER} r=18",
                               f"rect {PREVIEW_X - PREVIEW_MARGIN} {PREVIEW_Y - PREVIEW_MARGIN} "
                               f"{PREVIEW + 2 * PREVIEW_MARGIN} {PREVIEW + 2 * PREVIEW_MARGIN} {NAVY} r=8"])
image("sel_slot_btn_n.png", SW, SH, ["rect 0 0 4 4 #00000000"])
image("sel_slot_btn_o.png", SW, SH, [f"frame 0 0 {SW - 6} {SH - 6} 4 {YELLOW} r=18"])
image("sel_slot_btn_d.png", SW, SH, [f"frame 0 0 {SW - 6} {SH - 6} 6 {ORANGE} r=18"])
image("sel_slot_btn_x.png", SW, SH, ["rect 0 0 4 4 #00000000"])
SLOT_BTN = anim_states("sel_slot_btn")
image("sel_cleared.png", 196, 34, [f"rect 0 0 196 34 {NAVY} r=10", f'text 40 7 16 {YELLOW} "BEST" align=center',
                                   f'text 121 4 22 #FFFFFF ":" align=center', f'text 157 4 22 #FFFFFF "." align=center'])
image("sel_allclear.png", 44, 44, [f"star 22 22 21 {YELLOW}", f"ring 22 22 21 2 #FFFFFFA0"])
image("sel_clear.png", 44, 44, [f"circle 22 22 20 {GREEN}", "ring 22 22 20 2 #FFFFFFA0", 'text 22 7 26 #FFFFFF "v" align=center'])
image("sel_arrow_l.png", 60, 48, ['text 30 2 40 #FFFFFF "<" align=center'])
image("sel_arrow_r.png", 60, 48, ['text 30 2 40 #FFFFFF ">" align=center'])
image("sel_page.png", 200, 48, [f"rect 0 0 200 48 #0B1024C0 r=16", 'text 100 10 24 #B8C2E8 "/" align=center'])
image("sel_top_line.png", 1024, 4, [f"rect 0 0 1024 4 {YELLOW}"])
image("sel_hint.png", 280, 28, [f'text 140 4 14 {GREY} "F10 editor   Esc back   < > pages" align=center'])
HINT_SEL = still("sel_hint.png")
SLOT_PIC, CLEARED_PIC = still("sel_slot.png"), still("sel_cleared.png")
ALLCLEAR_PIC, CLEAR_PIC = still("sel_allclear.png"), still("sel_clear.png")
slots = []
for k in range(8):
    n = k + 1
    x, y = 32 + (k % 4) * 244, 104 + (k // 4) * 292
    slots.append(picture(f"Pic_iqlist_slot_{n}", x, y, SW, SH, SLOT_PIC, inner="".join([
        label(f"Label_iqlist_num_{n}", 14, 6, 44, 32, 22, BLUE, "", "Left"),
        label(f"Label_iqpuzzle_name_{n}", 56, 6, 150, 32, 18, NAVY, "", "Left"),
        picture(f"Pic_iqpuzzle_puzzle_{n}", PREVIEW_X, PREVIEW_Y, PREVIEW, PREVIEW),
        picture(f"Pic_iqlist_slot_cleared_{n}", 10, 236, 196, 34, CLEARED_PIC, inner="".join([
            label(f"Label_iqlist_cleared_m_{n}", 82, 2, 36, 30, 20, "#FFFFFF", "", "Center"),
            label(f"Label_iqlist_cleared_s_{n}", 124, 2, 30, 30, 20, "#FFFFFF", "", "Center"),
            label(f"Label_iqlist_cleared_s2_{n}", 160, 2, 30, 30, 20, "#FFFFFF", "", "Center")])),
        picture(f"Pic_iqlist_allclear_{n}", 168, 28, 44, 44, ALLCLEAR_PIC),
        picture(f"Pic_iqlist_clear_{n}", 168, 28, 44, 44, CLEAR_PIC),
        animbutton(f"AniBtn_iqpuzzle_{n}", 0, 0, SW, SH, SLOT_BTN)])))
select = [picture("Pic_iqlist_back", 0, 0, 1024, 768, still("sel_back.png"))]
for tab in TAB_COLOURS:
    select.append(picture(f"pic_iqlist_title_{tab}", 405, 16, 214, 56, TITLES[tab]))
select += slots
select += [
    picture("Pic_top_line", 0, 84, 1024, 4, still("sel_top_line.png")),
    animbutton("AniBtn_iqpuzzle_prev", 300, 700, 100, 48, button("sel_btn_prev", 100, 48, BLUE, "")),
    picture("Pic_iqlist_arrow_L", 320, 700, 60, 48, still("sel_arrow_l.png")),
    picture("Pic_iqpuzzle_pages", 412, 700, 200, 48, still("sel_page.png")),
    label("Pic_iqpuzzle_page", 420, 700, 80, 48, 24, "#FFFFFF", "1", "Center"),
    label("Pic_iqpuzzle_page_full", 524, 700, 80, 48, 24, "#FFFFFF", "1", "Center"),
    animbutton("AniBtn_iqpuzzle_next", 624, 700, 100, 48, button("sel_btn_next", 100, 48, BLUE, "")),
    picture("Pic_iqlist_arrow_R", 644, 700, 60, 48, still("sel_arrow_r.png")),
    animbutton("AniBtn_iqpuzzle_main", 32, 700, 182, 48, button("sel_btn_main", 182, 48, RED, "MAIN MENU")),
    picture("Pic_iqlist_hint", 740, 712, 280, 28, HINT_SEL),
]
write("iqpuzzle_select.xml", layout("Wnd_iqpuzzle_select", select, "iqpuzzle_select_UIAnimation.xml"))
write("iqpuzzle_select_UIAnimation.xml", ui_scenes({
    "iqlist_in": [("Wnd_iqpuzzle_select", 1024, 768, [frame(0, 0, 0, 0), frame(300, 0, 0, 1)])],
    "iqlist_out": [("Wnd_iqpuzzle_select", 1024, 768, [frame(0, 0, 0, 1), frame(250, 0, 0, 0)])],
}))

with open(RECIPE, "w") as f:
    f.write("\n".join(recipe).rstrip("\n") + "\n")

# ---- the puzzles shipped with the game --------------------------------------------------------------
# Grids in the notation of iq_puzzles.py, in the order the chooser lists them (by file name), each
# tab rising in difficulty. Their solutions, found by the model, are written for the test that
# plays every puzzle to its win on the real board.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import iq_puzzles  # noqa: E402

from iq_puzzle_grids import PUZZLES  # noqa: E402

solutions = ["# The moves that win each shipped puzzle: \"click <col> <row>\" on a big block, \"turn <1|-1>\".",
             "# Written by tools/menudata/make_iq_data.py."]
for tab, puzzles in PUZZLES.items():
    folder = os.path.join(DATA, "Puzzle", tab)
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        os.remove(os.path.join(folder, old))
    for number, (title, rows) in enumerate(puzzles, 1):
        name = f"{number:02d}_{title}.pz0"
        iq_puzzles.write_puzzle(os.path.join(folder, name), rows)
        moves = iq_puzzles.solve(iq_puzzles.board_of(rows))
        if moves is None:
            sys.exit(f"{tab}/{name} has no solution")
        solutions.append(f"{tab}/{name}:" + ";".join(f"{verb} {a} {b}" if verb == "click" else f"{verb} {a}"
                                                      for verb, a, b in moves))
os.makedirs(os.path.join(ROOT, "tests/fixtures/puzzles"), exist_ok=True)
with open(os.path.join(ROOT, "tests/fixtures/puzzles/solutions.txt"), "w") as f:
    f.write("\n".join(solutions) + "\n")
