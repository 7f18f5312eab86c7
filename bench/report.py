#!/usr/bin/env python3
"""Turns the JSON of one benchmark run into bench/REPORT.md and its plots.

Input: the Google Benchmark JSON files of the library's suites and of each
peer (configparser_bench.py writes the same shape), run with repetitions so
that each benchmark has a "median" aggregate, and machine.json from
bench/run. Benchmark names are "<subject>/<operation>/<N>"; the operation
may hold a slash itself ("ReadTask/fresh"). A paired benchmark carries its
figures as counters: "us" (the operation, per call), "<floor>_us" and
"ratio", the median of the per-round ratios of the two timed in the same
rounds; a ratio is never computed here from figures of different moments.
"""
import argparse
import collections
import json
import os

UNIT_TO_US = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
PEERS = ("QSettings", "GKeyFile", "configparser")
PEER_MODES = (("longlived", "kept object"),
              ("fresh", "fresh object"),
              ("changed", "fresh object, file changed"))
# Whether each peer's write survives a crash, as its write path shows under
# strace (Qt 5.15, GLib 2.74; bench/README.md).
PEER_WRITES = {
    "QSettings": "unnamed temporary file, fdatasync, rename (QSaveFile), under a lock "
                 "file; the folder is not flushed, so the rename may be lost",
    "GKeyFile": "temporary file, fsync, rename, fsync of the folder (g_file_set_contents); "
                "no lock between writers",
    "configparser": "truncates and rewrites the file in place, no fsync: not durable, "
                    "and a crash mid-write leaves a torn file",
}
READS = (("ReadPlain", "general setting (orxGetProperty)"),
         ("ReadTask", "task property (orxGetTaskProperty)"),
         ("ReadProvider", "provider setting (orxGetProviderProperty)"))
# (operation, label, floor label) of the library's paired benchmarks.
OWN = (("WriteKey", "one-key write", "durable hand replace"),
       ("WriteLabel", "task label write, 50 localized strings", "durable hand replace"),
       ("CreateTask", "task creation (file reset every round)", "durable hand replace"),
       ("CopyTask", "task copy (file reset every round)", "durable hand replace"),
       ("Shrink", "compaction after N/2 removals", "durable hand replace"),
       ("Enumerate/lastSlot0", "whole enumeration, lastSlot 0", "N stat() calls"),
       ("Enumerate/lastSlotN", "whole enumeration, lastSlot N", "N stat() calls"))
UNPAIRED = (("ReadAfterChange", "first read after the file changed"),
            ("Enumerate/afterChange", "whole enumeration right after the file changed"))


class Results:
    """{(subject, operation): {N: {"time": us, counter: value}}}, medians."""

    def __init__(self, paths):
        self.series = collections.defaultdict(dict)
        for path in paths:
            with open(path, encoding="utf-8") as stream:
                run = json.load(stream)
            for bench in run.get("benchmarks", []):
                self.add(bench)
        # The N series of the reads; a benchmark of one odd count (the copy
        # at 9,990 tasks) appears in the targets only.
        every = sorted({n for s in self.series.values() for n in s if n})
        self.counts = sorted(self.series.get(("orx", "ReadTask"), {})) or every

    def add(self, bench):
        if bench.get("aggregate_name") != "median" or bench.get("error_occurred"):
            return
        # Options Google Benchmark appends ("iterations:10") are not names.
        parts = [p for p in bench["run_name"].split("/")
                 if ":" not in p and p not in ("manual_time", "real_time")]
        if parts[-1].isdigit():
            subject, operation, tasks = parts[0], "/".join(parts[1:-1]), int(parts[-1])
        else:  # a benchmark without N: kept under N = 0
            subject, operation, tasks = parts[0], "/".join(parts[1:]), 0
        figures = {k: v for k, v in bench.items()
                   if isinstance(v, (int, float)) and k not in ("iterations", "repetitions")}
        figures["time"] = bench["real_time"] * UNIT_TO_US[bench.get("time_unit", "ns")]
        self.series[(subject, operation)][tasks] = figures

    def get(self, subject, operation, tasks, field="time"):
        figures = self.series.get((subject, operation), {}).get(tasks, {})
        if field == "time" and "us" in figures:
            return figures["us"]  # the paired median per call
        return figures.get(field)


def peer_mode_label(peer, mode, text):
    # A fresh QSettings object on an unchanged file reuses Qt's parsed copy.
    if peer == "QSettings" and mode == "fresh":
        return "fresh object (a hit in Qt's process-wide cache)"
    return text


