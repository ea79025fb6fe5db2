#!/usr/bin/env python3
# Writes the data of the online lobby from one description: the list of lobbies
# "data/join.xml", the room "data/room.xml", and the recipe of their pictures and of the
# lobby's background "common_loading_back.tga" (data/recipes/83_lobby.recipe). Window names
# are the ones the lobby scene looks up.
# Run from the source root:
#     python3 tools/menudata/make_lobby_data.py .
# and commit what it writes.
import os, sys
from uixml import animbutton, child, label, layout, mix, picture
from recipes import Recipe

ROOT = sys.argv[1]
DATA = os.path.join(ROOT, "data/data")
RECIPE = os.path.join(ROOT, "data/recipes/83_lobby.recipe")

NAVY, PAPER, BLUE, GREEN, YELLOW, GREY = "#1B2340", "#F4F6FB", "#3D8BFD", "#3CC47C", "#F7C548", "#8E96A3"
RED, PURPLE, TEAL, ORANGE = "#E8505B", "#9B6BDF", "#2BB5B8", "#F28C38"
FACE = "KelmorSoft"

recipe = Recipe("lobby", ["# The online lobby: the list of lobbies, the room and the lobby's background.",
                          "# Written by tools/menudata/make_lobby_data.py with the layouts they belong to.", ""])
image, still, panel = recipe.image, recipe.still, recipe.panel


