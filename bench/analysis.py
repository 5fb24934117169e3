#!/usr/bin/env python3
"""The whole analysis of tavrenne-cli against its peers, its start-up, and how many times an
analysis reads its file.

  analysis.py TOOL [folder] [--size-mib N] [--runs N] [--startup-runs N] [--keep]

TOOL is the built tavrenne-cli. It runs from private copies (hard links where possible) in a
work folder under `folder` (default /tmp), so the program folder holds no tavr2.ini, no Cache
and nothing else unless a run puts it there; the test file sits in a folder of its own, so it
has no sidecar. Four parts, each printed as a table:

1. Analysis: `tavrenne-cli analyze -a FILE` of a file in the page cache, against
   `7zz h -scrcCRC32 -scrcSHA1 -scrcMD5 FILE`, `rhash --crc32 --md5 --sha1 FILE` and the MD5
   engine alone (`tavrenne-cli hash md5 FILE`). The commands run in turn within each round
   (the order rotates), so a machine that slows down during the bench slows them alike; the
   ratios use each command's best round, the median is shown beside it.
1b. SHA-256 and SHA-512 alone: `tavrenne-cli hash sha256 FILE` against `openssl dgst -sha256 -r
   FILE` and `sha256sum FILE` (the same for SHA-512), in turn within each round.
2. Start-up: `tavrenne-cli hash md5` of a 6-byte file against `md5sum`, spawned directly
   (no shell) in alternation, with /bin/true as the cost of the spawn itself.
3. Reads: the file is evicted from the page cache (POSIX_FADV_DONTNEED) before each analysis;
   the counters of the analyze process are read from /proc/PID/io after it exits and before it
   is reaped (waitid with WNOWAIT), so the reads of all its threads are in them. rchar (bytes
   returned by read()) over the file size counts the passes over the file; read_bytes over the
   file size is what came from the disk.

Every command's digests must agree; a mismatch or a failed command makes the exit status 1.
Timings never change the exit status.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

HEX_KINDS = {8: "CRC32", 32: "MD5", 40: "SHA-1"}
CACHE_INI = b"[Tavrix_2]\r\n#Use FileCache=1\r\n"


class BenchError(Exception):
    pass


def parse_args(argv):
    p = argparse.ArgumentParser(prog="analysis.py")
    p.add_argument("tool", help="the built tavrenne-cli")
    p.add_argument("folder", nargs="?", default="/tmp", help="where the work folder goes")
    p.add_argument("--size-mib", type=int, default=1024)
    p.add_argument("--runs", type=int, default=5, help="rounds of the analysis part")
    p.add_argument("--startup-runs", type=int, default=200, help="calls of each command")
    p.add_argument("--keep", action="store_true", help="keep the work folder and its test file")
    a = p.parse_args(argv)
    a.size_mib = max(1, a.size_mib)
    a.runs = max(1, a.runs)
    a.startup_runs = max(1, a.startup_runs)
    return a


def cpu_name():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown"


def load():
    return "%.2f %.2f %.2f" % os.getloadavg()


def resident(path):
    """Share of the file in the page cache, from util-linux fincore; None when unknown."""
    try:
        out = subprocess.run(["fincore", "--bytes", "--noheadings", "--output", "RES", path],
                             capture_output=True, text=True, check=True).stdout
        return int(out.split()[0]) / os.path.getsize(path)
    except (OSError, subprocess.CalledProcessError, ValueError, IndexError, ZeroDivisionError):
        return None


def percent(share):
    return "?" if share is None else "%.0f%%" % (share * 100)


def read_through(path):
    with open(path, "rb", buffering=0) as f:
        while f.read(1 << 20):
            pass


def evict(path):
    fd = os.open(path, os.O_RDONLY)
    try:
        os.fdatasync(fd)   # dirty pages cannot be dropped
        os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
    finally:
        os.close(fd)


def create_file(path, size):
    if os.path.exists(path) and os.path.getsize(path) == size:
        print("reusing %s" % path, file=sys.stderr)
        return
    print("creating %s (%d bytes)" % (path, size), file=sys.stderr)
    # Random bytes, so no layer below can shortcut the reads (no sparse file, no zero pages).
    with open(path, "wb") as f:
        left = size
        while left:
            n = min(left, 1 << 20)
            f.write(os.urandom(n))
            left -= n


def place_tool(tool, folder, ini=None):
    """A fresh program folder holding only a copy of the tool (and the settings file if given)."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    copy = os.path.join(folder, "tavrenne-cli")
    try:
        os.link(tool, copy)
    except OSError:
        shutil.copy2(tool, copy)
    if ini is not None:
        with open(os.path.join(folder, "tavr2.ini"), "wb") as f:
            f.write(ini)
    return copy


