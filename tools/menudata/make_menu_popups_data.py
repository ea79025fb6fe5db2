#!/usr/bin/env python3
# Writes the data of the main menu's own pop-ups from one description: the layouts
# "data/startpopup.xml", "data/unlock.xml", "data/unlock_error.xml", "data/options.xml",
# "data/records.xml" and "data/skins.xml" with their UI animations, and the recipe of their
# pictures (data/recipes/67_menu_popups.recipe). Window names are the ones the pop-ups look up.
# Run from the source root:
#     python3 tools/menudata/make_menu_popups_data.py .
# and commit what it writes.
import os, sys
from uixml import animbutton, child, label, layout, mix, picture, ui_animation
from recipes import Recipe

ROOT = sys.argv[1]
DATA = os.path.join(ROOT, "data/data")
RECIPE = os.path.join(ROOT, "data/recipes/67_menu_popups.recipe")

NAVY, PAPER, BLUE, GREEN, YELLOW, GREY = "#1B2340", "#F4F6FB", "#3D8BFD", "#3CC47C", "#F7C548", "#8E96A3"
RED, PURPLE, TEAL, ORANGE = "#E8505B", "#9B6BDF", "#2BB5B8", "#F28C38"

recipe = Recipe("menupop", ["# The main menu's pop-ups: mode start, purchases, options, records and skins.",
                            "# Written by tools/menudata/make_menu_popups_data.py with the layouts they belong to.", ""])
image, still, button, panel = recipe.image, recipe.still, recipe.button, recipe.panel




def picture_button(key, w, h, normal_ops, over_ops, disabled_ops):
    """A button drawn from given pictures: normal, hovered (also pressed) and disabled."""
    image(f"{key}_n.png", w, h, normal_ops)
    image(f"{key}_o.png", w, h, over_ops)
    image(f"{key}_x.png", w, h, disabled_ops)
    recipe.append(f"[anim data/menupop/{key}.xml]")
    for scene, s, motion in (("NORMAL", "n", "motion=still ms=400"), ("OVER", "o", "motion=still ms=400"),
                             ("DOWN", "o", "motion=press ms=120 amount=0.96"), ("DISABLE", "x", "motion=still ms=400")):
        recipe.append(f"scene {scene}")
        recipe.append(f"track {key}_{s}.png {motion}")
    recipe.append("")
    return f"menupop/{key}.xml"


def box(name, x, y, w, h, children):
    return child("WND", name, x, y, w, h, "".join(children))


def write(file, top, body, bx, by, bw, bh, children, ins, out):
    with open(os.path.join(DATA, file), "w") as f:
        f.write(layout(top, [picture("Pic_popup_dim", 0, 0, 1024, 768, DIM), box(body, bx, by, bw, bh, children)],
                       file[:-4] + "_UIAnimation.xml"))
    with open(os.path.join(DATA, file[:-4] + "_UIAnimation.xml"), "w") as f:
        f.write(ui_animation(top, body, bx, by, bw, bh, ins, out))


def cube_line(key, w, colour, text):
    """A cube symbol, a caption and room for a number on the right."""
    image(key, w, 40, [f"rect 0 0 {w} 40 {colour} r=12", "block 8 7 26 #F7C548",
                       f'text 44 9 18 {NAVY} "{text}"'])
    return still(key)


image("mp_dim.png", 1024, 768, ["fill #0B0F1E99"])
DIM = still("mp_dim.png")
OK = button("mp_btn_ok", 150, 56, GREEN, "OK", 24)

# ---- the purchase question and the shortfall ----
UW, UH, UX, UY = 520, 330, 252, 200
body = [picture("Pic_unlock_panel", 0, 0, UW, UH, panel("mp_unlock_panel.png", UW, UH, YELLOW, "UNLOCK")),
        label("Label_unlock_text", 20, 80, UW - 40, 30, 18, NAVY, "Spend cubes to open it?", "Center"),
        picture("Pic_unlock_need", 60, 124, 400, 40, cube_line("mp_line_price.png", 400, "#E6EBF5", "Price")),
        label("Label_unlock_need", 250, 124, 190, 40, 22, NAVY, "", "Right"),
        picture("Pic_unlock_have", 60, 172, 400, 40, cube_line("mp_line_have.png", 400, "#E6EBF5", "You have")),
        label("Label_unlock_have", 250, 172, 190, 40, 22, NAVY, "", "Right"),
        animbutton("Anibtn_popup_yes", 90, 240, 150, 56, button("mp_btn_yes", 150, 56, GREEN, "YES", 24)),
        animbutton("Anibtn_popup_no", 280, 240, 150, 56, button("mp_btn_no", 150, 56, RED, "NO", 24))]
