#include "world/manifest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fuzz/manifest_fuzz.h"
#include "support/test_world.h"
#include "support/world_files_support.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

using testing::FillRandomWorld;
using testing::FolderNames;
using testing::ReadFileText;
using testing::ScratchFolder;
using testing::TestWorld;
using testing::WriteFileText;

// The CRC-32 a bit at a time, as the polynomial defines it.
uint32_t LiteralCrc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<uint8_t>(c);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

// `body` followed by the line of its checksum.
std::string Sealed(const std::string& body) {
  char line[16];
  std::snprintf(line, sizeof line, "%08x\r\n", static_cast<unsigned>(Crc32(body)));
  return body + line;
}

TEST(Manifest, Crc32IsTheCrcOfZlibEightBytesAStep) {
  EXPECT_EQ(0u, Crc32(""));
  EXPECT_EQ(0xCBF43926u, Crc32("123456789"));
  EXPECT_EQ(0x414FA339u, Crc32("The quick brown fox jumps over the lazy dog"));
  // Every length around the eight-byte steps, cut anywhere and carried on.
  std::mt19937_64 random(17);
  std::string bytes;
  for (size_t length = 0; length < 70; ++length) {
    SCOPED_TRACE(length);
    EXPECT_EQ(LiteralCrc32(bytes), Crc32(bytes));
    const size_t cut = length == 0 ? 0 : random() % length;
    const std::string_view view = bytes;
    EXPECT_EQ(Crc32(bytes), Crc32(view.substr(cut), Crc32(view.substr(0, cut))));
    bytes += static_cast<char>(random());
  }
}

TEST(Manifest, TextByHandAndBack) {
  const Manifest manifest{12, 300, 7, {{"planet_0.dat", 65487, 0x0badf00d}, {"A_3.OBG", 0, ~0u}}};
  std::string text;
  ManifestText(manifest, text);
  EXPECT_EQ(Sealed("12\r\n300\r\n7\r\n2\r\nplanet_0.dat 65487 0badf00d\r\nA_3.OBG 0 ffffffff\r\n"),
            text);
  Manifest back;
  ASSERT_TRUE(ParseManifest(text, back).ok());
  std::string again;
  ManifestText(back, again);
  EXPECT_EQ(text, again);
  const ManifestIndex index(back);
  EXPECT_EQ(&back.files[1], index.Find("A_3.OBG"));
  EXPECT_EQ(nullptr, index.Find("A_3.OB"));
}

// Anything but what a save writes is refused whole, with its line.
TEST(Manifest, DamagedManifestsAreRefusedWithTheirLine) {
  const std::string header = "5\r\n-3\r\n12\r\n";
  const std::string entry = "animals.dat 10 0123abcd\r\n";
  struct Case {
    std::string text;
    int number;
    int line;
  };
  const Case cases[] = {
      {"", kErrorPastEnd, 1},
      {header, kErrorPastEnd, 4},
      {Sealed(header + "2\r\n" + entry), kErrorBadManifest, 6},  // the checksum as an entry
      {header + "1\r\n" + entry, kErrorPastEnd, 6},              // no checksum
      {header + "1\r\n" + entry + "0123abcd\r\n", kErrorBadManifest, 6},   // a wrong one
      {Sealed(header + "1\r\n" + entry).substr(0, 43), kErrorPastEnd, 6},  // cut in it
      {Sealed(header + "1\r\n" + entry) + "\r\n", kErrorBadManifest, 6},   // more after it
      {Sealed("5\n-3\n12\n0\n"), kErrorNotNumber, 1},                      // LF alone
      {Sealed("05\r\n-3\r\n12\r\n0\r\n"), kErrorNotNumber, 1},             // a leading zero
      {Sealed("5\r\n-0\r\n12\r\n0\r\n"), kErrorNotNumber, 2},
      {Sealed("5\r\n2147483648\r\n12\r\n0\r\n"), kErrorOutOfRange, 2},
      {Sealed("5\r\n3\r\n32768\r\n0\r\n"), kErrorOutOfRange, 3},
      {Sealed(header + "99\r\n" + entry), kErrorPastEnd, 4},  // more than fit
      {Sealed(header + "1\r\nanimals.dat 10 0123ABCD\r\n"), kErrorBadManifest, 5},
      {Sealed(header + "1\r\nanimals.dat  10 0123abcd\r\n"), kErrorNotNumber, 5},
      {Sealed(header + "1\r\nanimals.dat 10\r\n"), kErrorBadManifest, 5},
      {Sealed(header + "1\r\n../x 10 0123abcd\r\n"), kErrorBadManifest, 5},
      {Sealed(header + "1\r\n.. 10 0123abcd\r\n"), kErrorBadManifest, 5},
      {Sealed(header + "1\r\na\tb 10 0123abcd\r\n"), kErrorBadManifest, 5},
      {Sealed(header + "1\r\nx 18446744073709551616 0123abcd\r\n"), kErrorOutOfRange, 5},
      {Sealed(header + "2\r\n" + entry + entry), kErrorBadManifest, 6},  // listed twice
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Manifest manifest;
    manifest.sequence = 99;
    const Status error = ParseManifest(c.text, manifest);
    EXPECT_EQ(c.number, error.number());
    EXPECT_EQ(c.line, error.where());
    EXPECT_EQ(99u, manifest.sequence);  // untouched
    EXPECT_TRUE(
        fuzz::ManifestFuzzOne(reinterpret_cast<const uint8_t*>(c.text.data()), c.text.size()));
  }
}