# --- digests as each command prints them, lower case, by kind ------------------------------

def digests_by_length(words):
    found = {}
    for w in words:
        if re.fullmatch(r"[0-9A-Fa-f]+", w) and len(w) in HEX_KINDS:
            found[HEX_KINDS[len(w)]] = w.lower()
    return found


def parse_ours(out):
    # The result lines: "CRC32:...", "MD5  :...", "SHA-1:...".
    found = {}
    for kind, hexa in re.findall(r"^(CRC32|MD5|SHA-1)\s*:\s*([0-9A-Fa-f]+)\s*$", out, re.M):
        found[kind] = hexa.lower()
    return found


def parse_7zz(out):
    names = {"CRC32": "CRC32", "SHA1": "SHA-1", "MD5": "MD5"}
    return {names[k]: v.lower() for k, v in re.findall(r"^(CRC32|SHA1|MD5)\s+for data:\s+([0-9A-Fa-f]+)", out, re.M)}


def parse_rhash(out):
    # "NAME  crc32 md5 sha1": the name comes first and is ours (no spaces).
    lines = [l for l in out.splitlines() if l.strip()]
    return digests_by_length(lines[-1].split()[1:]) if lines else {}


def parse_md5_line(out):
    return digests_by_length(out.split()[:1])


# --- running commands ----------------------------------------------------------------------

def run_captured(cmd):
    """Wall-clock seconds and standard output of one run; a failure ends the bench."""
    t0 = time.perf_counter()
    r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    seconds = time.perf_counter() - t0
    if r.returncode != 0:
        raise BenchError("%s exited with %d: %s" % (" ".join(cmd), r.returncode,
                                                     r.stderr.decode("utf-8", "replace").strip()))
    return seconds, r.stdout.decode("utf-8", "replace")


def spawn_and_wait(cmd, stdout_path):
    """Runs cmd with its output to stdout_path; returns (seconds, wait status, /proc/PID/io of the
    exited process). The process is waited for without being reaped (WNOWAIT): its counters,
    which by then hold the reads of every thread it had, are read, then it is reaped."""
    actions = [(os.POSIX_SPAWN_OPEN, 1, stdout_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)]
    t0 = time.perf_counter()
    pid = os.posix_spawn(cmd[0], cmd, os.environ, file_actions=actions)
    os.waitid(os.P_PID, pid, os.WEXITED | os.WNOWAIT)
    seconds = time.perf_counter() - t0
    io = {}
    with open("/proc/%d/io" % pid) as f:
        for line in f:
            key, value = line.split(":")
            io[key] = int(value)
    _, status = os.waitpid(pid, 0)
    return seconds, status, io


# --- 1. the whole analysis against its peers ----------------------------------------------

