// The window seam of the command-line tools: there is no window and nobody to
// answer, so message boxes are written to standard error and answered so that
// the routine asking ends (OK, and Yes to "Do you want to cancel this
// routine?").
#pragma once

#include <cstdint>
#include <iostream>
#include <string>

#include "core/seam.h"

namespace ombrivale::tools {

class RunnerSeam : public Seam {
 public:
  void MessageLineChanged(const std::string& text) override {
    lastMessage = text;
    if (text == "Save Failed") ++failedSaves;
    if (text == "New World") ++newWorlds;
  }

  Answer ShowMessageBox(const std::string& text, const std::string& title,
                        Buttons buttons) override {
    ++boxes;
    std::string flat;
    for (char c : text) {
      if (c == '\r') continue;
      flat += c == '\n' ? ' ' : c;
    }
    std::cerr << "ombrivale-run: [" << title << "] " << flat << '\n';
    switch (buttons) {
      case Buttons::Ok:
        return Answer::Ok;
      case Buttons::YesNo:
        return Answer::Yes;
      case Buttons::YesNoCancel:
        return Answer::Cancel;
    }
    return Answer::Ok;
  }

  std::string lastMessage;
  uint64_t boxes = 0;
  uint64_t failedSaves = 0;
  uint64_t newWorlds = 0;  // "New World" messages: set-up and automatic restarts
};

}  // namespace ombrivale::tools
