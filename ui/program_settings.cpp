#include "ui/program_settings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "world/map_colouring.h"
#include "world/program_settings_file.h"

namespace ombrivale::ui {
namespace {

// The file's text, empty when there is none or it cannot be read.
std::string ReadText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

QString ProgramSettingsPath(const QString& settingsFolder) {
  return QDir(settingsFolder).filePath(QStringLiteral("Ombrivale.ini"));
}

ProgramSettings LoadProgramSettings(const QString& path) {
  const ProgramSettingsFile file = ParseProgramSettings(ReadText(path));
  ProgramSettings settings;
  settings.showSacrificed = file.showSacrificed;
  if (const std::optional<ColourChoice> choice = ParseColourChoice(file.colourBy)) {
    settings.colourBy = *choice;
  } else if (file.colourBySpecies) {
    settings.colourBy.by = ColourBy::Species;  // written before there was a choice
  }
  RunAndStatisticsSettings& run = settings.run;
  run.fast = file.fast;
  run.statisticsShown = file.statisticsShown;
  run.statisticsPlace = QPoint(file.statisticsX, file.statisticsY);
  run.statisticsSize = QSize(file.statisticsWidth, file.statisticsHeight);
  run.statisticsPage = file.statisticsPage;
  run.geneGroup = file.geneGroup;
  run.gene = QString::fromStdString(file.gene);
  settings.speciesTreeShown = file.speciesTreeShown;
  settings.currentWorld = QString::fromStdString(file.currentWorld);
  for (const std::string& folder : file.recentWorlds)
    if (!folder.empty()) settings.recentWorlds << QString::fromStdString(folder);
  settings.savepointsKept = file.savepointsKept;
  settings.savepointCapMegabytes = file.savepointCapMegabytes;
  settings.goBackOnExtinction = file.goBackOnExtinction;
  return settings;
}

bool SaveProgramSettings(const QString& path, const ProgramSettings& settings) {
  // What a newer program keeps in the file stays.
  ProgramSettingsFile file;
  file.others = ParseProgramSettings(ReadText(path)).others;
  file.showSacrificed = settings.showSacrificed;
  file.colourBy = ColourChoiceName(settings.colourBy);
  file.colourBySpecies = settings.colourBy.by == ColourBy::Species;
  const RunAndStatisticsSettings& run = settings.run;
  file.fast = run.fast;
  file.statisticsShown = run.statisticsShown;
  file.statisticsX = run.statisticsPlace.x();
  file.statisticsY = run.statisticsPlace.y();
  file.statisticsWidth = run.statisticsSize.width();
  file.statisticsHeight = run.statisticsSize.height();
  file.statisticsPage = run.statisticsPage;
  file.geneGroup = run.geneGroup;
  file.gene = run.gene.toStdString();
  file.speciesTreeShown = settings.speciesTreeShown;
  file.currentWorld = settings.currentWorld.toStdString();
  for (const QString& folder : settings.recentWorlds)
    file.recentWorlds.push_back(folder.toStdString());
  file.savepointsKept = settings.savepointsKept;
  file.savepointCapMegabytes = settings.savepointCapMegabytes;
  file.goBackOnExtinction = settings.goBackOnExtinction;
  const std::string text = ProgramSettingsText(file);
  // Written beside the file and renamed over it once whole.
  QSaveFile out(path);
  return out.open(QIODevice::WriteOnly) &&
         out.write(text.data(), static_cast<qint64>(text.size())) ==
             static_cast<qint64>(text.size()) &&
         out.commit();
}

}  // namespace ombrivale::ui
