#!/usr/bin/env python3
"""Python's configparser doing what the library's suite does (see
peer_files.h): the same reads and single-key writes on private copies of the
main files in $ORX_BENCH_FILES, once with one parser kept for the whole run
("longlived") and once with a fresh parser loaded per call ("fresh").

The parser is set up the way a program reading these files must set it up:
no interpolation (values hold '%'), names kept as written, duplicates
tolerated. A write is what configparser offers: the whole file rewritten in
place, with neither a temporary file nor a flush to disk.

Results are printed as Google Benchmark JSON (one median, mean and stddev
aggregate per benchmark), so bench/report.py reads them like the others.
"""
import argparse
import configparser
import json
import os
import shutil
import statistics
import sys
import tempfile
import time

TASK_COUNTS = (10, 100, 1000, 5000, 10000)
PLAIN = ("InetWD", "UpdatePeriod")
TASK_KEY = "SchedDays"
VALUES = ("240", "241")
SLOW_CALL_US = 2e6


def new_parser():
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    parser.optionxform = str
    return parser


def load(path):
    parser = new_parser()
    with open(path, encoding="utf-8") as stream:
        parser.read_file(stream)
    return parser


def save(parser, path):
    with open(path, "w", encoding="utf-8") as stream:
        parser.write(stream, space_around_delimiters=False)


def middle_task(path, tasks):
    return load(path).get("Scanner", "Task%d" % ((tasks + 1) // 2))


def make_operations(path, tasks):
    """Each operation is a callable doing one call of the benchmark."""
    section = middle_task(path, tasks)
    kept = load(path)
    turn = [0]

    def next_value():
        turn[0] += 1
        return VALUES[turn[0] % 2]

    def write_kept():
        kept.set(*PLAIN, next_value())
        save(kept, path)

    def write_fresh():
        parser = load(path)
        parser.set(*PLAIN, next_value())
        save(parser, path)

    return {
        "ReadPlain/longlived": lambda: kept.get(*PLAIN),
        "ReadPlain/fresh": lambda: load(path).get(*PLAIN),
        "ReadTask/longlived": lambda: kept.get(section, TASK_KEY),
        "ReadTask/fresh": lambda: load(path).get(section, TASK_KEY),
        "WriteKey/longlived": write_kept,
        "WriteKey/fresh": write_fresh,
    }


def time_per_call(operation, min_time):
    """Microseconds per call over at least min_time seconds, and the count."""
    iterations = 1
    while True:
        start = time.perf_counter()
        for _ in range(iterations):
            operation()
        elapsed = time.perf_counter() - start
        if elapsed >= min_time or iterations >= 1 << 24:
            return elapsed * 1e6 / iterations, iterations
        iterations *= max(2, min(10, int(min_time / max(elapsed, 1e-9)) + 1))


def aggregate(name, samples, iterations):
    rows = []
    for label, value in (("mean", statistics.mean(samples)),
                         ("median", statistics.median(samples)),
                         ("stddev", statistics.pstdev(samples))):
        rows.append({"name": "%s_%s" % (name, label), "run_name": name,
                     "run_type": "aggregate", "aggregate_name": label,
                     "repetitions": len(samples), "iterations": iterations,
                     "real_time": value, "cpu_time": value, "time_unit": "us"})
    return rows


def main():
    options = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    options.add_argument("--files", default=os.environ.get("ORX_BENCH_FILES", "."))
    options.add_argument("--min-time", type=float, default=0.05)
    options.add_argument("--repetitions", type=int, default=3)
    options.add_argument("--out", help="JSON file (default: standard output)")
    args = options.parse_args()

    results = []
    with tempfile.TemporaryDirectory(prefix="orx-peer-") as folder:
        for tasks in TASK_COUNTS:
            source = os.path.join(args.files, "main-%d.ini" % tasks)
            if not os.path.exists(source):
                sys.exit("missing %s (set ORX_BENCH_FILES)" % source)
            path = os.path.join(folder, "main-%d.ini" % tasks)
            shutil.copyfile(source, path)
            for operation, run in make_operations(path, tasks).items():
                samples, iterations = [], 0
                for _ in range(args.repetitions):
                    per_call, iterations = time_per_call(run, args.min_time)
                    samples.append(per_call)
                    # A fresh load of the largest files takes 10 s and more
                    # on a busy machine: one sample of such a call says
                    # enough beside the library's microseconds, and keeps
                    # the whole run near ten minutes.
                    if per_call > SLOW_CALL_US:
                        break
                name = "configparser/%s/%d" % (operation, tasks)
                results.extend(aggregate(name, samples, iterations))
                print("%-45s %12.3f us" % (name, statistics.median(samples)),
                      file=sys.stderr)

    report = {"context": {"executable": "configparser_bench.py",
                          "python": sys.version.split()[0]},
              "benchmarks": results}
    text = json.dumps(report, indent=1)
    if args.out:
        with open(args.out, "w", encoding="utf-8") as stream:
            stream.write(text + "\n")
    else:
        print(text)


if __name__ == "__main__":
    main()
