#!/usr/bin/env python3
"""Times whole runs of setup.exe under Wine, this build against a baseline build, measured in the same run.

Two media per build, each with the build's setup.exe and ZSRES.DLL and the same stand-in main module
(record_command_line.exe of --build):
  heavy  the main module and start-up files stored compressed (a corpus of text and binaries from this
         machine, --megabytes in all, in --files files, compressed with the native zemcmp);
  light  the main module alone.
Every run is `setup.exe /QUIET /LANG=English` through scripts/wine/wine-run.sh in a running Wine session,
timed from outside. The builds take turns round after round (the order swapped every round). Per build the
figures are the best and the median run; the staging of the start-up files is heavy minus light of the same
round. The ratios (build / baseline, time, so below 1 is faster) are taken best against best and as the median
of the rounds' own ratios.

With --sealed there is no baseline build: --build's setup.exe runs on media whose SETUP.LST seals every
start-up file (each staged file hashed as it is written) against the same media without the seals, so that the
ratio is the cost of the hashing (sealed / unsealed).

Usage: setup_run_bench.py --build BIN_DIR (--baseline BIN_DIR | --sealed) [--zemcmp PATH] [--rounds N]
                          [--megabytes N] [--files N]
  BIN_DIR: a Windows build's bin directory (setup.exe, ZSRES.DLL); --build must also hold
  record_command_line.exe. Set ZS_WINEPREFIX to the prefix to use. Both builds must run under this Wine (an
  i686 build needs the 32-bit Wine)."""

import argparse
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(SOURCE_DIR / "tests" / "support" / "e2e"))
sys.path.insert(0, str(SOURCE_DIR / "bench"))

from run_benchmarks import build_corpus  # noqa: E402
from winharness import WINE_RUN, WINE_SESSION, MediaDir, windows_path  # noqa: E402

MAIN_MODULE = "_SETUP.EXE"


def list_file(files, tmp_dir, seals):
    entries = "".join(f"{i}={name}\r\n" for i, name in enumerate(files, start=1))
    sealed = "".join(f"{name}=sha256:{seals[name]}\r\n" for name in files) if seals else ""
    return ("[SetupLang]\r\n0=E\r\n1=English,E\r\n\r\n[StartUp]\r\nAppName=Bench\r\nTmpDirSize=1024\r\n"
            f"TmpDirName={tmp_dir}\r\n{entries}" + (f"\r\n[StartUpSeals]\r\n{sealed}" if seals else ""))


def compressed_files(zemcmp, megabytes, count, work):
    """The start-up files, compressed: {compressed name: bytes}, the SHA-256 of each plain file by its name, and
    the plain size."""
    corpus = work / "corpus"
    build_corpus(str(corpus), megabytes)
    data = corpus.read_bytes()
    part = len(data) // count
    plain = work / "plain"
    plain.mkdir()
    names = [f"DATA{i}.BIN" for i in range(1, count + 1)]
    seals = {}
    for i, name in enumerate(names):
        contents = data[i * part:(i + 1) * part]
        (plain / name).write_bytes(contents)
        seals[name] = hashlib.sha256(contents).hexdigest()
    packed = work / "packed"
    packed.mkdir()
    subprocess.run([zemcmp, "compress", "-q", *[str(plain / n) for n in names], "-d", str(packed)], check=True)
    return {p.name: p.read_bytes() for p in sorted(packed.iterdir())}, seals, count * part


