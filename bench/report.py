#!/usr/bin/env python3
"""Prints the benchmark table: each figure next to its target and, where one is named, a reference
measured in the same run. Reads Google Benchmark JSON files given on the command line."""
import json
import statistics
import sys
from pathlib import Path

UNIT_SCALE = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load_runs(paths):
    runs = {}
    for path in paths:
        try:
            data = json.loads(Path(path).read_text())
        except (OSError, ValueError) as error:
            print(f"warning: {path}: {error}", file=sys.stderr)
            continue
        for bench in data.get("benchmarks", []):
            if bench.get("run_type") == "aggregate":
                continue
            name = bench["name"].split("/manual_time")[0].split("/iterations:")[0].split("/repeats:")[0]
            runs.setdefault(name, []).append(bench)
    return runs


def figure(samples, target):
    if samples and "error_message" in samples[0]:
        return None
    if "counter" in target:
        return samples[0].get(target["counter"])
    field = target.get("field", "real_time")
    times = [s[field] * UNIT_SCALE[s.get("time_unit", "ns")] for s in samples]
    if not times:
        return None
    if target.get("statistic") == "median":
        return statistics.median(times)
    return statistics.mean(times)


def references(runs, target, unit):
    """The reference figures measured in the same run: the same counter of each named benchmark (the
    time of a single one when the target reads a time), or "-"."""
    names = target.get("reference", [])
    names = [names] if isinstance(names, str) else names
    shown = []
    for name in names:
        samples = runs.get(name, [])
        if "counter" in target:
            value = figure(samples, target) if samples else None
            label = name.split("/")[-1] + " "
        else:
            value = figure(samples, {k: v for k, v in target.items() if k != "counter"}) if samples else None
            label = ""
        if value is not None:
            shown.append(f"{label}{value:.3f} {unit}".strip())
    return "; ".join(shown) if shown else "-"


def main(argv):
    targets = json.loads((Path(__file__).parent / "targets.json").read_text())["targets"]
    runs = load_runs(argv[1:])
    rows = [("Measure", "Figure", "Target", "Reference", "Verdict")]
    failures = 0
    for target in targets:
        samples = runs.get(target["name"])
        value = figure(samples, target) if samples else None
        unit = target.get("unit", "")
        limit = target.get("max")
        reference = references(runs, target, unit)
        if value is None:
            verdict, shown = "not measured", "-"
            failures += 1
        else:
            shown = f"{value:.3f} {unit}" if isinstance(value, float) and value < 1000 else f"{value:,.0f} {unit}"
            verdict = "info" if limit is None else ("met" if value <= limit else "MISSED")
            failures += verdict == "MISSED"
        rows.append((target["label"], shown, f"<= {limit} {unit}" if limit is not None else "-",
                     reference, verdict))
    widths = [max(len(str(row[i])) for row in rows) for i in range(len(rows[0]))]
    for index, row in enumerate(rows):
        print("  ".join(str(cell).ljust(width) for cell, width in zip(row, widths)))
        if index == 0:
            print("  ".join("-" * width for width in widths))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
