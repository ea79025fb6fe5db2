#!/usr/bin/env python3
# Writes the battle's ghosts and its configuration from the readable description ghosts.txt:
# one replay file (".gst") per ghost in data/playdata/, the initial self-play ghost
# "BattleYour_Init.gst", and "QuiblyConfig_Battle.xml" whose stages name them in mode order
# (the configuration's record 0 is the built-in multiplayer one; stage n + 1 is mode n, and
# mode 13 is self-play against "BattleYour.gst").
# Run from the source root:
#     python3 tools/ghostgen/make_ghosts.py .
# and commit what it writes.
import os, random, sys

ROOT = sys.argv[1] if len(sys.argv) > 1 else "."
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(ROOT, "data/playdata")


def read_description(path):
    ghosts, ghost = [], None
    for raw in open(path, encoding="utf-8"):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        word, _, rest = line.partition(" ")
        if word == "ghost":
            ghost = {"file": rest, "stage": rest, "speedup": "FALSE", "loop": "TRUE", "hp": None, "userhp": None,
                     "length": 90.0, "gain": 5.0, "fire": 60, "star": 0, "stone": 0, "mines": 0, "drain": 0,
                     "heal": None, "say": [], "seed": 1, "weights": "30 30 30 3 3"}
            ghosts.append(ghost)
        elif word == "say":
            t, _, text = rest.partition(" ")
            ghost["say"].append((float(t), text))
        elif word == "heal":
            t, hp = rest.split()
            ghost["heal"] = (float(t), int(hp))
        elif word in ("length", "gain", "star", "stone", "mines", "drain"):
            ghost[word] = float(rest)
        elif word in ("fire", "seed", "hp", "userhp"):
            ghost[word] = int(rest)
        elif word in ("stage", "speedup", "loop", "weights"):
            ghost[word] = rest
        else:
            raise SystemExit(f"{path}: unknown word {word!r}")
    return ghosts


def every(period, length, start):
    t = start
    while period > 0 and t < length:
        yield t
        t += period


def records(g):
    """Timed records, one action key each, the way the board writes them."""
    rnd = random.Random(g["seed"])
    events = []
    stacks = [0, 0, 0]
    t = 1.5
    while t < g["length"]:
        # A clear every second or two, its bullets in one colour; a full stack is fired.
        step = rnd.uniform(0.8, 2.0)
        colour = rnd.randrange(3)
        gained = max(1, int(g["gain"] * step * rnd.uniform(0.6, 1.4)))
        events.append((t, f'B{colour}="{gained}"'))
        stacks[colour] += gained
        if stacks[colour] >= g["fire"]:
            events.append((t + rnd.uniform(0.2, 0.8), f'A{colour}="{stacks[colour]}"'))
            stacks[colour] = 0
        t += step
    for s in every(g["star"], g["length"], g["star"]):
        events.append((s, 'A3="100"'))
    for s in every(g["stone"], g["length"], g["stone"]):
        events.append((s, 'A4="0"'))
        events.append((s + 0.01, 'S0="0"'))
    for s in every(g["mines"], g["length"], g["mines"]):
        events.append((s, 'S1="0"'))
    for s in every(g["drain"], g["length"], g["drain"]):
        events.append((s, 'S3="0"'))
    if g["heal"]:
        events.append((g["heal"][0], f'S0="{g["heal"][1]}"'))
    for when, text in g["say"]:
        safe = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")
        events.append((when, f'Msg="{safe}"'))
    # The last record marks the length: a ghost that ends wins for the player after it.
    events.append((g["length"], 'B0="0"'))
    events.sort(key=lambda e: e[0])
    return events


def write_ghost(g):
    root = f'<Replay loop="{g["loop"]}"'
    if g["hp"] is not None:
        root += f' HP="{g["hp"]}"'
    if g["userhp"] is not None:
        root += f' UserHP="{g["userhp"]}"'
    lines = [root + ">"]
    lines += [f'    <Rep T="{t:f}" {key} />' for t, key in records(g)]
    lines.append("</Replay>")
    with open(os.path.join(OUT, g["file"]), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def write_initial_self_ghost():
    """The self-play opponent before the player has won a self-play game: a calm beginner."""
    g = {"seed": 99, "length": 60.0, "gain": 4.0, "fire": 50, "star": 0, "stone": 0, "mines": 0, "drain": 0,
         "heal": None, "say": [], "loop": "TRUE", "hp": None, "userhp": None, "file": "BattleYour_Init.gst"}
    write_ghost(g)


def write_config(ghosts):
    stages = []
    for mode in range(14):
        if mode == 13:
            stages.append('        <Stage name="SELF" file="data/PlayData/BattleYour.gst" SpeedUp="TRUE">\n'
                          '            <BlockColorRate A="30" B="30" C="30" star="3" stone="3" />\n        </Stage>')
            continue
        g = ghosts[mode]
        a, b, c, star, stone = g["weights"].split()
        stages.append(f'        <Stage name="{g["stage"]}" file="data/PlayData/{g["file"]}" SpeedUp="{g["speedup"]}">\n'
                      f'            <BlockColorRate A="{a}" B="{b}" C="{c}" star="{star}" stone="{stone}" />\n        </Stage>')
    text = ('<?xml version="1.0" encoding="UTF-8"?>\n'
            "<!-- The battle: combo bonuses, board speeds and one stage per battle mode (written by\n"
            "     tools/ghostgen/make_ghosts.py from tools/ghostgen/ghosts.txt). Stage n + 1 is mode n:\n"
            "     1 to 4 the battle levels, 7 to 12 the special battles, 13 self-play. -->\n"
            "<VanteoConfig>\n"
            '    <ComboBonus C1="1.0" C2="1.2" C3="1.4" C4="1.6" C5="1.8" C6="2.0" C7="2.2" C8="2.4" C9="2.6" C10="3.0"\n'
            '                C11="3.2" C12="3.4" C13="3.6" C14="3.8" C15="4.0" C16="4.2" C17="4.4" C18="4.6" C19="4.8" C20="5.0" />\n'
            '    <BigBlock BigBlockK="1.0" BigBlockM="0.0" />\n'
            '    <Setting RotateTime="0.3" RefillSpeed="300" maxRefillSpeed="500" BlockClearTimer_ModeFactor="1.0" />\n'
            '    <RandomSeed Seed="-1" />\n'
            '    <BlockColorRate A="30" B="30" C="30" star="3" stone="3" />\n'
            "    <StageList>\n" + "\n".join(stages) + "\n    </StageList>\n</VanteoConfig>\n")
    with open(os.path.join(OUT, "QuiblyConfig_Battle.xml"), "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


ghosts = read_description(os.path.join(HERE, "ghosts.txt"))
if len(ghosts) < 13:
    raise SystemExit("ghosts.txt must describe the ghosts of modes 0 to 12")
for g in ghosts:
    write_ghost(g)
write_initial_self_ghost()
write_config(ghosts)
print(f"{len(ghosts)} ghosts, the initial self-play ghost and the battle configuration written")