def button(key, w, h, colour, text, size=20):
    r = min(12, h // 3)
    states = {"n": (colour, "#FFFFFF"), "o": (mix(colour, 0.15), "#FFFFFF"),
              "d": (mix(colour, 0.2, "#000000"), "#F0F0F0"), "x": ("#C9CED8", "#8E96A3")}
    for s, (fill, ink) in states.items():
        image(f"{key}_{s}.png", w, h, [f"rect 2 5 {w - 4} {h - 6} #0B0F1E40 r={r}",
                                       f"rect 2 2 {w - 4} {h - 6} {fill} r={r}",
                                       f"frame 2 2 {w - 4} {h - 6} 2 #FFFFFF90 r={r}",
                                       f'text {w // 2} {(h - 6 - size) // 2} {size} {ink} "{text}" align=center'])
    recipe.append(f"[anim data/lobby/{key}.xml]")
    for scene, s, motion in (("NORMAL", "n", "motion=still ms=400"), ("OVER", "o", "motion=still ms=400"),
                             ("DOWN", "d", "motion=press ms=120 amount=0.94"), ("DISABLE", "x", "motion=still ms=400")):
        recipe.append(f"scene {scene}")
        recipe.append(f"track {key}_{s}.png {motion}")
    recipe.append("")
    return f"lobby/{key}.xml"


def caret(h):
    return f'<asset type="CARET" path="lobby/lobby_caret.png"><rpos x="0" y="0"/><rect l="0" t="0" r="2" b="{h}"/></asset>'


def badge(name, w, h, colour, text, size=18):
    image(name, w, h, [f"rect 0 0 {w} {h} {colour} r={h // 2}", f'text {w // 2} {(h - size) // 2 - 1} {size} #FFFFFF "{text}" align=center'])
    return still(name)


# The background of both views.
recipe.append("[image data/lobby/common_loading_back.tga 1024 768]")
recipe += ["gradient #26336A #11162C", "circle 160 640 220 #FFFFFF08", "circle 900 120 260 #FFFFFF08",
           "block 40 40 40 #E8505B60", "block 90 40 40 #3CC47C60", "block 940 690 40 #3D8BFD60",
           "block 890 690 40 #F7C54860", ""]
image("lobby_caret.png", 2, 20, ["fill #1B2340"])

# ---- the list of lobbies ----
PW, PH, PX, PY = 900, 680, 62, 44
list_panel = panel("join_panel.png", PW, PH, TEAL)
image("join_row.png", 820, 50, [f"rect 0 0 820 50 #FFFFFF r=10", f"frame 0 0 820 50 2 {mix(TEAL, 0.5)} r=10"])
row_pic = still("join_row.png")
icon_battle = badge("join_icon_battle.png", 90, 30, RED, "BATTLE", 15)
icon_push = badge("join_icon_push.png", 90, 30, BLUE, "PUSH", 15)
type_btn = {k: button(f"join_type_{k}", 120, 44, c, t, 18)
            for k, c, t in (("battle", RED, "BATTLE"), ("push", BLUE, "PUSH"), ("all", PURPLE, "ALL"))}
status_btn = {k: button(f"join_status_{k}", 120, 44, c, t, 18)
              for k, c, t in (("joinable", GREEN, "OPEN"), ("all", PURPLE, "ALL"))}
reload_btn = button("join_reload", 120, 44, TEAL, "RELOAD", 18)
join_btn = button("join_join", 110, 40, GREEN, "JOIN", 18)
prev_btn = button("join_prev", 110, 46, BLUE, "PREV", 18)
next_btn = button("join_next", 110, 46, BLUE, "NEXT", 18)
host_battle = button("join_host_battle", 180, 52, RED, "HOST BATTLE", 18)
host_push = button("join_host_push", 180, 52, BLUE, "HOST PUSH", 18)
back_btn = button("lobby_back", 130, 52, GREY, "BACK", 20)

body = [picture("Pic_join_panel", 0, 0, PW, PH, list_panel),
        label("Label_join_title", 20, 10, PW - 40, 46, 30, "#FFFFFF", "ONLINE LOBBIES", "Center"),
        label("Label_join_mode", 30, 84, 80, 44, 18, NAVY, "MODE"),
        animbutton("Btn_join_type_battle", 110, 84, 120, 44, type_btn["battle"]),
        animbutton("Btn_join_type_push", 236, 84, 120, 44, type_btn["push"]),
        animbutton("Btn_join_type_all", 362, 84, 120, 44, type_btn["all"]),
        label("Label_join_status", 500, 84, 90, 44, 18, NAVY, "STATUS"),
        animbutton("Btn_join_status_joinable", 590, 84, 120, 44, status_btn["joinable"]),
        animbutton("Btn_join_status_all", 716, 84, 120, 44, status_btn["all"])]
ROW_Y, ROW_H = 144, 58
for i in range(1, 9):
    y = ROW_Y + (i - 1) * ROW_H
    inner = "".join([picture(f"Pic_join_icon_battle_{i}", 12, 10, 90, 30, icon_battle),
                     picture(f"Pic_join_icon_push_{i}", 12, 10, 90, 30, icon_push),
                     label(f"Label_join_hostid_{i}", 116, 0, 290, 50, 18, NAVY),
                     label(f"Label_join_hostrecord_{i}", 410, 0, 150, 50, 16, GREY),
                     label(f"Label_join_guestid_{i}", 560, 0, 150, 50, 18, NAVY),
                     label(f"Label_join_guestrecord_{i}", 710, 0, 106, 50, 16, GREY),
                     animbutton(f"Btn_join_{i}", 700, 5, 110, 40, join_btn)])
    body.append(picture(f"Pic_list_slot_on_{i}", 40, y, 820, 50, row_pic, inner))
# Said in place of the rows while the online service cannot be reached; the list keeps trying.
image("join_unreachable.png", 640, 110, [f"rect 0 0 640 110 #FFFFFF r=16", f"frame 0 0 640 110 3 {RED} r=16"])
body.append(child("WND", "Wnd_join_unreachable", 130, 300, 640, 110,
                  picture("Pic_join_unreachable", 0, 0, 640, 110, still("join_unreachable.png")) +
                  label("Label_join_unreachable", 0, 14, 640, 44, 24, RED, "CANNOT REACH THE ONLINE SERVICE", "Center") +
                  label("Label_join_unreachable_retry", 0, 60, 640, 34, 18, GREY, "TRYING AGAIN EVERY 10 SECONDS",
                        "Center")))
by = PH - 76
body += [animbutton("Btn_join_prev", 40, by, 110, 46, prev_btn),
         label("Pic_iqpuzzle_page", 150, by, 50, 46, 22, NAVY, "0", "Right"),
         label("Label_join_page_of", 200, by, 30, 46, 22, NAVY, "/", "Center"),
         label("Pic_iqpuzzle_page_full", 230, by, 50, 46, 22, NAVY, "0", "Left"),
         animbutton("Btn_join_next", 280, by, 110, 46, next_btn),
         animbutton("Btn_join_kevrin", 400, by, 120, 44, reload_btn),
         animbutton("Btn_join_host_battle", 516, by - 4, 180, 52, host_battle),
         animbutton("Btn_join_host_push", 700, by - 4, 180, 52, host_push)]
join = [child("WND", "Wnd_join_body", PX, PY, PW, PH, "".join(body)),
        animbutton("Anibtn_sub_btn_exit", 24, 700, 130, 52, back_btn)]
with open(os.path.join(DATA, "join.xml"), "w") as f:
    f.write(layout("Wnd_join", join))

# ---- the room ----
RW, RH, RX, RY = 900, 690, 62, 30
room_panel = panel("room_panel.png", RW, RH, PURPLE)
image("room_card.png", 380, 210, [f"rect 0 0 380 210 #FFFFFF r=18", f"frame 0 0 380 210 2 {mix(PURPLE, 0.5)} r=18"])
card = still("room_card.png")
image("room_you.png", 392, 222, [f"frame 0 0 392 222 4 {YELLOW} r=22", f"rect 300 0 80 26 {YELLOW} r=10",
                                 'text 340 3 18 #1B2340 "YOU" align=center'])
you = still("room_you.png")
image("room_vs.png", 90, 90, [f"circle 45 45 42 {ORANGE}", 'text 45 24 34 #FFFFFF "VS" align=center'])
vs = still("room_vs.png")
ready_badge = badge("room_ready.png", 140, 34, GREEN, "READY")
wait_badge = badge("room_waiting.png", 140, 34, GREY, "NOT READY")
mode_pics = {}
for skin in (1, 2, 3):
    for mode, colour, text in (("battle", RED, "BATTLE"), ("push", BLUE, "PUSH")):
        tint = mix(colour, 0.15 * (skin - 1), "#000000")
        image(f"room_mode_{mode}_{skin}.png", 300, 90, [f"rect 0 0 300 90 {tint} r=18", "frame 0 0 300 90 3 #FFFFFF90 r=18",
                                                        f'text 150 20 40 #FFFFFF "{text}" align=center shadow=#00000050'])
        mode_pics[(mode, skin)] = still(f"room_mode_{mode}_{skin}.png")
image("room_starting.png", 520, 90, [f"rect 0 0 520 90 {NAVY}E0 r=20", f"frame 0 0 520 90 3 {YELLOW} r=20",
                                     f'text 260 22 36 {YELLOW} "STARTING..." align=center'])
starting = still("room_starting.png")
image("room_chat_back.png", 840, 190, [f"rect 0 0 840 190 #FFFFFF r=14", f"frame 0 0 840 190 2 {mix(PURPLE, 0.5)} r=14"])
chat_back = still("room_chat_back.png")
image("room_skin.png", 40, 40, [f"rect 0 0 40 40 {GREY} r=8"])
skin_pic = still("room_skin.png")
ready_btn = button("room_ready_btn", 150, 48, GREEN, "READY")
cancel_btn = button("room_cancel_btn", 150, 48, GREY, "CANCEL")
sel_battle = button("room_select_battle", 140, 46, RED, "BATTLE", 18)
sel_push = button("room_select_push", 140, 46, BLUE, "PUSH", 18)
start_btn = button("room_start", 220, 60, ORANGE, "START", 28)
leave_btn = button("room_leave", 130, 52, GREY, "LEAVE")
skin_btn = button("room_skin_btn", 40, 40, GREY, "", 10)

host = "".join([picture("Pic_multi_room_host_back", 0, 0, 380, 210, card),
                label("Label_multi_room_host_title", 20, 10, 200, 30, 16, GREY, "HOST"),
                label("Label_multi_room_hostid", 20, 44, 340, 40, 26, NAVY),
                label("Label_multi_room_hostrecord", 20, 88, 340, 30, 18, GREY),
                label("Label_multi_room_host_wins", 20, 150, 160, 40, 16, GREY, "WINS HERE"),
                label("multi_score_host", 200, 136, 160, 60, 44, PURPLE, "0", "Right")])
guest = "".join([picture("Pic_multi_room_guest_id_back", 0, 0, 380, 210, card),
                 label("Label_multi_room_guest_title", 20, 10, 200, 30, 16, GREY, "GUEST"),
                 label("Label_multi_room_guestid", 20, 44, 340, 40, 26, NAVY),
                 label("Label_multi_room_guestrecord", 20, 88, 340, 30, 18, GREY),
                 label("Label_multi_room_guest_wins", 20, 150, 160, 40, 16, GREY, "WINS HERE"),
                 label("multi_score_geust", 200, 136, 160, 60, 44, PURPLE, "0", "Right"),
                 picture("Pic_multi_room_guest_ready", 220, 10, 140, 34, ready_badge),
                 picture("Pic_multi_room_guest_notready", 220, 10, 140, 34, wait_badge)])
body = [picture("Pic_multi_room_panel", 0, 0, RW, RH, room_panel),
        label("Label_multi_room_title", 20, 10, RW - 40, 46, 30, "#FFFFFF", "GAME ROOM", "Center"),
        child("WND", "Wnd_multi_room_host", 40, 86, 380, 210, host),
        # What only the lobby's owner sees: the highlight of its own card and the start button;
        # the scene hides the window on the guest's screen.
        child("WNDEX", "WndEx_multi_room_Host_on", 0, 0, RW, RH,
              picture("Pic_multi_room_host_you", 34, 80, 392, 222, you) +
              animbutton("Anibtn_multi_room_start", 640, 618, 220, 60, start_btn)),
        picture("Pic_multi_room_vs", 405, 146, 90, 90, vs),
        child("WND", "Wnd_multi_room_guest", 480, 86, 380, 210, guest),
        child("WNDEX", "WndEx_multi_room_guest_on", 474, 80, 392, 222, picture("Pic_multi_room_guest_you", 0, 0, 392, 222, you)),
        animbutton("Btn_multi_room_ready", 600, 306, 150, 48, ready_btn),
        animbutton("Btn_multi_room_ready1", 600, 306, 150, 48, cancel_btn)]
for skin in (1, 2, 3):
    body += [picture(f"Pic_multi_room_image_battle_{skin}", 40, 316, 300, 90, mode_pics[("battle", skin)]),
             picture(f"Pic_multi_room_image_push_{skin}", 40, 316, 300, 90, mode_pics[("push", skin)])]
body += [child("WND", "Wnd_multi_room_gametype", 350, 316, 140, 96,
               animbutton("Btn_multi_room_selecttype_battle", 0, 0, 140, 46, sel_battle) +
               animbutton("Btn_multi_room_selecttype_push", 0, 50, 140, 46, sel_push)),
         picture("Pic_multi_room_chat_back", 30, 420, 840, 190, chat_back),
         child("TEXTAREA", "TextArea_multi_room_chat_box", 40, 426, 820, 134,
               caret(20) + f'<padding l="6" t="2" r="6" b="2"/><FontName val="{FACE}"/><FontSize val="18"/>'
               f'<Color val="{NAVY}"/>'),
         child("EDIT", "Edit_multi_room_chat_input", 40, 566, 820, 36,
               caret(20) + f'<padding l="10" t="0" r="10" b="0"/><valign val="1"/><FontName val="{FACE}"/>'
               f'<FontSize val="18"/><Color val="{NAVY}"/><maxlength val="120"/>')]
for i in (1, 2, 3):
    body.append(animbutton(f"btn_multi_skin_{i}", 40 + (i - 1) * 50, 630, 40, 40, skin_btn))
body += [picture("Pic_multi_skin2_lock", 90, 630, 40, 40, skin_pic),
         picture("Pic_multi_skin3_lock", 140, 630, 40, 40, skin_pic),
         picture("Pic_Starting", 190, 300, 520, 90, starting)]
room = [child("WND", "Wnd_multi_room_body", RX, RY, RW, RH, "".join(body)),
        animbutton("Anibtn_sub_btn_exit", 24, 700, 130, 52, leave_btn)]
with open(os.path.join(DATA, "room.xml"), "w") as f:
    f.write(layout("Wnd_room", room))

with open(RECIPE, "w") as f:
    f.write("\n".join(recipe))