write("unlock.xml", "Wnd_unlock", "Wnd_popup_body", UX, UY, UW, UH, body, ["unlock_in"], "unlock_out")

EW, EH, EX, EY = 520, 380, 252, 180
body = [picture("Pic_unlock_panel", 0, 0, EW, EH, panel("mp_short_panel.png", EW, EH, RED, "NOT ENOUGH CUBES")),
        label("Label_unlock_text", 20, 78, EW - 40, 30, 16, NAVY, "Win games and earn achievements.", "Center"),
        picture("Pic_unlock_need", 60, 118, 400, 40, still("mp_line_price.png")),
        label("Label_unlock_need", 250, 118, 190, 40, 22, NAVY, "", "Right"),
        picture("Pic_unlock_have", 60, 166, 400, 40, still("mp_line_have.png")),
        label("Label_unlock_have", 250, 166, 190, 40, 22, NAVY, "", "Right"),
        picture("Pic_unlock_want", 60, 214, 400, 40, cube_line("mp_line_want.png", 400, mix(RED, 0.75), "Missing")),
        label("Label_unlock_want", 250, 214, 190, 40, 22, RED, "", "Right"),
        animbutton("Anibtn_popup_ok", 185, 290, 150, 56, OK)]
write("unlock_error.xml", "Wnd_unlock_error", "Wnd_popup_body", EX, EY, EW, EH, body, ["unlock_error_in"], "unlock_error_out")

# ---- options ----
OW, OH, OX, OY = 600, 560, 212, 104
image("mp_name_field.png", 300, 44, ["rect 0 0 300 44 #FFFFFF r=10", f"frame 0 0 300 44 2 {BLUE} r=10"])
image("mp_caret.png", 2, 22, [f"fill {NAVY}"])
image("mp_track.png", 260, 12, ["rect 0 0 260 12 #D5DAE6 r=6"])
check_box = picture_button("mp_btn_check", 44, 44, ["rect 2 2 40 40 #FFFFFF r=8", f"frame 2 2 40 40 3 {BLUE} r=8"],
                           [f"rect 2 2 40 40 {mix(BLUE, 0.85)} r=8", f"frame 2 2 40 40 3 {BLUE} r=8"],
                           ["rect 2 2 40 40 #E4E7EE r=8", f"frame 2 2 40 40 3 {GREY} r=8"])
image("mp_check.png", 44, 44, [f"poly {GREEN} 8 22 14 16 20 24 34 8 40 14 20 36"])
# The current hand's button is disabled (it cannot be chosen again), so its disabled face is the
# strong chosen one and the face that can be pressed is the quiet one.
HAND_OFF = "#AEB8CB"
hand_r = button("mp_btn_right", 130, 48, HAND_OFF, "RIGHT", 20, disabled=(BLUE, "#FFFFFF"))
hand_l = button("mp_btn_left", 130, 48, HAND_OFF, "LEFT", 20, disabled=(BLUE, "#FFFFFF"))
row = lambda y, text: label(f"Label_option_{text.lower().replace(' ', '_')}", 30, y, 150, 44, 20, NAVY, text)
body = [picture("Pic_options_panel", 0, 0, OW, OH, panel("mp_options_panel.png", OW, OH, BLUE, "OPTIONS")),
        row(96, "NAME"),
        picture("Pic_name_field", 200, 96, 300, 44, still("mp_name_field.png")),
        child("EDIT", "Edit_inputname", 200, 96, 300, 44,
              '<asset type="CARET" path="mp_caret.png"><rpos x="0" y="0"/><rect l="0" t="0" r="2" b="22"/></asset>'
              '<padding l="12" t="0" r="12" b="0"/><valign val="1"/><FontName val="KelmorSoft"/><FontSize val="20"/>'
              f'<Color val="{NAVY}"/>'),
        row(164, "FULL SCREEN"),
        animbutton("Anibtn_popup_fullscreen", 200, 164, 44, 44, check_box),
        picture("Pic_popup_check", 200, 164, 44, 44, still("mp_check.png")),
        row(232, "HAND"),
        animbutton("Anibtn_popup_righthand", 200, 230, 130, 48, hand_r),
        animbutton("Anibtn_popup_lefthand", 346, 230, 130, 48, hand_l)]
