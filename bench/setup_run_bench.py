#!/usr/bin/env python3
"""Times whole runs of setup.exe under Wine, this build against a baseline build, measured in the same run.

Two media per build, each with the build's setup.exe and ZSRES.DLL and the same stand-in main module
(record_command_line.exe of --build):
  heavy  the main module and start-up files stored compressed (a corpus of text and binaries from this
         machine, --megabytes in all, in three files, compressed with the native zemcmp);
  light  the main module alone.
Every run is `setup.exe /QUIET /LANG=English` through scripts/wine/wine-run.sh in a running Wine session,
timed from outside. The builds take turns round after round (the order swapped every round). Per build the
figures are the best and the median run; the staging of the start-up files is heavy minus light of the same
round. The ratios (build / baseline, time, so below 1 is faster) are taken best against best and as the median
of the rounds' own ratios.

Usage: setup_run_bench.py --build BIN_DIR --baseline BIN_DIR [--zemcmp PATH] [--rounds N] [--megabytes N]
  BIN_DIR: a Windows build's bin directory (setup.exe, ZSRES.DLL); --build must also hold
  record_command_line.exe. Set ZS_WINEPREFIX to the prefix to use. Both builds must run under this Wine (an
  i686 build needs the 32-bit Wine)."""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(SOURCE_DIR / "tests" / "e2e"))
sys.path.insert(0, str(SOURCE_DIR / "bench"))

from run_benchmarks import build_corpus  # noqa: E402
from winharness import WINE_RUN, WINE_SESSION, MediaDir, windows_path  # noqa: E402

START_UP_FILES = ("DATA1.BIN", "DATA2.BIN", "DATA3.BIN")
MAIN_MODULE = "_SETUP.EXE"


def list_file(files, tmp_dir):
    entries = "".join(f"{i}={name}\r\n" for i, name in enumerate(files, start=1))
    return ("[SetupLang]\r\n0=E\r\n1=English,E\r\n\r\n[StartUp]\r\nAppName=Bench\r\nTmpDirSize=1024\r\n"
            f"TmpDirName={tmp_dir}\r\n{entries}")


def compressed_files(zemcmp, megabytes, work):
    """The three start-up files, compressed: {compressed name: bytes}, and the plain size."""
    corpus = work / "corpus"
    build_corpus(str(corpus), megabytes)
    data = corpus.read_bytes()
    third = len(data) // 3
    plain = work / "plain"
    plain.mkdir()
    for i, name in enumerate(START_UP_FILES):
        (plain / name).write_bytes(data[i * third:(i + 1) * third])
    packed = work / "packed"
    packed.mkdir()
    subprocess.run([zemcmp, "compress", "-q", *[str(plain / n) for n in START_UP_FILES], "-d", str(packed)],
                   check=True)
    return {p.name: p.read_bytes() for p in sorted(packed.iterdir())}, 3 * third


class Medium:
    def __init__(self, bin_dir, main_module, files, label):
        self.dir = MediaDir(f"bench-{label}")
        self.dir.__enter__()
        self.dir.copy(bin_dir / "setup.exe")
        self.dir.copy(bin_dir / "ZSRES.DLL")
        self.dir.copy(main_module, MAIN_MODULE)
        for name, data in files.items():
            self.dir.write(name, data)
        names = [MAIN_MODULE] + ([n for n in START_UP_FILES] if files else [])
        # The list file's values hold at most 31 characters: a short directory in the root of drive C:.
        self.dir.write("SETUP.LST", list_file(names, f"C:\\ZSBENCH-{label}-{'H' if files else 'L'}"))
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
    parser.add_argument("--baseline", type=Path, required=True)
    parser.add_argument("--zemcmp", default=str(SOURCE_DIR / "build" / "native" / "bin" / "zemcmp"))
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--megabytes", type=int, default=24)
    args = parser.parse_args()

    work = Path(tempfile.mkdtemp(prefix="zs-setup-bench-"))
    subprocess.run([str(WINE_SESSION), "start"], check=True, capture_output=True)
    media = {}
    try:
        files, plain_size = compressed_files(args.zemcmp, args.megabytes, work)
        packed_size = sum(len(d) for d in files.values())
        main_module = args.build / "record_command_line.exe"
        for label, bin_dir in (("build", args.build), ("baseline", args.baseline)):
            media[label] = {"heavy": Medium(bin_dir, main_module, files, label),
                            "light": Medium(bin_dir, main_module, {}, label)}
        times = {label: {"heavy": [], "light": []} for label in media}
        for label in media:  # one warm-up run each, not counted
            media[label]["heavy"].run()
        for round_index in range(args.rounds):
            order = ["build", "baseline"] if round_index % 2 == 0 else ["baseline", "build"]
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
    print(f"{'':<22}{'build best / median':>24}{'baseline best / median':>26}{'ratio best / median':>24}")

    def row(name, build, baseline):
        ratios = [b / a for b, a in zip(build, baseline)]
        print(f"{name:<22}{min(build):>11.3f} / {statistics.median(build):.3f} s"
              f"{min(baseline):>13.3f} / {statistics.median(baseline):.3f} s"
              f"{min(build) / min(baseline):>15.2f} / {statistics.median(ratios):.2f}")

    row("whole run (heavy)", times["build"]["heavy"], times["baseline"]["heavy"])
    row("whole run (light)", times["build"]["light"], times["baseline"]["light"])
    row("staging (heavy-light)", staging["build"], staging["baseline"])
    speed = {label: plain_size / 1e6 / statistics.median(s) for label, s in staging.items() if min(s) > 0}
    if len(speed) == 2:
        print(f"expansion while staging, median: {speed['build']:.0f} MB/s against {speed['baseline']:.0f} MB/s")


if __name__ == "__main__":
    main()
