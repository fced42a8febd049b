// The outcome of anything that can fail: a file read or written, a file or a
// line of text parsed, a value a user typed checked. Library functions return
// one; only the program, the tools and the Python module report it (message
// box, log line, standard error, exit status):
//   Status status = SaveWorld(world, folder);
//   if (!status.ok()) std::cerr << status.ToString() << '\n';
//
// OK carries nothing and costs one null pointer; a failure carries its code,
// a message, and where known the error number the program's messages show
// (an errno value below 1000, or one of world/file_system.h's 1000+), the
// file it concerns and where in it (the 1-based line of a text file or the
// byte offset of a binary one; 0 when it does not apply).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ombrivale {

class Status {
 public:
  enum class Code : uint8_t {
    kOk,
    kNotFound,         // a file or a value that is not there
    kCorruption,       // a file that is not as the program writes it
    kInvalidArgument,  // a value a caller or a user gave that cannot be used
    kIOError,          // the platform refused an operation
  };

  Status() noexcept = default;
  Status(const Status& other);
  Status& operator=(const Status& other);
  Status(Status&& other) noexcept = default;
  Status& operator=(Status&& other) noexcept = default;
  ~Status() = default;

  static Status OK() { return Status(); }
  static Status NotFound(std::string_view message, int number = 0) {
    return Status(Code::kNotFound, message, number, 0);
  }
  static Status Corruption(std::string_view message, int number = 0, int64_t where = 0) {
    return Status(Code::kCorruption, message, number, where);
  }
  static Status InvalidArgument(std::string_view message, int number = 0, int64_t where = 0) {
    return Status(Code::kInvalidArgument, message, number, where);
  }
  static Status IOError(std::string_view message, int number = 0) {
    return Status(Code::kIOError, message, number, 0);
  }

  bool ok() const { return state_ == nullptr; }
  bool IsNotFound() const { return code() == Code::kNotFound; }
  Code code() const { return ok() ? Code::kOk : state_->code; }
  // 0 when OK or when the failure has no number.
  int number() const { return ok() ? 0 : state_->number; }
  int64_t where() const { return ok() ? 0 : state_->where; }
  std::string_view message() const { return ok() ? std::string_view() : state_->message; }
  std::string_view file() const { return ok() ? std::string_view() : state_->file; }

  // The same failure at another place, or naming its file. REQUIRES: !ok().
  Status& SetWhere(int64_t where);
  Status& SetFile(std::string_view file);

  // "OK", or the code's name, the file, the message and the place:
  // "Corruption: A_3.OBG: Type mismatch: not a number (at 2)".
  std::string ToString() const;

 private:
  struct State {
    Code code = Code::kOk;
    int number = 0;
    int64_t where = 0;
    std::string message;
    std::string file;
  };

  Status(Code code, std::string_view message, int number, int64_t where);

  std::unique_ptr<State> state_;  // null when OK
};

}  // namespace ombrivale
