#include "world/program_settings_file.h"

#include <gtest/gtest.h>

#include <tuple>

namespace ombrivale {
namespace {

// What QSettings (Qt 6.4) wrote before the library read the file itself,
// with a key of a newer program ([zoom]): read, and written back as it was.
constexpr const char* kQtWritten =
    "[filters]\nsacrificed=false\n\n[miniMap]\ncolourBySpecies=true\n\n[run]\nspeed=fast\n\n"
    "[statistics]\ngene=\"Limb[1].Lower Length, \\\"x\\\"=y;z\\\\\"\ngene_group=1\npage=3\n"
    "place=@Point(-1 20)\nshown=true\nsize=@Size(-1 -1)\n\n[zoom]\nlevel=\"3 4\"\n";

TEST(ProgramSettingsFile, ReadsAndWritesTheFileAsQSettingsDid) {
  const ProgramSettingsFile read = ParseProgramSettings(kQtWritten);
  EXPECT_TRUE(!read.showSacrificed && read.colourBySpecies && read.fast && read.statisticsShown);
  EXPECT_EQ(std::make_tuple(-1, 20, -1, 3, 1),
            std::tie(read.statisticsX, read.statisticsY, read.statisticsWidth, read.statisticsPage,
                     read.geneGroup));
  EXPECT_EQ("Limb[1].Lower Length, \"x\"=y;z\\", read.gene);
  EXPECT_EQ(kQtWritten, ProgramSettingsText(read));
}

TEST(ProgramSettingsFile, AValueReadsAsQSettingsReadsItAndWhatDoesNotKeepsItsDefault) {
  struct Case {
    const char* text;
    bool shown;
    int32_t page, x;
    std::string gene;
  };
  const Case cases[] = {
      {"[statistics]\r\nshown=true\r\npage=4\r\n", true, 4, -1, ""},
      {"[statistics]\nshown=abc\npage=x\n", true, 0, -1, ""},  // any text but false is true
      {"[statistics]\nshown=FALSE\npage=99999999999\nplace=@Point(5)\n", false, 0, -1, ""},
      {"[statistics]\nshown=0\npage= +7 ; seven\nplace=@Point(5 6)\n", false, 7, 5, ""},
      {"; comment\n[statistics]\ngene=\"a\\x41\\tb\\q\n", false, 0, -1, "aA\tbq"},  // no closing "
      {"[run]\nshown=true\n[statistics\npage=1\npage=2\n", false, 2, -1, ""},       // the last one
      {"statistics/page=9\n", false, 9, -1, ""},  // in [General] with its group, as QSettings
  };
  for (const Case& c : cases) {
    const ProgramSettingsFile read = ParseProgramSettings(c.text);
    EXPECT_EQ(std::tie(c.shown, c.page, c.x, c.gene),
              std::tie(read.statisticsShown, read.statisticsPage, read.statisticsX, read.gene))
        << c.text;
  }
}

// The savepoints' settings: a cap that does not read keeps the default, one
// out of range is brought within it, and they are written back.
TEST(ProgramSettingsFile, SavepointSettingsReadWithinTheirRangeAndComeBack) {
  struct Case {
    const char* text;
    bool kept;
    int32_t megabytes;
    bool goBack;
  };
  const Case cases[] = {
      {"", true, 200, false},
      {"[savepoints]\nkept=false\ncap_mb=50\ngo_back_on_extinction=true\n", false, 50, true},
      {"[savepoints]\ncap_mb=abc\ngo_back_on_extinction=false\n", true, 200, false},
      {"[savepoints]\ncap_mb=0\n", true, 1, false},
      {"[savepoints]\ncap_mb=-5\n", true, 1, false},
      {"[savepoints]\ncap_mb=2147483647\n", true, kMaxSavepointCapMegabytes, false},
  };
  for (const Case& c : cases) {
    const ProgramSettingsFile read = ParseProgramSettings(c.text);
    EXPECT_EQ(std::tie(c.kept, c.megabytes, c.goBack),
              std::tie(read.savepointsKept, read.savepointCapMegabytes, read.goBackOnExtinction))
        << c.text;
    const ProgramSettingsFile again = ParseProgramSettings(ProgramSettingsText(read));
    EXPECT_EQ(std::tie(c.kept, c.megabytes, c.goBack),
              std::tie(again.savepointsKept, again.savepointCapMegabytes, again.goBackOnExtinction))
        << c.text;
  }
}

}  // namespace
}  // namespace ombrivale
