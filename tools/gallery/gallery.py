#!/usr/bin/env python3
"""The gallery run: plays one automation script per mode and per pop-up in the real program,
headless, keeps every screen each script saves, and lays them out as one contact sheet per run.

Each run gets a fresh copy of the run folder (without a pack or a log from earlier runs) and a
fresh profile. A script under runs/ opens with directive lines:
    # profile: fresh     the first run of a new player (the story opening not seen yet)
    # profile: unlocked  every mode and sub-menu open, the story and the tutorials seen
    # seconds: N         time limit of the run (default 300)
    # title: text        the sheet's title
The other lines are automation lines (`<frame> <action> <arguments>`, see the README); every
`shot` of a script lands on its sheet in the order of the script.

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
    directives = {"profile": "unlocked", "seconds": "300", "title": path.stem}
    lines, shots = [], []
    for raw in path.read_text().splitlines():
        line = raw.strip()
        if line.startswith("#"):
            key, _, value = line[1:].partition(":")
            if key.strip() in directives and value.strip():
                directives[key.strip()] = value.strip()
            continue
        if not line:
            continue
        parts = line.split()
        if len(parts) >= 3 and parts[1] == "shot":
            shots.append(parts[2])
        lines.append(line)
    return directives, lines, shots


def copy_run_folder(run, target):
    for entry in sorted(run.iterdir()):
        if entry.name in SKIPPED:
            continue
        if entry.is_dir():
            shutil.copytree(entry, target / entry.name)
        else:
            shutil.copy2(entry, target / entry.name)


def play(name, path, run, out):
    directives, lines, shots = read_run(path)
    with tempfile.TemporaryDirectory(prefix="gallery-") as work:
        work = pathlib.Path(work)
        folder, profile = work / "run", work / "profile"
        folder.mkdir()
        profile.mkdir()
        copy_run_folder(run, folder)
        if directives["profile"] == "unlocked":
            (folder / "data/PlayData/QuiblyConfig.xml").write_text(UNLOCKED_CONFIG)
            unlocks = folder / "data/PlayData/QuiblyUnlockMenu.xml"
            unlocks.write_text(unlocks.read_text().replace('IsUnlock="0"', 'IsUnlock="1"'))
        (folder / "script.txt").write_text("\n".join(lines) + "\n")
        env = dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy", ASAN_OPTIONS="detect_leaks=0",
                   QUIBLY_DEBUG_OUTPUT="0", QUIBLY_AUTOMATION_FRAME_MS="16", QUIBLY_AUTOMATION_WAIT_LOADS="1",
                   QUIBLY_PROFILE_DIR=str(profile), QUIBLY_ONLINE_DIR=str(work / "online"),
                   QUIBLY_AUTOMATION="script.txt")
        seconds = int(directives["seconds"])
        with open(folder / "stderr.txt", "wb") as err:
            try:
                status = subprocess.run(["./Quibly"], cwd=folder, env=env, stderr=err, stdout=subprocess.DEVNULL,
                                        timeout=seconds).returncode
            except subprocess.TimeoutExpired:
                status = "timeout"
        target = out / name
        shutil.rmtree(target, ignore_errors=True)
        target.mkdir(parents=True)
        found = []
        for shot in shots:
            if (folder / shot).exists():
                shutil.copy2(folder / shot, target / shot)
                found.append(shot)
        for log in ("stderr.txt", "Log_VODozivo.txt"):
            if (folder / log).exists():
                shutil.copy2(folder / log, target / log)
    missing = [s for s in shots if s not in found]
    print(f"{name}: exit {status}, {len(found)} of {len(shots)} screens" + (f", missing {' '.join(missing)}" if missing else ""))
    if found:
        sheet(name, directives["title"], target, found, out / f"{name}.png")
    return status == 0 and not missing


def sheet(name, title, folder, shots, target):
    # Four screens a row at half size, each labelled with its file name, in a font every setup has
    # (montage's default font may be missing, which fails the whole sheet).
    command = ["montage", "-font", "DejaVu-Sans", "-label", "%t", *[str(folder / s) for s in shots], "-tile", "4x", "-geometry", "512x384+6+6",
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
    scripts = sorted((HERE / "runs").glob("*.txt"))
    if args.names:
        scripts = [s for s in scripts if s.stem in args.names]
    out.mkdir(parents=True, exist_ok=True)
    ok = all([play(s.stem, s, run, out) for s in scripts])
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
