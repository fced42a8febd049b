// Pictures of the program's windows, to look at: the main window running a
// populated world with its secondary windows open, each secondary window on
// its own, Play God with an animal loaded and dropped, the design dialog,
// About and the icon; then the family tree and the mini map coloured by
// species, and each page of the statistics window, of a world of 300 years:
// seed 1 as `ombrivale-run --new --seed 1 --ticks 111600 --save` leaves it,
// loaded from --world DIR when given (a Release runner makes it in seconds),
// else run here (minutes in a test build). Not a test; scripts/screenshots
// runs it. With --screen it grabs the whole X screen instead, to see the real
// program running under Xvfb.
// With --compare, the statistics pages of two ensemble summaries side by
// side too ("compare_*.png").
// Usage: ui_screenshots OUT_DIR [--world DIR] [--compare SUMMARY SUMMARY]
//        ui_screenshots --screen OUT.png
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <utility>

#include "core/helpers.h"
#include "genetics/body_measures.h"
#include "sim/history_chart.h"
#include "sim/new_world.h"
#include "sim/tick.h"
#include "ui/conditions_dialog.h"
#include "ui/design_dialog.h"
#include "ui/family_tree_window.h"
#include "ui/main_window.h"
#include "ui/mini_map.h"
#include "world/animal_import.h"
#include "world/map_colouring.h"
#include "world/world_files.h"

namespace {

using namespace ombrivale;

// The statistics window's pages over 300 years of seed 1.
template <class Save>
bool SaveStatisticsPages(ui::ProgramEnvironment environment, const QString& worldFolder,
                         const QStringList& summaries, const Save& save) {
  QTemporaryDir programFolder;
  const QString autoSave = programFolder.filePath(QStringLiteral("AutoSave"));
  if (!worldFolder.isEmpty()) {
    QDir().mkpath(autoSave);
    for (const QString& name : QDir(worldFolder).entryList(QDir::Files)) {
      if (!QFile::copy(QDir(worldFolder).filePath(name), QDir(autoSave).filePath(name))) {
        std::fprintf(stderr, "could not copy %s\n", qPrintable(name));
        return false;
      }
    }
  }
  environment.programFolder = programFolder.path();
  environment.seed = 1;
  ui::MainWindow window(environment);
  window.QtWindowSeam().ScriptAnswers({});
  window.StartUp();
  window.Run().SetPaused(true);
  World& world = window.GetWorld();
  world.AutoSave = 0;
  if (worldFolder.isEmpty()) {
    for (int tick = 0; tick < 300 * 372; ++tick)
      SimulationTick(world);
  }
  window.showNormal();
  window.resize(1100, 900);
  window.ShowStatistics();
  ui::StatisticsWindow& statistics = window.Statistics();
  window.SubWindowOf(&statistics)->move(0, 0);
  window.SubWindowOf(&statistics)->resize(960, 600);
  statistics.ChooseGene(GeneGroup::Adult, QStringLiteral("Head.Vision.Distance"));
  const auto savePages = [&](const char* prefix) {
    for (int page = 0; page < statistics.PageCount(); ++page) {
      statistics.SetPage(page);
      QCoreApplication::processEvents();
      const auto pages = ChartPages();
      const QString name =
          QString::fromLatin1(static_cast<size_t>(page) < pages.size() ? pages[page].title
                                                                       : "genes")
              .toLower();
      save(statistics.grab().toImage(),
           (prefix + name + QStringLiteral(".png")).toLatin1().constData());
    }
  };
  savePages("statistics_");
  if (summaries.size() == 2) {  // two summaries side by side
    if (!statistics.OpenSummary(summaries[0]) || !statistics.CompareSummary(summaries[1]))
      return false;
    savePages("compare_");
    statistics.ShowWorld();
  }
  statistics.SetPage(0);
  QCoreApplication::processEvents();
  save(window.grab().toImage(), "main_window_statistics.png");
  return !world.history.samples.empty();
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace ombrivale;
  QApplication app(argc, argv);
  if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("--screen")) {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr && screen->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
  }
  const QStringList arguments = app.arguments();
  const bool givenWorld = argc >= 4 && arguments[2] == QLatin1String("--world");
  const QStringList summaries = arguments.mid(givenWorld ? 4 : 2);
  if (!(summaries.empty() ||
        (summaries.size() == 3 && summaries[0] == QLatin1String("--compare"))) ||
      !QDir().mkpath(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr,
                 "usage: %s OUT_DIR [--world DIR] [--compare SUMMARY SUMMARY] | %s --screen "
                 "OUT.png\n",
                 argv[0], argv[0]);
    return 2;
  }
  bool saved = true;
  const auto save = [&saved, out = QString::fromLocal8Bit(argv[1])](const QImage& picture,
                                                                    const char* name) {
    saved &= picture.save(out + '/' + QLatin1String(name));
  };
  QTemporaryDir programFolder;  // no settings, no saved world
  ui::ProgramEnvironment environment;
  environment.programFolder = programFolder.path();
  environment.mapScale = 2;
  environment.screenHeight = [] { return 768; };
  environment.openDocument = [](const QUrl&) { return true; };
  environment.endProgram = [] {};
  ui::MainWindow window(environment);
  window.QtWindowSeam().ScriptAnswers({});  // the first run's boxes answer themselves
  window.StartUp();
  World& world = window.GetWorld();
  world.AutoSave = 0;
  UseVirtualClock(world, 3);  // the same world every time
  NewWorld(world);
  window.Timer1().stop();
  window.Timer2().stop();
  while (world.Year < 60 && world.AnimalCount < 600)  // a busy table
    SimulationTick(world);
  window.ShowPropertiesWindow();
  window.ShowWorldView();
  window.ShowLog();
  window.ShowQuickDrawWindow();
  window.showNormal();
  window.resize(1400, 900);
  window.SubWindowOf(window.WorldView())->move(560, 0);
  window.SubWindowOf(window.LogIfCreated())->move(560, 330);
  window.SubWindowOf(window.QuickDrawIfCreated())->move(860, 0);
  const Animal& evolved = AnimalAt(world, FindMostEvolved(world));  // clicked on
  window.MiniMapLeftPressed(CellX(evolved.X) * 15.0, CellY(evolved.Y) * 15.0);
  for (int i = 0; i < 5; ++i)
    window.Tick();
  window.LogIfCreated()->SyncFromDisplay();
  QCoreApplication::processEvents();