for y, text, mute, slider in ((300, "MUSIC", "music", "HSlider"), (364, "EFFECTS", "soundeffects", "HSlider1")):
    body += [row(y, text),
             animbutton(f"btn_popup_sound_{mute}_mute_off", 200, y + 2, 44, 40, "popup/popup_btn_sound_on.xml"),
             animbutton(f"btn_popup_sound_{mute}_mute_on", 200, y + 2, 44, 40, "popup/popup_btn_sound_off.xml"),
             picture(f"Pic_track_{slider}", 262, y + 16, 260, 12, still("mp_track.png")),
             f'<child type="SLIDER" name="{slider}" horizontal="1"><pos x="262" y="{y + 6}"/><rect l="0" t="0" r="260" b="32"/>'
             f'<control type="THUMB" name="Btn_{slider}_thumb"><pos x="0" y="0"/><rect l="0" t="0" r="24" b="32"/>'
             '<asset type="NORMAL">popup_slider_thumb.png</asset><asset type="OVER">popup_slider_thumb_o.png</asset>'
             '<asset type="DOWN">popup_slider_thumb_o.png</asset></control><sliderect l="0" t="0" r="260" b="32"/></child>']
body.append(animbutton("Anibtn_popup_ok", (OW - 150) // 2, OH - 96, 150, 56, OK))
write("options.xml", "Wnd_options", "Wnd_popup_body", OX, OY, OW, OH, body, ["options_in"], "options_out")

# ---- records ----
RW, RH, RX, RY = 560, 640, 232, 64
rows = [("Games started", "Label_records_detail_1"), ("Play time", None), ("Block clicks", "Label_records_detail_3"),
        ("Left turns", "Label_records_detail_4"), ("Right turns", "Label_records_detail_5"),
        ("Blocks cleared", "Label_records_detail_6"), ("Big stars", "Label_records_detail_7"),
        ("Big stones", "Label_records_detail_8"), ("Chains", "Label_records_detail_9"),
        ("Magic turns", "Label_records_detail_10")]
image("mp_record_row.png", 500, 38, ["rect 0 0 500 38 #E6EBF5 r=8"])
row_pic = still("mp_record_row.png")
body = [picture("Pic_records_panel", 0, 0, RW, RH, panel("mp_records_panel.png", RW, RH, YELLOW, "RECORDS")),
        label("Label_records_name", 30, 80, RW - 60, 40, 26, NAVY, "", "Center")]
for i, (text, name) in enumerate(rows):
    y = 130 + i * 42
    body += [picture(f"Pic_records_row_{i + 1}", 30, y, 500, 38, row_pic),
             label(f"Label_records_caption_{i + 1}", 44, y, 260, 38, 18, NAVY, text)]
    if name:
        body.append(label(name, 300, y, 214, 38, 20, BLUE, "", "Right"))
    else:
        body += [label("Label_records_detail_2_1", 372, y, 50, 38, 20, BLUE, "", "Right"),
                 label("Label_records_colon_1", 422, y, 12, 38, 20, BLUE, ":", "Center"),
                 label("Label_records_detail_2_2", 434, y, 30, 38, 20, BLUE, "", "Center"),
                 label("Label_records_colon_2", 464, y, 12, 38, 20, BLUE, ":", "Center"),
                 label("Label_records_detail_2_3", 476, y, 38, 38, 20, BLUE, "", "Left")]
body.append(animbutton("Anibtn_popup_ok", (RW - 150) // 2, RH - 84, 150, 56, OK))
write("records.xml", "Wnd_records", "Wnd_popup_body", RX, RY, RW, RH, body, ["records_in"], "records_out")

# ---- skins ----
SW, SH, SX, SY = 760, 480, 132, 144
CW, CH = 210, 250
skins = [("classic", "Classic", [RED, GREEN, BLUE, YELLOW], BLUE), ("africa", "Africa", [ORANGE, "#C8742A", YELLOW, "#7A4A1E"], ORANGE),
         ("horror", "Horror", [PURPLE, "#4A2A6A", "#6A6A78", RED], PURPLE)]
body = [picture("Pic_skins_panel", 0, 0, SW, SH, panel("mp_skins_panel.png", SW, SH, TEAL, "SKINS"))]
for i, (key, name, colours, accent) in enumerate(skins):
    x = 30 + i * (CW + 25)
    blocks = [f"block {50 + (j % 2) * 56} {60 + (j // 2) * 56} 52 {c}" for j, c in enumerate(colours)]
    face = lambda fill, rim: ([f"rect 2 4 {CW - 4} {CH - 6} #0B0F1E40 r=18", f"rect 2 2 {CW - 4} {CH - 8} {fill} r=18",
                               f"frame 2 2 {CW - 4} {CH - 8} 3 {rim} r=18"] + blocks +
                              [f'text {CW // 2} 14 24 {NAVY} "{name}" align=center'])
    card = picture_button(f"mp_skin_{key}", CW, CH, face("#FFFFFF", mix(accent, 0.4)), face(mix(accent, 0.85), accent),
                          face(mix(accent, 0.7), YELLOW) + [f"rect 40 {CH - 50} {CW - 80} 32 {accent} r=12",
                                                            f'text {CW // 2} {CH - 46} 18 #FFFFFF "WORN" align=center'])
    body.append(animbutton(f"Anibtn_popup_skins_{i + 1}", x, 84, CW, CH, card))
    if i:
        lock = picture_button(f"mp_skin_lock_{key}", CW, CH,
                              [f"rect 2 2 {CW - 4} {CH - 8} #1B2340C8 r=18", "rect 87 90 36 30 #E4E7EE r=5",
                               "ring 105 88 13 5 #E4E7EE"],
                              [f"rect 2 2 {CW - 4} {CH - 8} #1B2340A0 r=18", f"frame 2 2 {CW - 4} {CH - 8} 3 {YELLOW} r=18",
                               f"rect 87 90 36 30 {YELLOW} r=5", f"ring 105 88 13 5 {YELLOW}"],
                              [f"rect 2 2 {CW - 4} {CH - 8} #1B2340C8 r=18"])
        body.append(animbutton(f"popup_skinlock_{key}", x, 84, CW, CH, lock))
        price = "sub_cube_10001" if i == 1 else "sub_cube_1"
        image(f"mp_price_{key}.png", 130, 36, ["rect 0 0 130 36 #F7C548 r=16", "block 10 6 24 #FFFFFF",
                                                'text 80 7 20 #4A3500 "1000" align=center'])
        image(f"mp_price_{key}_gray.png", 130, 36, ["rect 0 0 130 36 #5A6070 r=16", "block 10 6 24 #8E96A3",
                                                     'text 80 7 20 #C0C4CE "1000" align=center'])
        body += [picture(price, x + 40, 84 + CH - 60, 130, 36, still(f"mp_price_{key}.png")),
                 picture(price + "_gray", x + 40, 84 + CH - 60, 130, 36, still(f"mp_price_{key}_gray.png"))]
body.append(animbutton("Anibtn_popup_ok", (SW - 150) // 2, SH - 90, 150, 56, OK))
write("skins.xml", "Wnd_skins", "Wnd_popup_body", SX, SY, SW, SH, body, ["skins_in"], "skins_out")

# ---- mode start ----
TW, TH, TX, TY = 720, 560, 152, 104
backs = [("battle", BLUE, "BATTLE"), ("push", GREEN, "PUSH"), ("puzzle", RED, "PUZZLE CHALLENGE")]
body = [picture(f"Pic_start_{k}_back", 0, 0, TW, TH, panel(f"mp_start_{k}_panel.png", TW, TH, c, t)) for k, c, t in backs]
icons = [("battle", BLUE, ["easy", "normal", "hard", "extreme", "clone", "star", "stone", "big", "dash", "hell", "self"]),
         ("push", GREEN, ["easy", "normal", "hard", "extreme", "clone", "hell", "self"]),
         ("puzzle", RED, ["combo", "point"])]
shades = {"easy": GREEN, "normal": BLUE, "hard": ORANGE, "extreme": RED, "hell": "#7A1E2A", "self": PURPLE}
for kind, colour, modes in icons:
    for mode in modes:
        c = shades.get(mode, colour)
        image(f"mp_icon_{kind}_{mode}.png", 150, 150, [f"circle 75 77 72 {mix(c, 0.35, '#000000')}", f"circle 75 74 70 {c}",
                                                       "ring 75 74 62 4 #FFFFFF70",
                                                       f"block 45 34 28 {mix(c, 0.5)}", f"block 77 34 28 {mix(c, 0.3)}",
                                                       f'text 75 84 {22 if len(mode) < 7 else 18} #FFFFFF "{mode.upper()}" align=center shadow=#00000060'])
        body.append(picture(f"Pic_start_icon_{kind}_{mode}", 28, 88, 150, 150, still(f"mp_icon_{kind}_{mode}.png")))
image("mp_mark_allclear.png", 64, 64, [f"circle 32 32 30 {YELLOW}", "star 32 30 22 #FFFFFF", f'text 32 40 13 {NAVY} "No.1" align=center'])
image("mp_mark_clear.png", 64, 64, [f"circle 32 32 30 {GREEN}", "poly #FFFFFF 16 32 24 24 30 34 46 16 52 22 30 46",
                                    'text 32 46 11 #FFFFFF "CLEAR" align=center'])
body += [picture("Pic_start_icon_allclear", 132, 196, 64, 64, still("mp_mark_allclear.png")),
         picture("Pic_start_icon_clear", 132, 196, 64, 64, still("mp_mark_clear.png"))]
image("mp_start_row.png", 480, 38, ["rect 0 0 480 38 #E6EBF5 r=8"])
start_row = still("mp_start_row.png")
rank = [label("Label_head_rank", 0, 0, 66, 30, 14, GREY, "RANK", "Center"),
        label("Label_head_name", 76, 0, 184, 30, 14, GREY, "PLAYER"),
        label("Label_head_score", 260, 0, 120, 30, 14, GREY, "SCORE", "Right"),
        label("Label_head_time", 390, 0, 90, 30, 14, GREY, "TIME", "Center")]
# A mode that has no table yet leaves the rows as laid out here, so they carry the dashes the
# fill writes into an empty place, rather than a lone ":" between blank times.
for n in range(1, 7):
    y = 34 + (n - 1) * 44
    rank += [picture(f"Pic_start_row_{n}", 0, y, 480, 38, start_row),
             label(f"Label_rank_{n}", 0, y, 50, 38, 20, NAVY, "", "Center"),
             label(f"Label_rank_name_{n}", 76, y, 184, 38, 18, NAVY, "-----"),
             label(f"Label_rank_score_{n}", 260, y, 120, 38, 18, NAVY, "----", "Right"),
             label(f"Label_rank_time_m_{n}", 390, y, 34, 38, 18, NAVY, "--", "Right"),
             label(f"Label_rank_colon_{n}", 424, y, 12, 38, 18, NAVY, ":", "Center"),
             label(f"Label_rank_time_s_{n}", 436, y, 34, 38, 18, NAVY, "--")]
body.append(box("Wnd_start_rank", 210, 88, 480, 300, rank))
image("mp_self_note.png", 480, 180, ["rect 0 0 480 180 #E6EBF5 r=14",
                                      f'text 240 30 24 {NAVY} "Play your own recorded games" align=center',
                                      f'text 240 74 18 {GREY} "Every game you play is recorded;" align=center',
                                      f'text 240 102 18 {GREY} "win against yourself to count a win." align=center',
                                      f"block 196 138 22 {RED}", f"block 224 138 22 {GREEN}", f"block 252 138 22 {BLUE}"])
body.append(box("Wnd_start_self", 210, 88, 480, 300,
                [picture("Pic_start_self_note", 0, 0, 480, 180, still("mp_self_note.png")),
                 animbutton("AniBtn_start_self_reset", 150, 210, 180, 52, button("mp_btn_reset", 180, 52, ORANGE, "RESET", 22))]))
body += [animbutton("AnimBtn_start", TW // 2 - 190, TH - 96, 180, 60, button("mp_btn_start", 180, 60, GREEN, "START", 28)),
         animbutton("AnimBtn_cancel", TW // 2 + 10, TH - 96, 180, 60, button("mp_btn_cancel", 180, 60, GREY, "CANCEL", 24))]
write("startpopup.xml", "Wnd_start", "Wnd_popup_body", TX, TY, TW, TH, body, ["start_in"], "start_out")

with open(RECIPE, "w") as f:
    f.write("\n".join(recipe))
