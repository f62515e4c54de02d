#!/usr/bin/env python3
"""Summarises a journal_bench JSON report (--benchmark_out): for each window
benchmark beside its bare counterpart, the minimum and the median wall time over
the repetitions, their ratios, the median CPU time of the benchmark's thread, and
the spread of the repetitions (coefficient of variation of the wall time), as
Markdown table rows."""

import json
import sys


def main(path):
    with open(path, encoding="utf-8") as f:
        report = json.load(f)
    stats = {}
    for b in report["benchmarks"]:
        if b.get("run_type") == "aggregate":
            stats.setdefault(b["run_name"], {})[b["aggregate_name"]] = b["real_time"]
            stats[b["run_name"]]["cpu_" + b["aggregate_name"]] = b["cpu_time"]
    print("| benchmark | window min / median (ms) | bare min / median (ms) "
          "| ratio of minima | ratio of medians | CPU median window / bare (ms) | spread (cv) window, bare |")
    print("|---|---|---|---|---|---|---|")
    for name, window in stats.items():
        if "_Window" not in name:
            continue
        bare = stats.get(name.replace("_Window", "_Bare"))
        if not bare:
            continue
        print("| {} | {:.1f} / {:.1f} | {:.1f} / {:.1f} | {:.2f}× | {:.2f}× | {:.1f} / {:.1f} | {:.0%}, {:.0%} |"
              .format(name.replace("_Window", ""), window["min"], window["median"], bare["min"], bare["median"],
                      window["min"] / bare["min"], window["median"] / bare["median"],
                      window["cpu_median"], bare["cpu_median"], window.get("cv", 0.0), bare.get("cv", 0.0)))


if __name__ == "__main__":
    main(sys.argv[1])