  save(window.grab().toImage(), "main_window.png");
  // Start-up created Play God before there was a world; shown now, it shows
  // the planet.
  window.ShowPlayGod();  // last: it would cover the others
  window.PlayGodIfCreated()->Command1_Click();
  QCoreApplication::processEvents();
  save(window.WorldView()->grab().toImage(), "world_view.png");
  save(window.PropertiesIfCreated()->grab().toImage(), "properties.png");
  save(window.QuickDrawIfCreated()->grab().toImage(), "quick_draw.png");
  save(window.PlayGodIfCreated()->grab().toImage(), "play_god.png");
  save(window.LogIfCreated()->grab().toImage(), "log.png");

  // The most evolved animal saved as a file, loaded and dropped as a pair in
  // the sea beside where it lives; one found animal chosen for sacrifice.
  ui::PlayGodWindow& god = *window.PlayGodIfCreated();
  const QString file = programFolder.filePath(QStringLiteral("Evolved.OBG"));
  PosixFileSystem files;
  WriteAnimalToFile(files, file.toStdString(), evolved);
  god.LoadAnimalFrom(file);
  god.Option1(1)->click();
  int dropX = CellX(evolved.X);
  int dropY = CellY(evolved.Y);
  while (dropY > 0 && world.Map.At(kTerrainLayer, dropX, dropY) == kGround)
    --dropY;
  god.Map_MouseDown(dropX, dropY);
  god.List2()->setCurrentRow(0);
  QCoreApplication::processEvents();
  save(god.grab().toImage(), "play_god_drop.png");

