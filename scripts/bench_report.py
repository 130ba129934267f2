#!/usr/bin/env python3
"""Writes docs/performance.md from what scripts/bench.sh --report gathered.

usage: bench_report.py OUT WINE_LINES TICK_JSON SIZES MACHINE
  WINE_LINES  the harness's output: lines that start with "bench-"
  TICK_JSON   Google Benchmark's JSON for the watch tick, with repetitions
  SIZES       lines "<file name> <bytes>"
  MACHINE     lines "<key>=<value>": cpu, cores, kernel, wine, display,
              date, load_before, load_after
Figures it cannot find are shown as "not measured", never invented.
"""
import json
import math
import re
import sys

NOT_MEASURED = "not measured"
CPU_TIME_NOTE = ("CPU time is user plus kernel time from the system's process list "
                 "(NtQuerySystemInformation). Wine counts it in 10 ms steps (0.03 % of one core "
                 "over 30 s, 0.1 % over 10 s) and answers GetProcessTimes for another process with the caller's "
                 "own times, so that call is not used.")


def percentile(values, fraction):
    ordered = sorted(values)
    index = max(0, math.ceil(fraction * len(ordered)) - 1)
    return ordered[min(index, len(ordered) - 1)]


def read_lines(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return [line.rstrip("\n") for line in f]


def find(lines, prefix):
    """The first line that starts with prefix, or None."""
    return next((line for line in lines if line.startswith(prefix)), None)


def number(pattern, line):
    if line is None:
        return None
    match = re.search(pattern, line)
    return float(match.group(1)) if match else None


def spread(line):
    """Median, 95th percentile and count of a harness line, or Nones."""
    return (number(r"median ([\d.]+) ms", line), number(r"95th percentile ([\d.]+) ms", line),
            number(r"(\d+) (?:trials|starts|times)", line), number(r"missed (\d+)", line))


def ms(value):
    return NOT_MEASURED if value is None else f"{value:.1f} ms"


def verdict(value, goal):
    if value is None or goal is None:
        return ""
    return "met" if value < goal else "**missed**"


# The ordinary title's runs are named WatchTick/<keywords> or
# WatchTick/ordinary_title/<keywords>; other titles carry their own name.
ORDINARY_TITLE = "ordinary_title"
TITLE_LABELS = {ORDINARY_TITLE: "ordinary title",
                "title_with_program_name": "title holding the program's name",
                "title_changing_every_tick": "title that changes before every tick",
                "ordinary_titles_in_200_windows": "ordinary titles in 200 visible windows",
                "ordinary_titles_and_200_programs_in_200_windows":
                    "ordinary titles and 200 program items in 200 visible windows of 50 programs"}
# A tick's goal in microseconds: 20 for one window, 100 for two hundred.
TICK_GOALS_US = {"ordinary_titles_in_200_windows": 100,
                 "ordinary_titles_and_200_programs_in_200_windows": 100}


def tick_figures(path):
    """{(title, keywords): (median µs, p95 µs, repetitions)} from the repetitions' means."""
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError):
        return {}
    times = {}
    for run in data.get("benchmarks", []):
        if run.get("run_type") != "iteration":
            continue
        match = re.fullmatch(r"WatchTick/(?:(\w+)/)?(\d+)", run.get("name", ""))
        if not match:
            continue
        key = (match.group(1) or ORDINARY_TITLE, int(match.group(2)))
        scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[run.get("time_unit", "ns")]
        times.setdefault(key, []).append(run["real_time"] * scale)
    return {k: (percentile(v, 0.5), percentile(v, 0.95), len(v)) for k, v in times.items()}


