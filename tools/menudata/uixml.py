# The layout and UI-animation XML the menu data generators write, and the colour mixing of their
# pictures: one writer for each window kind, so every generated layout spells its windows alike.
# The generators import it from this folder.


def mix(c, t, to="#FFFFFF"):
    """The colour `t` of the way from `c` to `to` ("#RRGGBB")."""
    a = [int(c[i:i + 2], 16) for i in (1, 3, 5)]
    b = [int(to[i:i + 2], 16) for i in (1, 3, 5)]
    return "#" + "".join(f"{round(x + (y - x) * t):02X}" for x, y in zip(a, b))


def child(kind, name, x, y, w, h, inner=""):
    return (f'<child type="{kind}" name="{name}"><pos x="{x}" y="{y}"/><rect l="0" t="0" r="{w}" b="{h}"/>'
            f"{inner}</child>")


def label(name, x, y, w, h, size, colour, text="", align="Left", face="KelmorSoft"):
    return child("LABEL", name, x, y, w, h,
                 f'<label val="{text}"/><FontName val="{face}"/><FontSize val="{size}"/><Color val="{colour}"/>'
                 f'<HAlign val="{align}"/><VAlign val="Center"/>')


def picture(name, x, y, w, h, asset=None, inner=""):
    """A picture playing the animation `asset` (none when empty), followed by `inner`."""
    art = f'<asset type="ANIMATION">{asset}</asset>' if asset else ""
    return child("PICTURE", name, x, y, w, h, art + inner)


# The combo panel every board layout shares (214 x 110, its picture "combo_panel.png" of
# data/recipes/77_battle.recipe): the bonus rate on the left as "x" digit "." digit under
# "BONUS", the combo count on the right under "COMBO", the three plus marks along the bottom.
COMBO_PANEL_WINDOWS = (
    child("PICTURE", "Pic_num_combo", 112, 26, 96, 42)
    + "".join(child("PICTURE", f"Pic_plus_combo_{n}", 20 + 62 * (n - 1), 74, 50, 30) for n in (1, 2, 3))
    + child("PICTURE", "Pic_num_bonus_1", 30, 26, 28, 42) + child("PICTURE", "Pic_num_bonus_2", 68, 26, 28, 42))


def combo_panel(x, y):
    return child("PICTURE", "Pic_puzzle_combo_black", x, y, 214, 110,
                 '<asset type="STATIC">combo_panel.png</asset>' + COMBO_PANEL_WINDOWS)


def static(name, x, y, w, h, png):
    """A picture showing one still image."""
    return child("PICTURE", name, x, y, w, h, f'<asset type="STATIC">{png}</asset>')


def animbutton(name, x, y, w, h, asset=None, kind="GROUP", inner=""):
    """An animated button drawn by `asset` (a GROUP of state scenes, or one NORMAL animation);
    a bare window when there is none. `inner` are its children, shown and hidden with it."""
    art = f'<asset type="{kind}">{asset}</asset>' if asset else ""
    return child("ANIMBUTTON", name, x, y, w, h, art + inner)


def wnd(name, x, y, w, h, children=()):
    """A plain window holding `children` (a list of children, or their text)."""
    return child("WND", name, x, y, w, h, "".join(children))


def layout(top, children, animation=None, kind="WND", comment=""):
    """A full-screen layout: its UI animation file (when one is named) and the top window."""
    props = (f'  <properties>\n    <property name="UIAnimation" val="{animation}"/>\n  </properties>\n'
             if animation else "")
    return ('<?xml version="1.0" encoding="UTF-8"?>\n' + (f"<!-- {comment} -->\n" if comment else "") +
            '<kevrin version="2">\n' + props +
            f'  <base type="{kind}" name="{top}">\n    <pos x="0" y="0"/><rect l="0" t="0" r="1024" b="768"/>\n    '
            + "\n    ".join(children) + "\n  </base>\n</kevrin>\n")


def frame(at, x, y, alpha):
    return (f'<frame cnt="{at}"><posx val="{x}"/><posy val="{y}"/><scalex val="1"/><scaley val="1"/>'
            f'<centerx val="0"/><centery val="0"/><rotate val="0"/><alpha val="{alpha}"/></frame>')


def ui_scenes(scenes):
    """A UI animation file. `scenes`: scene name -> its tracks (a dict, or (name, tracks) pairs),
    each track (window, w, h, [frames]) driving a window of that size through its key frames."""
    text = ['<?xml version="1.0" encoding="UTF-8"?>', '<kvanimation version="1.2">']
    for name, tracks in (scenes.items() if isinstance(scenes, dict) else scenes):
        text.append(f'  <scene name="{name}">')
        for window, w, h, _ in tracks:
            text.append(f'    <asset type="UI" name="UIWND_{window}"><rect l="0" t="0" r="{w}" b="{h}"/></asset>')
        for i, (window, _, _, _) in enumerate(tracks):
            text.append(f'    <object name="{window}" ani="a{i}"><asset link="UIWND_{window}" type="UI"/></object>')
        for i, (_, _, _, frames) in enumerate(tracks):
            text.append(f'    <anim name="a{i}">' + "".join(frames) + "</anim>")
        text.append("  </scene>")
    return "\n".join(text) + "\n</kvanimation>\n"


def popup_tracks(top, body, bx, by, bw, bh, shown):
    """The tracks of a pop-up's scene: the full-screen backdrop `top` fades and the panel `body`
    (at bx, by, bw x bh) slides up into place (`shown`), or fades and drops away."""
    if shown:
        return [(top, 1024, 768, [frame(0, 0, 0, 0), frame(220, 0, 0, 1)]),
                (body, bw, bh, [frame(0, bx, by + 40, 0), frame(260, bx, by - 6, 1), frame(340, bx, by, 1)])]
    return [(top, 1024, 768, [frame(0, 0, 0, 1), frame(200, 0, 0, 0)]),
            (body, bw, bh, [frame(0, bx, by, 1), frame(200, bx, by + 30, 0)])]


def ui_animation(top, body, bx, by, bw, bh, ins, out):
    """Pop-up scenes: each of `ins` shows the pop-up, `out` takes it away."""
    return ui_scenes([(name, popup_tracks(top, body, bx, by, bw, bh, True)) for name in ins] +
                     [(out, popup_tracks(top, body, bx, by, bw, bh, False))])
