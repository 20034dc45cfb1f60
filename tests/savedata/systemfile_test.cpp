#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "savedata_test.h"
#include "support/large_file.h"

namespace savedata_test {
namespace {

using Sys = CCommonSystemFile;

// The layout as the format defines it, kept apart from the code under test.
struct Layout {
  const char* tag;
  int id, size, offset;
};
constexpr Layout kLayout[] = {
    {"FILE INFO", 0, 64, 0},       {"SYSTEM DATA", 1, 2048, 64},   {"MES FLAG", 5, 32800, 2112},
    {"SYSTEMVAR", 6, 544, 34912},  {"CGFLAG", 7, 1312, 35456},     {"SCENEFLAG", 8, 2080, 36768},
    {"FILMFLAG", 9, 16416, 38848}, {"VOICEFLAG", 10, 1056, 55264}, {"MOVIEFLAG", 11, 1056, 56320},
    {"MUSICFLAG", 12, 1056, 57376},
};
constexpr int kFileSize = 58432;
constexpr int kSys = 64;  // file offset of SYSTEM DATA

// The defaults file as written at tick `ms` of the headless clock (its
// epoch starts on Thursday 2026-01-01) after `saves` saves.
std::string DefaultImage(int saves, int ms) {
  std::string img(kFileSize, '\0');
  for (const Layout& b : kLayout) {
    PutWord(&img, b.offset, b.size);
    PutWord(&img, b.offset + 4, b.id);
    std::string tag = std::string(b.tag) + std::string(15 - std::strlen(b.tag), ' ');
    img.replace(b.offset + 16, 15, tag);
  }
  PutWord(&img, 32, 10);
  const int time[8] = {2026, 1, 1, 4, 0, ms / 60000, (ms / 1000) % 60, ms % 1000};
  for (int i = 0; i < 8; ++i) PutWord(&img, kSys + 32 + 4 * i, time[i]);
  const std::pair<int, int> words[] = {
      {72, 800},  {76, 600},  {80, 16},   {92, saves}, {96, 30},   {100, 70},  {104, 60},
      {108, 80},  {112, 60},  {116, 80},  {120, 70},   {124, 80},  {128, 1},   {132, 1},
      {136, 2},   {176, 90},  {180, 90},  {184, 90},   {188, 90},  {192, 1},   {196, 1},
      {200, 1},   {204, 1},   {212, 90},  {216, 1},    {1936, 2},  {1944, 2},
  };
  for (auto [offset, value] : words) PutWord(&img, kSys + offset, value);
  img.replace(kSys + 256, 13, testsupport::Sjis("ＭＳ ゴシック"));
  return img;
}

std::string Image(const Sys& f) {
  return std::string(reinterpret_cast<const char*>(f.GetImage()), Sys::kFileSize);
}

// Last word of each block: zero by default, so a marker there shows where a
// block's body came from.
int LastWord(int k) { return kLayout[k].size - 4; }

class SystemFileTest : public SaveDataTest {
 protected:
  void SetUp() override {
    SaveDataTest::SetUp();
    SetSaveFolder(nullptr, nullptr, 0);
    ASSERT_EQ(CreateSaveFolder(), 1);
  }
  std::string SavedFile() const { return Dir().Read("sav/sysfile.sav"); }
  // A valid file whose blocks each carry a marker in their last word.
  std::string MarkedFile() {
    Sys f;
    f.SetDefault();
    for (int k = 1; k < Sys::kBlockCount; ++k) f.SetBlockWord(k, LastWord(k), 1000 + k);
    return Image(f);
  }
  // Which blocks of a loaded object carry their marker.
  std::string FromFile(const Sys& f) const {
    std::string s;
    for (int k = 1; k < Sys::kBlockCount; ++k) s += f.GetBlockWord(k, LastWord(k)) == 1000 + k ? 'F' : '-';
    return s;
  }
};

TEST_F(SystemFileTest, FirstRunWritesTheDefaultsAndTellsSo) {
  Sys f;
  EXPECT_EQ(f.Load(1), 0);
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, testsupport::Sjis("システムファイル:sav\\sysfile.savが見つかりません"));
  EXPECT_EQ(boxes[0].style, MB_OK);
  const std::string expected = DefaultImage(1, 0);
  EXPECT_EQ(SavedFile(), expected);
  EXPECT_EQ(Image(f), expected);

