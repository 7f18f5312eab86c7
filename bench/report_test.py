"""The report's reading of benchmark results and its verdicts on targets:
a misread name or a wrong comparison would publish a figure nobody measured."""
import json
import os
import tempfile
import unittest

import report


def bench(run_name, real_time, unit="us", aggregate="median", **counters):
    entry = {"run_name": run_name, "aggregate_name": aggregate, "real_time": real_time,
             "time_unit": unit, "iterations": 3, "repetitions": 3}
    entry.update(counters)
    return entry


def results_of(*benchmarks):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "run.json")
        with open(path, "w", encoding="utf-8") as stream:
            json.dump({"benchmarks": list(benchmarks)}, stream)
        return report.Results([path])


class ResultsTest(unittest.TestCase):
    def test_names_options_units_and_aggregates(self):
        results = results_of(
            bench("orx/ReadTask/1000/manual_time", 2.0, us=1.5, stat_us=1.2, ratio=1.25),
            bench("orx/ReadTask/1000/manual_time", 99.0, aggregate="mean"),
            bench("orx/WriteKey/10000/iterations:8/manual_time", 40.0, unit="ms"),
            bench("orx/Enumerate/lastSlot0/10/iterations:30/manual_time", 12.0),
            bench("floors/InotifyRead/manual_time", 700.0, unit="ns"),
            dict(bench("orx/CopyTask/10/manual_time", 5.0), error_occurred=True))
        cases = [
            (("orx", "ReadTask", 1000), 1.5),  # the paired median wins over real_time
            (("orx", "ReadTask", 1000, "ratio"), 1.25),
            (("orx", "WriteKey", 10000), 40000.0),
            (("orx", "Enumerate/lastSlot0", 10), 12.0),
            (("floors", "InotifyRead", 0), 0.7),
            (("orx", "CopyTask", 10), None),
        ]
        for args, expected in cases:
            with self.subTest(args=args):
                value = results.get(*args)
                if expected is None:
                    self.assertIsNone(value)
                else:
                    self.assertAlmostEqual(value, expected)
        self.assertEqual(results.counts, [1000])


class TargetsTest(unittest.TestCase):
    def verdicts(self, *benchmarks):
        return {what: (shown, met) for what, shown, _, met in
                report.targets(results_of(*benchmarks))}

    def test_worst_read_export_decides_and_limits_are_inclusive(self):
        verdicts = self.verdicts(
            bench("orx/ReadTask/10/manual_time", 1, us=1, ratio=1.10),
            bench("orx/ReadPlain/10/manual_time", 1, us=1, ratio=1.15),
            bench("orx/ReadProvider/10000/manual_time", 1, us=1, ratio=1.30),
            bench("orx/WriteKey/1000/manual_time", 1, us=1, ratio=1.15),
            bench("orx/ReadAfterChange/10000/iterations:5/manual_time", 26, unit="ms"),
            bench("memory/ReadOneKey/10000/iterations:1", 1, growth=24e6, peak=30e6,
                  growth_ratio=2.0))
        read = next(v for k, v in verdicts.items() if k.startswith("cached read"))
        self.assertFalse(read[1])
        self.assertIn("ReadProvider at N = 10000", read[0])
        checks = [("one-key write ÷ durable hand replace of the same bytes, N = 1000", True),
                  ("one-key write ÷ durable hand replace of the same bytes, N = 10,000", None),
                  ("first read after the file changed, N = 10,000", False),
                  ("process growth reading one key of the 10,000-task file", True),
                  ("copy ÷ one write, at 9,990 tasks", None)]
        for what, met in checks:
            with self.subTest(what=what):
                self.assertIs(verdicts[what][1], met)
        self.assertEqual(verdicts["copy ÷ one write, at 9,990 tasks"][0], "n/a")


class FormatTest(unittest.TestCase):
    def test_times_and_ratios_keep_their_digits(self):
        cases = [(report.fmt_time, 0.0006, "0.6 ns"), (report.fmt_time, 0.37, "370 ns"),
                 (report.fmt_time, 1.284, "1.28 µs"), (report.fmt_time, 46.4, "46 µs"),
                 (report.fmt_time, 25100, "25.1 ms"), (report.fmt_time, None, "n/a"),
                 (report.fmt_ratio, 0.00047, "0.0005x"), (report.fmt_ratio, 1.149, "1.15x"),
                 (report.fmt_ratio, 123.4, "123x"), (report.fmt_ratio, None, "n/a")]
        for function, value, text in cases:
            with self.subTest(value=value):
                self.assertEqual(function(value), text)


class RenderTest(unittest.TestCase):
    def test_refusals_odd_counts_and_the_machine_are_shown(self):
        results = results_of(
            bench("orx/ReadTask/10/manual_time", 1, us=1.3, ratio=1.3),
            bench("orx/ReadTask/10000/manual_time", 1, us=1.4, ratio=1.4),
            bench("orx/CreateTask/10000/iterations:6/manual_time", 1, us=90, ratio=0.9,
                  refused=1),
            bench("orx/CreateTask/10/iterations:20/manual_time", 1, us=900, ratio=1.2,
                  refused=0),
            bench("orx/CopyVsWrite/9990/iterations:8/manual_time", 1, us=150e3,
                  write_us=100e3, ratio=1.5))
        text = report.Report(results, {"load_before": "1.0 0.5 0.2",
                                       "duration": "9 min 58 s"}).render([])
        self.assertIn("refused: full list", text)
        self.assertIn("900 µs (1.20x)", text)
        self.assertNotIn("N=9990", text)
        self.assertIn("a copy took 150.0 ms against 100.0 ms", text)
        self.assertIn("1.0 0.5 0.2 before the run", text)
        self.assertIn("9 min 58 s", text)


if __name__ == "__main__":
    unittest.main()
