#!/usr/bin/env python3
"""The performance report takes its figures from the harness's lines and the
tick benchmark's JSON, marks goals missed, and never invents what is absent."""
import json
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
import bench_report  # noqa: E402  (found through the path above)

HARNESS_LINES = [
    "bench-latency (hook): 30 trials, median 9.4 ms, 95th percentile 16.5 ms, min 4.1 ms, "
    "max 62.5 ms, missed 0",
    "bench-latency (timer only): 30 trials, median 262.5 ms, 95th percentile 477.5 ms, "
    "min 28.7 ms, max 511.9 ms, missed 2",
    "bench-idle (hook): working set after start-up 27.1 MiB (peak 28.3 MiB)",
    "bench-idle (hook): CPU 0.130 s in 30.0 s of idling = 0.433 % of one core",
    "bench-idle (hook, no poll): CPU 0.020 s in 30.0 s of idling = 0.067 % of one core",
    "bench-idle (timer only): CPU 0.010 s in 30.0 s of idling = 0.033 % of one core",
    "bench-startup-time: 10 starts, to the hidden main window: median 187.2 ms, "
    "95th percentile 398.7 ms, min 112.1 ms, max 398.7 ms, first 159.2 ms",
    "bench-startup-tray: 10 starts, to the tray icon: median 371.8 ms, 95th percentile "
    "865.1 ms, min 179.4 ms, max 865.1 ms, first 235.2 ms",
    "bench-startup-cpu (hook): 0.040 s of CPU in 10.0 s with the prompt waiting = 0.400 % of "
    "one core",
    "bench-taskmgr: 30 trials (both titles), creation to WM_CLOSE: median 8.5 ms, 95th "
    "percentile 12.0 ms, min 7.2 ms, max 25.6 ms, missed 0",
    "bench-engine-restart: 20 times, median 200.0 ms, 95th percentile 1351.0 ms, max 1400.0 ms",
    "bench-service-apply saves with the tool's ticket: 5 times, median 11.0 ms, 95th "
    "percentile 13.0 ms, max 14.0 ms",
    "benchmark failed: bench-startup-cpu pmpstart.exe --no-foreground-hook",
]


def tick_json(times_by_name):
    runs = [{"name": f"WatchTick/{name}", "run_type": "iteration", "real_time": t,
             "time_unit": "us"} for name, times in times_by_name.items() for t in times]
    runs.append({"name": "WatchTick/10_median", "run_type": "aggregate", "real_time": 99.0,
                 "time_unit": "us"})
    return json.dumps({"benchmarks": runs})


class BenchReportTest(unittest.TestCase):
    def write_report(self, lines, tick, load):
        with tempfile.TemporaryDirectory() as folder:
            def path(name, text):
                full = os.path.join(folder, name)
                with open(full, "w", encoding="utf-8") as f:
                    f.write(text)
                return full
            out = os.path.join(folder, "performance.md")
            sys.argv = ["bench_report.py", out, path("wine.txt", "\n".join(lines)),
                        path("tick.json", tick), path("sizes.txt", "pmpro.exe 1048576\n"),
                        path("machine.txt",
                             f"cores=2\nload_before={load}\nload_after=0.1\nload_peak=0.3\n")]
            bench_report.main()
            with open(out, encoding="utf-8") as f:
                return f.read()

    def test_figures_and_verdicts(self):
        tick = tick_json({"10": range(1, 21), "title_with_program_name/1000": [30.0],
                          "ordinary_title/1000": [2.0, 4.0]})
        report = self.write_report(HARNESS_LINES, tick, 0.2)
        for row in (
                "| Foreground hook and 20 ms foreground poll | 30 | 9.4 ms | 16.5 ms | < 15 ms | "
                "**missed** |",
                "| 30 (2 missed) | 262.5 ms | 477.5 ms |",
                # The repetitions' own times, not the aggregate row Google Benchmark adds.
                "| 10, ordinary title | 20 | 10.00 µs | 19.00 µs | < 20 µs | met |",
                "| 100, ordinary title | - | not measured | not measured |",
                "| 1000, ordinary title | 2 | 2.00 µs | 4.00 µs |",
                "| 1000, title holding the program's name | 1 | 30.00 µs | 30.00 µs | < 20 µs | "
                "**missed** |",
                "| Idle CPU (hooks and foreground poll, as shipped) | 0.43 % of one core | < 0.2 % "
                "| **missed** |",
                "| Idle CPU as on Windows (hooks, the foreground poll stopped) | 0.07 % of one "
                "core | < 0.2 % | met |",
                "The difference, 0.37 % of one core",
                "| Working set after start-up | 27.1 MiB |",
                "| Peak working set | 28.3 MiB |",
                "| The tray icon is shown | 10 | 371.8 ms | 865.1 ms |",
                "| CPU while the prompt waits (hooks, no foreground poll, as shipped) | 0.40 % of "
                "one core | < 0.5 % | met |",
                "| CPU while the prompt waits with the hooks switched off (timer only) | "
                "not measured |",
                "| Task Manager closed: 95th percentile | 12.0 ms | < 15 ms | met |",
                "| pmpro.exe | 1,048,576 bytes (1024 KiB) |",
                "hidden main window exists | 20 | 200.0 ms | 1351.0 ms | < 1000 ms | **missed** |",
                "| A save through the service | 5 | 11.0 ms | 13.0 ms |",
                "- `benchmark failed: bench-startup-cpu pmpstart.exe --no-foreground-hook`",
                "- `bench-latency (timer only): 30 trials"):
            with self.subTest(row=row):
                self.assertIn(row, report)
        self.assertNotIn("loaded machine", report)

    def test_nothing_measured_is_said_so(self):
        report = self.write_report([], "", 0.2)
        for heading in ("Lock latency", "Watch tick", "pmpro at rest", "pmpro start-up",
                        "pmpstart", "The service"):
            with self.subTest(heading=heading):
                section = report.split(f"## {heading}")[1].split("\n## ")[0]
                self.assertIn("not measured", section)
                self.assertNotIn(" met ", section)

    def test_a_busy_machine_is_marked(self):
        for load, marked in ((0.9, False), (1.1, True), (7.5, True)):
            with self.subTest(load=load):
                report = self.write_report(HARNESS_LINES, "", load)
                self.assertEqual("Taken on a loaded machine" in report, marked)


if __name__ == "__main__":
    unittest.main()