  // Quietly: no box, same file.
  host_->ClearBoxes();
  std::filesystem::remove(Dir() / "sav/sysfile.sav");
  Sys quiet;
  EXPECT_EQ(quiet.Load(0), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(SavedFile().size(), static_cast<size_t>(kFileSize));
}

TEST_F(SystemFileTest, SecondRunReadsWhatTheFirstSaved) {
  {
    Sys first;
    first.Load(1);
    first.SetMesFlag(3, 17);
    first.SetPosition(123, 45);
    first.SetFamilyName(testsupport::Sjis("山田").c_str());
    first.AddMusicCount(7);
    host_->AdvanceClock(61500);
    ASSERT_EQ(first.Save(1), 1);
  }
  host_->ClearBoxes();
  Sys second;
  EXPECT_EQ(second.Load(1), 1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Image(second), SavedFile());
  EXPECT_EQ(second.GetMesFlag(3, 17), 1);
  int pos[2];
  EXPECT_EQ(second.GetPosition(pos), 1);
  EXPECT_EQ(pos[0], 123);
  EXPECT_EQ(pos[1], 45);
  EXPECT_EQ(std::string(second.GetFamilyName()), testsupport::Sjis("山田"));
  EXPECT_EQ(second.GetMusicFlag(7), 1);
  EXPECT_EQ(second.GetSystemData(Sys::kSaveCounterOffset), 2);
  // The save time is the clock's: one minute and a half second in.
  EXPECT_EQ(second.GetSystemData(52), 1);
  EXPECT_EQ(second.GetSystemData(56), 1);
  EXPECT_EQ(second.GetSystemData(60), 500);
}

TEST_F(SystemFileTest, EverySaveCountsAndWritesTheWholeFile) {
  Sys f;
  f.Load(0);
  const int before = f.GetSystemData(Sys::kSaveCounterOffset);
  ASSERT_EQ(f.Save(0), 1);
  ASSERT_EQ(f.Save(0), 1);
  EXPECT_EQ(f.GetSystemData(Sys::kSaveCounterOffset), before + 2);
  EXPECT_EQ(SavedFile().size(), static_cast<size_t>(kFileSize));
  EXPECT_EQ(Word(SavedFile(), kSys + 92), before + 2);
}

TEST_F(SystemFileTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
  Sys f;
  f.Load(0);
  const std::string old = SavedFile();
  const int counter = f.GetSystemData(Sys::kSaveCounterOffset);
  f.SetMesFlag(0, 0);
  host_->ClearBoxes();

  platform::FailWholeFileWrites(1);
  EXPECT_EQ(f.Save(1), 0);
  EXPECT_EQ(SavedFile(), old);
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, testsupport::Sjis("システムファイル:sav\\sysfile.savがsaveできませんでした\n") +
                               std::strerror(ENOSPC));
  // The memory keeps the new counter, as the next save will.
  EXPECT_EQ(f.GetSystemData(Sys::kSaveCounterOffset), counter + 1);

  platform::FailWholeFileWrites(1);
  EXPECT_EQ(f.Save(0), 0);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(SavedFile(), old);

  ASSERT_EQ(f.Save(0), 1);
  EXPECT_NE(SavedFile(), old);