def analysis_part(tool, data, size, runs):
    commands = [
        ("tavrenne-cli analyze -a", [tool, "analyze", "-a", data], parse_ours, "ours"),
        ("7zz h -scrcCRC32 -scrcSHA1 -scrcMD5", ["7zz", "h", "-scrcCRC32", "-scrcSHA1", "-scrcMD5", data],
         parse_7zz, "peer"),
        ("rhash --crc32 --md5 --sha1", ["rhash", "--crc32", "--md5", "--sha1", data], parse_rhash, "peer"),
        ("tavrenne-cli hash md5 (MD5 alone)", [tool, "hash", "md5", data], parse_md5_line, "md5"),
    ]
    missing = [c[1][0] for c in commands if shutil.which(c[1][0]) is None]
    commands = [c for c in commands if c[1][0] not in missing]

    read_through(data)
    share = resident(data)
    load_before = load()
    print("measuring the analysis, %d rounds:" % runs, file=sys.stderr)
    times = {c[0]: [] for c in commands}
    found = {c[0]: {} for c in commands}
    for r in range(runs):
        k = r % len(commands)
        for name, cmd, parse, _ in commands[k:] + commands[:k]:
            seconds, out = run_captured(cmd)
            times[name].append(seconds)
            digests = parse(out)
            if r > 0 and digests != found[name]:
                digests = {"unstable": "yes"}
            found[name] = digests
            print("  %-40s %8.3f s" % (name, seconds), file=sys.stderr)

    # The reference is the first peer's, or ours when no peer ran; every row must agree with it.
    reference = next((found[c[0]] for c in commands if c[3] == "peer"), found[commands[0][0]])
    ok = True
    best = {name: min(t) for name, t in times.items()}
    median = {name: statistics.median(t) for name, t in times.items()}
    print()
    print("Whole analysis of a %d MiB file in the page cache (%s resident), %d rounds, commands in"
          " turn; MB = 10^6 bytes" % (size >> 20, percent(share), runs))
    print("load average before: %s, after: %s" % (load_before, load()))
    print("%-40s %8s %9s %8s  %s" % ("command", "best s", "median s", "MB/s", "check"))
    for name, _, _, role in commands:
        want = reference if role != "md5" else {"MD5": reference.get("MD5")}
        same = found[name] == want
        ok &= same
        print("%-40s %8.3f %9.3f %8.0f  %s" % (name, best[name], median[name], size / best[name] / 1e6,
                                               "ok" if same else "MISMATCH %s" % found[name]))
    for name in missing:
        print("%-40s not installed: no row" % name)

    ours = "tavrenne-cli analyze -a"
    peers = [c[0] for c in commands if c[3] == "peer"]
    if peers:
        fastest = min(peers, key=lambda n: best[n])
        print("analysis vs the faster peer (%s): %.2fx as fast (best of %d; median %.2fx); target: at least 1.5x"
              % (fastest.split()[0], best[fastest] / best[ours], runs, median[fastest] / median[ours]))
    md5 = "tavrenne-cli hash md5 (MD5 alone)"
    print("analysis vs the MD5 engine alone: %.2fx its time (best of %d; median %.2fx); target: within 1.15x"
          % (best[ours] / best[md5], runs, median[ours] / median[md5]))
    for kind in ("CRC32", "MD5", "SHA-1"):
        print("%s of the file: %s" % (kind, reference.get(kind, "?")))
    return ok


# --- 1b. SHA-256 and SHA-512 alone against openssl dgst and coreutils -----------------------

def first_word(out):
    words = out.split()
    return words[0].lower() if words else ""


