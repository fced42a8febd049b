#include "ui/program_settings.h"

#include <QDir>
#include <QSettings>

namespace ombrivale::ui {
namespace {

void LoadRunAndStatistics(const QSettings& file, RunAndStatisticsSettings& run) {
  run.fast = file.value(QStringLiteral("run/speed")).toString() == QLatin1String("fast");
  run.statisticsShown = file.value(QStringLiteral("statistics/shown"), false).toBool();
  run.statisticsPlace =
      file.value(QStringLiteral("statistics/place"), run.statisticsPlace).toPoint();
  run.statisticsSize = file.value(QStringLiteral("statistics/size"), run.statisticsSize).toSize();
  run.statisticsPage = file.value(QStringLiteral("statistics/page"), 0).toInt();
  run.geneGroup = file.value(QStringLiteral("statistics/gene_group"), 0).toInt();
  run.gene = file.value(QStringLiteral("statistics/gene")).toString();
}

void SaveRunAndStatistics(QSettings& file, const RunAndStatisticsSettings& run) {
  file.setValue(QStringLiteral("run/speed"),
                run.fast ? QStringLiteral("fast") : QStringLiteral("real-time"));
  file.setValue(QStringLiteral("statistics/shown"), run.statisticsShown);
  file.setValue(QStringLiteral("statistics/place"), run.statisticsPlace);
  file.setValue(QStringLiteral("statistics/size"), run.statisticsSize);
  file.setValue(QStringLiteral("statistics/page"), run.statisticsPage);
  file.setValue(QStringLiteral("statistics/gene_group"), run.geneGroup);
  file.setValue(QStringLiteral("statistics/gene"), run.gene);
}

}  // namespace

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
  LoadRunAndStatistics(file, settings.run);
  return settings;
}

bool SaveProgramSettings(const QString& path, const ProgramSettings& settings) {
  QSettings file(path, QSettings::IniFormat);
  file.setValue(QStringLiteral("filters/sacrificed"), settings.showSacrificed);
  file.setValue(QStringLiteral("miniMap/colourBySpecies"), settings.colourBySpecies);
  SaveRunAndStatistics(file, settings.run);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace ombrivale::ui