  // With or without the box, every failure puts the file and the system's
  // reason on stderr: here a full disk, then a folder where the file goes.
  const std::string path = Dir() / "sav/sysfile.sav";
  const std::string line = "the system file " + path + " cannot be saved: ";
  EXPECT_EQ(host_->ErrorLines(), (std::vector<std::string>{line + std::strerror(ENOSPC),
                                                           line + std::strerror(ENOSPC)}));
  host_->ClearErrorLines();
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  EXPECT_EQ(f.Save(0), 0);
  EXPECT_EQ(host_->ErrorLines(), std::vector<std::string>{line + std::strerror(EISDIR)});
}

// The saves the game makes by itself (Save(0): read marks, unlocks,
// settings during play) show their first failure of the run in the box a
// failed save shows; each failure has its line.
TEST_F(SystemFileTest, ARoutineSaveShowsItsFirstFailureOfTheRun) {
  Sys f;
  f.Load(0);
  host_->ClearBoxes();
  host_->ClearErrorLines();
  platform::FailWholeFileWrites(2);
  EXPECT_EQ(f.Save(0), 0);
  EXPECT_EQ(f.Save(0), 0);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, testsupport::Sjis("システムファイル:sav\\sysfile.savがsaveできませんでした\n") +
                               std::strerror(ENOSPC));
  EXPECT_EQ(host_->ErrorLines().size(), 2u);
  // A save the player asked for still shows its box.
  platform::FailWholeFileWrites(1);
  EXPECT_EQ(f.Save(1), 0);
  EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(SystemFileTest, ABlockCountOfThreeReadsThreeBlocks) {
  std::string file = MarkedFile();
  PutWord(&file, 32, 3);
  Dir().Write("sav/sysfile.sav", file);
  Sys f;
  EXPECT_EQ(f.Load(1), 1);
  EXPECT_EQ(FromFile(f), "FF-------");
  ASSERT_EQ(f.Save(0), 1);
  EXPECT_EQ(Word(SavedFile(), 32), 10);
  EXPECT_EQ(SavedFile().size(), static_cast<size_t>(kFileSize));
}

// A damaged "sysfile.sav" is said so (stderr, and a box when asked), kept
// aside as "sysfile.sav.bad" byte for byte, and replaced by the shipped
// "sysfile.org" when there is one, else by the defaults; sound files with
// extra bytes or a large block count are read as before.
TEST_F(SystemFileTest, DamagedFilesAreKeptAsideAndTheBackupOrDefaultsUsed) {
  const std::string good = MarkedFile();
  std::mt19937 random(7);
  std::string noise(kFileSize, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  auto withWord = [&](size_t offset, int32_t value) {
    std::string s = good;
    PutWord(&s, offset, value);
    return s;
  };
  // The backup: a sound file with its own markers in SYSTEM DATA.
  std::string backup = DefaultImage(0, 0);
  PutWord(&backup, kSys + 176, 33);
  struct Case {
    const char* name;
    std::string bytes;
    bool damaged;
  };
  const std::vector<Case> cases = {
      {"empty", "", true},
      {"three bytes", good.substr(0, 3), true},
      {"info only", good.substr(0, 64), true},
      {"size word 0", withWord(0, 0), true},
      {"size word past the block", withWord(0, 65), true},
      {"negative size word", withWord(0, -4), true},
      {"huge size word", withWord(0, 0x7FFFFFFF), true},
      {"random bytes", noise, true},
      {"system data too long", withWord(64, 2049), true},
      {"film flag size 2", withWord(38848, 2), true},
      {"cut inside mes flag", good.substr(0, 3000), true},
      {"cut before music flag", good.substr(0, 57376 + 3), true},
      {"negative block count", withWord(32, -1), true},
      {"oversized", good + std::string(5000, '\x55'), false},
      {"large block count", withWord(32, 1000), false},
  };
  for (const bool withBackup : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (withBackup ? " with the backup" : ""));
      std::filesystem::remove(Dir() / "sav/sysfile.sav.bad");
      std::filesystem::remove(Dir() / "sav/sysfile.org");
      if (withBackup) Dir().Write("sav/sysfile.org", backup);
      Dir().Write("sav/sysfile.sav", c.bytes);
      host_->ClearBoxes();
      host_->ClearErrorLines();
      Sys f;
      const int loaded = f.Load(1);
      if (!c.damaged) {
        EXPECT_EQ(loaded, 1);
        EXPECT_EQ(FromFile(f), "FFFFFFFFF");
        EXPECT_TRUE(Boxes().empty());
        EXPECT_FALSE(Dir().Exists("sav/sysfile.sav.bad"));
        continue;
      }
      EXPECT_EQ(loaded, withBackup ? 1 : 0);
      EXPECT_EQ(Dir().Read("sav/sysfile.sav.bad"), c.bytes);
      EXPECT_EQ(FromFile(f), "---------");
      EXPECT_EQ(f.GetSystemData(176), withBackup ? 33 : 90);
      const auto boxes = Boxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, testsupport::Sjis("システムファイル:sav\\sysfile.savが壊れています"));
      const auto lines = host_->ErrorLines();
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_NE(lines[0].find(Dir() / "sav/sysfile.sav is damaged: "), std::string::npos) << lines[0];
      EXPECT_NE(lines[0].find("kept as " + Dir() / "sav/sysfile.sav.bad"), std::string::npos);
      // A sound file takes the damaged one's place at once.
      const std::string saved = SavedFile();
      ASSERT_EQ(saved.size(), static_cast<size_t>(kFileSize));
      EXPECT_EQ(Word(saved, kSys + 176), withBackup ? 33 : 90);
    }
  }
}

