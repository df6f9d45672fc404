#!/usr/bin/env python3
"""Benchmarks the codec and the media tool against gzip and a plain copy, measured in the same run.

Builds a corpus of mixed text and binaries from files on this machine (20 MB by default: half text, half
executables and libraries, in a fixed order), then
  1. runs the Google Benchmark program codec_bench (CompressFile32 / DecompressFile32 / plain copy), and
  2. times whole-file runs of `zemcmp compress` / `zemcmp expand` next to `gzip -6` / `gzip -d` and `cp`,
     best of N runs each, and reads the tool's peak memory from the kernel's accounting of the child.
Figures are printed as MB/s and as ratios to the gzip baseline of the same run.

Usage: run_benchmarks.py --build DIR [--corpus-mb N] [--runs N] [--work DIR] [--skip-google-benchmark]
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

# Targets: expansion at least 0.65 x gzip -d, compression at least 0.5 x gzip -6.
EXPAND_TARGET = 0.65
COMPRESS_TARGET = 0.50


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


def google_benchmark(build, corpus):
    program = os.path.join(build, "bin", "codec_bench")
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

    if not args.skip_google_benchmark:
        rates = google_benchmark(args.build, corpus)
        if rates:
            print("\nGoogle Benchmark (in-process, memory files):")
            for name, rate in rates.items():
                print(f"  {name:<16} {rate:8.1f} MB/s")

    packed = os.path.join(work, "corpus.bi_")
    unpacked = os.path.join(work, "corpus.out")
    gz = os.path.join(work, "corpus.gz")
    copied = os.path.join(work, "corpus.copy")
    runs = args.runs

    cp_time, _ = best_of(runs, ["cp", corpus, copied], output=copied)
    gz_time, _ = best_of(runs, ["gzip", "-6", "-c", corpus], gz)
    gunzip_time, _ = best_of(runs, ["gzip", "-d", "-c", gz], unpacked)
    ours_c, rss_c = best_of(runs, [zemcmp, "compress", "-f", "-o", packed, corpus], output=packed)
    ours_d, rss_d = best_of(runs, [zemcmp, "expand", "-f", "-o", unpacked, packed], output=unpacked)
    with open(corpus, "rb") as a, open(unpacked, "rb") as b:
        if a.read() != b.read():
            raise SystemExit("expanded corpus differs from the original")

    def mbps(seconds):
        return size / seconds / 1e6

    packed_size, gz_size = os.path.getsize(packed), os.path.getsize(gz)
    print(f"\nWhole files, best of {runs} (MB/s of uncompressed data):")
    print(f"  plain copy (cp)        {mbps(cp_time):8.1f} MB/s")
    print(f"  gzip -6                {mbps(gz_time):8.1f} MB/s   size {gz_size / size:.3f} of the input")
    print(f"  zemcmp compress        {mbps(ours_c):8.1f} MB/s   size {packed_size / size:.3f} of the input"
          f"   ratio to gzip -6: {gz_time / ours_c:.2f}x (target {COMPRESS_TARGET:.2f}x)   peak {rss_c / 1024:.1f} MiB")
    print(f"  gzip -d                {mbps(gunzip_time):8.1f} MB/s")
    print(f"  zemcmp expand          {mbps(ours_d):8.1f} MB/s"
          f"   ratio to gzip -d: {gunzip_time / ours_d:.2f}x (target {EXPAND_TARGET:.2f}x)   peak {rss_d / 1024:.1f} MiB")
    if not args.work:
        shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
