#include "core/seam.h"

namespace ombrivale {

std::string BoxTextOnOneLine(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (char c : text) {
    if (c == '\r') continue;
    line += c == '\n' ? ' ' : c;
  }
  return line;
}

Answer HeadlessSeam::ShowMessageBox(const std::string& text, const std::string& title,
                                    Buttons buttons) {
  Answer answer = defaultAnswer;
  if (buttons == Buttons::Ok) {
    answer = Answer::Ok;
  } else if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  boxes.push_back(Box{text, title, buttons, answer});
  return answer;
}

}  // namespace ombrivale