// A system file grown to 3 GiB is read no further than the format's
// 58,432 bytes: a whole image with a hole behind it reads as before, one
// that is all hole is damaged and kept aside like any other.
TEST_F(SystemFileTest, AFileGrownToGigabytesIsReadOnlyAsFarAsTheFormatGoes) {
  const struct {
    const char* name;
    std::string start;
    int loaded;
  } cases[] = {{"a sound image and a hole", MarkedFile(), 1}, {"only a hole", "", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(Dir() / "sav/sysfile.sav.bad");
    Dir().Write("sav/sysfile.sav", c.start);
    testsupport::MakeSparse(Dir() / "sav/sysfile.sav", testsupport::kThreeGiB);
    const int64_t before = testsupport::BytesReadSoFar();
    Sys f;
    EXPECT_EQ(f.Load(0), c.loaded);
    EXPECT_LT(testsupport::BytesReadSoFar() - before, 1 << 20);
    EXPECT_EQ(FromFile(f), c.loaded ? "FFFFFFFFF" : "---------");
    EXPECT_EQ(Dir().Exists("sav/sysfile.sav.bad"), c.loaded == 0);
  }
}

// A system file that cannot be read at all (here a folder in its place) is
// kept aside as well; quietly asked, only stderr says so.
TEST_F(SystemFileTest, AnUnreadableSystemFileIsKeptAsideToo) {
  ASSERT_TRUE(platform::CreateDirectory("sav\\sysfile.sav"));
  Sys f;
  EXPECT_EQ(f.Load(0), 0);
  EXPECT_TRUE(Boxes().empty());
  ASSERT_EQ(host_->ErrorLines().size(), 1u);
  EXPECT_NE(host_->ErrorLines()[0].find("is damaged: it is a folder"), std::string::npos);
  EXPECT_TRUE(platform::IsDirectory("sav\\sysfile.sav.bad"));
  EXPECT_EQ(SavedFile().size(), static_cast<size_t>(kFileSize));
}

// Each damaged system file gets a copy of its own: "sysfile.sav.bad", then
// ".bad.2" up to ".bad.5"; past five the four oldest stay and the last name
// holds the newest.
TEST_F(SystemFileTest, DamagedFilesInARowLeaveNumberedCopies) {
  const std::string base = Dir() / "sav/sysfile.sav";
  auto damage = [&](int n) -> std::string {
    Dir().Write("sav/sysfile.sav", "damaged " + std::to_string(n));
    host_->ClearErrorLines();
    Sys f;
    EXPECT_EQ(f.Load(0), 0);
    const auto lines = host_->ErrorLines();
    EXPECT_EQ(lines.size(), 1u);
    return lines.empty() ? "" : lines[0];
  };
  EXPECT_NE(damage(1).find("kept as " + base + ".bad;"), std::string::npos);
  EXPECT_NE(damage(2).find("kept as " + base + ".bad.2;"), std::string::npos);
  EXPECT_EQ(Dir().Read("sav/sysfile.sav.bad"), "damaged 1");
  EXPECT_EQ(Dir().Read("sav/sysfile.sav.bad.2"), "damaged 2");
  for (int n = 3; n <= 7; ++n) {
    SCOPED_TRACE(n);
    EXPECT_NE(damage(n).find("kept as " + base + ".bad." + std::to_string(std::min(n, 5)) + ";"),
              std::string::npos);
  }
  for (int n = 1; n <= 4; ++n)
    EXPECT_EQ(Dir().Read(n == 1 ? "sav/sysfile.sav.bad" : "sav/sysfile.sav.bad." + std::to_string(n)),
              "damaged " + std::to_string(n));
  EXPECT_EQ(Dir().Read("sav/sysfile.sav.bad.5"), "damaged 7");
  EXPECT_FALSE(Dir().Exists("sav/sysfile.sav.bad.6"));
  // A copy the player removed frees its name for the next one.
  std::filesystem::remove(base + ".bad.2");
  EXPECT_NE(damage(8).find("kept as " + base + ".bad.2;"), std::string::npos);
  // A folder in the way of the last name is replaced when it is empty.
  std::filesystem::remove(base + ".bad.5");
  std::filesystem::create_directory(base + ".bad.5");
  EXPECT_NE(damage(9).find("kept as " + base + ".bad.5;"), std::string::npos);
  EXPECT_EQ(Dir().Read("sav/sysfile.sav.bad.5"), "damaged 9");
  // One that is not empty cannot make way: the damaged file then stays in
  // its place and no save writes over it.
  std::filesystem::remove(base + ".bad.5");
  Dir().Write("sav/sysfile.sav.bad.5/inside", "x");
  Dir().Write("sav/sysfile.sav", "damaged 10");
  host_->ClearErrorLines();
  Sys f;
  EXPECT_EQ(f.Load(0), 0);
  EXPECT_EQ(f.Save(0), 0);
  const auto lines = host_->ErrorLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("cannot be kept aside (the copy " + base + ".bad.5 cannot be replaced)"),
            std::string::npos)
      << lines[0];
  EXPECT_EQ(lines[1], "the system file " + base +
                          " is not saved: the damaged file there could not be kept aside");
  EXPECT_EQ(Dir().Read("sav/sysfile.sav"), "damaged 10");
}

