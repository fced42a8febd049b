// The Python module `ombrivale`: worlds made, opened, run and saved from
// Python through the session of python/session.h, their tables as pandas
// DataFrames.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "core/conditions.h"
#include "genetics/gene_census.h"
#include "python/session.h"
#include "python/tables.h"
#include "world/animal_import.h"
#include "world/file_system.h"
#include "world/phylogeny_export.h"
#include "world/world_files.h"

namespace py = pybind11;

namespace ombrivale::python {
namespace {

// One world as Python holds it. `busy` is read and written only while the
// interpreter lock is held: a world running in one thread refuses every
// other call rather than being read while it changes.
struct PyWorld {
  Session session;
  bool busy = false;
};

[[noreturn]] void Raise(PyObject* type, const std::string& text) {
  PyErr_SetString(type, text.c_str());
  throw py::error_already_set();
}

// OSError(errno, text, path): Python picks the subclass (FileNotFoundError
// for ENOENT, PermissionError ...); a plain OSError without an errno value.
[[noreturn]] void RaiseOSError(int number, const std::string& text, const std::string& path) {
  const py::object error = number != 0
                               ? py::reinterpret_steal<py::object>(PyObject_CallFunction(
                                     PyExc_OSError, "iss", number, text.c_str(), path.c_str()))
                               : py::reinterpret_steal<py::object>(
                                     PyObject_CallFunction(PyExc_OSError, "s", text.c_str()));
  if (!error) throw py::error_already_set();
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
  throw py::error_already_set();
}

World& Use(PyWorld& world) {
  if (world.busy) Raise(PyExc_RuntimeError, "the world is running in another thread");
  return *world.session.world;
}

// A condition's value as `--set` would read it: text as it stands, a truth
// value as 1 or 0, a whole number as is, any other number in plain decimals.
std::string ConditionArgument(const py::handle value) {
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  if (PyBool_Check(value.ptr())) return value.cast<bool>() ? "1" : "0";
  if (PyIndex_Check(value.ptr()))
    return py::str(py::int_(py::reinterpret_borrow<py::object>(value)));
  if (PyFloat_Check(value.ptr())) return ConditionText(value.cast<double>());
  Raise(PyExc_TypeError, "a condition's value is a number, not " +
                             std::string(py::str(py::type::of(value).attr("__name__"))));
}

// `base` with `values` ({name: value}) set, each judged as `--set` judges
// it; ValueError with the same text on the first fault, nothing changed.
Conditions SetConditions(const Conditions& base, const py::dict& values) {
  Conditions conditions = base;
  for (const auto& [key, value] : values) {
    if (!py::isinstance<py::str>(key)) Raise(PyExc_TypeError, "a condition's name is a string");
    const std::string setting = key.cast<std::string>() + "=" + ConditionArgument(value);
    if (const Status status = ParseConditionSetting(setting, conditions); !status.ok())
      Raise(PyExc_ValueError, std::string(status.message()));
  }
  return conditions;
}

py::dict ConditionsDict(const Conditions& conditions) {
  py::dict values;
  for (int i = 0; i < kConditionCount; ++i) {
    const ConditionRule& rule = ConditionRules()[static_cast<size_t>(i)];
    const double value = ConditionValue(conditions, i);
    values[py::str(std::string(rule.name))] =
        rule.whole ? py::object(py::int_(static_cast<long long>(value)))
                   : py::object(py::float_(value));
  }
  return values;
}

py::object DataFrame(const Table& table) {
  py::dict columns;
  for (const Column& column : table) {
    py::object values;
    switch (column.kind) {
      case Column::Kind::Whole:
        values = py::array_t<int64_t>(static_cast<py::ssize_t>(column.whole.size()),
                                      column.whole.data());
        break;
      case Column::Kind::Truth:
        values =
            py::array_t<int64_t>(static_cast<py::ssize_t>(column.whole.size()), column.whole.data())
                .attr("astype")("bool");
        break;
      case Column::Kind::Real:
        values =
            py::array_t<double>(static_cast<py::ssize_t>(column.real.size()), column.real.data());
        break;
      case Column::Kind::Text:
        values = py::cast(column.text);
        break;
    }
    columns[py::str(column.name)] = values;
  }
  return py::module_::import("pandas").attr("DataFrame")(columns);
}

std::unique_ptr<PyWorld> Start(const SessionPlan& plan, const std::optional<py::dict>& conditions) {
  // Judged before the world is made, set once it is (on a loaded world's own).
  if (conditions) SetConditions(Conditions{}, *conditions);
  auto world = std::make_unique<PyWorld>();
  if (const std::string problem = StartSession(world->session, plan); !problem.empty())
    RaiseOSError(0, problem, plan.folder);
  Conditions& current = world->session.world->conditions;
  if (conditions) current = SetConditions(current, *conditions);
  return world;
}

std::vector<int> Drop(World& world, const Animal& design, int x, int y,
                      const std::vector<int>& sexes) {
  std::vector<uint8_t> values;
  for (const int sex : sexes) {
    if (sex != 0 && sex != 1)
      Raise(PyExc_ValueError, "a sex is 0 or 1, not " + std::to_string(sex));
    values.push_back(static_cast<uint8_t>(sex));
  }
  std::vector<int> placed;
  if (const std::string problem = DropEggs(world, design, x, y, values, placed); !problem.empty())
    Raise(PyExc_ValueError, problem);
  return placed;
}

const Animal& Occupied(const World& world, int slot) {
  if (slot < 1 || slot > kSlotCount || !IsOccupied(AnimalAt(world, slot)))
    Raise(PyExc_ValueError, "slot " + std::to_string(slot) + " holds no animal");
  return AnimalAt(world, slot);
}

// Sets `busy` for the length of a run and clears it however the run ends.
class BusyWhile {
 public:
  explicit BusyWhile(PyWorld& world) : world_(world) { world_.busy = true; }
  ~BusyWhile() { world_.busy = false; }
  BusyWhile(const BusyWhile&) = delete;
  BusyWhile& operator=(const BusyWhile&) = delete;

