#!/usr/bin/env python3
"""Records what a real Freestyle game sends to the sound card and counts clipping.

The built Pomlets runs on its own virtual X server with SDL's disk audio
driver, which writes every mixed sample to a file, at each music volume
given. For each volume the profile's volume is set, a Freestyle game is
started with real X input events and played with a row move or a row change
every 0.15 s (each makes a sound) for the given seconds, then ended with
Escape. Reported per volume: seconds recorded, the loudest sample, the
samples at full scale (+/-32767 or -32768) and the frames (one sample a
channel) holding one.

Usage: mix_clipping.py [--build build] [--play 40] [--volumes 25,85,100]
                       [--sounds DIR] [--music DIR]
--sounds and --music play other sound and music folders in place of the
built ones (to measure an older forge's). Needs Xvfb and xdotool.
"""
import argparse
import array
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from live_game import ROOT, fail, start_freestyle, start_x_server, windows_of, xdo  # noqa: E402


def set_volume(tool, folder, volume):
    plain = os.path.join(folder, "profile.txt")
    subprocess.run([tool, "decrypt", os.path.join(folder, "init", "6702"), plain], check=True)
    with open(plain, newline="") as f:
        lines = f.read().split("\r\n")
    lines[12] = str(volume)
    with open(plain, "w", newline="") as f:
        f.write("\r\n".join(lines))
    subprocess.run([tool, "encrypt", plain, os.path.join(folder, "init", "6702")], check=True)
    os.remove(plain)


def count(path):
    samples = array.array("h")
    with open(path, "rb") as f:
        samples.frombytes(f.read()[: os.path.getsize(path) // 4 * 4])
    full = sum(1 for s in samples if s >= 32767 or s <= -32767)
    frames = sum(1 for i in range(0, len(samples), 2)
                 if max(abs(samples[i]), abs(samples[i + 1])) >= 32767)
    loudest = max((abs(s) for s in samples), default=0)
    return len(samples) // 2 / 44100.0, loudest, full, frames


def play_once(folder, volume, seconds, record):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=record)
    env.pop("SDL_VIDEODRIVER", None)
    game = subprocess.Popen(["./Pomlets"], cwd=folder, env=env, stdout=subprocess.DEVNULL,
                            stderr=open(os.path.join(folder, "stderr.txt"), "w"))
    try:
        _, game_window = start_freestyle(game)
        time.sleep(3)
        xdo("windowfocus", game_window)
        time.sleep(0.5)
        keys = ("Left", "Up", "Right", "Left", "Down", "Right")
        end = time.monotonic() + seconds
        presses = 0
        while time.monotonic() < end and game_window in windows_of(game.pid, visible=False):
            xdo("key", keys[presses % len(keys)])
            presses += 1
            time.sleep(0.15)
        xdo("key", "Escape")
        time.sleep(2)
    finally:
        game.terminate()
        try:
            game.wait(10)
        except subprocess.TimeoutExpired:
            game.kill()
            game.wait()
    return count(record)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--play", type=float, default=40.0)
    parser.add_argument("--volumes", default="25,85,100")
    parser.add_argument("--sounds")
    parser.add_argument("--music")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool"):
        if not shutil.which(tool):
            fail("%s is not installed" % tool)
    build = os.path.abspath(args.build)
    program = os.path.join(build, "Pomlets")
    tool = os.path.join(build, "tests", "e2e", "e2e_datafile")
    if not os.access(tool, os.X_OK):
        fail("no %s: build the target e2e_datafile" % tool)

    work = tempfile.mkdtemp(prefix="pomlets-mix-")
    xvfb = None
    try:
        folder = os.path.join(work, "game")
        os.mkdir(folder)
        shutil.copy2(os.path.join(program, "Pomlets"), folder)
        for name in ("init", "levels"):
            shutil.copytree(os.path.join(program, name), os.path.join(folder, name))
        sources = {"sounds": args.sounds, "music": args.music}
        for name in ("images", "sounds", "music", "themes"):
            os.symlink(os.path.abspath(sources.get(name) or os.path.join(program, name)), os.path.join(folder, name))

        xvfb = start_x_server(577, 620)

        print("Freestyle, a row move or change every 0.15 s, SDL disk audio (S16, stereo)")
        for volume in (int(v) for v in args.volumes.split(",")):
            set_volume(tool, folder, volume)
            record = os.path.join(work, "mix-%d.raw" % volume)
            seconds, loudest, full, frames = play_once(folder, volume, args.play, record)
            print("  volume %3d: %5.1f s recorded, loudest %5d, %6d samples at full scale, %6d clipped frames" %
                  (volume, seconds, loudest, full, frames))
            os.remove(record)
    finally:
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