def main():
    out, wine_path, tick_path, sizes_path, machine_path = sys.argv[1:6]
    wine = read_lines(wine_path)
    machine = dict(line.split("=", 1) for line in read_lines(machine_path) if "=" in line)
    sizes = [line.split() for line in read_lines(sizes_path) if line.strip()]
    ticks = tick_figures(tick_path)
    cores = int(machine.get("cores", "1") or 1)
    load = max(float(machine.get(key, "0") or 0)
               for key in ("load_before", "load_after", "load_peak"))

    doc = []
    add = doc.append
    add("# Performance")
    add("")
    add("Written by `scripts/bench.sh --report`; every figure below comes from that one run.")
    add("")
    if load > cores / 2:
        add(f"**Taken on a loaded machine** (load average up to {load:.1f} on {cores} cores, "
            "so other work was running): the figures are noisier and mostly higher than on a quiet "
            "machine. Re-run the command on a quiet machine for figures to judge by.")
        add("")
    add("## On what")
    add("")
    add(f"- CPU: {machine.get('cpu', '?')}, {cores} cores")
    add(f"- Kernel: {machine.get('kernel', '?')}")
    add(f"- Wine: {machine.get('wine', '?')} (wine64, a prefix of its own with unmanaged X11 "
        "windows, no window manager)")
    add(f"- Display: {machine.get('display', '?')}")
    add(f"- Date: {machine.get('date', '?')}")
    add(f"- Load average (1 min): {machine.get('load_before', '?')} before, "
        f"{machine.get('load_peak', '?')} at most between benchmarks, "
        f"{machine.get('load_after', '?')} after")
    add("- Programs: the Release build (mingw-w64, -O3, static runtime); the watch tick natively, "
        "Release, without sanitizers")
    add("")

    table(add, "Lock latency",
          "From the harness's showing a window with a locked title (shown and activated, or "
          "shown without activation behind the front window) until that window is no longer "
          "visible; 30 trials each, a new window class per trial, trials started at spread phases "
          "of the 500 ms timer (`pmharness bench-latency [--show-inactive] [--program-item]`); a program "
          "item's window has a title that locks nothing.",
          ("Path", "Trials", "Median", "95th percentile", "Goal (95th)", ""))
    for bench, hook_label, timer_label, goal in (
            ("bench-latency", "Foreground hook and 20 ms foreground poll",
             "500 ms watch timer alone (hooks switched off)", 15),
            ("bench-latency-shown-inactive", "Shown without activation: hooks and poll",
             "Shown without activation: 500 ms watch timer alone", 10),
            ("bench-latency-program-item", "Locked by a program item: hooks and poll",
             "Locked by a program item: 500 ms watch timer alone", 15)):
        hook = spread(find(wine, f"{bench} (hook)"))
        timer = spread(find(wine, f"{bench} (timer only)"))
        add(spread_row(hook_label, hook, f"< {goal} ms | {verdict(hook[1], goal)}"))
        add(spread_row(timer_label, timer,
                       f"bounded by the 500 ms period | {verdict(timer[1], 500)}"))
    add("")

    table(add, "Watch tick",
          "One `timPelmora_Timer` call on the simulated desktop for a 255-character title that "
          "matches none of the locked keywords (the tick's ordinary worst case) with 100 ignore "
          "entries; Google Benchmark, repetitions of at least 0.1 s each, median and 95th "
          "percentile of the repetitions' mean times (`pm_bench --benchmark_filter=WatchTick`).",
          ("Locked keywords, title", "Repetitions", "Median", "95th percentile", "Goal", ""))
    expected = [(ORDINARY_TITLE, keywords) for keywords in (10, 100, 1000)]
    for title, keywords in expected + sorted(set(ticks) - set(expected)):
        label = f"{keywords}, {TITLE_LABELS.get(title, title.replace('_', ' '))}"
        goal = TICK_GOALS_US.get(title, 20)
        if (title, keywords) in ticks:
            median, p95, count = ticks[(title, keywords)]
            add(f"| {label} | {count} | {median:.2f} µs | {p95:.2f} µs | < {goal} µs | "
                f"{verdict(p95, goal)} |")
        else:
            add(f"| {label} | - | {NOT_MEASURED} | {NOT_MEASURED} | < {goal} µs | |")
    add("")

    idle_conditions = "with nothing happening, after 1 s of settling"
    cpu_section(add, wine, "pmpro at rest", "bench-idle", "CPU", "Idle CPU", (0.2, None),
                idle_conditions, "hooks and foreground poll")
    no_poll_line = find(wine, "bench-idle (hook, no poll): CPU")
    add(cpu_row("Idle CPU as on Windows (hooks, the foreground poll stopped)", no_poll_line, 0.2,
                idle_conditions))
    hook_idle = number(r"= ([\d.]+) % of one core", find(wine, "bench-idle (hook): CPU"))
    no_poll_idle = number(r"= ([\d.]+) % of one core", no_poll_line)
    timer_idle = number(r"= ([\d.]+) % of one core", find(wine, "bench-idle (timer only): CPU"))
    memory = find(wine, "bench-idle (hook): working set")
    working_set = fmt_mib(number(r"working set after start-up ([\d.]+) MiB", memory))
    peak = fmt_mib(number(r"peak ([\d.]+) MiB", memory))
    add(f"| Working set after start-up | {working_set} | | | "
        "GetProcessMemoryInfo 1 s after the main window appeared |")
    add(f"| Peak working set | {peak} | | | the same call |")
    add("")

    without_poll = no_poll_idle if no_poll_idle is not None else timer_idle
    if hook_idle is not None and without_poll is not None:
        add(f"The difference, {max(hook_idle - without_poll, 0):.2f} % of one core, is what the "
            "20 ms foreground poll costs under Wine: each of its 50 wake-ups a second is a "
            "round trip through wineserver. Under Wine the hooks report new windows but not "
            "another program's window brought to the front; only the poll sees that at once, "
            "and without it the 500 ms timer does (the lock latency table's second row). Both "
            "goals cannot be had from a poll: 0.2 % allows about 20 wake-ups a second, a 50 ms "
            "poll. On Windows the foreground hook reports every change: the poll stops at its "
            "first report of another program's window, and the engine idles as in the row "
            "without the poll, measured here with the poll switched off by the benchmark's "
            "administrator-only value `NoForegroundPoll`.")
        add("")
    add(CPU_TIME_NOTE)
    add("")
    table(add, "pmpro start-up",
          "From `CreateProcess` in the harness; 10 starts, each copy ended before the next "
          "(`pmharness bench-startup-time`).",
          ("Until", "Starts", "Median", "95th percentile", "How measured"))
    window = spread(find(wine, "bench-startup-time"))
    tray = spread(find(wine, "bench-startup-tray"))
    add(spread_row("The hidden main window titled \"Pelmora Pro 2003\" exists", window,
                   "FindWindow polled every millisecond"))
    add(spread_row("The tray icon is shown", tray,
        "Wine stands in for Windows: its Shell_NotifyIconGetRect answers E_NOTIMPL, so the "
        "harness counts the icon windows in Wine's tray window (class "
        "`__winex11_standalone_tray`) every millisecond until ours is there; on Windows the "
        "harness asks Shell_NotifyIconGetRect for the main window's icon 1"))
    add("")

    cpu_section(add, wine, "pmpstart", "bench-startup-cpu", "", "CPU while the prompt waits",
                (0.5, 0.5), "with the prompt shown and nothing typed",
                "hooks, no foreground poll")
    taskmgr = spread(find(wine, "bench-taskmgr"))
    add(f"| Task Manager closed: median | {ms(taskmgr[0])} | | | from the creation of a window "
        f"titled as the Task Manager (both titles in turn, {fmt_count(taskmgr)} trials) until "
        "its WM_CLOSE reached its window procedure |")
    add(f"| Task Manager closed: 95th percentile | {ms(taskmgr[1])} | < 15 ms | "
        f"{verdict(taskmgr[1], 15)} | the same trials |")
    add("")
    add(CPU_TIME_NOTE)
    add("")

    table(add, "The service",
          "The installed service under Wine, the programs run with a standard user's token "
          "(`pmharness bench-engine-restart`, `pmharness bench-service-apply`).",
          ("Figure", "Times", "Median", "95th percentile", "Goal", "", "How measured"))
    restart = spread(find(wine, "bench-engine-restart"))
    add(f"| The engine ended by TerminateProcess until a new engine's hidden main window exists "
        f"| {fmt_count(restart)} | {ms(restart[0])} | {ms(restart[1])} | < 1000 ms | "
        f"{verdict(restart[1], 1000)} | the harness, an administrator, ends the engine the "
        "service started and polls FindWindow every millisecond |")
    saves = spread(find(wine, "bench-service-apply"))
    add(f"| A save through the service | {fmt_count(saves)} | {ms(saves[0])} | "
        f"{ms(saves[1])} | | | from a click on Apply until the setting is stored and Apply "
        "disabled; the tool's ticket, no password check |")
    add("")

    table(add, "Sizes", None, ("File", "Size"))
    for name, size in sizes:
        add(f"| {name} | {int(size):,} bytes ({int(size) / 1024:.0f} KiB) |")
    if not sizes:
        add(f"| - | {NOT_MEASURED} |")
    add("")

    missed = [line for line in wine if line.startswith("bench-") and "missed" in line
              and not re.search(r"missed 0\b", line)]
    failed = [line for line in wine if line.startswith("benchmark failed:")]
    if missed or failed:
        add("## Trouble during the run")
        add("")
        for line in failed + missed:
            add(f"- `{line}`")
        add("")

    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(doc))