  god.Command3_Click();
  if (auto* design = god.findChild<ui::DesignDialog*>()) {
    // 300 typed into the first gene of 0..255 and refused, the box keeping it.
    QTableWidget& table = *design->Table();
    int row = 0;
    while (row + 1 < table.rowCount() && table.item(row, 3)->text() != QStringLiteral("255"))
      ++row;
    table.scrollToItem(table.item(row, 1));
    table.setCurrentCell(row, 1);
    table.editItem(table.item(row, 1));
    if (auto* box = table.findChild<QLineEdit*>(QStringLiteral("ValueEditor"))) {
      box->setText(QStringLiteral("300"));
      design->Refuse(row, box->text());
    }
    QCoreApplication::processEvents();
    save(design->grab().toImage(), "design.png");
    design->close();
  }

  window.ShowWorldConditions();
  if (auto* conditions = window.findChild<ui::ConditionsDialog*>()) {
    // mutation_passes changed (marked), food_scale 12 refused.
    const std::pair<int, const char*> typed[] = {{0, "15"}, {2, "12"}};
    for (const auto& [index, text] : typed) {
      conditions->ValueBox(index)->setText(QString::fromLatin1(text));
      emit conditions->ValueBox(index)->editingFinished();
    }
    QCoreApplication::processEvents();
    save(conditions->grab().toImage(), "conditions.png");
    conditions->reject();
  }

  if (givenWorld && !LoadWorld(world, argv[3])) {
    std::fprintf(stderr, "could not load the world in %s\n", argv[3]);
    return 1;
  }
  const int32_t month = world.Month;
  while (world.Month == month)  // a month step groups the species
    window.Tick();
  // The animal of the highest generation, an adult when there is one,
  // tracked and shown.
  int chosen = 0;
  const auto rank = [&world](int slot) {
    return std::pair(AnimalAt(world, slot).Stage == kStageAdult,
                     world.lineage.generationOfSlot[static_cast<size_t>(slot)]);
  };
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (LivingId(world.lineage, world.Animals, slot) != 0 &&
        (chosen == 0 || rank(slot) > rank(chosen)))
      chosen = slot;
  }
  ui::PropertiesWindow& properties = window.Properties();
  properties.UpdateList();
  properties.SelectSlot(chosen);
  properties.LocateIt();
  window.SetColourBy(ColourChoice{ColourBy::Species});
  window.Tick();
  window.ShowFamilyTree();
  window.SubWindowOf(window.FamilyTreeIfCreated())->move(0, 0);
  QCoreApplication::processEvents();
  const int scale = window.MiniMap().Scale();
  window.MiniMap().SetScale(4);  // as on a large screen: one cell, 4 x 4 pixels
  save(window.MiniMap().grab().toImage(), "mini_map_species.png");
  window.MiniMap().SetScale(scale);
  save(window.FamilyTreeIfCreated()->grab().toImage(), "family_tree.png");
  save(properties.grab().toImage(), "properties_species.png");
  save(window.grab().toImage(), "main_window_species.png");
  window.ShowSpeciesTree();
  ui::SpeciesTreeWindow& tree = *window.SpeciesTreeIfCreated();
  window.SubWindowOf(&tree)->setGeometry(0, 0, 900, 460);
  tree.Refresh();
  QCoreApplication::processEvents();
  save(tree.grab().toImage(), "species_tree.png");
  // The last fifteen years, zoomed in as with the wheel.
  tree.ShowYears(tree.Layout().endYears - 15, tree.Layout().endYears);
  save(tree.grab().toImage(), "species_tree_end.png");
  window.SubWindowOf(&tree)->hide();
  window.SetColourBy(
      ParseColourChoice("adult.Head.Vision.Distance").value_or(ColourChoice{ColourBy::Gene, 0}));
  window.Tick();
  save(window.grab().toImage(), "main_window_gene.png");
  for (int tick = 0; tick < 20 * 372; ++tick)  // the same gene twenty years on
    window.Tick();
  save(window.grab().toImage(), "main_window_gene_later.png");
  window.SetColourBy(ColourChoice{ColourBy::Species});

  saved &=
      SaveStatisticsPages(environment, givenWorld ? QString::fromLocal8Bit(argv[3]) : QString(),
                          summaries.mid(1), save);
  ui::AboutWindow about;
  about.show();
  QCoreApplication::processEvents();
  save(about.grab().toImage(), "about.png");
  save(ui::DrawPlanetPicture(QSize(128, 128), true), "icon.png");
  if (!saved) std::fprintf(stderr, "could not write every picture\n");
  return saved ? 0 : 1;
}
