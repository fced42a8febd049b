#include "core/seam.h"

namespace ombrivale {

void HeadlessSeam::MessageLineChanged(const std::string& text) {
  if (messageLineLimit == 0) return;
  if (messageLines.size() >= messageLineLimit) {
    messageLines.erase(messageLines.begin(),
                       messageLines.begin() + static_cast<long>(messageLines.size() / 2));
  }
  messageLines.push_back(text);
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
