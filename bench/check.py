#!/usr/bin/env python3
"""The check rows: `tavrenne-cli check` against coreutils' own `-c`, measured in the same run,
taking turns, the files in the page cache.

1. A list of 20,000 files of 0 to 256 KiB, against `KINDsum -c` (target: at least 2x as fast);
   with --window TAVVERIFYWINDOW also the batch window verifying the same list offscreen
   (bench/VerifyWindow.cpp, the whole program from start to its closing box) against
   `tavrenne-cli check` (target: at most 1.3x its time).
2. A list naming one 1 GiB file, against the engine alone, `tavrenne-cli hash KIND FILE`
   (target: within 1.1x of its time).

KIND is sha256 when the tool has it, md5 otherwise (--kind chooses). The CPU time (user +
system) is shown beside the wall time, since on a shared machine it varies less.
    check.py TAVRENNE_CLI [folder, default /tmp] [--files N] [--size-mib N] [--runs N] [--kind K] [--keep]
             [--window TAVVERIFYWINDOW] [--window-only]"""
import os
import random
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def timed(cmd, cwd):
    """Wall and CPU seconds of one run; the command must end with status 0."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = time.perf_counter()
    r = subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - t
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if r.returncode != 0:
        raise SystemExit("%s failed with %d: %s" % (" ".join(cmd), r.returncode, r.stderr.decode()[:500]))
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def rounds(cmds, runs, cwd):
    """Every command once to fill the page cache, then `runs` rounds in turns, the order
    rotating, so a machine that gets busier or quieter favours none of them."""
    for cmd in cmds:
        timed(cmd, cwd)
    results = [[] for _ in cmds]
    for i in range(runs):
        order = list(range(len(cmds)))
        order = order[i % len(order):] + order[:i % len(order)]
        for k in order:
            results[k].append(timed(cmds[k], cwd))
    return results


def show(label, results, size):
    wall = min(w for w, _ in results)
    cpu = min(c for _, c in results)
    print("  %-40s %7.3f s  %8.1f MiB/s  (CPU %.3f s; median %.3f s)" %
          (label, wall, size / 2**20 / wall, cpu, statistics.median(w for w, _ in results)))
    return wall


def main(argv):
    cli, base, files, size_mib, runs, kind, keep = os.path.abspath(argv[1]), "/tmp", 20000, 1024, 3, None, False
    window, window_only = None, False
    args = argv[2:]
    while args:
        a = args.pop(0)
        if a == "--files":
            files = int(args.pop(0))
        elif a == "--size-mib":
            size_mib = max(1, int(args.pop(0)))
        elif a == "--runs":
            runs = max(1, int(args.pop(0)))
        elif a == "--kind":
            kind = args.pop(0)
        elif a == "--keep":
            keep = True
        elif a == "--window":
            window = os.path.abspath(args.pop(0))
        elif a == "--window-only":
            window_only = True
        elif a == "--startup-runs":
            args.pop(0)   # another row's option
        elif not a.startswith("--"):
            base = a
    if kind is None:
        probe = subprocess.run([cli, "hash", "sha256", "-"], input=b"", capture_output=True)
        kind = "sha256" if probe.returncode == 0 else "md5"
    peer = kind + "sum"
    if not shutil.which(peer):
        print("check: %s missing: no rows" % peer)
        return 0

    root = tempfile.mkdtemp(prefix="tavcheck-", dir=base)
    try:
        # 1. Many small files.
        rng = random.Random(20)
        chunk = os.urandom(256 * 1024)
        total = 0
        names = []
        for i in range(files):
            folder = "d%03d" % (i // 200)
            os.makedirs(os.path.join(root, folder), exist_ok=True)
            name = "%s/f%05d.bin" % (folder, i)
            size = rng.randint(0, 256 * 1024)
            total += size
            with open(os.path.join(root, name), "wb") as f:
                f.write(chunk[:size])
            names.append(name)
        listing = subprocess.run([peer, "--"] + names, cwd=root, capture_output=True, check=True).stdout
        with open(os.path.join(root, "many.list"), "wb") as f:
            f.write(listing)
        ours_cmd = [cli, "check", "many.list"]
        theirs_cmd = [peer, "-c", "many.list"]
        if window:
            cli_runs, window_runs = rounds([ours_cmd, [window, "many.list"]], runs, root)
            print("check: the batch window, %d files, %.0f MiB, %s, best of %d" % (files, total / 2**20, kind, runs))
            cwall = show("tavrenne-cli check", cli_runs, total)
            wwall = show("batch window (offscreen)", window_runs, total)
            each = " ".join("%.2f" % (w[0] / c[0]) for c, w in zip(cli_runs, window_runs))
            print("  ratio (window time / tavrenne-cli check) %7.2fx  (target <= 1.3x; each round: %s)" %
                  (wwall / cwall, each))
            if window_only:
                return 0
        ours, theirs = rounds([ours_cmd, theirs_cmd], runs, root)
        print("check: %d files, %.0f MiB, %s, best of %d" % (files, total / 2**20, kind, runs))
        wall = show("tavrenne-cli check", ours, total)
        twall = show("%s -c" % peer, theirs, total)
        each = " ".join("%.2f" % (t[0] / o[0]) for o, t in zip(ours, theirs))
        print("  ratio (%s -c time / ours)%s %7.2fx  (target >= 2x; each round: %s)" %
              (peer, " " * (14 - len(peer)), twall / wall, each))

        # 2. One large file.
        big = os.path.join(root, "big.bin")
        block = os.urandom(1 << 20)
        with open(big, "wb") as f:
            for _ in range(size_mib):
                f.write(block)
        line = subprocess.run([cli, "hash", kind, "big.bin"], cwd=root, capture_output=True, check=True).stdout
        with open(os.path.join(root, "big.list"), "wb") as f:
            f.write(line)
        check_cmd = [cli, "check", "big.list"]
        engine_cmd = [cli, "hash", kind, "big.bin"]
        checked, alone = rounds([check_cmd, engine_cmd], runs, root)
        size = size_mib << 20
        print("check: one file of %d MiB, %s, best of %d" % (size_mib, kind, runs))
        wall = show("tavrenne-cli check", checked, size)
        ewall = show("tavrenne-cli hash %s (engine alone)" % kind, alone, size)
        each = " ".join("%.3f" % (o[0] / e[0]) for o, e in zip(checked, alone))
        print("  check / engine alone                     %7.3fx  (target <= 1.1x; each round: %s)" %
              (wall / ewall, each))
    finally:
        if not keep:
            shutil.rmtree(root, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
