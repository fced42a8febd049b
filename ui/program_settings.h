// The program's own settings file, "Ombrivale.ini" beside "OB.ini": what the
// 27 lines of "OB.ini" do not hold. An INI file read through QSettings, so
// that later versions can add keys and older files still read; a missing or
// unreadable file leaves every setting at its default.
#pragma once

#include <QString>

#include "core/world.h"

namespace ombrivale::ui {

struct ProgramSettings {
  bool showSacrificed = true;    // the "Show &These" entry of sacrificed animals
  bool colourBySpecies = false;  // "Colour by &Species" (Display::ColourBySpecies)
};

// The file's path for the folder that holds "OB.ini".
QString ProgramSettingsPath(const QString& settingsFolder);

ProgramSettings LoadProgramSettings(const QString& path);
// False when the file could not be written.
bool SaveProgramSettings(const QString& path, const ProgramSettings& settings);

}  // namespace ombrivale::ui