// An older layout with a shorter block: the rest of that block keeps its
// default and the blocks after it are read from where they stand.
TEST_F(SystemFileTest, AShorterBlockLeavesItsTailAtTheDefault) {
  Sys donor;
  donor.SetDefault();
  donor.SetSystemData(72, 1024);    // inside the short block
  donor.SetSystemData(1936, 77);    // past it
  donor.SetMesFlag(1, 5);
  const std::string full = Image(donor);
  std::string file = full.substr(0, 64 + 1000) + full.substr(2112);
  PutWord(&file, 64, 1000);
  Dir().Write("sav/sysfile.sav", file);
  Sys f;
  EXPECT_EQ(f.Load(0), 1);
  EXPECT_EQ(f.GetSystemData(72), 1024);
  EXPECT_EQ(f.GetSystemData(1936), 2);
  EXPECT_EQ(f.GetMesFlag(1, 5), 1);
  EXPECT_EQ(f.GetBlockWord(Sys::kSystemData, 0), 2048);
}

TEST_F(SystemFileTest, ForeignHeadersAreReadAndWrittenBackSound) {
  std::string file = MarkedFile();
  for (const Layout& b : kLayout) {
    PutWord(&file, b.offset + 4, 99);
    file.replace(b.offset + 16, 16, std::string(16, 'X'));
  }
  Dir().Write("sav/sysfile.sav", file);
  Sys f;
  EXPECT_EQ(f.Load(0), 1);
  EXPECT_EQ(FromFile(f), "FFFFFFFFF");
  ASSERT_EQ(f.Save(0), 1);
  const std::string saved = SavedFile();
  for (const Layout& b : kLayout) {
    EXPECT_EQ(Word(saved, b.offset + 4), b.id) << b.tag;
    EXPECT_EQ(saved[b.offset + 31], '\0');
    EXPECT_EQ(saved.substr(b.offset + 16, std::strlen(b.tag)), b.tag);
  }
}

