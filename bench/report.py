#!/usr/bin/env python3
"""Turns the JSON of one benchmark run into bench/REPORT.md and its plots.

Input: the Google Benchmark JSON files of the library's suite and of each
peer (configparser_bench.py writes the same shape), run with repetitions so
that each benchmark has a "median" aggregate, and machine.json from
bench/run. Benchmark names are "<subject>/<operation>/<N>"; the operation
may hold a slash itself ("ReadPlain/fresh").
"""
import argparse
import collections
import json
import os

UNIT_TO_US = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}

PEERS = ("QSettings", "GKeyFile", "configparser")
MODES = ("longlived", "fresh")

# The library's own operations, each with the floor it is judged against.
OWN_OPERATIONS = (
    ("ReadPlain", "read of a general setting", "Stat"),
    ("ReadTask", "read of a task property", "Stat"),
    ("ReadProvider", "read of a provider setting", "Stat"),
    ("WriteKey", "write of a general setting", "HandWrite"),
    ("WriteLabel", "task label write, 50 localized strings", "HandWrite"),
    ("CreateTask", "task creation", "HandWrite"),
    ("Enumerate/lastSlot0", "whole enumeration, lastSlot 0", "Stat"),
    ("Enumerate/lastSlotN", "whole enumeration, lastSlot N", "Stat"),
    ("CopyTask", "task copy", "HandWrite"),
    ("Shrink", "compaction after N/2 removals", "HandWrite"),
)


# Benchmarks that write time a hand write of the same bytes in every
# iteration too and report it as this counter (microseconds): their floor.
FLOOR_COUNTER = "floor_us"


def load_medians(paths):
    """{(subject, operation): {N: microseconds}} from the median aggregates;
    a benchmark's own floor counter goes in as (subject, operation + "#floor")."""
    medians = collections.defaultdict(dict)
    for path in paths:
        with open(path, encoding="utf-8") as stream:
            run = json.load(stream)
        for bench in run.get("benchmarks", []):
            if bench.get("aggregate_name") != "median" or bench.get("error_occurred"):
                continue
            # Options Google Benchmark appends ("iterations:10") are not names.
            parts = [p for p in bench["run_name"].split("/")
                     if ":" not in p and p not in ("manual_time", "real_time")]
            if parts[-1].isdigit():
                subject, operation, tasks = parts[0], "/".join(parts[1:-1]), int(parts[-1])
            else:  # a benchmark of one fixed file: kept under N = 0
                subject, operation, tasks = parts[0], "/".join(parts[1:]), 0
            value = bench["real_time"] * UNIT_TO_US[bench.get("time_unit", "ns")]
            medians[(subject, operation)][tasks] = value
            if FLOOR_COUNTER in bench:
                medians[(subject, operation + "#floor")][tasks] = bench[FLOOR_COUNTER]
    return medians


def fmt_time(us):
    if us is None:
        return "n/a"
    if us >= 1000:
        return "%.1f ms" % (us / 1000)
    if us >= 10:
        return "%.0f µs" % us
    if us >= 1:
        return "%.2f µs" % us
    return "%.3f µs" % us


def fmt_ratio(value, base):
    if value is None or not base:
        return "n/a"
    ratio = value / base
    return "%.2fx" % ratio if ratio < 10 else "%.0fx" % ratio


