#!/usr/bin/env python3
"""The duplicate-search row: `tavrenne-cli same REF ROOT` against `find ROOT -xdev -type f -size Nc`
over one tree of at least 200,000 entries, both with the page cache warm, in the same run.
    same.py TAVRENNE_CLI [folder for the tree, default /tmp] [--root DIR] [--entries N] [--runs N] [--keep]
With --root an existing tree (for example /usr) is walked instead of a made one."""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time


def make_tree(base, entries):
    root = tempfile.mkdtemp(prefix="tavsame-", dir=base)
    rng = random.Random(62)
    made, d = 0, 0
    while made < entries:
        folder = os.path.join(root, "d%02d" % (d % 50), "e%05d" % d)
        os.makedirs(folder, exist_ok=True)
        made += 1
        for i in range(99):
            with open(os.path.join(folder, "f%02d" % i), "wb") as f:
                f.write(b"x" * rng.randint(0, 4096))
            made += 1
        d += 1
    return root


def main(argv):
    cli, base, root, entries, runs, keep = argv[1], "/tmp", None, 200000, 3, False
    args = argv[2:]
    while args:
        a = args.pop(0)
        if a == "--root":
            root = args.pop(0)
        elif a == "--entries":
            entries = int(args.pop(0))
        elif a == "--runs":
            runs = int(args.pop(0))
        elif a == "--keep":
            keep = True
        elif a in ("--size-mib", "--startup-runs"):
            args.pop(0)   # the other rows' options
        elif not a.startswith("--"):
            base = a
    made = root is None
    if made:
        root = make_tree(base, entries)
    try:
        # The reference: a file of a size few others share, so the row measures the walk.
        count, sizes, ref = 0, {}, None
        for folder, dirs, files in os.walk(root):
            count += 1 + len(files)
            for name in files:
                p = os.path.join(folder, name)
                try:
                    st = os.lstat(p)
                except OSError:
                    continue
                if os.path.isfile(p) and not os.path.islink(p):
                    sizes.setdefault(st.st_size, []).append(p)
        # Few matches and a small reference: the row measures the walk, not the hashing.
        ref = min(sizes.items(), key=lambda kv: (len(kv[1]), abs(kv[0] - 4000)) if kv[0] > 0 else (1 << 60, 0))[1][0]
        size = os.path.getsize(ref)

        def best(cmd):
            times, out = [], b""
            for _ in range(runs + 1):   # the first run only warms the page cache
                t = time.perf_counter()
                r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
                times.append(time.perf_counter() - t)
                out = r.stdout
            return min(times[1:]), out

        ours, found = best([cli, "same", ref, root])
        theirs, listed = best(["find", root, "-xdev", "-type", "f", "-size", "%dc" % size])
        print("duplicate search: %d entries in %s, reference of %d bytes" % (count, root, size))
        print("  tavrenne-cli same                  %7.3f s  (%d found)" % (ours, len(found.splitlines())))
        print("  find -xdev -type f -size %dc  %7.3f s  (%d listed)" % (size, theirs, len(listed.splitlines())))
        print("  ratio (find time / ours)           %7.2fx  (target >= 1.0x)" % (theirs / ours))
        if count < 200000:
            print("  note: fewer than 200,000 entries")
    finally:
        if made and not keep:
            shutil.rmtree(root, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
