#!/usr/bin/env python3
"""Does mutation matter? A mutation-rate experiment with the ombrivale module.

Two conditions, the rules' five mutation passes per young (control) against
none, are each run from the same seeds for the same years, on every core: the
worlds run in threads, which the module lets run at once. Each run's monthly
history is kept; the chart shows, for a few statistics, each condition's
median across the seeds and its 10th-to-90th percentile band, and the
terminal a comparison at the last month (medians and the Mann-Whitney U
test's p-value, when SciPy is installed).

    python3 examples/mutation_experiment.py                # 16 seeds, 100 years
    python3 examples/mutation_experiment.py --seeds 4 --years 20 --out /tmp/quick

The module is found on PYTHONPATH, else in build/python or build-test/python
of this checkout (after `make run` or `make test`).
"""
import argparse
import os
import pathlib
import sys
import time
from concurrent.futures import ThreadPoolExecutor

# %% The module, and where to look for it (a notebook runs in examples/).
HERE = pathlib.Path(__file__).resolve().parent if "__file__" in globals() else pathlib.Path.cwd()
ROOT = HERE.parent
try:
    import ombrivale
except ImportError:
    for folder in ("build/python", "build-test/python"):
        if any((ROOT / folder).glob("ombrivale*.so")):
            sys.path.insert(0, str(ROOT / folder))
            break
    import ombrivale

import matplotlib

if "ipykernel" not in sys.modules:
    matplotlib.use("Agg")  # no display needed: the chart goes to a PNG file
import matplotlib.pyplot as plt
import pandas as pd

# %% The conditions compared and the statistics shown.
CONDITIONS = {
    "control (5 passes)": {"mutation_passes": 5},
    "no mutation": {"mutation_passes": 0},
}
# The statistics drawn and compared (history columns, with their captions):
# those that differ most between the two.
STATISTICS = {
    "mean_primordial_score": "mean evolvedness score (%)",
    "population": "population",
    "breathing_gills_and_lungs": "breathing with gills and lungs",
    "highest_generation": "highest generation alive",
}

# %% Running the worlds.
def run_one(condition, seed, years):
    """One world: its monthly history with the seed and condition beside it."""
    world = ombrivale.World(seed=seed, conditions=CONDITIONS[condition])
    world.run(years=years)
    history = world.history()
    history.insert(0, "row", range(len(history)))  # months since the start
    history.insert(0, "seed", seed)
    history.insert(0, "condition", condition)
    return history


def run_all(seeds, years, jobs):
    """Every condition and seed, `jobs` worlds at once."""
    tasks = [(condition, seed) for condition in CONDITIONS for seed in seeds]
    with ThreadPoolExecutor(max_workers=jobs) as pool:
        futures = [pool.submit(run_one, condition, seed, years) for condition, seed in tasks]
        histories = pd.concat([future.result() for future in futures], ignore_index=True)
    # A world that died out starts again on a new calendar and so runs a few
    # months more: the rows past the shortest run are left out, so that every
    # row holds every run.
    shortest = histories.groupby(["condition", "seed"]).row.max().min()
    return histories[histories.row <= shortest]


# %% The chart.
def plot(histories, path):
    """Median and 10th-90th percentile band across the seeds, by month; the
    figure is saved to `path` and returned."""
    figure, axes = plt.subplots(len(STATISTICS), 1, figsize=(8, 2.6 * len(STATISTICS)),
                                sharex=True)
    for axis, (column, caption) in zip(axes, STATISTICS.items()):
        for condition, colour in zip(CONDITIONS, ("#0072B2", "#D55E00")):
            rows = histories[histories.condition == condition].groupby("row")[column]
            band = rows.quantile([0.1, 0.5, 0.9]).unstack()
            years = band.index / 12
            axis.fill_between(years, band[0.1], band[0.9], color=colour, alpha=0.25, lw=0)
            axis.plot(years, band[0.5], color=colour, label=condition)
        axis.set_ylabel(caption)
        axis.grid(alpha=0.3)
    axes[0].legend(loc="best")
    axes[-1].set_xlabel("years since the start")
    seeds = histories.seed.nunique()
    axes[0].set_title(f"Median and 10th-90th percentile of {seeds} seeds per condition")
    figure.tight_layout()
    figure.savefig(path, dpi=100)
    return figure


# %% The comparison at the end of the run.
def compare(histories):
    """Each statistic at the last month of the runs: both medians and the
    Mann-Whitney U test's p-value (NaN without SciPy)."""
    try:
        from scipy.stats import mannwhitneyu
    except ImportError:
        mannwhitneyu = None
    last = histories[histories.row == histories.row.max()]
    control, treatment = (last[last.condition == c] for c in CONDITIONS)
    lines = []
    for column in STATISTICS:
        a, b = control[column].dropna(), treatment[column].dropna()
        p = float("nan")
        if mannwhitneyu is not None and len(a) and len(b):
            p = mannwhitneyu(a, b, alternative="two-sided").pvalue
        lines.append((column, a.median(), b.median(), p))
    return pd.DataFrame(lines, columns=["statistic", *CONDITIONS, "mann_whitney_p"])


# %% The command line.
def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seeds", type=int, default=16, help="seeds per condition (1..N)")
    parser.add_argument("--years", type=int, default=100, help="years each world runs")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1,
                        help="worlds run at once (default: the cores)")
    parser.add_argument("--out", default="mutation_experiment",
                        help="folder for the chart and the histories")
    options = parser.parse_args()

    out = pathlib.Path(options.out)
    out.mkdir(parents=True, exist_ok=True)
    start = time.monotonic()
    histories = run_all(range(1, options.seeds + 1), options.years, options.jobs)
    ran = time.monotonic() - start
    histories.to_csv(out / "histories.csv", index=False)
    plt.close(plot(histories, out / "mutation_experiment.png"))
    print(f"{len(CONDITIONS)} conditions x {options.seeds} seeds x {options.years} years "
          f"in {ran:.0f} s on {options.jobs} threads")
    with pd.option_context("display.width", 120, "display.float_format", "{:.4g}".format):
        print(compare(histories).to_string(index=False))
    print(f"written: {out / 'mutation_experiment.png'}, {out / 'histories.csv'}")


if __name__ == "__main__":
    main()
