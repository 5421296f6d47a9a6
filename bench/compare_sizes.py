#!/usr/bin/env python3
"""Prints each measurement of two bench runs (google benchmark JSON) side by side with the ratio
of the larger workshop to the smaller. Nothing may grow faster than the data: with five times the
data a ratio stays at or under 5.5; a save touches one record and its day cell, so its ratio stays
near 1."""
import json
import sys

LIMIT = 5.5
SAVES = ("SaveShiftRecord", "WriteShiftRecord")


def measurements(path):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    medians = {r["run_name"] for r in runs if r.get("aggregate_name") == "median"}
    out = {}
    for r in runs:
        name = r["run_name"]
        if name in medians and r.get("aggregate_name") != "median":
            continue
        if r.get("run_type") == "aggregate" and r.get("aggregate_name") != "median":
            continue
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[r.get("time_unit", "ns")]
        out[(name, "time_ms")] = r["real_time"] * scale
        for key, value in r.items():
            if key.endswith("_ms") and isinstance(value, (int, float)):
                out[(name, key)] = value
    return out


def main():
    small, large = measurements(sys.argv[1]), measurements(sys.argv[2])
    sizes = sys.argv[3:5] if len(sys.argv) >= 5 else ("small", "large")
    print(f"{'measurement':60} {sizes[0]:>12} {sizes[1]:>12} {'ratio':>7}")
    over = 0
    for key in sorted(small):
        if key not in large or small[key] <= 0:
            continue
        ratio = large[key] / small[key]
        flag = ""
        if ratio > LIMIT:
            flag = "  grows faster than the data"
            over += 1
        elif key[0].startswith(SAVES) and ratio > 1.5:
            flag = "  a save should stay near 1"
        print(f"{key[0] + ' ' + key[1]:60} {small[key]:12.1f} {large[key]:12.1f} {ratio:7.2f}{flag}")
    print(f"{over} measurement(s) over {LIMIT}")


if __name__ == "__main__":
    main()