def fmt_time(us):
    if us is None:
        return "n/a"
    if us >= 1000:
        return "%.1f ms" % (us / 1000)
    if us >= 10:
        return "%.0f µs" % us
    if us >= 1:
        return "%.2f µs" % us
    if us >= 0.01:
        return "%.0f ns" % (us * 1000)
    return "%.1f ns" % (us * 1000)


def fmt_ratio(ratio):
    if ratio is None:
        return "n/a"
    if ratio < 0.01:
        return "%.4fx" % ratio
    return "%.2fx" % ratio if ratio < 10 else "%.0fx" % ratio


def targets(results):
    """Rows (what, measured text, target text, met or None when unmeasured)."""
    rows = []

    def bound(what, value, limit, text, unit="x"):
        shown = None if value is None else (
            fmt_ratio(value) if unit == "x" else fmt_time(value))
        rows.append((what, shown or "n/a", text,
                     None if value is None else value <= limit))

    read_ratios = [(results.get("orx", op, n, "ratio"), op, n)
                   for op, _ in READS for n in results.series.get(("orx", op), {})]
    read_ratios = [r for r in read_ratios if r[0] is not None]
    worst = max(read_ratios) if read_ratios else None
    rows.append(("cached read, every read export, ÷ `stat()` of the file, every N",
                 "%s to %s (worst: %s at N = %d)" % (
                     fmt_ratio(min(read_ratios)[0]), fmt_ratio(worst[0]), worst[1], worst[2])
                 if worst else "n/a",
                 "≤ 1.15x at every N", None if worst is None else worst[0] <= 1.15))
    bound("one-key write ÷ durable hand replace of the same bytes, N = 1000",
          results.get("orx", "WriteKey", 1000, "ratio"), 1.15, "≤ 1.15x")
    bound("one-key write ÷ durable hand replace of the same bytes, N = 10,000",
          results.get("orx", "WriteKey", 10000, "ratio"), 1.25, "≤ 1.25x")
    bound("first read after the file changed, N = 1000",
          results.get("orx", "ReadAfterChange", 1000), 3000, "≤ 3 ms", unit="time")
    bound("first read after the file changed, N = 10,000",
          results.get("orx", "ReadAfterChange", 10000), 25000, "≤ 25 ms", unit="time")
    bound("copy ÷ one write, at 9,990 tasks",
          results.get("orx", "CopyVsWrite", 9990, "ratio"), 1.5, "≤ 1.5x")
    bound("enumeration with `lastSlot` 0 of 10,000 tasks ÷ 10,000 `stat()` calls",
          results.get("orx", "Enumerate/lastSlot0", 10000, "ratio"), 1.1, "≤ 1.1x")
    for operation, what, limit in (
            ("ReadOneKey", "process growth reading one key of the 10,000-task file", 2),
            ("EnumerateThenWrite", "growth after an enumeration then one write, same file", 3)):
        growth = results.get("memory", operation, 10000, "growth")
        ratio = results.get("memory", operation, 10000, "growth_ratio")
        peak = results.get("memory", operation, 10000, "peak")
        shown = "n/a" if ratio is None else "%s (%.0f MB, peak %.0f MB)" % (
            fmt_ratio(ratio), growth / 1e6, (peak or 0) / 1e6)
        rows.append((what, shown, "≤ %dx the file" % limit,
                     None if ratio is None else ratio <= limit))
    return rows


