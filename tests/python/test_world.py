# The Python module against the runner it must match, and its faults.
# Run by CTest (PythonModule) with PYTHONPATH at the module and OMBRIVALE_RUN
# naming the same build's ombrivale-run.
import os
import subprocess
import _thread
import threading

import pandas as pd
import pandas.testing as pdt
import pytest

import ombrivale

RUNNER = os.environ.get("OMBRIVALE_RUN")
needs_runner = pytest.mark.skipif(not RUNNER, reason="OMBRIVALE_RUN names no runner")


def run_runner(*args):
    return subprocess.run([RUNNER, "--quiet", *args], capture_output=True, text=True)


@needs_runner
@pytest.mark.parametrize("seed, conditions, settings", [
    (3, {}, []),
    (5, {"mutation_passes": 0, "food_scale": 0.5}, ["--set", "mutation_passes=0",
                                                   "--set", "food_scale=0.5"]),
])
def test_seeded_history_and_folder_match_the_runner(tmp_path, seed, conditions, settings):
    stats = tmp_path / "runner.csv"
    result = run_runner("--world", str(tmp_path / "runner"), "--new", "--seed", str(seed),
                        "--years", "4", "--stats", str(stats), "--save", *settings)
    assert result.returncode == 0, result.stderr
    world = ombrivale.World(seed=seed, conditions=conditions)
    world.run(years=4)
    pdt.assert_frame_equal(world.history(), pd.read_csv(stats))
    world.save(str(tmp_path / "module"))
    for name in sorted(os.listdir(tmp_path / "runner")):
        assert (tmp_path / "module" / name).read_bytes() == \
            (tmp_path / "runner" / name).read_bytes(), name
    again = ombrivale.World(seed=seed, conditions=conditions)
    again.run(years=4)
    pdt.assert_frame_equal(again.animals(), world.animals())


@pytest.mark.parametrize("conditions, problem", [
    ({"mutation_passes": 60}, 'mutation_passes must be a whole number from 0 to 50, not "60"'),
    ({"mutation_passes": 2.5}, 'mutation_passes must be a whole number from 0 to 50, not "2.5"'),
    ({"mutation_passes": -1}, 'mutation_passes must be a whole number from 0 to 50, not "-1"'),
    ({"sea_level_drift": 2}, 'sea_level_drift must be a whole number from 0 to 1, not "2"'),
    ({"food_scale": 10.5}, 'food_scale must be a number from 0 to 10, not "10.5"'),
    ({"food_scale": float("nan")}, 'food_scale must be a number from 0 to 10, not "nan"'),
    ({"food_scale": "1e-5"}, 'food_scale must be a number from 0 to 10, not "1e-5"'),
    ({"mutation": 1}, 'no condition is named "mutation" '
                      '(there are mutation_passes, sea_level_drift, food_scale)'),
])
def test_bad_conditions_are_refused_with_the_runners_text(tmp_path, conditions, problem):
    with pytest.raises(ValueError) as refused:
        ombrivale.World(seed=1, conditions=conditions)
    assert str(refused.value) == problem
    world = ombrivale.World(seed=1)
    with pytest.raises(ValueError):
        world.conditions = {"mutation_passes": 7, **conditions}
    assert world.conditions == {"mutation_passes": 5, "sea_level_drift": 1, "food_scale": 1.0}
    if RUNNER:
        [(name, value)] = conditions.items()
        result = run_runner("--world", str(tmp_path), "--set", f"{name}={value}")
        assert result.returncode == 2
        assert result.stderr.splitlines()[0] == "ombrivale-run: --set: " + problem


def test_fractions_and_truth_values_are_taken_as_set_takes_them():
    world = ombrivale.World(seed=1, conditions={"food_scale": 1e-5, "sea_level_drift": False})
    world.conditions = {"mutation_passes": 0.0, "food_scale": "2.25"}
    assert world.conditions == {"mutation_passes": 0, "sea_level_drift": 0, "food_scale": 2.25}