 private:
  PyWorld& world_;
};

uint64_t Run(PyWorld& world, std::optional<uint64_t> ticks, std::optional<uint64_t> months,
             std::optional<uint64_t> years) {
  Use(world);
  if (ticks.has_value() + months.has_value() + years.has_value() != 1)
    Raise(PyExc_TypeError, "run() takes one of ticks, months or years");
  const RunLength length = ticks ? RunLength::Ticks : months ? RunLength::Months : RunLength::Years;
  const uint64_t count = ticks ? *ticks : months ? *months : *years;
  BusyWhile busy(world);
  bool interrupted = false;
  uint64_t ran = 0;
  std::string problem;
  {
    py::gil_scoped_release unlocked;
    const auto carryOn = [&interrupted] {
      py::gil_scoped_acquire locked;
      interrupted = PyErr_CheckSignals() != 0;
      return !interrupted;
    };
    problem = RunSession(world.session, length, count, carryOn, ran);
  }
  if (interrupted) throw py::error_already_set();
  if (!problem.empty()) Raise(PyExc_RuntimeError, problem);
  return ran;
}

constexpr const char kModuleDoc[] = R"(Ombrivale's simulation of evolution, driven from Python.

    import ombrivale
    world = ombrivale.World(seed=1, conditions={"mutation_passes": 0})
    world.run(years=20)
    history = world.history()          # a pandas DataFrame, a row a month
    print(history[["year", "month", "population", "species"]].tail())

A seeded world runs the same, bit for bit, as `ombrivale-run --new --seed N`.
Positions are in hundredths of a cell: x 0..32000, y 0..10000 (downward).
)";

constexpr const char kWorldDoc[] = R"(A world: a planet of 321 x 101 cells and up to 750 animals.

World(seed=None, conditions=None, auto_restart=True, overwrite_least=True)
makes a new world, as `ombrivale-run --new --seed N` does: with a seed its
clock is virtual, so the run is reproducible bit for bit; without one it
reads the time of day. `conditions` ({name: value}) are set once the world is
made, as `--set NAME=VALUE` sets them (see condition_rules()).
)";

}  // namespace
}  // namespace ombrivale::python