class Report:
    def __init__(self, results, machine):
        self.r = results
        self.machine = machine
        self.peers = [p for p in PEERS if any(s == p for s, _ in results.series)]
        self.lines = []

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
        self.add("## Machine and run", "",
                 "- CPU: %s, %s logical cores; memory %s" % (
                     m.get("cpu", "?"), m.get("nproc", "?"), m.get("memory", "?")),
                 "- Kernel: %s" % m.get("kernel", "?"),
                 "- Files under `%s`, on %s" % (m.get("tmpdir", "?"), m.get("fs", "?")),
                 "- Load average (1, 5, 15 min): %s before the run, %s after" % (
                     m.get("load_before", "?"), m.get("load_after", "?")),
                 "- Compiler: %s; Google Benchmark %s; %s" % (
                     m.get("compiler", "?"), m.get("benchmark", "?"), m.get("peers", "")),
                 "- Settings: %s" % m.get("settings", "?"),
                 "- Date: %s; the run took %s" % (m.get("date", "?"), m.get("duration", "?")), "")

    def targets_section(self):
        rows = [[what, shown, target, {True: "met", False: "**not met**", None: "n/a"}[met]]
                for what, shown, target, met in targets(self.r)]
        self.add("## Targets", "",
                 "Each ratio is the median of per-round ratios, the operation and its floor "
                 "timed in the same rounds, alternating which goes first.", "")
        self.table(["what", "this run", "target", ""], rows)

    def per_n(self, title, intro, entries):
        """entries: (subject, operation, label, floor label or None)."""
        header = ["operation"] + ["N=%d" % n for n in self.r.counts]
        rows = []
        for subject, operation, label, floor in entries:
            row = [label]
            for n in self.r.counts:
                ours = self.r.get(subject, operation, n)
                ratio = self.r.get(subject, operation, n, "ratio")
                cell = fmt_time(ours)
                if floor and ratio is not None:
                    cell += " (%s)" % fmt_ratio(ratio)
                if self.r.get(subject, operation, n, "refused"):
                    cell = "refused: full list, %s" % fmt_time(ours)
                row.append(cell)
            rows.append(row)
        self.add("## " + title, "", intro, "")
        self.table(header, rows)

    def reads(self):
        entries = [("orx", op, "read of a " + label, "stat()") for op, label in READS]
        entries += [("naive", op, "naive parse per call, " + label.split(" (")[0], None)
                    for op, label in READS[:2]]
        entries += [("orx", op, label, None) for op, label in UNPAIRED[:1]]
        entries += [("orx", "ReadAfterRefusal", "read after a refused creation", "stat()")]
        self.per_n("Reads, per call",
                   "In brackets: the median per-round ratio to a bare `stat()` of the file "
                   "read, 50 calls of each per round. A cached read makes that `stat()` "
                   "itself, so its ratio cannot fall below 1.", entries)

    def own(self):
        entries = [("orx", op, "%s (÷ %s)" % (label, floor), floor) for op, label, floor in OWN]
        entries += [("orx", op, label, None) for op, label in UNPAIRED[1:]]
        self.per_n("Writes, task operations and enumerations",
                   "The durable hand replace does every system call the library's write "
                   "makes (lock, temporary file in the same folder, write, `fsync`, rename, "
                   "`fsync` of the folder; bench/README.md lists them) on the same bytes, "
                   "with nothing parsed. Creation and copy start every round from the list "
                   "of exactly N tasks, put back untimed; on the full list of 10,000 they "
                   "are refused.", entries)
        copy = self.r.get("orx", "CopyVsWrite", 9990)
        if copy is not None:
            self.add("At 9,990 tasks a copy took %s against %s for one one-key write in the "
                     "same rounds: %s." % (
                         fmt_time(copy), fmt_time(self.r.get("orx", "CopyVsWrite", 9990,
                                                             "write_us")),
                         fmt_ratio(self.r.get("orx", "CopyVsWrite", 9990, "ratio"))), "")

    def peers_section(self):
        if not self.peers:
            return
        for operation, label in (("ReadTask", "Read of one task property"),
                                 ("WriteKey", "Write of one key ([InetWD] UpdatePeriod)")):
            header = ["N", "orxProperty"]
            columns = [(p, m, "%s, %s" % (p, peer_mode_label(p, m, text))) for p in self.peers
                       for m, text in PEER_MODES
                       if (p, "%s/%s" % (operation, m)) in self.r.series]
            header += [c[2] for c in columns]
            rows = [[str(n), fmt_time(self.r.get("orx", operation, n))] +
                    [fmt_time(self.r.get(p, "%s/%s" % (operation, m), n)) for p, m, _ in columns]
                    for n in self.r.counts]
            self.add("### " + label, "")
            self.table(header, rows)

    def render(self, plots):
        self.add("# Benchmark report", "",
                 "Produced by `bench/run` from one run on one machine. Main files of N "
                 "tasks were made by the library itself: a Scanner list of N slots and 46 "
                 "properties per task (about 1.2 KB per task).", "")
        self.machine_section()
        self.targets_section()
        self.reads()
        self.own()
        self.add("## Against the peers", "",
                 "\"kept object\" is one object for the whole run, blind to other writers; "
                 "\"fresh object\" is a new one per call. For QSettings a fresh object on an "
                 "unchanged file is a hit in Qt's process-wide cache, not a load; "
                 "\"file changed\" is a fresh object after another program replaced the "
                 "file. The library sees every writer's change on every call. The peers' "
                 "writes ran at other moments than ours, so compare them loosely.", "")
        self.table(["peer", "what a write does"],
                   [[p, PEER_WRITES[p]] for p in self.peers])
        self.peers_section()
        self.store_section()
        self.floors_section()
        self.add("## Plots", "")
        for name, caption in plots:
            self.add("![%s](%s)" % (caption, name), "")
        return "\n".join(self.lines).rstrip() + "\n"

    def store_section(self):
        names = sorted({s for s, _ in self.r.series if s.startswith("BM_")})
        if not names:
            return
        self.add("## The settings-file store and the task registry alone", "",
                 "bench/profile_store_bench.cc and bench/task_registry_bench.cc on the same "
                 "main files (bench/README.md). In brackets the paired ratio: to `stat()` "
                 "for the cached read, to the cached read for the naive one, to the durable "
                 "hand replace for the store's write (bare temporary file + `fsync` + "
                 "rename after the slash), to one one-key write for the registry's "
                 "operations.", "")
        rows = []
        for name in names:
            row = [name]
            for n in self.r.counts:
                cell = fmt_time(self.r.get(name, "", n))
                ratio = self.r.get(name, "", n, "ratio")
                if self.r.get(name, "", n, "refused"):
                    cell = "refused: full list, " + cell
                elif ratio is not None:
                    bare = self.r.get(name, "", n, "bare_ratio")
                    cell += " (%s%s)" % (fmt_ratio(ratio),
                                         "" if bare is None else " / " + fmt_ratio(bare))
                row.append(cell)
            rows.append(row)
        self.table(["benchmark"] + ["N=%d" % n for n in self.r.counts], rows)
        writes = [(n, self.r.get("BM_WriteInterleaved", "", n),
                   self.r.get("BM_WriteInterleaved", "", n, "floor_us"),
                   self.r.get("BM_WriteInterleaved", "", n, "bare_us")) for n in self.r.counts]
        writes = [w for w in writes if None not in w]
        if writes:
            self.add("The three writes of `BM_WriteInterleaved`, each round in rotating order "
                     "(store write / durable hand replace / bare replace): " + "; ".join(
                         "N = %d: %s / %s / %s" % (n, fmt_time(a), fmt_time(b), fmt_time(c))
                         for n, a, b, c in writes) + ".", "")

    def floors_section(self):
        rows = []
        for operation, label in (("InotifyRead", "empty `read()` of an inotify descriptor"),
                                 ("SharedCounterLoad", "atomic load from a shared page")):
            us = self.r.get("floors", operation, 0)
            if us is not None:
                rows.append([label, fmt_time(us),
                             fmt_time(self.r.get("floors", operation, 0, "stat_us")),
                             fmt_ratio(self.r.get("floors", operation, 0, "ratio"))])
        if rows:
            self.add("## The floor of a coherent read", "",
                     "What learning that a file did not change costs at the least, each "
                     "against a bare `stat()` in the same rounds (bench/README.md says "
                     "which a read that must see hand edits can use).", "")
            self.table(["check", "per call", "stat()", "ratio"], rows)


