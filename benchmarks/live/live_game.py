#!/usr/bin/env python3
"""Plays a real Freestyle game on its own virtual X server and measures it.

The built Pomlets runs on Xvfb (1280 x 1024) with silent audio, is driven to a
Freestyle game with real X input events (xdotool), plays untouched for a while,
is paused with P for a while, and is then stopped. During play an arrow key
is pressed every 0.6 s. Reported:
  - process CPU (all threads, renderer threads included), % of one core, in
    play and while paused, from /proc/<pid>/stat, and beside it the CPU of
    the X server, which turns what the game presents into pixels; the same
    from the scheduler's nanosecond counts (/proc/<pid>/task/*/schedstat),
    which show what clock ticks cannot (a paused game far below 0.1 %), and
    split by thread;
  - memory at the end of play: proportional set size (PSS, from
    smaps_rollup), resident (VmRSS) and its peak (VmHWM);
  - threads: the most seen in play (sampled every second) and while paused;
  - frame period: wall time between the starts of two presents, median and
    99th percentile, in play and while paused; and the wall time of one
    present. Presents are timed by a small preloaded library (flip_clock.c)
    that wraps SDL's present calls; the game itself is not changed;
  - with --startup N (and --bench, 10 runs), the time from the start of the
    process to its first window mapped on the X server (map_clock.c),
    median, minimum and maximum of N starts;
  - with --bench, the headless whole-frame median of bench_whole_frame.

Usage: live_game.py [--build build] [--play 30] [--pause 15] [--startup N] [--bench]
Needs Xvfb, xdotool and a C compiler. Exit status 0, or 1 on failure.
"""
import argparse
import json
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
TICKS = os.sysconf("SC_CLK_TCK")


def fail(message):
    print("live_game: " + message, file=sys.stderr)
    sys.exit(1)


def xdo(*args, check=False):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    if check and result.returncode != 0:
        fail("xdotool %s failed: %s" % (" ".join(map(str, args)), result.stderr.strip()))
    return result.stdout.strip()


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime, all threads


def thread_ns(pid):
    """The scheduler's CPU nanoseconds of every thread of the process, by
    thread id, with the thread's name."""
    threads = {}
    base = "/proc/%d/task" % pid
    for tid in os.listdir(base):
        try:
            with open(os.path.join(base, tid, "schedstat")) as f:
                ns = int(f.read().split()[0])
            with open(os.path.join(base, tid, "comm")) as f:
                name = f.read().strip()
        except (OSError, ValueError, IndexError):
            continue
        threads[int(tid)] = (name, ns)
    return threads


def thread_split(before, after, span):
    """CPU of each thread over the span, % of one core, by thread name (the
    threads of one name added), largest first; a thread that started in the
    span counts from 0, one that ended in it is not seen."""
    split = {}
    for tid, (name, ns) in after.items():
        start = before.get(tid, (name, 0))[1]
        split[name] = split.get(name, 0.0) + 100.0 * (ns - start) / 1e9 / span
    return sorted(split.items(), key=lambda item: -item[1])


def memory_kb(pid, key):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def thread_count(pid):
    return len(os.listdir("/proc/%d/task" % pid))


