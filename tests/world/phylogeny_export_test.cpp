#include "world/phylogeny_export.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/world_files_support.h"
#include "world/species_history_file.h"

namespace ombrivale {
namespace {

struct Life {
  int32_t number, parent;
  uint32_t world;
  uint64_t first, last;
};

SpeciesHistory Made(const std::vector<Life>& lives, uint32_t world, uint64_t nextMonth) {
  SpeciesHistory h;
  for (const Life& l : lives) {
    h.world = l.world;
    SpeciesLife& life = AddSpeciesLife(h, l.number, l.parent, l.first, 1);
    NoteSpeciesCount(h, life, l.last, 1);
  }
  h.world = world;
  h.nextMonth = nextMonth;
  AdoptGrouping(h, {}, {});
  h.adultsGrouped = static_cast<int32_t>(h.living.size());
  return h;
}

// Runs the independent reader (tests/tools/check_phylogeny.py) on `saved`
// as species.dat and the exports of `exported`; its report, or its
// complaint.
std::string Check(const SpeciesHistory& saved, const SpeciesHistory& exported) {
  testing::ScratchFolder scratch;
  std::string text;
  SpeciesHistoryText(saved, text);
  const SpeciesHistory& history = exported;
  testing::WriteFileText(scratch.path + "/species.dat", text);
  SpeciesNewick(history, text);
  testing::WriteFileText(scratch.path + "/tree.nwk", text);
  SpeciesPhylogenyCsv(history, text);
  testing::WriteFileText(scratch.path + "/species.csv", text);
  const std::string command =
      "/usr/bin/python3 " OMBRIVALE_SOURCE_DIR "/tests/tools/check_phylogeny.py " + scratch.path +
      "/species.dat " + scratch.path + "/tree.nwk " + scratch.path + "/species.csv 2>&1";
  std::string report;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
      report += buffer;
    ::pclose(pipe);
  }
  return report;
}

TEST(PhylogenyExport, NewickHasTheSplitsAndTimesOfTheHistory) {
  // World 0: 2 and 3 split from 1, 4 from 2, 5 from 1 after 1 had died
  // out; world 1: two first species, 8 split from 7.
  const SpeciesHistory h = Made({{1, 0, 0, 0, 30},
                                 {2, 1, 0, 10, 35},
                                 {3, 1, 0, 20, 22},
                                 {4, 2, 0, 25, 40},
                                 {5, 1, 0, 40, 41},
                                 {6, 0, 1, 50, 60},
                                 {7, 0, 1, 52, 55},
                                 {8, 7, 1, 54, 60}},
                                1, 61);
  EXPECT_EQ("ok: 8 leaves in 2 trees\n", Check(h, h));
  std::string text;
  SpeciesNewick(Made({{1, 0, 0, 0, 17}, {2, 1, 0, 6, 11}}, 0, 18), text);
  EXPECT_EQ("(S1:1,S2:0.5):0.5;\n", text);
  SpeciesPhylogenyCsv(h, text);
  EXPECT_NE(std::string::npos, text.find("\n5,[1],3.3333333333333335,3.5,0,40,41,1,0\n")) << text;
  EXPECT_NE(std::string::npos, text.find("\n8,[7],4.5,none,1,54,60,1,1\n")) << text;

  // A fault in the exports is found: a child hung under another parent.
  SpeciesHistory wrong = h;
  wrong.species[3].parent = 1;  // 4's line is written under 2's
  EXPECT_NE(std::string::npos, Check(wrong, h).find("S4 splits from S2, not from its parent"));
}

}  // namespace
}  // namespace ombrivale