class Report:
    def __init__(self, medians, machine):
        self.medians = medians
        self.machine = machine
        self.counts = sorted({n for series in medians.values() for n in series if n})
        self.peers = [p for p in PEERS if any(s == p for s, _ in medians)]
        self.lines = []

    def get(self, subject, operation, tasks):
        return self.medians.get((subject, operation), {}).get(tasks)

    def floor(self, operation, floor, tasks):
        """The operation's own floor from the same iterations, else the
        floor benchmark's."""
        own = self.get("orx", operation + "#floor", tasks)
        return own if own is not None else self.get("floor", floor, tasks)

    def add(self, *lines):
        self.lines.extend(lines)

    def table(self, header, rows):
        self.add("| " + " | ".join(header) + " |",
                 "|" + "|".join("---" if i == 0 else "--:" for i in range(len(header))) + "|")
        for row in rows:
            self.add("| " + " | ".join(row) + " |")
        self.add("")

    def machine_section(self):
        m = self.machine
        self.add("## Machine", "",
                 "- CPU: %s, %s logical cores (nproc)" % (m.get("cpu", "?"), m.get("nproc", "?")),
                 "- Kernel: %s" % m.get("kernel", "?"),
                 "- Temporary folder: `%s` on %s" % (m.get("tmpdir", "?"), m.get("fs", "?")),
                 "- Compiler: %s; Google Benchmark %s; %s" % (
                     m.get("compiler", "?"), m.get("benchmark", "?"), m.get("peers", "")),
                 "- Run: %s" % m.get("settings", "?"),
                 "- Date: %s" % m.get("date", "?"), "")

    def headline(self, tasks):
        read = self.get("orx", "ReadTask", tasks)
        write = self.get("orx", "WriteKey", tasks)
        rows = []
        for peer in self.peers:
            for mode in MODES:
                rows.append(["%s (%s)" % (peer, mode),
                             fmt_ratio(self.get(peer, "ReadTask/" + mode, tasks), read),
                             fmt_ratio(self.get(peer, "WriteKey/" + mode, tasks), write)])
        self.add("## Headline: the peers' cost per call as a multiple of ours, N = %d" % tasks, "",
                 "A value above 1x means the peer is slower. \"fresh\" is the peer loading the "
                 "file per call, the only way it sees other writers' changes; the library sees "
                 "them on every call. \"longlived\" is one object kept in memory, blind to "
                 "other writers.", "")
        self.table(["peer", "task-property read", "one-key write"], rows)

    def comparison(self, title, operation, floor, floor_label):
        header = ["N", floor_label, "orxProperty", "vs floor"]
        if operation != "WriteKey":
            header.append("naive parse per call")
        for peer in self.peers:
            header += ["%s %s" % (peer, mode) for mode in MODES]
        rows = []
        for tasks in self.counts:
            base = self.floor(operation, floor, tasks)
            ours = self.get("orx", operation, tasks)
            row = [str(tasks), fmt_time(base), fmt_time(ours), fmt_ratio(ours, base)]
            if operation != "WriteKey":
                row.append(fmt_time(self.get("naive", operation, tasks)))
            for peer in self.peers:
                row += [fmt_time(self.get(peer, "%s/%s" % (operation, mode), tasks))
                        for mode in MODES]
            rows.append(row)
        self.add("### " + title, "")
        self.table(header, rows)

    def own_operations(self):
        header = ["operation"]
        for tasks in self.counts:
            header += ["N=%d" % tasks, "vs floor"]
        rows = []
        for operation, label, floor in OWN_OPERATIONS:
            row = [label]
            for tasks in self.counts:
                ours = self.get("orx", operation, tasks)
                row += [fmt_time(ours), fmt_ratio(ours, self.floor(operation, floor, tasks))]
            rows.append(row)
        self.add("## The whole library, per call", "",
                 "Floors: reads and enumerations against a bare `stat()` of the file; every "
                 "operation that writes against a temporary file of the main file's bytes "
                 "written, flushed with `fsync` and renamed by hand, timed in the same "
                 "iterations (a disk's flush latency drifts by several times within a run). "
                 "The peers' writes ran at other moments of the run, so their write ratios "
                 "carry that drift.", "")
        self.table(header, rows)

    def known_costs(self):
        shrink = [(n, self.get("orx", "Shrink", n)) for n in self.counts]
        shrink = [(n, t) for n, t in shrink if t is not None]
        if len(shrink) < 2:
            return
        (small, t_small), (large, t_large) = shrink[-2], shrink[-1]
        growth = t_large / t_small
        self.add("## Known costs", "",
                 "A compaction moves half the list in one transaction, applying its moves to "
                 "the Scanner section in one pass, then replacing the file once: %s at N = %d, "
                 "%s at N = %d (%.0fx for %dx the tasks). Writers of the same file wait for it "
                 "and give up with 32 after 10 s%s." % (
                     fmt_time(t_small), small, fmt_time(t_large), large, growth, large // small,
                     ", which this run's largest compaction exceeded" if t_large > 10e6
                     else ", a bound this run stayed under"), "")

    def engine_section(self):
        names = sorted({s for s, _ in self.medians if s.startswith("BM_")})
        if not names:
            return
        self.add("## The settings-file store alone", "",
                 "The engine's and the task registry's own benchmarks "
                 "(bench/profile_store_bench.cc, bench/task_registry_bench.cc, on files they "
                 "build themselves; see bench/README.md), in the same run.", "")
        header = ["benchmark", "fixed file"] + ["N=%d" % n for n in self.counts]
        rows = []
        for name in names:
            for operation in sorted({op for s, op in self.medians if s == name}):
                label = "/".join(p for p in (name, operation) if p)
                rows.append([label, fmt_time(self.get(name, operation, 0))] +
                            [fmt_time(self.get(name, operation, n)) for n in self.counts])
        self.table(header, rows)

    def render(self, plots):
        self.add("# Benchmark report", "",
                 "Produced by `bench/run` (medians of 3 repetitions; every figure of a row "
                 "measured in the same run on the same machine). Main files of N tasks were "
                 "made by the library itself: a Scanner list of N slots and 46 properties per "
                 "task (about 1 KB per task).", "")
        self.machine_section()
        for tasks in (1000, 5000):
            if tasks in self.counts:
                self.headline(tasks)
        self.add("## Against the peers", "")
        self.comparison("Read of one task property (SchedDays of the middle task)",
                        "ReadTask", "Stat", "stat() floor")
        self.comparison("Read of one general setting ([InetWD] UpdatePeriod)",
                        "ReadPlain", "Stat", "stat() floor")
        self.comparison("Write of one key ([InetWD] UpdatePeriod)",
                        "WriteKey", "HandWrite", "temp+fsync+rename floor")
        self.own_operations()
        self.known_costs()
        self.engine_section()
        self.add("## Plots", "")
        for name, caption in plots:
            self.add("![%s](%s)" % (caption, name), "")
        return "\n".join(self.lines).rstrip() + "\n"


