# The mutation-rate example and its notebook, run with tiny arguments so that
# neither can rot.
import json
import os
import pathlib
import subprocess
import sys

import pandas as pd

SOURCE = pathlib.Path(os.environ.get("OMBRIVALE_SOURCE_DIR",
                                     pathlib.Path(__file__).resolve().parents[2]))
SCRIPT = SOURCE / "examples" / "mutation_experiment.py"
NOTEBOOK = SOURCE / "examples" / "mutation_experiment.ipynb"


def test_the_script_runs_both_conditions_and_writes_its_chart(tmp_path):
    result = subprocess.run([sys.executable, str(SCRIPT), "--seeds", "2", "--years", "2",
                             "--jobs", "2", "--out", str(tmp_path)],
                            capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    assert "2 conditions x 2 seeds x 2 years" in result.stdout
    assert "mann_whitney_p" in result.stdout
    assert (tmp_path / "mutation_experiment.png").read_bytes()[:4] == b"\x89PNG"
    histories = pd.read_csv(tmp_path / "histories.csv")
    assert histories.groupby(["condition", "seed"]).size().to_dict() == {
        (condition, seed): 24 for condition in ("control (5 passes)", "no mutation")
        for seed in (1, 2)}


def test_the_notebook_holds_the_scripts_code_and_runs(tmp_path):
    notebook = json.loads(NOTEBOOK.read_text())
    assert (notebook["nbformat"], notebook["nbformat_minor"]) == (4, 5)
    cells = ["".join(cell["source"]) for cell in notebook["cells"]
             if cell["cell_type"] == "code"]
    script = SCRIPT.read_text()
    shared = [cell for cell in cells if cell.startswith(("import", "HERE", "CONDITIONS", "def"))]
    assert len(shared) == 6 and all(cell in script for cell in shared)
    namespace = {"__name__": "notebook"}
    for cell in cells:
        if cell.startswith("seeds, years, jobs"):
            cell = f"seeds, years, jobs = 2, 2, 2\nout = pathlib.Path({str(tmp_path)!r})\n"
        exec(compile(cell, "notebook", "exec"), namespace)
    assert list(namespace["compare"](namespace["histories"]).statistic) == \
        list(namespace["STATISTICS"])
    assert (tmp_path / "mutation_experiment.png").exists()