def single_digest_part(tool, data, size, runs):
    ok = True
    read_through(data)
    share = resident(data)
    for kind, option, coreutil in (("sha256", "-sha256", "sha256sum"), ("sha512", "-sha512", "sha512sum")):
        commands = [
            ("tavrenne-cli hash %s" % kind, [tool, "hash", kind, data]),
            ("openssl dgst %s -r" % option, ["openssl", "dgst", option, "-r", data]),
            (coreutil, [coreutil, data]),
        ]
        commands = [c for c in commands if shutil.which(c[1][0]) is not None]
        load_before = load()
        print("measuring %s alone, %d rounds:" % (kind, runs), file=sys.stderr)
        times = {c[0]: [] for c in commands}
        found = {c[0]: None for c in commands}
        for r in range(runs):
            k = r % len(commands)
            for name, cmd in commands[k:] + commands[:k]:
                seconds, out = run_captured(cmd)
                times[name].append(seconds)
                digest = first_word(out)
                found[name] = digest if found[name] in (None, digest) else "unstable"
                print("  %-40s %8.3f s" % (name, seconds), file=sys.stderr)
        reference = found[commands[-1][0]]
        best = {name: min(t) for name, t in times.items()}
        median = {name: statistics.median(t) for name, t in times.items()}
        print()
        print("%s of a %d MiB file in the page cache (%s resident), %d rounds, commands in turn"
              % (kind.upper(), size >> 20, percent(share), runs))
        print("load average before: %s, after: %s" % (load_before, load()))
        print("%-40s %8s %9s %8s  %s" % ("command", "best s", "median s", "MB/s", "check"))
        for name, _ in commands:
            same = found[name] == reference and len(reference) in (64, 128)
            ok &= same
            print("%-40s %8.3f %9.3f %8.0f  %s" % (name, best[name], median[name], size / best[name] / 1e6,
                                                   "ok" if same else "MISMATCH %s" % found[name]))
        ours, dgst = commands[0][0], "openssl dgst %s -r" % option
        if dgst in best:
            print("tavrenne-cli hash %s vs openssl dgst: %.2fx as fast (best of %d; median %.2fx); target: at least 1.0x"
                  % (kind, best[dgst] / best[ours], runs, median[dgst] / median[ours]))
    return ok


# --- 2. start-up ---------------------------------------------------------------------------

def startup_part(tool, small, runs):
    commands = [
        ("tavrenne-cli hash md5 FILE", [tool, "hash", "md5", small]),
        ("md5sum FILE", [shutil.which("md5sum") or "/usr/bin/md5sum", small]),
        ("/bin/true (the spawn alone)", ["/bin/true"]),
    ]
    # One call each, checked, and a few to warm the caches.
    ours = run_captured(commands[0][1])[1].split()[:1]
    theirs = run_captured(commands[1][1])[1].split()[:1]
    ok = ours == theirs
    for _ in range(10):
        for _, cmd in commands:
            run_captured(cmd)

    load_before = load()
    print("measuring the start-up, %d calls each:" % runs, file=sys.stderr)
    times = {name: [] for name, _ in commands}
    devnull = os.open(os.devnull, os.O_WRONLY)
    try:
        for _ in range(runs):
            for name, cmd in commands:
                t0 = time.perf_counter()
                pid = os.posix_spawn(cmd[0], cmd, os.environ, file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1)])
                _, status = os.waitpid(pid, 0)
                times[name].append(time.perf_counter() - t0)
                if os.waitstatus_to_exitcode(status) != 0:
                    raise BenchError("%s failed" % " ".join(cmd))
    finally:
        os.close(devnull)

    print()
    print("Start-up: one call on a 6-byte file, %d calls each, alternating, spawned without a shell"
          % runs)
    print("load average before: %s, after: %s" % (load_before, load()))
    print("%-40s %8s %10s  %s" % ("command", "mean ms", "median ms", "check"))
    for i, (name, _) in enumerate(commands):
        t = times[name]
        check = ("ok" if ok else "MISMATCH %s vs %s" % (ours, theirs)) if i < 2 else ""
        print("%-40s %8.2f %10.2f  %s" % (name, statistics.mean(t) * 1e3, statistics.median(t) * 1e3, check))
    a, b = (statistics.mean(times[n]) for n, _ in commands[:2])
    print("tavrenne-cli vs md5sum: %.2fx its mean time per call; target: within 2x" % (a / b))
    return ok


# --- 3. reads of a file that is not in the page cache --------------------------------------