TEST_F(SystemFileTest, TheShippedFileStandsInForAMissingOne) {
  std::string file = MarkedFile();
  Dir().Write("sav/sysfile.org", file);
  Sys f;
  EXPECT_EQ(f.Load(1), 1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(FromFile(f), "FFFFFFFFF");
  EXPECT_FALSE(Dir().Exists("sav/sysfile.sav"));
}

TEST_F(SystemFileTest, TableGeometryFollowsTheCounts) {
  struct ScriptCase {
    int count, rows, mesBits, filmBits;
  };
  const ScriptCase scripts[] = {
      {1, 2, 131072, 65536}, {2, 2, 131072, 65536}, {3, 3, 65536, 32768}, {5, 5, 32768, 16384},
      {9, 9, 16384, 8192},   {17, 17, 8192, 4096},  {33, 33, 4096, 2048}, {64, 64, 4096, 2048},
      {65, 65, 2048, 1024},  {100, 100, 2048, 1024}, {129, 129, 1024, 512}, {300, 256, 1024, 512},
  };
  for (const ScriptCase& c : scripts) {
    SCOPED_TRACE(c.count);
    SetScriptCount(c.count);
    Sys f;
    EXPECT_EQ(f.GetScriptRows(), c.rows);
    EXPECT_EQ(f.GetMesBitsPerRow(), c.mesBits);
    EXPECT_EQ(f.GetFilmBitsPerRow(), c.filmBits);
  }
  struct CGCase {
    int count, rows, bits, movieBits;
  };
  const CGCase cgs[] = {
      {0, 1, 8192, 8192},  {1, 1, 8192, 8192}, {2, 2, 4096, 4096},   {3, 3, 2048, 2720},
      {5, 5, 2048, 1632},  {6, 6, 1024, 1344}, {11, 11, 512, 736},   {20, 20, 512, 384},
      {21, 21, 256, 384},  {41, 41, 128, 192}, {81, 81, 64, 96},     {161, 161, 32, 32},
      {256, 256, 32, 32},
  };
  for (const CGCase& c : cgs) {
    SCOPED_TRACE(c.count);
    SetCGCharaCount(c.count);
    Sys f;
    EXPECT_EQ(f.GetCGRows(), c.rows);
    EXPECT_EQ(f.GetCGBitsPerRow(), c.bits);
    EXPECT_EQ(f.GetMovieRows(), c.rows);
    EXPECT_EQ(f.GetMovieBitsPerRow(), c.movieBits);
  }
  ResetSystemFileSettings();
  Sys defaults;
  EXPECT_EQ(defaults.GetMesBitsPerRow(), 4096);
  EXPECT_EQ(defaults.GetFilmBitsPerRow(), 2048);
  EXPECT_EQ(defaults.GetCGBitsPerRow(), 512);
  EXPECT_EQ(defaults.GetMovieBitsPerRow(), 384);
}

TEST_F(SystemFileTest, FlagTablesKeepToTheirRows) {
  SetScriptCount(100);
  Sys f;
  f.SetDefault();
  f.SetMesFlag(99, 2047);
  EXPECT_EQ(f.GetMesFlag(99, 2047), 1);
  // Bit 99 * 2048 + 2047 of the table, word 6399 bit 31.
  EXPECT_EQ(f.GetBlockWord(Sys::kMesFlag, 32 + 6399 * 4), INT32_MIN);
  const std::string before = Image(f);
  struct Call {
    const char* name;
    void (Sys::*set)(int, int);
    int (Sys::*get)(int, int);
    int row, index;
  };
  const Call outside[] = {
      {"mes row", &Sys::SetMesFlag, &Sys::GetMesFlag, 100, 0},
      {"mes index", &Sys::SetMesFlag, &Sys::GetMesFlag, 0, 2048},
      {"mes negative", &Sys::SetMesFlag, &Sys::GetMesFlag, -1, 0},
      {"film index", &Sys::SetFilmFlag, &Sys::GetFilmFlag, 0, 1024},
      {"film negative index", &Sys::SetFilmFlag, &Sys::GetFilmFlag, 0, -1},
      {"cg row", &Sys::SetCGFlag, &Sys::GetCGFlag, 20, 0},
      {"cg index", &Sys::SetCGFlag, &Sys::GetCGFlag, 0, 512},
      {"movie row", &Sys::SetMovieFlag, &Sys::GetMovieFlag, 20, 0},
      {"movie index", &Sys::SetMovieFlag, &Sys::GetMovieFlag, 0, 384},
  };
  for (const Call& c : outside) {
    SCOPED_TRACE(c.name);
    (f.*c.set)(c.row, c.index);
    EXPECT_EQ((f.*c.get)(c.row, c.index), 0);
  }
  EXPECT_EQ(Image(f), before);

  f.SetCGFlag(19, 511);
  f.SetFilmFlag(99, 1023);
  f.SetMovieFlag(19, 383);
  EXPECT_EQ(f.GetCGFlag(19, 511), 1);
  EXPECT_EQ(f.GetCGFlag(19, 510), 0);
  EXPECT_EQ(f.GetFilmFlag(99, 1023), 1);
  EXPECT_EQ(f.GetMovieFlag(19, 383), 1);
}

TEST_F(SystemFileTest, VoiceMusicAndFiveBitValues) {
  Sys f;
  f.SetDefault();
  f.SetVoiceFlag(255);
  f.SetVoiceFlag(256);
  f.SetVoiceFlag(-1);
  EXPECT_EQ(f.GetVoiceFlag(255), 1);
  EXPECT_EQ(f.GetVoiceFlag(0), 0);
  EXPECT_EQ(f.GetVoiceFlag(256), 0);

  f.SetBlockWord(Sys::kMusicFlag, 32 + 4 * 9, 9998);
  f.AddMusicCount(9);
  f.AddMusicCount(9);
  EXPECT_EQ(f.GetBlockWord(Sys::kMusicFlag, 32 + 4 * 9), 9999);
  EXPECT_EQ(f.GetMusicFlag(9), 1);
  EXPECT_EQ(f.GetMusicFlag(10), 0);
  f.AddMusicCount(256);
  EXPECT_EQ(f.GetMusicFlag(256), 0);

  f.SetFiveBitValue(4, 31);
  f.SetFiveBitValue(5, 17);
  EXPECT_EQ(f.GetFiveBitValue(5), -15);
  EXPECT_EQ(f.GetFiveBitValue(4), -1);
  EXPECT_EQ(static_cast<uint32_t>(f.GetSystemData(Sys::kFiveBitOffset)) >> 25, 17u);
  f.SetFiveBitValue(71, 15);
  EXPECT_EQ(f.GetFiveBitValue(71), 15);
  const std::string before = Image(f);
  f.SetFiveBitValue(72, 3);
  f.SetFiveBitValue(-1, 3);
  EXPECT_EQ(Image(f), before);
  EXPECT_EQ(f.GetFiveBitValue(72), 0);
}

TEST_F(SystemFileTest, TheIdentifierIsMadeOnceWhenAskedToKeepIt) {
  Sys f;
  f.SetDefault();
  auto id = [&] { return Image(f).substr(kSys + Sys::kUniqueIdOffset, 16); };
  ASSERT_EQ(id(), std::string(16, '\0'));
  EXPECT_EQ(f.MakeUniqueId(1), 1);
  const std::string first = id();
  EXPECT_NE(first, std::string(16, '\0'));
  EXPECT_EQ(static_cast<unsigned char>(first[7]) >> 4, 4);
  EXPECT_EQ(f.MakeUniqueId(1), 0);
  EXPECT_EQ(id(), first);
  EXPECT_EQ(f.MakeUniqueId(0), 1);
  EXPECT_NE(id(), first);
}

TEST_F(SystemFileTest, TextsStayInsideTheirFields) {
  SetDefaultFamilyName(testsupport::Sjis("佐藤").c_str());
  SetDefaultGivenName("sixteen-bytes-xx");  // too long: ignored
  Sys f;
  f.SetDefault();
  EXPECT_EQ(std::string(f.GetFamilyName()), testsupport::Sjis("佐藤"));
  EXPECT_EQ(std::string(f.GetGivenName()), "");
  f.SetGivenName(testsupport::Sjis("あいうえおかきく").c_str());  // 16 bytes
  EXPECT_EQ(std::string(f.GetGivenName()), testsupport::Sjis("あいうえおかき"));

  // An unterminated name in a file is cut at its field.
  std::string file = Image(f);
  file.replace(kSys + Sys::kFamilyNameOffset, 32, std::string(32, 'A'));
  Dir().Write("sav/sysfile.sav", file);
  Sys loaded;
  loaded.Load(0);
  EXPECT_EQ(std::string(loaded.GetFamilyName()), std::string(15, 'A'));
  EXPECT_EQ(std::string(loaded.GetGivenName()), std::string(15, 'A'));
}

TEST_F(SystemFileTest, ClearingABlockKeepsItsHeader) {
  Sys f;
  f.SetDefault();
  f.SetCGFlag(0, 0);
  f.SetVoiceFlag(1);
  f.AddMusicCount(2);
  f.SetMesFlag(0, 1);
  f.SetFilmFlag(0, 1);
  f.SetMovieFlag(0, 1);
  f.SetBlockWord(Sys::kSceneFlag, 40, 5);
  f.ClearCGFlags();
  f.ClearVoiceFlags();
  f.ClearMusicFlags();
  f.ClearMesFlags();
  f.ClearFilmFlags();
  f.ClearMovieFlags();
  f.ClearSceneFlags();
  Sys fresh;
  fresh.SetDefault();
  EXPECT_EQ(Image(f), Image(fresh));
}

}  // namespace
}  // namespace savedata_test