// The manifest of a save lists what it wrote and nothing it carried over,
// and its number counts the world's saves, on across a load.
TEST(Manifest, ASaveListsWhatItWroteAndCountsTheSaves) {
  ScratchFolder scratch;
  const std::string folder = scratch.AutoSave();
  TestWorld t;
  FillRandomWorld(t.world, 41, 6);
  t.world.Year = 1234;
  ASSERT_TRUE(SaveWorld(t.world, folder).ok());
  AnimalAt(t.world, 2).Alive = 0;  // A_2.OBG stays, from the first save
  WriteFileText(folder + "/notes.txt", "mine");
  ASSERT_TRUE(SaveWorld(t.world, folder).ok());

  Manifest manifest;
  ASSERT_TRUE(ParseManifest(ReadFileText(folder + "/manifest.dat"), manifest).ok());
  EXPECT_EQ(2u, manifest.sequence);
  EXPECT_EQ(1234, manifest.year);
  EXPECT_EQ(t.world.Month, manifest.month);
  std::vector<std::string> listed;
  for (const ManifestEntry& file : manifest.files)
    listed.push_back(file.name);
  EXPECT_EQ((std::vector<std::string>{"planet_0.dat", "planet_1.dat", "planet_2.dat", "animals.dat",
                                      "lineage.dat", "A_1.OBG", "A_3.OBG", "A_4.OBG", "A_5.OBG",
                                      "A_6.OBG", "stats.csv", "genes.csv", "species.dat"}),
            listed);
  EXPECT_EQ(listed.size() + 3, FolderNames(folder).size());  // manifest, A_2.OBG, notes.txt

  TestWorld loaded;  // each file checked against its size and checksum
  loaded.world.saveSequence = 40;
  ASSERT_TRUE(LoadWorld(loaded.world, folder));
  EXPECT_TRUE(loaded.seam.boxes.empty());
  EXPECT_EQ(2u, loaded.world.saveSequence);
  ASSERT_TRUE(SaveWorld(loaded.world, folder).ok());
  ASSERT_TRUE(ParseManifest(ReadFileText(folder + "/manifest.dat"), manifest).ok());
  EXPECT_EQ(3u, manifest.sequence);
  // A folder without a manifest loads, and its world counts from the start.
  std::filesystem::remove(folder + "/manifest.dat");
  ASSERT_TRUE(LoadWorld(loaded.world, folder));
  EXPECT_TRUE(loaded.seam.boxes.empty());
  EXPECT_EQ(0u, loaded.world.saveSequence);
}

