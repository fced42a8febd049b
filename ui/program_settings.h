// The program's own settings file, "Ombrivale.ini" beside "OB.ini": what the
// 27 lines of "OB.ini" do not hold. An INI file as QSettings writes it, read
// and written by the library (world/program_settings_file.h), so that later
// versions can add keys and older files still read; a missing or unreadable
// file leaves every setting at its default.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include "core/world.h"

namespace ombrivale::ui {

// The "&Run" menu's speed and the statistics window (ui/run_control.h,
// ui/statistics_window.h).
struct RunAndStatisticsSettings {
  bool fast = false;  // "&Fast" rather than "&Real Time"
  bool statisticsShown = false;
  QPoint statisticsPlace{-1, -1};  // pixels in the main window's work area; -1: not yet placed
  QSize statisticsSize;            // empty: the window's own
  int statisticsPage = 0;
  int geneGroup = 0;  // GeneGroup: adult, infant, egg
  QString gene;       // "Body.Height"; empty: the first
};

struct ProgramSettings {
  bool showSacrificed = true;  // the "Show &These" entry of sacrificed animals
  ColourChoice colourBy;       // "Colour &By" (Display::colourBy)
  RunAndStatisticsSettings run;
  bool speciesTreeShown = false;
  QString currentWorld;  // the world's folder at the last quit; empty: "AutoSave"
  QStringList recentWorlds;
  bool savepointsKept = true;  // the running world keeps savepoints in its folder
  int savepointCapMegabytes = 200;
  bool goBackOnExtinction = false;  // "On Extinction: &Go Back"
};

// The file's path for the folder that holds "OB.ini".
QString ProgramSettingsPath(const QString& settingsFolder);

ProgramSettings LoadProgramSettings(const QString& path);
// False when the file could not be written.
bool SaveProgramSettings(const QString& path, const ProgramSettings& settings);

}  // namespace ombrivale::ui
