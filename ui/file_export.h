// Writing what a window exports (a table, a tree) into a file the user chose.
#pragma once

#include <QString>
#include <string>

#include "core/seam.h"

namespace ombrivale::ui {

// Writes `text` to `path` whole; when it cannot, says so in an ERROR box
// ("The family record could not be written to PATH: REASON") and returns
// false. `what` names the contents as a message begins: "The family record".
bool WriteExport(const QString& path, const std::string& text, const std::string& what, Seam& seam);

}  // namespace ombrivale::ui
