// What the secondary windows ask of the main window.
//
// The main window implements this; the world view, QuickDraw, properties and
// Play God windows take it in their constructors, so each can be built and
// tested with a stand-in.
#pragma once

#include "core/seam.h"
#include "core/world.h"
#include "ui/world_document.h"

namespace ombrivale::ui {

class QuickDrawWindow;
class PropertiesWindow;

class MainWindowServices {
 public:
  virtual ~MainWindowServices() = default;

  // The world and what tells the windows it changed; a window that changed
  // the world (a drop, a kill) drains it so every window hears of it.
  virtual WorldDocument& Document() = 0;
  World& GetWorld() { return Document().GetWorld(); }
  // What the windows show of the world: captions, pictures, the log, the
  // tracked animal.
  Display& GetDisplay() { return Document().GetDisplay(); }
  // Message boxes and the pointer go through the seam, so tests answer them.
  virtual Seam& WindowSeam() = 0;

  virtual bool IsMainWindowMinimized() const = 0;
  virtual void MaximizeMainWindow() = 0;

  // The QuickDraw window, created (and shown) when it does not exist; it is
  // destroyed when closed.
  virtual QuickDrawWindow& QuickDraw() = 0;
  // The properties window, created when it does not exist; closing hides it.
  virtual PropertiesWindow& Properties() = 0;
  virtual void ShowWorldView() = 0;
};

}  // namespace ombrivale::ui
