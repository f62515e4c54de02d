#!/usr/bin/env python3
"""Summarises a journal_bench JSON report (--benchmark_out): for each window
benchmark beside its bare counterpart, the minimum and the median over the
repetitions, their ratios, and the spread of the repetitions (coefficient of
variation), as Markdown table rows."""

import json
import sys


def main(path):
    with open(path, encoding="utf-8") as f:
        report = json.load(f)
    stats = {}
    for b in report["benchmarks"]:
        if b.get("run_type") == "aggregate":
            stats.setdefault(b["run_name"], {})[b["aggregate_name"]] = b["real_time"]
    print("| benchmark | window min / median (ms) | bare min / median (ms) "
          "| ratio of minima | ratio of medians | spread (cv) window, bare |")
    print("|---|---|---|---|---|---|")
    for name, window in stats.items():
        if "_Window" not in name:
            continue
        bare = stats.get(name.replace("_Window", "_Bare"))
        if not bare:
            continue
        print("| {} | {:.2f} / {:.2f} | {:.2f} / {:.2f} | {:.2f}× | {:.2f}× | {:.0%}, {:.0%} |".format(
            name.replace("_Window", ""), window["min"], window["median"], bare["min"], bare["median"],
            window["min"] / bare["min"], window["median"] / bare["median"],
            window.get("cv", 0.0), bare.get("cv", 0.0)))


if __name__ == "__main__":
    main(sys.argv[1])