def plot(results, out_dir):
    """Cost per call against N, log-log, one PNG per kind of call."""
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    def peer_lines(operation):
        return [(p, "%s/%s" % (operation, m), "%s %s" % (p, peer_mode_label(p, m, text)), "time")
                for p in PEERS for m, text in PEER_MODES]

    figures = [
        ("reads.png", "Read of one task property",
         [("orx", "ReadTask", "stat() floor, same rounds", "stat_us"),
          ("orx", "ReadTask", "orxProperty", "time"),
          ("orx", "ReadAfterChange", "orxProperty, file changed", "time"),
          ("naive", "ReadTask", "naive parse per call", "time")] + peer_lines("ReadTask")),
        ("writes.png", "Write of one key",
         [("orx", "WriteKey", "durable hand replace, same rounds", "floor_us"),
          ("orx", "WriteKey", "orxProperty", "time")] + peer_lines("WriteKey")),
        ("tasks.png", "Task operations of the library",
         [("orx", op, label, "time") for op, label, _ in OWN] +
         [("orx", op, label, "time") for op, label in UNPAIRED[1:]]),
    ]
    made = []
    for name, title, lines in figures:
        fig, axes = plt.subplots(figsize=(8, 5))
        plotted = 0
        for subject, operation, label, field in lines:
            xs = [n for n in results.counts
                  if results.get(subject, operation, n, field) is not None]
            if not xs:
                continue
            plotted += 1
            ys = [results.get(subject, operation, n, field) for n in xs]
            floor = field != "time" or subject == "naive"
            style = "--" if floor else ("-o" if subject == "orx" else "-^")
            axes.plot(xs, ys, style, label=label, linewidth=2.5 if style == "-o" else 1.2)
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

    results = Results(args.results)
    with open(args.machine, encoding="utf-8") as stream:
        machine = json.load(stream)
    os.makedirs(os.path.join(args.out, args.plots), exist_ok=True)
    plots = [(os.path.join(args.plots, name), caption)
             for name, caption in plot(results, os.path.join(args.out, args.plots))]
    with open(os.path.join(args.out, "REPORT.md"), "w", encoding="utf-8") as stream:
        stream.write(Report(results, machine).render(plots))


if __name__ == "__main__":
    main()
