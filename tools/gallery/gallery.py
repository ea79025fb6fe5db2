#!/usr/bin/env python3
"""The gallery run: plays one automation script per mode and per pop-up in the real program,
headless, keeps every screen each script saves, and lays them out as one contact sheet per run.

Each run gets a fresh copy of the run folder (without a pack or a log from earlier runs) and a
fresh profile. A script under runs/ opens with directive lines:
    # profile: fresh     the first run of a new player (the story opening not seen yet)
    # profile: unlocked  every mode and sub-menu open, the story and the tutorials seen
    # seconds: N         time limit of the run (default 300)
    # title: text        the sheet's title
    # persona: name      the player's name on the platform (online play)
    # edit: file | from | to   replaces text in a file of the run folder before the run (repeatable)
The other lines are automation lines (`<frame> <action> <arguments>`, see the README); every
`shot` of a script lands on its sheet in the order of the script.

A script NAME.txt with a NAME.guest.txt beside it is an online run of two programs on one shared
online folder: the host plays NAME.txt in the folder `host`, the guest NAME.guest.txt in the
folder `guest` beside it, each with its own profile. Each waits for the other with
`wait ../host/<picture>` or `wait ../guest/<picture>` on a screen the other has saved. Both
programs' screens land on the run's sheet, the host's first.

Usage: tools/gallery/gallery.py [--run build/run] [--out gallery] [run names...]
The sheets are written as <out>/<name>.png (ImageMagick's montage lays them out), the single
screens under <out>/<name>/. Neither is committed.
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
SKIPPED = {"QuiblyConfig.pak", "Log_VODozivo.txt", "testFile.bin"}

UNLOCKED_CONFIG = """<VanteoConfig>
    <Skin LastSkin="0" />
    <Cube Count="5000" />
    <PlayerName Name="Gallery" />
    <Opening IsShow="1" />
    <Tutorial IsShow="0" />
    <BattleTutorial IsShow="0" />
    <IQTutorial IsShow="0" />
    <PuzzleTutorial IsShow="0" />
    <PushTutorial IsShow="0" />
    <ClickHere IsShow="0" />
    <UnlockMainMenu Puzzle="1" Battle="1" Push="1" IQ="1" Multi="1" />