def plot(medians, counts, out_dir):
    """Cost per call against N, log-log, one PNG per kind of call."""
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figures = [
        ("reads.png", "Read of one task property", "ReadTask",
         [("floor", "Stat", "stat() floor"), ("orx", "ReadTask", "orxProperty"),
          ("naive", "ReadTask", "naive parse per call")]),
        ("writes.png", "Write of one key", "WriteKey",
         [("floor", "HandWrite", "temp+fsync+rename floor"),
          ("orx", "WriteKey", "orxProperty")]),
        ("tasks.png", "Task operations of the library", None,
         [("orx", op, label) for op, label, _ in OWN_OPERATIONS
          if op not in ("ReadPlain", "ReadProvider")]),
    ]
    made = []
    for name, title, peer_operation, series in figures:
        lines = list(series)
        if peer_operation:
            for peer in PEERS:
                for mode in MODES:
                    lines.append((peer, "%s/%s" % (peer_operation, mode),
                                  "%s %s" % (peer, mode)))
        fig, axes = plt.subplots(figsize=(8, 5))
        plotted = 0
        for subject, operation, label in lines:
            points = medians.get((subject, operation), {})
            xs = [n for n in counts if n in points]
            if not xs:
                continue
            plotted += 1
            style = "--" if subject in ("floor", "naive") else ("-o" if subject == "orx" else "-^")
            axes.plot(xs, [points[n] for n in xs], style, label=label,
                      linewidth=2.5 if subject == "orx" else 1.2)
        if not plotted:
            plt.close(fig)
            continue
        axes.set_xscale("log")
        axes.set_yscale("log")
        axes.set_xlabel("tasks in the main file (N)")
        axes.set_ylabel("µs per call (median)")
        axes.set_title(title)
        axes.grid(True, which="both", alpha=0.3)
        axes.legend(fontsize=7, loc="upper left")
        fig.tight_layout()
        fig.savefig(os.path.join(out_dir, name), dpi=100)
        plt.close(fig)
        made.append((name, title))
    return made


def main():
    options = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    options.add_argument("--machine", required=True, help="machine.json from bench/run")
    options.add_argument("--out", required=True, help="folder for REPORT.md")
    options.add_argument("--plots", default="plots", help="plot folder, relative to --out")
    options.add_argument("results", nargs="+", help="benchmark JSON files")
    args = options.parse_args()

    medians = load_medians(args.results)
    with open(args.machine, encoding="utf-8") as stream:
        machine = json.load(stream)
    report = Report(medians, machine)
    os.makedirs(os.path.join(args.out, args.plots), exist_ok=True)
    plots = [(os.path.join(args.plots, name), caption)
             for name, caption in plot(medians, report.counts, os.path.join(args.out, args.plots))]
    with open(os.path.join(args.out, "REPORT.md"), "w", encoding="utf-8") as stream:
        stream.write(report.render(plots))


if __name__ == "__main__":
    main()