def pss_kb(pid):
    try:
        with open("/proc/%d/smaps_rollup" % pid) as f:
            for line in f:
                if line.startswith("Pss:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def windows_of(pid, visible=True):
    args = ["search"] + (["--onlyvisible"] if visible else []) + ["--pid", str(pid)]
    return [w for w in xdo(*args).split() if w]


def wait_window(pid, name, seconds, visible=True):
    end = time.time() + seconds
    while time.time() < end:
        for w in windows_of(pid, visible):
            if xdo("getwindowname", w) == name:
                return w
        time.sleep(0.1)
    return None


def geometry(window):
    values = dict(line.split("=", 1) for line in xdo("getwindowgeometry", "--shell", window).splitlines() if "=" in line)
    return {k: int(v) for k, v in values.items() if v.lstrip("-").isdigit()}


def start_x_server(first, last):
    """Starts Xvfb (1280 x 1024) on the first free display number in the
    range, points DISPLAY at it and waits until it answers."""
    display = next((n for n in range(first, last)
                    if not os.path.exists("/tmp/.X%d-lock" % n) and not os.path.exists("/tmp/.X11-unix/X%d" % n)),
                   None)
    if display is None:
        fail("no free X display number")
    xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.environ["DISPLAY"] = ":%d" % display
    for _ in range(100):
        if subprocess.run(["xdotool", "getmouselocation"], capture_output=True).returncode == 0:
            return xvfb
        time.sleep(0.1)
    xvfb.terminate()
    fail("Xvfb does not answer")


def start_freestyle(game):
    """Leads the started game from its welcome picture to a Freestyle game
    with real X input; returns the main window and the game window."""
    main_window = wait_window(game.pid, "Pomlets", 30)
    if not main_window:
        fail("the main window did not appear")
    time.sleep(2)
    menu_bar = geometry(main_window)["HEIGHT"] - 345

    def click(x, y):
        xdo("mousemove", "--window", main_window, x, y + menu_bar, "click", "1")
        time.sleep(0.5)

    def popup():
        others = [w for w in windows_of(game.pid) if w != main_window
                  and xdo("getwindowname", w) != "Click to resume play"]
        return others[-1] if others else None

    # The welcome picture leads to the mode choice; the mode list drops down.
    for _ in range(6):
        click(180, 296)
        click(120, 50)
        for _ in range(20):
            if popup():
                break
            time.sleep(0.1)
        if popup():
            break
        time.sleep(1)
    mode_list = popup()
    if not mode_list:
        fail("the mode list did not drop down")
    g = geometry(mode_list)
    xdo("mousemove", g["X"] + g["WIDTH"] // 2, g["Y"] + g["HEIGHT"] // 6, "click", "1")
    time.sleep(0.5)
    click(188, 320)  # Play
    game_window = wait_window(game.pid, "Click to resume play", 30, visible=False)
    if not game_window:
        fail("the game window did not appear")
    return main_window, game_window


def percentile(values, p):
    ordered = sorted(values)
    if not ordered:
        return float("nan")
    index = min(len(ordered) - 1, max(0, int(round(p / 100.0 * (len(ordered) - 1)))))
    return ordered[index]


def flips(path):
    with open(path, "rb") as f:
        data = f.read()
    return [struct.unpack_from("qq", data, i) for i in range(0, len(data) - len(data) % 16, 16)]


def phase_figures(all_flips, start_ns, end_ns):
    inside = [f for f in all_flips if start_ns <= f[0] <= end_ns]
    periods = [(b[0] - a[0]) / 1e6 for a, b in zip(inside, inside[1:])]
    presents = [(f[1] - f[0]) / 1e6 for f in inside]
    # The loop's own part: from the end of one present to the start of the next.
    gaps = [(b[0] - a[1]) / 1e6 for a, b in zip(inside, inside[1:])]
    return {
        "gap_median": statistics.median(gaps) if gaps else float("nan"),
        "gap_p99": percentile(gaps, 99),
        "frames": len(inside),
        "median": statistics.median(periods) if periods else float("nan"),
        "p99": percentile(periods, 99),
        "present": statistics.median(presents) if presents else float("nan"),
    }


def bench_median(build):
    bench = os.path.join(build, "benchmarks", "bench_whole_frame")
    if not os.path.exists(bench):
        bench = os.path.join(build, "bench_whole_frame")
    if not os.path.exists(bench):
        return None
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
    out = subprocess.run([bench, "--benchmark_format=json"], capture_output=True, text=True, env=env).stdout
    try:
        return "%.3f" % json.loads(out)["benchmarks"][0]["median_ms"]
    except (ValueError, KeyError, IndexError):
        return "(no result)"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--play", type=float, default=30.0, help="seconds of play measured")
    parser.add_argument("--pause", type=float, default=15.0, help="seconds of pause measured")
    parser.add_argument("--startup", type=int, default=0, help="starts timed to the first window mapped")
    parser.add_argument("--keys", type=float, default=0.6, help="seconds between arrow keys in play (0: none)")
    parser.add_argument("--bench", action="store_true", help="also run bench_whole_frame and 10 timed starts")
    args = parser.parse_args()

    if args.bench and not args.startup:
        args.startup = 10
    for tool in ("Xvfb", "xdotool", "cc"):
        if not shutil.which(tool):
            fail("%s is not installed" % tool)
    program = os.path.join(os.path.abspath(args.build), "Pomlets")
    if not os.access(os.path.join(program, "Pomlets"), os.X_OK):
        fail("no built game in %s" % program)

    work = tempfile.mkdtemp(prefix="pomlets-live-")
    processes = []

    def stop(process):
        if process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    try:
        shim = os.path.join(work, "flip_clock.so")
        subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-o", shim, os.path.join(HERE, "flip_clock.c"), "-ldl"],
                       check=True)
        map_clock = os.path.join(work, "map_clock")
        if args.startup:
            subprocess.run(["cc", "-O2", "-o", map_clock, os.path.join(HERE, "map_clock.c"), "-lX11"], check=True)
        # A scratch program folder: executable and data files copied, large assets linked.
        folder = os.path.join(work, "game")
        os.mkdir(folder)
        shutil.copy2(os.path.join(program, "Pomlets"), folder)
        for name in ("init", "levels"):
            shutil.copytree(os.path.join(program, name), os.path.join(folder, name))
        for name in ("images", "sounds", "music", "themes"):
            if os.path.exists(os.path.join(program, name)):
                os.symlink(os.path.join(program, name), os.path.join(folder, name))

        xvfb = start_x_server(131, 170)
        processes.append(xvfb)

        starts = []
        for _ in range(args.startup):
            env = dict(os.environ, QT_QPA_PLATFORM="xcb", SDL_AUDIODRIVER="dummy")
            env.pop("SDL_VIDEODRIVER", None)
            out = subprocess.run([map_clock, "20", "./Pomlets"], cwd=folder, env=env, capture_output=True,
                                 text=True)
            if out.returncode != 0 or not out.stdout.strip():
                fail("the program did not map a window at start")
            starts.append(float(out.stdout))

        flip_log = os.path.join(work, "flips.bin")
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", SDL_AUDIODRIVER="dummy", LD_PRELOAD=shim,
                   POMLETS_FLIP_LOG=flip_log)
        env.pop("SDL_VIDEODRIVER", None)
        game = subprocess.Popen(["./Pomlets"], cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                stderr=open(os.path.join(work, "stderr.txt"), "w"))
        processes.insert(0, game)

        _, game_window = start_freestyle(game)
        time.sleep(3)  # the loading screen and the first frames
        xdo("windowfocus", game_window)
        time.sleep(1)

        def key(name):
            xdo("keydown", name)
            time.sleep(0.1)
            xdo("keyup", name)

        arrows = ("Left", "Up", "Right", "Down")

        def measure(seconds, keys):
            """CPU of the game and of the X server over the span, % of one
            core, and the most threads the game had in it."""
            start_ns, cpu0, x0 = time.monotonic_ns(), cpu_seconds(game.pid), cpu_seconds(xvfb.pid)
            ns0, xns0 = thread_ns(game.pid), thread_ns(xvfb.pid)
            end = time.monotonic() + seconds
            threads, presses, next_sample = thread_count(game.pid), 0, time.monotonic() + 1
            while time.monotonic() < end:
                if keys:
                    key(arrows[presses % len(arrows)])
                    presses += 1
                    pause_until = min(end, start_ns / 1e9 + presses * keys)
                else:
                    pause_until = min(end, next_sample)
                if time.monotonic() >= next_sample:
                    threads = max(threads, thread_count(game.pid))
                    next_sample += 1
                time.sleep(max(0.0, pause_until - time.monotonic()))
            end_ns, cpu1, x1 = time.monotonic_ns(), cpu_seconds(game.pid), cpu_seconds(xvfb.pid)
            ns1, xns1 = thread_ns(game.pid), thread_ns(xvfb.pid)
            threads = max(threads, thread_count(game.pid))
            span = (end_ns - start_ns) / 1e9
            split = thread_split(ns0, ns1, span)
            x_split = thread_split(xns0, xns1, span)
            return (start_ns, end_ns, 100.0 * (cpu1 - cpu0) / span, 100.0 * (x1 - x0) / span, threads,
                    sum(p for _, p in split), sum(p for _, p in x_split), split)

        play = measure(args.play, args.keys)
        rss, pss = memory_kb(game.pid, "VmRSS"), pss_kb(game.pid)
        still_playing = game_window in windows_of(game.pid)
        key("p")
        time.sleep(2)
        pause = measure(args.pause, 0)
        hwm = memory_kb(game.pid, "VmHWM")
        key("p")
        time.sleep(1)
        stop(game)

        all_flips = flips(flip_log)
        in_play = phase_figures(all_flips, play[0], play[1])
        in_pause = phase_figures(all_flips, pause[0], pause[1])
        print("Freestyle on Xvfb 1280x1024, %.0f s play, %.0f s paused%s" %
              (args.play, args.pause, "" if still_playing else " (the game had ended before the pause)"))
        print("  process CPU, %% of one core:   play %6.2f   paused %6.2f" % (play[2], pause[2]))
        print("  X server CPU, %% of one core:  play %6.2f   paused %6.2f" % (play[3], pause[3]))
        print("  scheduler, %% of one core:     play %9.4f   paused %9.4f" % (play[5], pause[5]))
        print("  X server, scheduler:          play %9.4f   paused %9.4f" % (play[6], pause[6]))
        paused_split = dict(pause[7])
        for name, percent in play[7]:
            print("    thread %-18s      play %9.4f   paused %9.4f" % (name, percent, paused_split.pop(name, 0.0)))
        for name, percent in paused_split.items():
            print("    thread %-18s      play %9.4f   paused %9.4f" % (name, 0.0, percent))
        print("  threads:                      play %6d   paused %6d" % (play[4], pause[4]))
        print("  memory at the end of play:    PSS %.1f MB, resident %.1f MB (peak %.1f MB)" %
              (pss / 1024.0, rss / 1024.0, hwm / 1024.0))
        if starts:
            print("  start to first window mapped: median %.1f ms (min %.1f, max %.1f; %d starts)" %
                  (statistics.median(starts), min(starts), max(starts), len(starts)))
        for name, figures in (("play", in_play), ("paused", in_pause)):
            print("  frame period, %-6s (ms):     median %6.2f   p99 %6.2f   (%d frames)" %
                  (name, figures["median"], figures["p99"], figures["frames"]))
            print("    present (median) %.2f ms; present end to next start: median %.2f, p99 %.2f" %
                  (figures["present"], figures["gap_median"], figures["gap_p99"]))
        if args.bench:
            print("  headless whole frame median:  %s ms" % bench_median(os.path.abspath(args.build)))
    finally:
        for process in processes:
            stop(process)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
