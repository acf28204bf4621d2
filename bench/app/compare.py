#!/usr/bin/env python3
"""Two builds of the app side by side on one Xvfb, runs interleaved, medians.

    bench/app/compare.py OLD_BUILD NEW_BUILD [--runs 5] [--screens 320x480,768x1024]

Per screen size: a scripted `frames 600` (wall time and CPU of all threads,
start-up included), exec to first presented frame, and a live run: CPU while
the globe spins and after a tap has stopped it (per cent of one core, all
threads), peak resident memory, and resident memory without the GL driver's
mappings (libLLVM, the *_dri.so driver). Needs Xvfb and xdotool.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

DRIVER_MAPPINGS = ("libLLVM", "_dri.so")
# The banner asks this address; nothing listens there, so no one's server is bothered.
QUIET_ADS = "http://127.0.0.1:9"


def start_xvfb(width, height):
    for display in range(71, 120):
        if os.path.exists(f"/tmp/.X11-unix/X{display}") or os.path.exists(f"/tmp/.X{display}-lock"):
            continue
        proc = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{display}"):
                return proc, f":{display}"
            if proc.poll() is not None:
                break
            time.sleep(0.05)
        proc.kill()
    sys.exit("compare: no Xvfb display could be started")


def app_command(build, screen, docs, *extra):
    return [os.path.join(build, "app", "terrabo"), "--screen", screen, "--documents", docs,
            "--ads-base", QUIET_ADS, *extra]


def cpu_seconds(pid):
    # utime + stime of the whole process, every thread counted.
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def memory(pid):
    peak = 0
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                peak = int(line.split()[1])
    total = driver = 0
    name = ""
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            parts = line.split()
            if not parts:
                continue
            if "-" in parts[0] and len(parts) >= 5 and not parts[0].endswith(":"):
                name = parts[5] if len(parts) > 5 else ""
            elif parts[0] == "Rss:":
                kib = int(parts[1])
                total += kib
                if any(m in name for m in DRIVER_MAPPINGS):
                    driver += kib
    return peak / 1024, total / 1024, (total - driver) / 1024


def scripted_frames(build, screen, docs, script):
    start = time.monotonic()
    proc = subprocess.Popen(app_command(build, screen, docs, "--script", script),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    if status != 0:
        print(f"warning: {build} frames 600 at {screen} ended with status {status}", file=sys.stderr)
    return wall, usage.ru_utime + usage.ru_stime


def first_paint(build, screen, docs):
    env = dict(os.environ, TERRABO_EXIT_AFTER_FIRST_FRAME="1")
    start = time.monotonic()
    proc = subprocess.Popen(app_command(build, screen, docs), env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    elapsed = None
    for line in proc.stderr:
        if "first frame" in line:
            elapsed = (time.monotonic() - start) * 1000
            break
    proc.kill()
    proc.wait()
    return elapsed


def live(build, screen, docs, settle, window):
    proc = subprocess.Popen(app_command(build, screen, docs), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(proc.pid)],
                               capture_output=True, text=True, timeout=60).stdout.split()
        time.sleep(settle)

        def core_share():
            c0, t0 = cpu_seconds(proc.pid), time.monotonic()
            time.sleep(window)
            return (cpu_seconds(proc.pid) - c0) / (time.monotonic() - t0) * 100

        spinning = core_share()
        # A tap inside the stop band stops the globe.
        width = int(screen.split("x")[0])
        if found:
            subprocess.run(["xdotool", "mousemove", "--window", found[0], str(width // 2), "240",
                            "click", "1"], check=False)
        time.sleep(1.0)
        stopped = core_share()
        peak, rss, rss_app = memory(proc.pid)
        return spinning, stopped, peak, rss, rss_app
    finally:
        proc.kill()
        proc.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--screens", default="320x480,768x1024,1536x2048")
    parser.add_argument("--settle", type=float, default=2.0, help="seconds before the live CPU is sampled")
    parser.add_argument("--window", type=float, default=5.0, help="seconds of each live CPU sample")
    parser.add_argument("--skip-frames", action="store_true", help="leave out the scripted frames 600")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool"):
        if not shutil.which(tool):
            sys.exit(f"compare: {tool} is missing")

    screens = args.screens.split(",")
    wide = max(int(s.split("x")[0]) for s in screens) + 64
    tall = max(int(s.split("x")[1]) for s in screens) + 64
    xvfb, display = start_xvfb(wide, tall)
    os.environ["DISPLAY"] = display
    work = tempfile.mkdtemp(prefix="terrabo-compare-")
    script = os.path.join(work, "600.script")
    with open(script, "w") as f:
        f.write("frames 600\n")
    builds = {"old": args.old, "new": args.new}
    samples = {}

    def add(build, screen, metric, value):
        if value is not None:
            samples.setdefault((screen, metric), {}).setdefault(build, []).append(value)

    try:
        for run in range(args.runs):
            for screen in screens:
                for key, build in builds.items():
                    docs = os.path.join(work, key)
                    if not args.skip_frames:
                        wall, cpu = scripted_frames(build, screen, docs, script)
                        add(key, screen, "frames 600: wall s", wall)
                        add(key, screen, "frames 600: CPU s (all threads)", cpu)
                    add(key, screen, "exec to first paint: ms", first_paint(build, screen, docs))
                    spinning, stopped, peak, rss, rss_app = live(build, screen, docs, args.settle, args.window)
                    add(key, screen, "live CPU spinning: % of a core", spinning)
                    add(key, screen, "live CPU stopped: % of a core", stopped)
                    add(key, screen, "peak RSS: MiB", peak)
                    add(key, screen, "RSS: MiB", rss)
                    add(key, screen, "RSS without GL driver: MiB", rss_app)
            print(f"run {run + 1} of {args.runs} done", file=sys.stderr)
    finally:
        xvfb.kill()
        xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)

    print(f"old: {args.old}\nnew: {args.new}\nmedians of {args.runs}, interleaved, one Xvfb\n")
    print("| screen | measure | old | new | new / old |")
    print("|---|---|---:|---:|---:|")
    for (screen, metric), by in samples.items():
        old = statistics.median(by["old"]) if by.get("old") else None
        new = statistics.median(by["new"]) if by.get("new") else None
        ratio = f"{new / old:.2f}" if old and new is not None else "-"
        fmt = lambda v: "-" if v is None else f"{v:.1f}" if abs(v) >= 10 else f"{v:.2f}"
        print(f"| {screen} | {metric} | {fmt(old)} | {fmt(new)} | {ratio} |")


if __name__ == "__main__":
    main()
