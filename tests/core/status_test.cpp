#include "core/status.h"

#include <gtest/gtest.h>

#include <utility>

namespace ombrivale {
namespace {

TEST(Status, CarriesItsCodeNumberPlaceAndFile) {
  struct Case {
    Status status;
    Status::Code code;
    int number;
    int64_t where;
    const char* text;
  };
  const Case cases[] = {
      {Status::OK(), Status::Code::kOk, 0, 0, "OK"},
      {Status(), Status::Code::kOk, 0, 0, "OK"},
      {Status::NotFound("No such file or directory", 2), Status::Code::kNotFound, 2, 0,
       "NotFound: No such file or directory"},
      {Status::Corruption("Type mismatch: not a number", 1002, 7), Status::Code::kCorruption, 1002,
       7, "Corruption: Type mismatch: not a number (at 7)"},
      {Status::InvalidArgument("--ticks needs a value"), Status::Code::kInvalidArgument, 0, 0,
       "Invalid argument: --ticks needs a value"},
      {Status::IOError("No space left on device", 28).SetFile("planet_0.dat"),
       Status::Code::kIOError, 28, 0, "IO error: planet_0.dat: No space left on device"},
      // A failure without a message is still a failure.
      {Status::Corruption(""), Status::Code::kCorruption, 0, 0, "Corruption: "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.code == Status::Code::kOk, c.status.ok()) << c.text;
    EXPECT_EQ(c.code, c.status.code()) << c.text;
    EXPECT_EQ(c.number, c.status.number()) << c.text;
    EXPECT_EQ(c.where, c.status.where()) << c.text;
    EXPECT_EQ(c.text, c.status.ToString());
  }
}

TEST(Status, CopiesAreDeepAndOkStaysOkWhenPlaced) {
  Status original = Status::Corruption("damaged", 1001, 3);
  Status copy = original;
  copy.SetWhere(4).SetFile("A_1.OBG");
  EXPECT_EQ(3, original.where());
  EXPECT_EQ("", original.file());
  EXPECT_EQ("Corruption: A_1.OBG: damaged (at 4)", copy.ToString());
  copy = original;
  EXPECT_EQ(original.ToString(), copy.ToString());
  Status moved = std::move(copy);
  EXPECT_EQ(1001, moved.number());
  moved = Status::OK();
  EXPECT_TRUE(moved.ok());
  Status ok;
  ok.SetWhere(9).SetFile("x");  // nothing to place
  EXPECT_EQ("OK", ok.ToString());
  EXPECT_EQ(0, ok.where());
  static_assert(sizeof(Status) == sizeof(void*), "OK costs one pointer");
}

}  // namespace
}  // namespace ombrivale