def test_two_worlds_in_two_threads_run_as_one_after_the_other():
    def outcome(seed):
        world = ombrivale.World(seed=seed)
        world.run(years=6)
        return world.history(), world.animals()

    alone = [outcome(seed) for seed in (1, 2)]
    together = [None, None]
    threads = [threading.Thread(target=lambda i=i: together.__setitem__(i, outcome(i + 1)))
               for i in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for (history, animals), (history_too, animals_too) in zip(alone, together):
        pdt.assert_frame_equal(history, history_too)
        pdt.assert_frame_equal(animals, animals_too)
    assert not alone[0][0].equals(alone[1][0])


def test_a_run_lets_other_threads_run_and_stops_at_an_interrupt():
    # The other thread can only see the world running while the run has let go
    # of the interpreter lock; its interrupt then ends the run early.
    world = ombrivale.World(seed=1)

    def interrupt_when_running():
        while repr(world) != "<ombrivale.World running>":
            pass
        with pytest.raises(RuntimeError, match="running in another thread"):
            world.year
        _thread.interrupt_main()

    watcher = threading.Thread(target=interrupt_when_running)
    watcher.start()
    with pytest.raises(KeyboardInterrupt):
        world.run(ticks=2_000_000)
    watcher.join()
    assert 0 < world.ticks < 2_000_000


@needs_runner
def test_a_saved_world_opens_as_the_runner_opens_it(tmp_path):
    world = ombrivale.World(seed=4, conditions={"mutation_passes": 2})
    world.run(months=30)
    world.save(str(tmp_path / "w"))
    opened = ombrivale.World.open(str(tmp_path / "w"), seed=9)
    assert opened.conditions == world.conditions
    opened.run(years=1)
    opened.save(str(tmp_path / "module"))
    stats = tmp_path / "runner.csv"
    result = run_runner("--world", str(tmp_path / "w"), "--seed", "9", "--years", "1",
                        "--stats", str(stats), "--save")
    assert result.returncode == 0, result.stderr
    pdt.assert_frame_equal(opened.history(), pd.read_csv(stats))
    for name in sorted(os.listdir(tmp_path / "w")):
        assert (tmp_path / "module" / name).read_bytes() == \
            (tmp_path / "w" / name).read_bytes(), name


def test_an_animal_file_round_trip_and_damaged_files(tmp_path):
    world = ombrivale.World(seed=2)
    world.run(years=2)
    genes = ombrivale.gene_names()
    before = world.animals(genes=genes).set_index("slot")
    slot = int(before.index[-1])
    path = tmp_path / "A.OBG"
    world.export_animal(slot, str(path))
    [laid] = world.import_animal(str(path))
    after = world.animals(genes=genes).set_index("slot")
    assert list(after.loc[laid, genes]) == list(before.loc[slot, genes])
    assert (after.loc[laid, "stage"], after.loc[laid, "sex"], after.loc[laid, "x"]) == \
        ("egg", before.loc[slot, "sex"], before.loc[slot, "x"])
    world.export_animal(laid, str(tmp_path / "B.OBG"))
    # The 13 state lines are the egg's; the genes are the same.
    assert (tmp_path / "B.OBG").read_bytes().splitlines()[13:] == \
        path.read_bytes().splitlines()[13:]

    lines = path.read_bytes().splitlines(keepends=True)
    (tmp_path / "cut.OBG").write_bytes(b"".join(lines[:100]))
    with pytest.raises(ValueError, match="cut.OBG: line 101 is missing or cut short"):
        world.import_animal(str(tmp_path / "cut.OBG"))
    with pytest.raises(FileNotFoundError, match="No such file"):
        world.import_animal(str(tmp_path / "none.OBG"))
    with pytest.raises(ValueError, match="slot 751 holds no animal"):
        world.export_animal(751, str(tmp_path / "C.OBG"))


@pytest.mark.parametrize("x, y, sexes, overwrite, problem", [
    (16000, 5000, [0, 1], True, None),
    (16000, 10000, [0, 1], True, r"the position \(16000, 10000\) is in the ground"),
    (32001, 5000, [0], True, r"the position \(32001, 5000\) is off the map"),
    (-1, 5000, [0], True, "is off the map"),
    (16000, 5000, [0] * 749, False, "the world is full"),
    (16000, 5000, [2], True, "a sex is 0 or 1, not 2"),
])
def test_drop_outcomes(x, y, sexes, overwrite, problem):
    world = ombrivale.World(seed=3, overwrite_least=overwrite)
    population = world.population
    if problem is None:
        placed = world.drop(1, x, y, sexes)
        laid = world.animals().set_index("slot").loc[placed]
        assert list(laid.sex) == sexes and set(laid.stage) == {"egg"} and set(laid.x) == {x}
        assert world.population == population + len(sexes)
    else:
        with pytest.raises(ValueError, match=problem):
            world.drop(1, x, y, sexes)
        assert world.population == population


def test_bad_folders_raise_with_the_reason(tmp_path):
    with pytest.raises(FileNotFoundError, match="no saved world"):
        ombrivale.World.open(str(tmp_path / "none"))
    world = ombrivale.World(seed=1)
    world.save(str(tmp_path / "w"))
    (tmp_path / "w" / "animals.dat").write_bytes(b"x\r\n")
    with pytest.raises(OSError, match="could not be loaded; .*animals.dat"):
        ombrivale.World.open(str(tmp_path / "w"))
    (tmp_path / "file").write_text("")
    with pytest.raises(OSError, match="the world could not be saved: Not a directory"):
        world.save(str(tmp_path / "file" / "w"))
    with pytest.raises(TypeError, match="one of ticks, months or years"):
        world.run(ticks=1, years=1)
    with pytest.raises(ValueError, match='no gene is named "Body.Height"'):
        world.animals(genes=["Body.Height"])