def reads_part(tool, data, size, reference, work, plain_folder, cached_folder):
    out_path = os.path.join(work, "out.txt")
    plain = place_tool(tool, plain_folder)
    cached = place_tool(tool, cached_folder, CACHE_INI)
    runs = [
        ("cache off (no tavr2.ini)", plain, 1),
        ("cache on, first analysis (miss)", cached, 2),
        ("cache on, second analysis (hit)", cached, 2),
    ]
    load_before = load()
    rows = []
    ok = True
    for name, copy, limit in runs:
        evict(data)
        before = resident(data)
        seconds, status, io = spawn_and_wait([copy, "analyze", "-a", data], out_path)
        with open(out_path, encoding="utf-8", errors="replace") as f:
            found = parse_ours(f.read())
        same = os.waitstatus_to_exitcode(status) == 0 and found == reference
        ok &= same
        cache = os.path.join(os.path.dirname(copy), "Cache")
        entries = len(os.listdir(cache)) if os.path.isdir(cache) else 0
        rows.append((name, before, io["rchar"] / size, io["read_bytes"] / size, seconds, entries, limit,
                     "ok" if same else "MISMATCH %s (status %d)" % (found, os.waitstatus_to_exitcode(status))))
    os.remove(out_path)

    print()
    print("Reads of a %d MiB file evicted from the page cache before each `tavrenne-cli analyze -a`"
          % (size >> 20))
    print("load average before: %s, after: %s" % (load_before, load()))
    print("%-34s %9s %7s %7s %7s %9s %8s  %s" % ("run", "resident", "passes", "disk", "at most", "seconds",
                                                "cached", "check"))
    for name, before, passes, disk, seconds, entries, limit, check in rows:
        print("%-34s %9s %7.2f %7.2f %7d %9.3f %8d  %s" % (name, percent(before), passes, disk, limit, seconds,
                                                         entries, check))
    print("passes: bytes the process got from read() (rchar) over the file size; disk: bytes it"
          " caused to be read\nfrom the disk (read_bytes) over the file size; both from /proc/PID/io"
          " of the exited analyze process.\nA later pass over a file that fits in memory comes from"
          " the page cache, so disk stays near 1 here;\nfor a file larger than memory each pass is"
          " a read from the disk. cached: files in the Cache folder after the run.")
    return ok


def main(argv):
    sys.stdout.reconfigure(line_buffering=True)   # the tables and the progress on stderr keep their order
    a = parse_args(argv)
    tool = os.path.abspath(a.tool)
    if not os.access(tool, os.X_OK):
        raise BenchError("no tool at %s: build tavrenne-cli first" % tool)
    size = a.size_mib << 20
    work = os.path.join(os.path.abspath(a.folder), "tavbench-analysis-%dMiB" % a.size_mib)
    files = os.path.join(work, "files")   # the test files only: no sidecar beside them
    os.makedirs(files, exist_ok=True)
    data = os.path.join(files, "data.bin")
    small = os.path.join(files, "six.bin")
    for entry in os.listdir(files):
        if entry != "data.bin":
            os.remove(os.path.join(files, entry))
    create_file(data, size)
    with open(small, "wb") as f:
        f.write(b"abcdef")

    plain_folder = os.path.join(work, "plain")
    tool_copy = place_tool(tool, plain_folder)
    print("CPU: %s; %d processors" % (cpu_name(), os.cpu_count() or 0))
    print("tool: %s (run from a private copy in %s)" % (tool, plain_folder))
    ok = True
    try:
        ok &= analysis_part(tool_copy, data, size, a.runs)
        ok &= single_digest_part(tool_copy, data, size, a.runs)
        reference = parse_ours(run_captured([tool_copy, "analyze", "-a", data])[1])
        ok &= startup_part(tool_copy, small, a.startup_runs)
        # The runs above must not have put a settings file, a cache or a sidecar anywhere.
        extra = sorted(set(os.listdir(plain_folder)) - {"tavrenne-cli"}) + \
            sorted(set(os.listdir(files)) - {"data.bin", "six.bin"})
        if extra:
            raise BenchError("the runs left files behind: %s" % ", ".join(extra))
        ok &= reads_part(tool, data, size, reference, work, plain_folder, os.path.join(work, "cached"))
    finally:
        if not a.keep:
            shutil.rmtree(work, ignore_errors=True)
    return 0 if ok else 1


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except BenchError as e:
        print("analysis.py: %s" % e, file=sys.stderr)
        sys.exit(1)
