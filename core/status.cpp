#include "core/status.h"

namespace ombrivale {

Status::Status(Code code, std::string_view message, int number, int64_t where)
    : state_(new State{code, number, where, std::string(message), std::string()}) {}

Status::Status(const Status& other) : state_(other.ok() ? nullptr : new State(*other.state_)) {}

Status& Status::operator=(const Status& other) {
  if (this != &other) state_.reset(other.ok() ? nullptr : new State(*other.state_));
  return *this;
}

Status& Status::SetWhere(int64_t where) {
  if (!ok()) state_->where = where;
  return *this;
}

Status& Status::SetFile(std::string_view file) {
  if (!ok()) state_->file = file;
  return *this;
}

std::string Status::ToString() const {
  if (ok()) return "OK";
  std::string text;
  switch (state_->code) {
    case Code::kOk:
      break;
    case Code::kNotFound:
      text = "NotFound: ";
      break;
    case Code::kCorruption:
      text = "Corruption: ";
      break;
    case Code::kInvalidArgument:
      text = "Invalid argument: ";
      break;
    case Code::kIOError:
      text = "IO error: ";
      break;
  }
  if (!state_->file.empty()) {
    text += state_->file;
    text += ": ";
  }
  text += state_->message;
  if (state_->where > 0) {
    text += " (at ";
    text += std::to_string(state_->where);
    text += ")";
  }
  return text;
}

}  // namespace ombrivale
