#!/usr/bin/env python3
"""Benchmarks the codec and the media tool against gzip and a plain copy, measured in the same run.

Builds a corpus of mixed text and binaries from files on this machine (20 MB by default: half text, half
executables and libraries, in a fixed order), then
  1. runs the Google Benchmark program codec_bench (CompressFile32 / DecompressFile32 / plain copy),
  2. times whole-file runs of `zemcmp compress` / `zemcmp expand` next to `gzip -6` / `gzip -d` and `cp`,
     best of N runs each, and reads the tool's peak memory from the kernel's accounting of the child, and
  3. times a medium of many files (at least 200 files and 40 MB, text and binaries, each file at most 1 MB)
     compressed and expanded with -j 1 and with -j 2, the two runs taking turns, and
  4. times `zemcmp build` of a medium from those files, every one of them a start-up file (compressed, sealed,
     then checked), with -j 1 and with -j 2, taking turns (the images of setup.exe, ZSRES.DLL and the main
     module come from the build's write_test_images).
Figures are printed as MB/s and as ratios to the baseline of the same run: gzip for single files, -j 1 for
-j 2. With --compare DIR, the codec_bench and zemcmp of another build (say, the previous commit's) are
measured in the same run as well, for a before/after.

Usage: run_benchmarks.py --build DIR [--compare DIR] [--corpus-mb N] [--runs N] [--work DIR]
                         [--skip-google-benchmark] [--skip-many-files] [--skip-build]
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

TEXT_ROOTS = ["/usr/share/doc", "/usr/include", "/usr/share/common-licenses", "/usr/share/perl5"]
BINARY_ROOTS = ["/usr/bin", "/usr/lib/x86_64-linux-gnu", "/usr/lib"]
GZIP_MAGIC = b"\x1f\x8b"

# Targets: expansion at least 0.75 x gzip -d, compression at least 0.55 x gzip -6; on many files, -j 2 at
# least 1.7 x the throughput of -j 1 (on two processors).
EXPAND_TARGET = 0.75
COMPRESS_TARGET = 0.55
JOBS_TARGET = 1.7

# The many-files medium.
MANY_MIN_FILES = 200
MANY_MIN_BYTES = 40 * 1000 * 1000
MANY_FILE_CAP = 1 << 20
MANY_FILE_FLOOR = 16 * 1024


def candidate_files(roots, binaries):
    for root in roots:
        for directory, subdirs, names in sorted(os.walk(root)):
            subdirs.sort()
            for name in sorted(names):
                path = os.path.join(directory, name)
                if os.path.islink(path) or not os.path.isfile(path):
                    continue
                if binaries and not os.access(path, os.X_OK) and ".so" not in name:
                    continue
                yield path


def take(paths, budget, out, seen):
    taken = 0
    for path in paths:
        if taken >= budget or path in seen:
            continue
        try:
            with open(path, "rb") as f:
                data = f.read(budget - taken)
        except OSError:
            continue
        if not data or data[:2] == GZIP_MAGIC:
            continue
        seen.add(path)
        out.write(data)
        taken += len(data)
    return taken


def build_corpus(path, megabytes):
    half = megabytes * (1 << 20) // 2
    seen = set()
    with open(path, "wb") as out:
        text = take(candidate_files(TEXT_ROOTS, False), half, out, seen)
        binary = take(candidate_files(BINARY_ROOTS, True), half, out, seen)
    return text, binary


def build_many_files(directory):
    """Copies text files and binaries of this machine into DIRECTORY (each cut to MANY_FILE_CAP), alternating
    the two kinds, until there are at least MANY_MIN_FILES files and MANY_MIN_BYTES bytes. The names keep
    their compressed names unambiguous (NAME.T -> NAME.T_), so that expand can name its outputs."""
    os.makedirs(directory, exist_ok=True)
    kinds = [(candidate_files(TEXT_ROOTS, False), "T"), (candidate_files(BINARY_ROOTS, True), "B")]
    count = total = 0
    seen = set()
    exhausted = [False, False]
    while (count < MANY_MIN_FILES or total < MANY_MIN_BYTES) and not all(exhausted):
        for k, (paths, suffix) in enumerate(kinds):
            if exhausted[k]:
                continue
            for path in paths:
                if path in seen:
                    continue
                seen.add(path)
                try:
                    if os.path.getsize(path) < MANY_FILE_FLOOR:
                        continue
                    with open(path, "rb") as f:
                        data = f.read(MANY_FILE_CAP)
                except OSError:
                    continue
                if data[:2] == GZIP_MAGIC:
                    continue
                with open(os.path.join(directory, f"F{count:04d}.{suffix}"), "wb") as out:
                    out.write(data)
                count += 1
                total += len(data)
                break
            else:
                exhausted[k] = True
    if count < MANY_MIN_FILES or total < MANY_MIN_BYTES:
        raise SystemExit(f"only {count} files, {total / 1e6:.1f} MB found for the many-files medium")
    return sorted(os.path.join(directory, name) for name in os.listdir(directory)), total


def empty_directory(directory):
    for name in os.listdir(directory):
        os.remove(os.path.join(directory, name))


def turns_of(runs, commands):
    """Runs each (argv, output directory) of COMMANDS RUNS times, taking turns; every output directory is
    emptied before its run, outside the timing. Returns the times of each command, round by round."""
    times = [[] for _ in commands]
    for _ in range(runs):
        for i, (argv, directory) in enumerate(commands):
            empty_directory(directory)
            seconds, _ = run_timed(argv)
            times[i].append(seconds)
    return times


def many_files(zemcmp, work, runs):
    medium = os.path.join(work, "many")
    files, size = build_many_files(medium)
    texts = sum(1 for f in files if f.endswith(".T"))
    print(f"\nMany files: {len(files)} files ({texts} text, {len(files) - texts} binaries), {size / 1e6:.1f} MB;"
          f" best and median of {runs} runs, -j 1 and -j 2 taking turns")
    packed = {j: os.path.join(work, f"many-packed-{j}") for j in (1, 2)}
    unpacked = {j: os.path.join(work, f"many-unpacked-{j}") for j in (1, 2)}
    for d in list(packed.values()) + list(unpacked.values()):
        os.makedirs(d, exist_ok=True)
    compress = turns_of(runs, [([zemcmp, "compress", "-q", "-j", str(j), "-d", packed[j]] + files, packed[j])
                               for j in (1, 2)])
    packed_files = {j: sorted(os.path.join(packed[j], n) for n in os.listdir(packed[j])) for j in (1, 2)}
    for a, b in zip(packed_files[1], packed_files[2]):
        with open(a, "rb") as x, open(b, "rb") as y:
            if x.read() != y.read():
                raise SystemExit(f"-j 1 and -j 2 wrote different bytes: {a} {b}")
    expand = turns_of(runs, [([zemcmp, "expand", "-q", "-j", str(j), "-d", unpacked[j]] + packed_files[1],
                              unpacked[j]) for j in (1, 2)])
    for name in os.listdir(unpacked[2]):
        with open(os.path.join(medium, name), "rb") as x, open(os.path.join(unpacked[2], name), "rb") as y:
            if x.read() != y.read():
                raise SystemExit(f"expanded {name} differs from the original")
    for label, (one, two) in (("compress", compress), ("expand", expand)):
        best = min(one) / min(two)
        median = sorted(a / b for a, b in zip(one, two))[len(one) // 2]
        print(f"  zemcmp {label:<9} -j 1 {size / min(one) / 1e6:7.1f} MB/s   -j 2 {size / min(two) / 1e6:7.1f} MB/s"
              f"   -j 2 / -j 1: {best:.2f}x best, {median:.2f}x median of the rounds (target {JOBS_TARGET:.2f}x)")


def build_medium(build, work, runs):
    """Times `zemcmp build` of the many-files medium, each file a start-up file, with -j 1 and -j 2."""
    zemcmp = os.path.join(build, "bin", "zemcmp")
    write_images = program_in(build, "write_test_images")
    if not os.path.exists(write_images):
        print(f"\n(write_test_images not built in {build}: zemcmp build skipped)")
        return
    files, size = build_many_files(os.path.join(work, "many"))
    source = os.path.join(work, "build-source")
    programs = os.path.join(work, "build-programs")
    for d in (source, programs):
        shutil.rmtree(d, ignore_errors=True)
        os.makedirs(d)
    string_table = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "reslib", "string_table.rc")
    subprocess.run([write_images, string_table, programs], check=True)
    shutil.move(os.path.join(programs, "main_module.exe"), os.path.join(source, "_SETUP.EXE"))
    entries = ["1=_SETUP.EXE"]
    for k, path in enumerate(files):
        shutil.copy(path, source)
        entries.append(f"{k + 2}={os.path.basename(path)}")
    with open(os.path.join(source, "SETUP.LST"), "w", newline="\r\n") as listfile:
        listfile.write("[SetupLang]\n0=E\n1=English,E\n\n[StartUp]\nAppName=Bench\nTmpDirSize=1048576\n"
                       "TmpDirName=C:\\BENCHTMP\n" + "\n".join(entries) + "\n")
    print(f"\nzemcmp build: {len(files)} start-up files and the main module, {size / 1e6:.1f} MB, compressed, sealed"
          f" and checked; best and median of {runs} runs, -j 1 and -j 2 taking turns")
    outputs = {j: os.path.join(work, f"built-{j}") for j in (1, 2)}
    for d in outputs.values():
        shutil.rmtree(d, ignore_errors=True)
        os.makedirs(d)
    one, two = turns_of(runs, [([zemcmp, "build", source, outputs[j], "--program", programs, "-q", "-j", str(j)],
                                outputs[j]) for j in (1, 2)])
    for name in os.listdir(outputs[1]):
        with open(os.path.join(outputs[1], name), "rb") as x, open(os.path.join(outputs[2], name), "rb") as y:
            if x.read() != y.read():
                raise SystemExit(f"zemcmp build with -j 1 and -j 2 wrote different bytes: {name}")
    best = min(one) / min(two)
    median = sorted(a / b for a, b in zip(one, two))[len(one) // 2]
    print(f"  zemcmp build     -j 1 {size / min(one) / 1e6:7.1f} MB/s   -j 2 {size / min(two) / 1e6:7.1f} MB/s"
          f"   -j 2 / -j 1: {best:.2f}x best, {median:.2f}x median of the rounds (target {JOBS_TARGET:.2f}x)")


def run_timed(argv, stdout=None):
    """Runs a command; returns (seconds, peak resident memory in KiB).

    The peak is the kernel's high-water mark of the program's own address space (VmHWM), read while it runs:
    the rusage of a child would also count the pages it shared with this Python process before its exec.
    """
    start = time.perf_counter()
    child = subprocess.Popen(argv, stdout=stdout or subprocess.DEVNULL)
    status_path = f"/proc/{child.pid}/status"
    peak = 0
    while child.poll() is None:
        try:
            with open(status_path) as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        peak = max(peak, int(line.split()[1]))
        except OSError:
            pass
        time.sleep(0.002)
    elapsed = time.perf_counter() - start
    if child.returncode != 0:
        raise SystemExit(f"{' '.join(argv)} failed with {child.returncode}")
    return elapsed, peak


def best_of(runs, argv, stdout_path=None, output=None):
    """The best time of RUNS runs. OUTPUT (or STDOUT_PATH) is removed before each run, outside the timing: every
    program writes a new file, and none is charged for freeing the blocks of the previous run's output."""
    best, peak = None, 0
    for _ in range(runs):
        for path in (stdout_path, output):
            if path and os.path.exists(path):
                os.remove(path)
        if stdout_path:
            with open(stdout_path, "wb") as out:
                seconds, rss = run_timed(argv, out)
        else:
            seconds, rss = run_timed(argv)
        best = seconds if best is None else min(best, seconds)
        peak = max(peak, rss)
    return best, peak


