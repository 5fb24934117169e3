#!/usr/bin/env python3
"""The batch row: `tavrenne-cli batch all --recurse` against `rhash -r --crc32 --md5 --sha1`
over one tree of files of 0 to 256 KiB, both read from the page cache, measured in the same run.
    batch.py TAVRENNE_CLI [folder, default /tmp] [--files N] [--runs N] [--keep]"""
import os
import random
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

        def best(cmd):
            times = []
            for _ in range(runs + 1):   # the first run only fills the page cache
                t = time.perf_counter()
                r = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                times.append(time.perf_counter() - t)
                # Empty files give no digest: status 1 is expected from the batch.
                if r.returncode not in (0, 1):
                    raise SystemExit("%s failed with %d" % (cmd[0], r.returncode))
            return min(times[1:])

        ours = best([cli, "batch", "all", "--recurse", root])
        print("batch: %d files, %.0f MiB, all three digests" % (files, total / 2**20))
        print("  tavrenne-cli batch all --recurse  %7.3f s  %7.1f MiB/s" % (ours, total / 2**20 / ours))
        if not rhash:
            print("  rhash missing: no ratio")
            return 0
        theirs = best([rhash, "-r", "--crc32", "--md5", "--sha1", root])
        print("  rhash -r --crc32 --md5 --sha1     %7.3f s  %7.1f MiB/s" % (theirs, total / 2**20 / theirs))
        print("  ratio (rhash time / ours)         %7.2fx  (target >= 1.2x)" % (theirs / ours))
    finally:
        if not keep:
            shutil.rmtree(root, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
