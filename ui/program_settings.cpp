#include "ui/program_settings.h"

#include <QDir>
#include <QSettings>

namespace ombrivale::ui {

QString ProgramSettingsPath(const QString& settingsFolder) {
  return QDir(settingsFolder).filePath(QStringLiteral("Ombrivale.ini"));
}

ProgramSettings LoadProgramSettings(const QString& path) {
  const QSettings file(path, QSettings::IniFormat);
  ProgramSettings settings;
  settings.showSacrificed =
      file.value(QStringLiteral("filters/sacrificed"), settings.showSacrificed).toBool();
  settings.colourBySpecies =
      file.value(QStringLiteral("miniMap/colourBySpecies"), settings.colourBySpecies).toBool();
  return settings;
}

bool SaveProgramSettings(const QString& path, const ProgramSettings& settings) {
  QSettings file(path, QSettings::IniFormat);
  file.setValue(QStringLiteral("filters/sacrificed"), settings.showSacrificed);
  file.setValue(QStringLiteral("miniMap/colourBySpecies"), settings.colourBySpecies);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace ombrivale::ui
