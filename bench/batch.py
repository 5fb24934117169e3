#!/usr/bin/env python3
"""The batch row: `tavrenne-cli batch all --recurse` against `rhash -r --crc32 --md5 --sha1`
over one tree of files of 0 to 256 KiB, both read from the page cache, measured in the same run,
taking turns; the CPU time (user + system) is shown beside the wall time, since on a shared
machine it varies less.
    batch.py TAVRENNE_CLI [folder, default /tmp] [--files N] [--runs N] [--keep]"""
import os
import random
import resource
import shutil
import subprocess
import sys
import tempfile
import time


def main(argv):
    cli, base, files, runs, keep = argv[1], "/tmp", 20000, 3, False
    args = argv[2:]
    while args:
        a = args.pop(0)
        if a == "--files":
            files = int(args.pop(0))
        elif a == "--runs":
            runs = int(args.pop(0))
        elif a == "--keep":
            keep = True
        elif a in ("--size-mib", "--startup-runs"):
            args.pop(0)   # the other rows' options
        elif not a.startswith("--"):
            base = a
    rhash = shutil.which("rhash")
    root = tempfile.mkdtemp(prefix="tavbatch-", dir=base)
    try:
        rng = random.Random(20)
        chunk = os.urandom(256 * 1024)
        total = 0
        for i in range(files):
            folder = os.path.join(root, "d%03d" % (i // 200))
            os.makedirs(folder, exist_ok=True)
            size = rng.randint(0, 256 * 1024)
            total += size
            with open(os.path.join(folder, "f%05d.bin" % i), "wb") as f:
                f.write(chunk[:size])

        ours_cmd = [cli, "batch", "all", "--recurse", root]
        theirs_cmd = [rhash, "-r", "--crc32", "--md5", "--sha1", root] if rhash else None

        def timed(cmd):
            """Wall and CPU (user + system) seconds of one run."""
            before = resource.getrusage(resource.RUSAGE_CHILDREN)
            t = time.perf_counter()
            r = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wall = time.perf_counter() - t
            after = resource.getrusage(resource.RUSAGE_CHILDREN)
            # Empty files give no digest: status 1 is expected from the batch.
            if r.returncode not in (0, 1):
                raise SystemExit("%s failed with %d" % (cmd[0], r.returncode))
            cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
            return wall, cpu

        # The first round only fills the page cache. The two take turns, and swap who goes first,
        # so a machine that gets busier or quieter during the bench favours neither.
        cmds = [ours_cmd] + ([theirs_cmd] if theirs_cmd else [])
        for cmd in cmds:
            timed(cmd)
        ours, theirs = [], []
        for i in range(runs):
            order = [(ours_cmd, ours), (theirs_cmd, theirs)][: len(cmds)]
            if i % 2:
                order.reverse()
            for cmd, results in order:
                results.append(timed(cmd))

        def best(results):
            return min(w for w, _ in results), min(c for _, c in results)

        print("batch: %d files, %.0f MiB, all three digests, best of %d" % (files, total / 2**20, runs))
        wall, cpu = best(ours)
        print("  tavrenne-cli batch all --recurse  %7.3f s  %7.1f MiB/s  (CPU %.3f s)" %
              (wall, total / 2**20 / wall, cpu))
        if not theirs_cmd:
            print("  rhash missing: no ratio")
            return 0
        twall, tcpu = best(theirs)
        print("  rhash -r --crc32 --md5 --sha1     %7.3f s  %7.1f MiB/s  (CPU %.3f s)" %
              (twall, total / 2**20 / twall, tcpu))
        rounds = " ".join("%.2f" % (t[0] / o[0]) for o, t in zip(ours, theirs))
        print("  ratio (rhash time / ours)         %7.2fx  (target >= 1.2x; each round: %s)" % (twall / wall, rounds))
        print("  CPU ratio (rhash CPU / ours)      %7.2fx" % (tcpu / cpu))
    finally:
        if not keep:
            shutil.rmtree(root, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