class Medium:
    def __init__(self, bin_dir, main_module, files, label, seals=None):
        """FILES: {compressed name: bytes}; SEALS: the SHA-256 of each start-up file by its name, for a sealed
        list file."""
        self.dir = MediaDir(f"bench-{label}")
        self.dir.__enter__()
        self.dir.copy(bin_dir / "setup.exe")
        self.dir.copy(bin_dir / "ZSRES.DLL")
        self.dir.copy(main_module, MAIN_MODULE)
        for name, data in files.items():
            self.dir.write(name, data)
        names = [MAIN_MODULE] + sorted(name[:-1] + "N" for name in files)
        if seals is not None:
            seals = dict(seals, **{MAIN_MODULE: hashlib.sha256(Path(main_module).read_bytes()).hexdigest()})
        # The list file's values hold at most 31 characters: a short directory in the root of drive C:.
        self.dir.write("SETUP.LST", list_file(names, f"C:\\ZSBENCH-{label}-{'H' if files else 'L'}", seals))
        self.record = self.dir.path / "command-line.txt"

    def run(self):
        os.environ["ZS_TEST_COMMAND_LINE_FILE"] = windows_path(self.record)
        self.record.unlink(missing_ok=True)
        start = time.perf_counter()
        result = subprocess.run([str(WINE_RUN), "--timeout", "120", str(self.dir.path / "setup.exe"), "/QUIET",
                                 "/LANG=English"], cwd=self.dir.path, capture_output=True, text=True,
                                errors="replace", stdin=subprocess.DEVNULL)
        elapsed = time.perf_counter() - start
        if result.returncode != 0 or not self.record.exists():
            sys.exit(f"setup.exe failed in {self.dir.path} (status {result.returncode}); run it with /LOG=PATH "
                     "to see why")
        return elapsed

    def close(self):
        self.dir.__exit__(None, None, None)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", type=Path, required=True)
    baseline = parser.add_mutually_exclusive_group(required=True)
    baseline.add_argument("--baseline", type=Path)
    baseline.add_argument("--sealed", action="store_true", help="--build on sealed media against unsealed ones")
    parser.add_argument("--zemcmp", default=str(SOURCE_DIR / "build" / "native" / "bin" / "zemcmp"))
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--megabytes", type=int, default=24)
    parser.add_argument("--files", type=int, default=3, help="start-up files the corpus is split into")
    args = parser.parse_args()
    # The two sides, in the order of the ratio (first / second).
    labels = ("sealed", "unsealed") if args.sealed else ("build", "baseline")

    work = Path(tempfile.mkdtemp(prefix="zs-setup-bench-"))
    subprocess.run([str(WINE_SESSION), "start"], check=True, capture_output=True)
    media = {}
    try:
        files, seals, plain_size = compressed_files(args.zemcmp, args.megabytes, args.files, work)
        packed_size = sum(len(d) for d in files.values())
        main_module = args.build / "record_command_line.exe"
        sides = ((labels[0], args.build, seals), (labels[1], args.build, None)) if args.sealed else \
            ((labels[0], args.build, None), (labels[1], args.baseline, None))
        for label, bin_dir, side_seals in sides:
            media[label] = {"heavy": Medium(bin_dir, main_module, files, label, side_seals),
                            "light": Medium(bin_dir, main_module, {}, label, side_seals and {})}
        times = {label: {"heavy": [], "light": []} for label in media}
        for label in media:  # one warm-up run each, not counted
            media[label]["heavy"].run()
        for round_index in range(args.rounds):
            order = list(labels) if round_index % 2 == 0 else list(reversed(labels))
            for label in order:
                for kind in ("heavy", "light"):
                    times[label][kind].append(media[label][kind].run())
    finally:
        for kinds in media.values():
            for medium in kinds.values():
                medium.close()
        shutil.rmtree(work, ignore_errors=True)

    staging = {label: [h - l for h, l in zip(t["heavy"], t["light"])] for label, t in times.items()}
    print(f"{args.rounds} rounds; start-up files: {plain_size / 1e6:.1f} MB, {packed_size / 1e6:.1f} MB "
          f"compressed; load average {os.getloadavg()[0]:.2f}")
    print(f"{'':<22}{labels[0] + ' best / median':>24}{labels[1] + ' best / median':>26}"
          f"{'ratio best / median':>24}")

    def row(name, build, baseline):
        ratios = [b / a for b, a in zip(build, baseline)]
        print(f"{name:<22}{min(build):>11.3f} / {statistics.median(build):.3f} s"
              f"{min(baseline):>13.3f} / {statistics.median(baseline):.3f} s"
              f"{min(build) / min(baseline):>15.2f} / {statistics.median(ratios):.2f}")

    first, second = labels
    row("whole run (heavy)", times[first]["heavy"], times[second]["heavy"])
    row("whole run (light)", times[first]["light"], times[second]["light"])
    row("staging (heavy-light)", staging[first], staging[second])
    speed = {label: plain_size / 1e6 / statistics.median(s) for label, s in staging.items() if min(s) > 0}
    if len(speed) == 2:
        print(f"expansion while staging, median: {speed[first]:.0f} MB/s against {speed[second]:.0f} MB/s")


if __name__ == "__main__":
    main()
