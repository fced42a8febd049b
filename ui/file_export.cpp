#include "ui/file_export.h"

#include <QSaveFile>

namespace ombrivale::ui {

bool WriteExport(const QString& path, const std::string& text, const std::string& what,
                 Seam& seam) {
  // QSaveFile writes beside the file and renames at the end: a failure
  // leaves an earlier export of the same name as it was.
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) &&
      file.write(text.data(), static_cast<qint64>(text.size())) ==
          static_cast<qint64>(text.size()) &&
      file.commit()) {
    return true;
  }
  seam.ShowMessageBox(what + " could not be written to " + path.toStdString() + ": " +
                          file.errorString().toStdString(),
                      "ERROR", Buttons::Ok);
  return false;
}

}  // namespace ombrivale::ui
