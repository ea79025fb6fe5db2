# The assetgen recipe lines the menu data generators write: pictures, animations, one-picture
# animations for layouts, the rounded buttons with their four states and the pop-up panels.
# The generators import it from this folder.
from uixml import mix

GREY, PAPER = "#8E96A3", "#F4F6FB"


class Recipe(list):
    """The lines of a recipe whose pictures and animations go to data/<folder>; it starts with
    the `header` comment lines."""

    def __init__(self, folder, header):
        super().__init__(header)
        self.folder = folder
        self.stills = set()

    def image(self, name, w, h, ops):
        self.append(f"[image data/{self.folder}/{name} {w} {h}]")
        self.extend(ops)
        self.append("")

    def anim(self, name, scenes):
        """The animation file `name`: scenes as (scene header, [track lines]); returns the
        layout's asset path."""
        self.append(f"[anim data/{self.folder}/{name}]")
        for header, tracks in scenes:
            self.append(f"scene {header}")
            self.extend(f"track {t}" for t in tracks)
        self.append("")
        return f"{self.folder}/{name}"

    def still(self, name):
        """A one-scene animation showing the picture `name` (written once); returns the
        layout's asset path."""
        path = f"still_{name[:-4]}.xml"
        if path not in self.stills:
            self.stills.add(path)
            self.anim(path, [("still", [f"{name} motion=still ms=1000"])])
        return f"{self.folder}/{path}"

    def button(self, key, w, h, colour, label, size=22, disabled=(GREY, "#DDE1E8"), note=None):
        """A rounded button's pictures, normal, over, down and disabled (`disabled`: fill and
        text colour), and its state animation; returns the layout's asset path. A `note` is a
        small line under the label that says what the button leads to."""
        r = min(14, h // 3)
        states = {"n": (colour, "#FFFFFF"), "o": (mix(colour, 0.15), "#FFFFFF"),
                  "d": (mix(colour, 0.2, "#000000"), "#F0F0F0"), "x": disabled}
        top = (h - 6 - size) // 2 - (14 if note else 0)
        for s, (fill, text) in states.items():
            ops = [f"rect 2 5 {w - 4} {h - 6} #0B0F1E50 r={r}", f"rect 2 2 {w - 4} {h - 6} {fill} r={r}",
                   f"frame 2 2 {w - 4} {h - 6} 2 #FFFFFF90 r={r}"]
            if label:
                ops.append(f'text {w // 2} {top} {size} {text} "{label}" align=center shadow=#00000040')
            if note:
                ops.append(f'text {w // 2} {top + size + 8} 15 {text} "{note}" align=center shadow=#00000040')
            self.image(f"{key}_{s}.png", w, h, ops)
        return self.anim(f"{key}.xml", [("NORMAL", [f"{key}_n.png motion=still ms=400"]),
                                        ("OVER", [f"{key}_o.png motion=still ms=400"]),
                                        ("DOWN", [f"{key}_d.png motion=press ms=120 amount=0.94"]),
                                        ("DISABLE", [f"{key}_x.png motion=still ms=400"])])

    def panel(self, name, w, h, colour, title=None):
        """A pop-up's paper panel with a title band of `colour` (and its title); returns the
        layout's asset path of its still."""
        ops = [f"rect 4 6 {w - 8} {h - 8} #0B0F1E40 r=24", f"rect 0 0 {w - 4} {h - 6} {PAPER} r=24",
               f"rect 0 0 {w - 4} 70 {colour} r=24", f"rect 0 46 {w - 4} 24 {colour}",
               f"frame 0 0 {w - 4} {h - 6} 3 #FFFFFF r=24"]
        if title:
            ops.append(f'text {(w - 4) // 2} 14 34 #FFFFFF "{title}" align=center shadow=#00000050')
        self.image(name, w, h, ops)
        return self.still(name)