def program_in(build, name):
    """NAME in BUILD/bin, or in BUILD itself (a directory of saved programs)."""
    for candidate in (os.path.join(build, "bin", name), os.path.join(build, name)):
        if os.path.exists(candidate):
            return candidate
    return os.path.join(build, "bin", name)


def google_benchmark(build, corpus):
    program = program_in(build, "codec_bench")
    if not os.path.exists(program):
        print(f"(codec_bench not built in {build}: skipped)")
        return None
    result = subprocess.run([program, corpus, "--benchmark_format=json"], check=True, capture_output=True,
                            text=True)
    rates = {}
    for entry in json.loads(result.stdout)["benchmarks"]:
        name = entry["name"].split("/")[0]
        rates[name] = entry["bytes_per_second"] / 1e6
    return rates


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True, help="native build directory (with bin/zemcmp, bin/codec_bench)")
    parser.add_argument("--compare", help="another build (or a directory with its zemcmp and codec_bench) to "
                                          "measure in the same run")
    parser.add_argument("--skip-many-files", action="store_true")
    parser.add_argument("--skip-build", action="store_true", help="skip the timing of zemcmp build")
    parser.add_argument("--corpus-mb", type=int, default=20)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--work", help="directory for the corpus and outputs (default: a temporary one)")
    parser.add_argument("--skip-google-benchmark", action="store_true")
    args = parser.parse_args()

    zemcmp = os.path.join(args.build, "bin", "zemcmp")
    if not os.path.exists(zemcmp):
        raise SystemExit(f"{zemcmp} not found: build the native preset first")
    for tool in ("gzip", "cp"):
        if shutil.which(tool) is None:
            raise SystemExit(f"{tool} not found")

    work = args.work or tempfile.mkdtemp(prefix="zs-bench-")
    os.makedirs(work, exist_ok=True)
    corpus = os.path.join(work, "corpus.bin")
    text, binary = build_corpus(corpus, args.corpus_mb)
    size = text + binary
    print(f"corpus: {size / 1e6:.1f} MB ({text / 1e6:.1f} MB text, {binary / 1e6:.1f} MB binaries) in {corpus}")

    builds = [("", args.build)] + ([(" (compared)", args.compare)] if args.compare else [])
    if not args.skip_google_benchmark:
        # With a compared build, two rounds taking turns; the best rate of each.
        best_rates = {label: {} for label, _ in builds}
        for _ in range(2 if args.compare else 1):
            for label, build in builds:
                for name, rate in (google_benchmark(build, corpus) or {}).items():
                    best_rates[label][name] = max(rate, best_rates[label].get(name, 0))
        for label, _ in builds:
            if best_rates[label]:
                print(f"\nGoogle Benchmark{label} (in-process, memory files):")
                for name, rate in best_rates[label].items():
                    print(f"  {name:<16} {rate:8.1f} MB/s")

    packed = os.path.join(work, "corpus.bi_")
    unpacked = os.path.join(work, "corpus.out")
    gz = os.path.join(work, "corpus.gz")
    copied = os.path.join(work, "corpus.copy")
    runs = args.runs

    # The programs take turns, round after round, so that a stretch of load from elsewhere on the machine
    # falls on all of them alike; each ratio is also taken within each round, and its median reported.
    programs = {
        "cp": (["cp", corpus, copied], None, copied),
        "gzip -6": (["gzip", "-6", "-c", corpus], gz, None),
        "compress": ([zemcmp, "compress", "-f", "-o", packed, corpus], None, packed),
        "gzip -d": (["gzip", "-d", "-c", gz], unpacked, None),
        "expand": ([zemcmp, "expand", "-f", "-o", unpacked, packed], None, unpacked),
    }
    if args.compare:
        other = program_in(args.compare, "zemcmp")
        other_packed = packed + ".compared"
        programs["compared compress"] = ([other, "compress", "-f", "-o", other_packed, corpus], None, other_packed)
        programs["compared expand"] = ([other, "expand", "-f", "-o", unpacked, packed], None, unpacked)
    times = {name: [] for name in programs}
    peaks = {name: 0 for name in programs}
    for _ in range(runs):
        for name, (argv, stdout_path, output) in programs.items():
            seconds, peak = best_of(1, argv, stdout_path, output)
            times[name].append(seconds)
            peaks[name] = max(peaks[name], peak)
    with open(corpus, "rb") as a, open(unpacked, "rb") as b:
        if a.read() != b.read():
            raise SystemExit("expanded corpus differs from the original")
    if args.compare:
        with open(packed, "rb") as a, open(other_packed, "rb") as b:
            if a.read() != b.read():
                raise SystemExit("the compared build compresses to other bytes")

    def mbps(seconds):
        return size / seconds / 1e6

    def median(values):
        return sorted(values)[len(values) // 2]

    def ratio(baseline, ours):
        """Speed of OURS as a multiple of BASELINE: best against best, and the median of the rounds' ratios."""
        best = min(times[baseline]) / min(times[ours])
        per_round = median([b / o for b, o in zip(times[baseline], times[ours])])
        return f"{best:.2f}x best, {per_round:.2f}x median"

    best = {name: min(t) for name, t in times.items()}
    packed_size, gz_size = os.path.getsize(packed), os.path.getsize(gz)
    print(f"\nWhole files, best of {runs} rounds taking turns (MB/s of uncompressed data):")
    print(f"  plain copy (cp)        {mbps(best['cp']):8.1f} MB/s")
    print(f"  gzip -6                {mbps(best['gzip -6']):8.1f} MB/s   size {gz_size / size:.3f} of the input")
    print(f"  zemcmp compress        {mbps(best['compress']):8.1f} MB/s   size {packed_size / size:.3f} of the input"
          f"   to gzip -6: {ratio('gzip -6', 'compress')} (target {COMPRESS_TARGET:.2f}x)"
          f"   peak {peaks['compress'] / 1024:.1f} MiB")
    print(f"  gzip -d                {mbps(best['gzip -d']):8.1f} MB/s")
    print(f"  zemcmp expand          {mbps(best['expand']):8.1f} MB/s"
          f"   to gzip -d: {ratio('gzip -d', 'expand')} (target {EXPAND_TARGET:.2f}x)"
          f"   peak {peaks['expand'] / 1024:.1f} MiB")
    if args.compare:
        print(f"  compared compress      {mbps(best['compared compress']):8.1f} MB/s"
              f"   this build to it: {ratio('compared compress', 'compress')}")
        print(f"  compared expand        {mbps(best['compared expand']):8.1f} MB/s"
              f"   this build to it: {ratio('compared expand', 'expand')}")
    if not args.skip_many_files:
        many_files(zemcmp, work, runs)
    if not args.skip_build:
        build_medium(args.build, work, runs)
    if not args.work:
        shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