FIGURE_COLUMNS = ("Figure", "Value", "Goal", "", "How measured")


def table(add, heading, intro, columns):
    """A section's heading, its introduction if any, and its table's head."""
    add(f"## {heading}")
    add("")
    if intro:
        add(intro)
        add("")
    add("| " + " | ".join(columns) + " |")
    add("|" + "---|" * len(columns))


def spread_row(label, figures, tail):
    """A table row for a harness line with a median and a 95th percentile."""
    return f"| {label} | {fmt_count(figures)} | {ms(figures[0])} | {ms(figures[1])} | {tail} |"


def cpu_section(add, wine, heading, bench, marker, what, goals, conditions, shipped):
    """A section's table with the CPU share as shipped and with the hooks off."""
    table(add, heading, None, FIGURE_COLUMNS)
    modes = (("hook", f"{what} ({shipped}, as shipped)"),
             ("timer only", f"{what} with the hooks switched off (timer only)"))
    for (mode, label), goal in zip(modes, goals):
        add(cpu_row(label, find(wine, f"{bench} ({mode}): {marker}"), goal, conditions))


def cpu_row(label, line, goal, conditions):
    """A table row for a CPU share line of the harness."""
    value = number(r"= ([\d.]+) % of one core", line)
    wall = number(r"in ([\d.]+) s", line)
    shown = NOT_MEASURED if value is None else f"{value:.2f} % of one core"
    goal_text = "" if goal is None else f"< {goal} %"
    return (f"| {label} | {shown} | {goal_text} | {verdict(value, goal)} | CPU time (see "
            f"below) over {wall or '?'} s {conditions} |")


def fmt_count(figures):
    count, missed = figures[2], figures[3]
    if count is None:
        return "-"
    return f"{int(count)}" + (f" ({int(missed)} missed)" if missed else "")


def fmt_mib(value):
    return NOT_MEASURED if value is None else f"{value:.1f} MiB"


if __name__ == "__main__":
    main()