// A file the load reads that is not the one the save wrote, and a damaged
// manifest, are reported by name, then "Skip?": Yes cancels the load, No
// goes on (the file read as it stands, or the folder read unchecked).
TEST(Manifest, TheLoadReportsAFileThatIsNotTheSavesByName) {
  TestWorld source;
  FillRandomWorld(source.world, 42, 5);
  // A line added to a file changes its size, a bit of one byte its checksum.
  const std::pair<const char*, int> cases[] = {
      {"A_3.OBG", kErrorChecksumDiffers},      {"A_4.OBG", kErrorNotInManifest},
      {"planet_0.dat", kErrorChecksumDiffers}, {"planet_1.dat", kErrorSizeDiffers},
      {"planet_2.dat", kErrorSizeDiffers},     {"animals.dat", kErrorChecksumDiffers},
      {"lineage.dat", kErrorSizeDiffers},      {"stats.csv", kErrorChecksumDiffers},
      {"genes.csv", kErrorSizeDiffers},        {"manifest.dat", kErrorBadManifest},
  };
  for (const auto& [file, number] : cases) {
    for (const Answer answer : {Answer::Yes, Answer::No}) {
      SCOPED_TRACE(std::string(file) + (answer == Answer::Yes ? ", Yes" : ", No"));
      ScratchFolder scratch;
      ASSERT_TRUE(SaveWorld(source.world, scratch.AutoSave()).ok());
      const std::string path = scratch.AutoSave() + "/" + file;
      std::string bytes = ReadFileText(path);
      if (number == kErrorNotInManifest) {  // a manifest of its own that leaves the file out
        Manifest manifest;
        ASSERT_TRUE(
            ParseManifest(ReadFileText(scratch.AutoSave() + "/manifest.dat"), manifest).ok());
        std::erase_if(manifest.files, [&](const ManifestEntry& e) { return e.name == file; });
        ManifestText(manifest, bytes);
        WriteFileText(scratch.AutoSave() + "/manifest.dat", bytes);
      } else {
        bytes[bytes.size() / 2] ^= 1;
        WriteFileText(path, number == kErrorSizeDiffers ? bytes + "1\r\n" : bytes);
      }
      TestWorld t;
      t.seam.defaultAnswer = answer;  // a reader's own question after No too
      EXPECT_EQ(answer == Answer::No, LoadWorld(t.world, scratch.AutoSave()));
      ASSERT_GE(t.seam.boxes.size(), 2u);
      EXPECT_EQ("ERROR", t.seam.boxes[0].title);
      EXPECT_TRUE(t.seam.boxes[0].text.starts_with("Error  " + std::to_string(number) + "\n\r" +
                                                   file + ": " +
                                                   ErrorDescription(FormatError(number, 0))))
          << t.seam.boxes[0].text;
      EXPECT_TRUE(
          t.seam.boxes[0].text.ends_with("\n\rIt'd be a good idea to give this number to Brenlo."));
      EXPECT_EQ("Skip?: Do you want to cancel this routine?",
                t.seam.boxes[1].title + ": " + t.seam.boxes[1].text);
      // Yes: nothing more. No: the file is read as it stands, and its
      // reader may refuse it in turn.
      if (answer == Answer::Yes) {
        EXPECT_EQ(2u, t.seam.boxes.size());
      }
    }
  }
}

TEST(Manifest, FuzzCorpusReadsBackOrIsRefused) {
  int inputs = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(OMBRIVALE_SOURCE_DIR "/fuzz/corpus/manifest")) {
    const std::string bytes = ReadFileText(entry.path());
    EXPECT_TRUE(fuzz::ManifestFuzzOne(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        << entry.path();
    ++inputs;
  }
  EXPECT_GT(inputs, 0);
  // The real manifest in it is whole.
  Manifest manifest;
  EXPECT_TRUE(
      ParseManifest(ReadFileText(OMBRIVALE_SOURCE_DIR "/fuzz/corpus/manifest/real_year30.dat"),
                    manifest)
          .ok());
  EXPECT_EQ(30, manifest.year);
}

}  // namespace
}  // namespace ombrivale