</VanteoConfig>
"""


def read_run(path):
    directives = {"profile": "unlocked", "seconds": "300", "title": path.stem, "persona": ""}
    lines, shots, edits = [], [], []
    for raw in path.read_text().splitlines():
        line = raw.strip()
        if line.startswith("#"):
            key, _, value = line[1:].partition(":")
            if key.strip() == "edit":
                edits.append([part.strip() for part in value.split("|")])
            elif key.strip() in directives and value.strip():
                directives[key.strip()] = value.strip()
            continue
        if not line:
            continue
        parts = line.split()
        if len(parts) >= 3 and parts[1] == "shot":
            shots.append(parts[2])
        lines.append(line)
    directives["edits"] = edits
    return directives, lines, shots


def copy_run_folder(run, target):
    target.mkdir()
    for entry in sorted(run.iterdir()):
        if entry.name in SKIPPED:
            continue
        if entry.is_dir():
            shutil.copytree(entry, target / entry.name)
        else:
            shutil.copy2(entry, target / entry.name)


def start(role, path, run, work, seconds):
    """Starts the program of one script in its own copy of the run folder; (process, folder,
    directives, shots, stderr file)."""
    directives, lines, shots = read_run(path)
    folder, profile = work / role, work / f"{role}-profile"
    copy_run_folder(run, folder)
    profile.mkdir()
    if directives["persona"]:
        (profile / "persona.txt").write_text(directives["persona"] + "\n")
    if directives["profile"] == "unlocked":
        # A profile's persona names the player only over the stored default name.
        config = UNLOCKED_CONFIG.replace('"Gallery"', '"UserName"') if directives["persona"] else UNLOCKED_CONFIG
        (folder / "data/PlayData/QuiblyConfig.xml").write_text(config)
        unlocks = folder / "data/PlayData/QuiblyUnlockMenu.xml"
        unlocks.write_text(unlocks.read_text().replace('IsUnlock="0"', 'IsUnlock="1"'))
    for edit in directives["edits"]:
        file, before, after = (edit + ["", "", ""])[:3]
        target = folder / file
        text = target.read_text() if target.is_file() else ""
        if not before or before not in text:
            sys.exit(f"gallery: {path.name}: cannot edit {file}: \"{before}\" is not there")
        target.write_text(text.replace(before, after, 1))
    (folder / "script.txt").write_text("\n".join(lines) + "\n")
    env = dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy", ASAN_OPTIONS="detect_leaks=0",
               QUIBLY_DEBUG_OUTPUT="0", QUIBLY_AUTOMATION_FRAME_MS="16", QUIBLY_AUTOMATION_WAIT_LOADS="1",
               QUIBLY_PROFILE_DIR=str(profile), QUIBLY_ONLINE_DIR=str(work / "online"),
               QUIBLY_AUTOMATION="script.txt")
    err = open(folder / "stderr.txt", "wb")
    # A program that does not end on SIGTERM (a hang holds its main thread) is killed 10 s later.
    process = subprocess.Popen(["timeout", "-k", "10", str(seconds), "./Quibly"], cwd=folder, env=env, stderr=err,
                               stdout=subprocess.DEVNULL)
    return process, folder, directives, shots, err


def play(name, path, run, out):
    guest = path.with_name(f"{name}.guest.txt")
    seconds = int(read_run(path)[0]["seconds"])
    target = out / name
    shutil.rmtree(target, ignore_errors=True)
    target.mkdir(parents=True)
    with tempfile.TemporaryDirectory(prefix="gallery-") as work:
        work = pathlib.Path(work)
        roles = [("host", path)] + ([("guest", guest)] if guest.exists() else [])
        started = [(role, *start(role, script, run, work, seconds)) for role, script in roles]
        title = started[0][3]["title"]
        found, missing, statuses = [], [], []
        for role, process, folder, _, shots, err in started:
            status = process.wait()
            err.close()
            statuses.append("timeout" if status in (124, 137, -9) else status)
            # One program's screens keep their names; two programs' go under their role.
            prefix = f"{role}/" if len(started) > 1 else ""
            (target / prefix).mkdir(parents=True, exist_ok=True)
            for shot in shots:
                if (folder / shot).exists():
                    shutil.copy2(folder / shot, target / prefix / shot)
                    found.append(prefix + shot)
                else:
                    missing.append(prefix + shot)
            for log in ("stderr.txt", "Log_VODozivo.txt"):
                if (folder / log).exists():
                    shutil.copy2(folder / log, target / prefix / log)
    print(f"{name}: exit {' '.join(map(str, statuses))}, {len(found)} of {len(found) + len(missing)} screens" +
          (f", missing {' '.join(missing)}" if missing else ""))
    if found:
        sheet(title, target, found, out / f"{name}.png")
    return all(status == 0 for status in statuses) and not missing


def sheet(title, folder, shots, target):
    # Four screens a row at half size, each labelled with its name (and its program's role), in a
    # font every setup has (montage's default font may be missing, which fails the whole sheet).
    labelled = [part for shot in shots for part in ("-label", shot.removesuffix(".png"), str(folder / shot))]
    command = ["montage", "-font", "DejaVu-Sans", *labelled, "-tile", "4x", "-geometry", "512x384+6+6",
               "-pointsize", "18", "-background", "#20242c", "-fill", "white", "-title", title, str(target)]
    subprocess.run(command, check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--run", default=str(ROOT / "build/run"), help="the built run folder")
    parser.add_argument("--out", default=str(ROOT / "gallery"), help="where the screens and sheets go")
    parser.add_argument("names", nargs="*", help="runs to play (default: every script under runs/)")
    args = parser.parse_args()
    run, out = pathlib.Path(args.run).resolve(), pathlib.Path(args.out).resolve()
    if not (run / "Quibly").exists():
        sys.exit(f"gallery: no program in {run}; build first (make build)")
    if shutil.which("montage") is None:
        sys.exit("gallery: ImageMagick's montage is missing (tools/setup.sh installs it)")
    scripts = sorted(s for s in (HERE / "runs").glob("*.txt") if not s.name.endswith(".guest.txt"))
    if args.names:
        scripts = [s for s in scripts if s.stem in args.names]
    out.mkdir(parents=True, exist_ok=True)
    ok = all([play(s.stem, s, run, out) for s in scripts])
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
