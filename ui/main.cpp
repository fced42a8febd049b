// Ombrivale: the desktop program. No command line, no environment: the
// window reads its settings and world from its own folder.
#include <QApplication>

#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ombrivale"));
  QApplication::setDesktopFileName(QStringLiteral("ombrivale"));
  // The main window never closes by itself: closing it asks to quit.
  QApplication::setQuitOnLastWindowClosed(false);

  ombrivale::ui::MainWindow window;
  window.StartUp();
  window.show();
  return QApplication::exec();
}
