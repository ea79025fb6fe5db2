#!/usr/bin/env python3
"""Soak run: the real program plays every single-player mode by script, round after round, for a
given time, under one kind of build, and stops at the first sanitizer report, heap-check abort,
crash or hang.

Usage: tools/soak.py <tsan|asan|malloc-check> <minutes> [--run <run folder>] [--out <folder>]
         [--round-frames N] [--modes freeplay,battle,...]

  tsan          build-tsan/run   (cmake -DQUIBLY_TSAN=ON): races between the game's threads
  asan          build-test/run   (cmake -DQUIBLY_SANITIZE=ON): overruns, use after free
  malloc-check  build/run        (plain build) with glibc's heap checks, MALLOC_CHECK_=3

Each round copies the run folder afresh, makes its blocks reproducible (fixed seeds), enters one
mode from the menu through the automation hook (the same paths as the end-to-end tests), then
presses the board's cells every few frames for --round-frames frames, restarting the mode from
its result or pause now and then (never, with --no-restarts: one long session a round, as a
player who keeps playing), and leaves. Rounds take the modes in turn. Every round's
stderr is kept in the output folder; a failing round's whole folder is kept beside it.
Exit status: 0 when every round ran clean, 1 at the first failure.
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KINDS = {
    "tsan": "build-tsan/run",
    "asan": "build-test/run",
    "malloc-check": "build/run",
}
# Lines that mark a failed round in stderr, whatever the exit status.
FAILURE_MARKS = ("WARNING: ThreadSanitizer", "ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer",
                 "malloc(): ", "free(): ", "corrupted", "double free", "Segmentation fault")
# The story has been seen and every single-player mode is open.
OPEN_CONFIG = ("<VanteoConfig>\n    <Opening IsShow=\"1\" />\n    <PushTutorial IsShow=\"0\" />\n"
               "    <Player Cube=\"500\" />\n"
               "    <UnlockMainMenu Puzzle=\"1\" Battle=\"1\" Push=\"1\" IQ=\"1\" Multi=\"0\" />\n</VanteoConfig>\n")
# From the logo to the menu's main screen, clicked on an empty spot.
TO_MENU = "40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n"


def centre(run, layout, name, moved_parent="", moved=(0, 0)):
    """Where a window of a layout lies on the screen (its centre), as the end-to-end tests find it."""
    root = ET.parse(os.path.join(run, layout)).getroot()

    def find(element, x, y):
        for child in element:
            pos = child.find("pos")
            rect = child.find("rect")
            own = child.get("name")
            cx, cy = x, y
            if pos is not None and own and own == moved_parent:
                cx, cy = moved
            elif pos is not None:
                cx += int(pos.get("x"))
                cy += int(pos.get("y"))
            if own == name and rect is not None:
                return cx + int(rect.get("r")) // 2, cy + int(rect.get("b")) // 2
            found = find(child, cx, cy)
            if found:
                return found
        return None

    found = find(root, 0, 0)
    if not found:
        raise SystemExit(f"soak: {layout} has no window {name}")
    return found


def edit(run, path, old, new):
    full = os.path.join(run, path)
    with open(full, encoding="utf-8") as f:
        text = f.read()
    if old not in text:
        raise SystemExit(f"soak: {path} does not hold {old!r}")
    with open(full, "w", encoding="utf-8") as f:
        f.write(text.replace(old, new, 1))


def fix_seed(run, config):
    # Modes whose configuration has no seed of its own keep what they have.
    path = os.path.join(run, f"data/PlayData/{config}")
    with open(path, encoding="utf-8") as f:
        if "<RandomSeed Seed=\"-1\" />" not in f.read():
            return
    edit(run, f"data/PlayData/{config}", "<RandomSeed Seed=\"-1\" />", "<RandomSeed Seed=\"20\" />")


def click(frame, point):
    return f"{frame} click {point[0]} {point[1]}\n"


# Each mode: prepare(run) edits the copy and returns (script to play start, first play frame,
# board origin x, y, cells across, periodic actions (every, [(offset, key or action)]) that restart
# or go on).
def freeplay(run):
    # The third stage, the one the menu starts, becomes the 14 x 14 board on the 14 x 14 layout.
    fix_seed(run, "QuiblyConfig_Puzzle.xml")
    edit(run, "data/PlayData/QuiblyConfig_Puzzle.xml", "<Stage name=\"8X8\" XGrid=\"8\" YGrid=\"8\"",
         "<Stage name=\"8X8\" XGrid=\"14\" YGrid=\"14\"")
    edit(run, "data/KVSkin_Default.xml", "LayoutPuzzle8=\"LayoutPuzzle8.xml\"", "LayoutPuzzle8=\"LayoutPuzzle14.xml\"")
    # Escape pauses and R restarts from the pause.
    return TO_MENU + "700 key 46\n", 1000, 345, 69, 14, [(4000, [(7, "1B"), (47, "52")])]


def battle(run):
    fix_seed(run, "QuiblyConfig_Battle.xml")
    start = TO_MENU + "620 click 512 325\n760 click 770 275\n900 move 190 265\n960 press 190 265\n1100 click 412 598\n"
    # R plays again from the result.
    return start, 1500, 332, 254, 8, [(1500, [(7, "52")])]


def stage(run):
    fix_seed(run, "QuiblyConfig_Puzzle.xml")
    start = TO_MENU + "700 click 237 325\n780 click 772 275\n860 click 512 335\n960 click 552 602\n1020 key 20\n"
    # Space goes on after a stage's banner; R tries again after a lost one.
    return start, 1080, 480, 204, 8, [(400, [(7, "20")]), (1700, [(13, "52")])]


def challenge(run, spot):
    for config in ("QuiblyConfig_Puzzle.xml", "QuiblyConfig_PointChallenge.xml"):
        fix_seed(run, config)
    for button in ("Anibtn_sub2_2_btn_3\" UnlockPic=\"Anibtn_lock_point\" CubePic=\"Pic_cube_point\" Cube=\"200\"",
                   "Anibtn_sub2_btn_1\" UnlockPic=\"Anibtn_lock_combo\" CubePic=\"Pic_cube_combo\" Cube=\"300\""):
        edit(run, "data/PlayData/QuiblyUnlockMenu.xml", button + " IsUnlock=\"0\"", button + " IsUnlock=\"1\"")
    start_button = centre(run, "data/startpopup.xml", "AnimBtn_start")
    start = TO_MENU + f"600 click 236 320\n700 click 250 280\n800 click {spot}\n" + click(940, start_button)
    # The result's retry button starts the challenge again.
    return start, 1140, 480, 204, 8, [(1000, [(7, "click 512 668")])]


def combo(run):
    return challenge(run, "322 315")


def point(run):
    return challenge(run, "702 315")


def logic(run):
    start = TO_MENU + "700 click 374 505\n800 click 190 265\n980 click 142 300\n"
    # Space goes on to the next puzzle after a cleared one.
    return start, 1310, 480, 204, 8, [(600, [(7, "20")])]


def push(run):
    fix_seed(run, "QuiblyConfig_Push.xml")
    card = centre(run, "data/menu/MAINMENU.xml", "Anibtn_pushing")
    modes = centre(run, "data/menu/SUB_pushing.xml", "Anibtn_sub_btn_1")
    first = centre(run, "data/menu/SUB_pushing.xml", "Anibtn_sub2_1_btn_1", "Wnd_sub2_1", (0, 120))
    start_button = centre(run, "data/startpopup.xml", "AnimBtn_start")
    start = TO_MENU + click(620, card) + click(760, modes) + click(900, first) + click(1040, start_button)
    return start, 1900, 604, 396, 8, [(3000, [(7, "52")])]


MODES = {"freeplay": freeplay, "battle": battle, "stage": stage, "combo": combo, "point": point,
         "logic": logic, "push": push}


def make_script(prepare, run, frames, shots=False, restarts=True):
    start, first, x0, y0, cells, periodic = prepare(run)
    if not restarts:
        periodic = []
    lines = [start]
    last = first + frames
    k = 0
    events = {}
    for frame in range(first, last, 20):
        # Cells are 45 pixels; the walk visits them in a spread-out order so groups form and clear.
        x = x0 + 45 * ((k * 5) % cells) + 22
        y = y0 + 45 * ((k * 3) % cells) + 22
        events.setdefault(frame, []).append(f"press {x} {y}")
        k += 1
    for every, keys in periodic:
        for frame in range(first + every, last, every):
            for offset, action in keys:
                events.setdefault(frame + offset, []).append(action if " " in action else f"key {action}")
    if shots:
        # Pictures of the round, to check by eye that the script reaches play.
        for frame in range(first, last, max(frames // 4, 1)):
            events.setdefault(frame + 1, []).append(f"shot shot{frame + 1:06d}.png")
    for frame in sorted(events):
        for action in events[frame]:
            lines.append(f"{frame} {action}\n")
    lines.append(f"{last + 10} quit\n")
    return "".join(lines), last


def environment(kind, profile):
    env = dict(os.environ)
    env.update({
        "SDL_VIDEODRIVER": "offscreen", "SDL_AUDIODRIVER": "dummy",
        # The driver's rasteriser threads: 2 unless the caller says (1 leaves more of a shared
        # machine to others).
        "LP_NUM_THREADS": os.environ.get("LP_NUM_THREADS", "2"),
        "QUIBLY_DEBUG_OUTPUT": "0", "QUIBLY_AUTOMATION_FRAME_MS": "16", "QUIBLY_AUTOMATION_WAIT_LOADS": "1",
        "QUIBLY_PROFILE_DIR": profile, "QUIBLY_AUTOMATION": "script.txt",
    })
    if kind == "tsan":
        env["TSAN_OPTIONS"] = (f"suppressions={ROOT}/tools/tsan.supp exitcode=66 "
                               "second_deadlock_stack=1 report_signal_unsafe=0")
    elif kind == "asan":
        env["ASAN_OPTIONS"] = "detect_leaks=0:halt_on_error=1:abort_on_error=1"
        env["UBSAN_OPTIONS"] = "halt_on_error=1:print_stacktrace=1"
    else:
        env["MALLOC_CHECK_"] = "3"
        env["MALLOC_PERTURB_"] = "165"
        # Since glibc 2.34 the heap checks live in a preloaded library.
        debug = "/usr/lib/x86_64-linux-gnu/libc_malloc_debug.so.0"
        if os.path.exists(debug):
            env["LD_PRELOAD"] = debug
    return env


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("kind", choices=sorted(KINDS))
    parser.add_argument("minutes", type=float)
    parser.add_argument("--run", help="run folder (default: the kind's build folder)")
    parser.add_argument("--out", help="where round logs go (default: a new folder under /tmp)")
    parser.add_argument("--round-frames", type=int, default=20000, help="frames of play per round")
    parser.add_argument("--modes", default=",".join(MODES), help="comma-separated, from: " + ",".join(MODES))
    parser.add_argument("--rounds", type=int, default=0, help="play this many rounds, whatever the time")
    parser.add_argument("--shots", action="store_true",
                        help="save four pictures a round into the output folder, to check the scripts")
    parser.add_argument("--no-restarts", dest="restarts", action="store_false",
                        help="never restart a mode within a round: each round is one long session")
    parser.add_argument("--round-timeout", type=int, default=1800, help="seconds before a round counts as hung")
    args = parser.parse_args()

    run = os.path.abspath(args.run or os.path.join(ROOT, KINDS[args.kind]))
    if not os.access(os.path.join(run, "Quibly"), os.X_OK):
        raise SystemExit(f"soak: no Quibly in {run} (build it first)")
    modes = [m for m in args.modes.split(",") if m]
    for m in modes:
        if m not in MODES:
            raise SystemExit(f"soak: unknown mode {m}")
    out = args.out or tempfile.mkdtemp(prefix=f"quibly-soak-{args.kind}-")
    os.makedirs(out, exist_ok=True)
    summary = open(os.path.join(out, "summary.txt"), "a", encoding="utf-8")

    def say(line):
        stamp = time.strftime("%H:%M:%S")
        print(f"{stamp} {line}", flush=True)
        summary.write(f"{stamp} {line}\n")
        summary.flush()

    say(f"soak {args.kind}: {args.minutes} min from {run}, {args.round_frames} frames a round, modes {','.join(modes)}")
    began = time.monotonic()
    deadline = began + args.minutes * 60
    rounds = 0
    frames_total = 0
    work = tempfile.mkdtemp(prefix="quibly-soak-work-")
    try:
        while (rounds < args.rounds) if args.rounds else (time.monotonic() < deadline):
            mode = modes[rounds % len(modes)]
            copy = os.path.join(work, "game")
            profile = os.path.join(work, "profile")
            shutil.rmtree(copy, ignore_errors=True)
            shutil.rmtree(profile, ignore_errors=True)
            shutil.copytree(run, copy, symlinks=True)
            for stale in ("QuiblyConfig.pak", "Log_VODozivo.txt"):
                if os.path.exists(os.path.join(copy, stale)):
                    os.remove(os.path.join(copy, stale))
            with open(os.path.join(copy, "data/PlayData/QuiblyConfig.xml"), "w", encoding="utf-8") as f:
                f.write(OPEN_CONFIG)
            script, frames = make_script(MODES[mode], copy, args.round_frames, args.shots, args.restarts)
            with open(os.path.join(copy, "script.txt"), "w", encoding="utf-8") as f:
                f.write(script)
            # A round never runs past the soak's end by more than its own timeout.
            timeout = max(60, min(args.round_timeout, int(deadline - time.monotonic()) + args.round_timeout))
            start = time.monotonic()
            log_path = os.path.join(out, f"round{rounds + 1:04d}-{mode}.stderr.txt")
            with open(log_path, "w", encoding="utf-8") as log:
                process = subprocess.Popen(["./Quibly"], cwd=copy, env=environment(args.kind, profile),
                                           stdout=subprocess.DEVNULL, stderr=log, start_new_session=True)
                try:
                    status = process.wait(timeout=timeout)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
                    status = "hung"
            seconds = time.monotonic() - start
            rounds += 1
            with open(log_path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            marks = [m for m in FAILURE_MARKS if m in text]
            if status != 0 or marks:
                kept = os.path.join(out, f"round{rounds:04d}-{mode}-failed")
                shutil.copytree(copy, kept, symlinks=True, ignore=shutil.ignore_patterns("Quibly", "*.so*"))
                say(f"round {rounds} {mode}: FAILED after {seconds:.0f} s, status {status}, {marks}; "
                    f"stderr {log_path}, folder {kept}")
                say(f"after {(time.monotonic() - began) / 60:.1f} min: {rounds - 1} clean rounds, {frames_total} frames")
                return 1
            frames_total += frames
            os.remove(log_path)
            if args.shots:
                for name in sorted(os.listdir(copy)):
                    if name.startswith("shot") and name.endswith(".png"):
                        shutil.copy(os.path.join(copy, name), os.path.join(out, f"round{rounds:04d}-{mode}-{name}"))
            say(f"round {rounds} {mode}: clean, {frames} frames in {seconds:.0f} s")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    say(f"clean: {rounds} rounds, {frames_total} scripted frames in {(time.monotonic() - began) / 60:.1f} min")
    return 0


if __name__ == "__main__":
    sys.exit(main())
