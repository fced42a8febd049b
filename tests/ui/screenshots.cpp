// Pictures of the program's windows, to look at: the main window running a
// populated world with its secondary windows open, each secondary window on
// its own, About and the icon; then the family tree and the mini map coloured
// by species, of WORLD_DIR (a saved world folder, say 300 years of seed 1
// from ombrivale-run) when given, else of the same world. Not a test;
// scripts/screenshots runs it. With --screen it grabs the whole X screen
// instead, to see the real program running under Xvfb.
// Usage: ui_screenshots OUT_DIR [WORLD_DIR] | ui_screenshots --screen OUT.png
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdio>
#include <utility>

#include "core/helpers.h"
#include "genetics/body_measures.h"
#include "sim/new_world.h"
#include "sim/tick.h"
#include "ui/family_tree_window.h"
#include "ui/main_window.h"
#include "ui/mini_map.h"
#include "world/world_files.h"

int main(int argc, char* argv[]) {
  using namespace ombrivale;
  QApplication app(argc, argv);
  if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("--screen")) {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr && screen->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
  }
  if (argc < 2 || argc > 3 || !QDir().mkpath(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "usage: %s OUT_DIR [WORLD_DIR] | %s --screen OUT.png\n", argv[0], argv[0]);
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
  environment.openDocument = [](const QUrl&) {};
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
  // Play God copies the map when it is created, which start-up did before
  // there was a world: closed and opened again, it shows the planet.
  if (window.PlayGodIfCreated() != nullptr) {
    window.SubWindowOf(window.PlayGodIfCreated())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  window.ShowPlayGod();  // last: it would cover the others
  window.PlayGodIfCreated()->Command1_Click();
  QCoreApplication::processEvents();
  save(window.WorldView()->grab().toImage(), "world_view.png");
  save(window.PropertiesIfCreated()->grab().toImage(), "properties.png");
  save(window.QuickDrawIfCreated()->grab().toImage(), "quick_draw.png");
  save(window.PlayGodIfCreated()->grab().toImage(), "play_god.png");
  save(window.LogIfCreated()->grab().toImage(), "log.png");

  if (argc == 3 && !LoadWorld(world, argv[2])) {
    std::fprintf(stderr, "could not load the world in %s\n", argv[2]);
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
  window.ToggleColourBySpecies();
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

  ui::AboutWindow about;
  about.show();
  QCoreApplication::processEvents();
  save(about.grab().toImage(), "about.png");
  save(ui::DrawPlanetPicture(QSize(128, 128), true), "icon.png");
  if (!saved) std::fprintf(stderr, "could not write every picture\n");
  return saved ? 0 : 1;
}