PYBIND11_MODULE(ombrivale, m) {
  using namespace ombrivale;
  using namespace ombrivale::python;
  m.doc() = kModuleDoc;

  m.def(
      "gene_names",
      [] {
        std::vector<std::string> names;
        for (const SeriesGene& gene : SeriesGenes())
          names.push_back(gene.column);
        return names;
      },
      "The genes animals() can add, by the names the genes file and Colour By use:\n"
      "'adult.Body.Height', 'infant.Head.Diet', 'Unborn.EggSize' ...");
  m.def(
      "condition_rules",
      [] {
        py::dict rules;
        for (const ConditionRule& rule : ConditionRules()) {
          py::dict entry;
          entry["default"] = rule.standard;
          entry["low"] = rule.low;
          entry["high"] = rule.high;
          entry["whole"] = rule.whole;
          entry["means"] = std::string(rule.means);
          rules[py::str(std::string(rule.name))] = entry;
        }
        return rules;
      },
      "The world conditions an experiment may change: {name: {'default', 'low', 'high',\n"
      "'whole', 'means'}}, the range including both ends.");

  py::class_<PyWorld>(m, "World", kWorldDoc)
      .def(py::init([](std::optional<uint64_t> seed, std::optional<py::dict> conditions,
                       bool autoRestart, bool overwriteLeast) {
             return Start(SessionPlan{seed, {}, autoRestart, overwriteLeast}, conditions);
           }),
           py::arg("seed") = py::none(), py::arg("conditions") = py::none(),
           py::arg("auto_restart") = true, py::arg("overwrite_least") = true)
      .def_static(
          "open",
          [](const std::string& folder, std::optional<uint64_t> seed,
             std::optional<py::dict> conditions, bool autoRestart, bool overwriteLeast) {
            if (folder.empty() || !HasSavedWorld(folder))
              RaiseOSError(ENOENT, "no saved world in this folder", folder);
            return Start(SessionPlan{seed, folder, autoRestart, overwriteLeast}, conditions);
          },
          py::arg("folder"), py::arg("seed") = py::none(), py::arg("conditions") = py::none(),
          py::arg("auto_restart") = true, py::arg("overwrite_least") = true,
          "Opens the world saved in `folder` (an \"AutoSave\" folder), as `ombrivale-run\n"
          "--world DIR` does. FileNotFoundError when it holds none, OSError with the\n"
          "loader's messages when it cannot be loaded.")
      .def("run", &Run, py::arg("ticks") = py::none(), py::arg("months") = py::none(),
           py::arg("years") = py::none(),
           "Runs the world: run(ticks=N), run(months=N) or run(years=N) (until N turns of\n"
           "the month or the year). The interpreter lock is released meanwhile, so worlds\n"
           "in other threads run at the same time. Returns the ticks run. RuntimeError\n"
           "when the calendar stands still for 10,000 ticks.")
      .def(
          "save",
          [](PyWorld& self, const std::string& folder) {
            Use(self);
            int number = 0;
            std::string problem;
            {
              BusyWhile busy(self);
              py::gil_scoped_release unlocked;
              problem = SaveSession(self.session, folder, number);
            }
            if (!problem.empty())
              RaiseOSError(number, "the world could not be saved: " + problem, folder);
          },
          py::arg("folder"),
          "Saves the world into `folder` through the crash-safe save (a folder that\n"
          "World.open() and the desktop program read). OSError when it fails; the\n"
          "folder then holds the save before, if any.")
      .def(
          "history",
          [](PyWorld& self) {
            Use(self);
            const std::string text = HistoryCsv(self.session);
            return py::module_::import("pandas").attr("read_csv")(
                py::module_::import("io").attr("StringIO")(text));
          },
          "The history as a DataFrame, a row per month: the columns and the values of\n"
          "`ombrivale-run --stats` (the scores NaN while the population is 0). A loaded\n"
          "world's rows begin with its saved history, as the runner's do.")
      .def(
          "animals",
          [](PyWorld& self, const std::vector<std::string>& genes) {
            const World& world = Use(self);
            std::vector<int> indices;
            for (const std::string& name : genes) {
              const int index = FindGene(name);
              if (index < 0)
                Raise(PyExc_ValueError,
                      "no gene is named \"" + name + "\" (see ombrivale.gene_names())");
              indices.push_back(index);
            }
            return DataFrame(AnimalTable(world, indices));
          },
          py::arg("genes") = std::vector<std::string>{},
          "The animals, a row per occupied slot: slot, id (the family record's), stage\n"
          "('egg', 'infant', 'adult'), sex, x, y, age (years), hunger, score (the\n"
          "evolvedness score, per cent), species (0: not grouped), generation, then a\n"
          "column for each gene named in `genes` (see gene_names()).")
      .def(
          "family", [](PyWorld& self) { return DataFrame(FamilyTable(Use(self))); },
          "The family record, a row per animal it keeps (the living and their\n"
          "ancestors): id, parent_sex0, parent_sex1 (0 for a founder or a dropped\n"
          "animal), birth_year, birth_month, generation, evolvedness_count, slot (0 for\n"
          "the dead) and species.")
      .def(
          "species",
          [](PyWorld& self) { return DataFrame(SpeciesTable(Use(self).speciesHistory)); },
          "The species history, a row per species: id, parent (0 for none), world (0,\n"
          "one more at each restart), first_month and last_month (months since the\n"
          "history began), alive, peak (most adults) and adults (now).")
      .def(
          "phylogeny_newick",
          [](PyWorld& self) {
            std::string text;
            SpeciesNewick(Use(self).speciesHistory, text);
            return text;
          },
          "The species tree as Newick, one tree per world a line, branch lengths in\n"
          "years (as `ombrivale-run --phylogeny FILE`).")
      .def(
          "import_animal",
          [](PyWorld& self, const std::string& path, std::optional<int> x, std::optional<int> y,
             std::optional<std::vector<int>> sexes) {
            World& world = Use(self);
            PosixFileSystem files;
            Animal animal;
            if (const Status error = ReadAnimalToDrop(files, path, animal); !error.ok()) {
              const std::string text = "cannot import " + path + ": " + AnimalFileFault(error);
              if (error.number() >= kErrorPastEnd) Raise(PyExc_ValueError, text);
              RaiseOSError(error.number(), text, path);
            }
            return Drop(world, animal, x.value_or(animal.X), y.value_or(animal.Y),
                        sexes.value_or(std::vector<int>{animal.Sex}));
          },
          py::arg("path"), py::arg("x") = py::none(), py::arg("y") = py::none(),
          py::arg("sexes") = py::none(),
          "Lays eggs of the animal file at `path` (the 128 lines of an A_<slot>.OBG), as\n"
          "Play God and `ombrivale-run --import` do: by default one egg at the position\n"
          "and of the sex the file holds; else at (x, y), one egg of each sex in `sexes`\n"
          "([0, 1] for a pair). Returns the slots taken. ValueError for a damaged file\n"
          "(naming the line) or a place where nothing can be laid, OSError when the\n"
          "file cannot be read.")
      .def(
          "export_animal",
          [](PyWorld& self, int slot, const std::string& path) {
            const Animal& animal = Occupied(Use(self), slot);
            PosixFileSystem files;
            if (const Status error = WriteAnimalToFile(files, path, animal); !error.ok())
              RaiseOSError(error.number(), "cannot write " + path + ": " + ErrorDescription(error),
                           path);
          },
          py::arg("slot"), py::arg("path"),
          "Writes the animal in `slot` as an animal file (\"Save As OBG...\"), which\n"
          "import_animal() and Play God read back.")
      .def(
          "drop",
          [](PyWorld& self, int slot, int x, int y, const std::vector<int>& sexes) {
            World& world = Use(self);
            const Animal design = Occupied(world, slot);
            return Drop(world, design, x, y, sexes);
          },
          py::arg("slot"), py::arg("x"), py::arg("y"), py::arg("sexes") = std::vector<int>{0, 1},
          "Lays eggs with the genes of the animal in `slot` at (x, y), one of each sex in\n"
          "`sexes`, as Play God drops them: newborn founders taking the lowest free\n"
          "slots or, in a full table with overwrite_least, the least evolved animals'.\n"
          "Returns the slots taken. ValueError naming the fault: the position in the\n"
          "ground, off the map, or the world full.")
      .def_property(
          "conditions", [](PyWorld& self) { return ConditionsDict(Use(self).conditions); },
          [](PyWorld& self, const py::dict& values) {
            World& world = Use(self);
            world.conditions = SetConditions(world.conditions, values);
          },
          "The world's conditions, {name: value}. Assigning a dict sets the conditions\n"
          "it names (the others stay), each judged as `--set` judges it: ValueError with\n"
          "the same text, and nothing changed, for an unknown name or a value out of\n"
          "range.")
      .def_property_readonly(
          "year", [](PyWorld& self) { return Use(self).Year; }, "The year.")
      .def_property_readonly(
          "month", [](PyWorld& self) { return Use(self).Month; }, "The month, 1..12.")
      .def_property_readonly(
          "population",
          [](PyWorld& self) {
            const World& world = Use(self);
            int count = 0;
            for (int slot = 1; slot <= kSlotCount; ++slot)
              count += IsOccupied(AnimalAt(world, slot)) ? 1 : 0;
            return count;
          },
          "The occupied slots now, eggs included.")
      .def_property_readonly(
          "ticks", [](PyWorld& self) { return Use(self).TickCount; }, "Ticks run in all.")
      .def_property_readonly(
          "messages",
          [](PyWorld& self) {
            Use(self);
            return std::vector<std::string>(self.session.events.messageLines.begin(),
                                            self.session.events.messageLines.end());
          },
          "The message line's texts, oldest first (the latest 500 to 1,000).")
      .def_property_readonly(
          "boxes",
          [](PyWorld& self) {
            Use(self);
            std::vector<std::pair<std::string, std::string>> boxes;
            for (const CollectingSeam::Box& box : self.session.seam.boxes)
              boxes.emplace_back(box.title, box.text);
            return boxes;
          },
          "The message boxes shown, (title, text), oldest first (the latest 1,000);\n"
          "each was answered as `ombrivale-run` answers it.")
      .def("__repr__", [](PyWorld& self) {
        if (self.busy) return std::string("<ombrivale.World running>");
        const World& world = *self.session.world;
        return "<ombrivale.World Y" + std::to_string(world.Year) + " M" +
               std::to_string(world.Month) + ", " + std::to_string(world.AnimalCount) + " animals>";
      });
}
