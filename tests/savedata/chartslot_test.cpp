// The flow chart's slot files, side files and extension chunk: run-length
// blocks, round trips through the game's services, and files refused
// untouched.
#include "savedata/chartslot.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "savedata_test.h"
#include "support/fake_services.h"
#include "support/large_file.h"

namespace savedata_test {
namespace {

std::vector<int32_t> Words(const std::vector<uint8_t>& b) {
  std::vector<int32_t> out;
  for (size_t i = 0; i + 4 <= b.size(); i += 4)
    out.push_back(static_cast<int32_t>(b[i] | b[i + 1] << 8 | b[i + 2] << 16 |
                                       static_cast<uint32_t>(b[i + 3]) << 24));
  return out;
}

class ChartSlotTest : public SaveDataTest {
 protected:
  void SetUp() override {
    SaveDataTest::SetUp();
    game_ = std::make_unique<testsupport::FakeServices>(*host_);
    ASSERT_EQ(CreateSaveFolder(), 1);
    // What the fake game said while it started up is not these tests' own.
    host_->ClearErrorLines();
    host_->ClearBoxes();
  }
  void TearDown() override {
    game_.reset();
    SaveDataTest::TearDown();
  }
  std::string ReadFile(const std::string& path) {
    std::string out;
    platform::ReadWholeFile(path, &out);
    return out;
  }
  std::vector<int> Vars() {
    std::vector<int> v;
    for (int i = 0; i < CChartSlots::kVarCount; ++i) v.push_back(game_->GetVar(i));
    return v;
  }
  std::unique_ptr<testsupport::FakeServices> game_;
};

TEST(ChartSlotBlocks, RunLengthExamples) {
  // All variables 0; 600 zero flag bytes; every open word -1.
  std::vector<uint8_t> out;
  const std::vector<int32_t> zeros(1000, 0);
  CChartSlots::AppendWords(&out, zeros.data(), zeros.size(), 0);
  EXPECT_EQ(Words(out), (std::vector<int32_t>{8, 0, 1000}));

  out.clear();
  const std::vector<uint8_t> flags(600, 0);
  CChartSlots::AppendBytes(&out, flags.data(), flags.size());
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 4, out.end()),
            (std::vector<uint8_t>{0, 255, 0, 255, 0, 90}));
  EXPECT_EQ(Words(out)[0], 6);

  out.clear();
  const std::vector<int32_t> open(32, -1);
  CChartSlots::AppendWords(&out, open.data(), open.size(), -1);
  EXPECT_EQ(Words(out), (std::vector<int32_t>{8, -1, 32}));

  // Mixed values, with runs before, between and after.
  out.clear();
  const std::vector<int32_t> mixed{0, 0, 5, -1, 0, 7, 0};
  CChartSlots::AppendWords(&out, mixed.data(), mixed.size(), 0);
  EXPECT_EQ(Words(out), (std::vector<int32_t>{36, 0, 2, 5, -1, 0, 1, 7, 0, 1}));
  std::vector<int32_t> back(mixed.size(), 99);
  CChartSlots::DecodeWords(out.data() + 4, out.size() - 4, 0, back.data(), back.size());
  EXPECT_EQ(back, mixed);
}

TEST(ChartSlotBlocks, RunsStopAtTheirArrayAndBlock) {
  // A run far beyond the array, and a run word without its count.
  const std::vector<int32_t> body{3, 0, 1 << 30, 9};
  std::vector<uint8_t> bytes;
  for (int32_t w : body)
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(w >> (8 * i)));
  std::vector<int32_t> out(6, 7);
  CChartSlots::DecodeWords(bytes.data(), bytes.size(), 0, out.data(), 4);
  EXPECT_EQ(out, (std::vector<int32_t>{3, 0, 0, 0, 7, 7}));
  out.assign(6, 7);
  CChartSlots::DecodeWords(bytes.data(), 8, 0, out.data(), out.size());
  EXPECT_EQ(out, (std::vector<int32_t>{3, 7, 7, 7, 7, 7}));

  const std::vector<uint8_t> flagBody{4, 0, 255, 0};
  std::vector<uint8_t> flags(5, 9);
  CChartSlots::DecodeBytes(flagBody.data(), flagBody.size(), flags.data(), 3);
  EXPECT_EQ(flags, (std::vector<uint8_t>{4, 0, 0, 9, 9}));
}

TEST_F(ChartSlotTest, SizesFollowChartsAndBlock) {
  const struct {
    int charts, block;
    size_t flags, words, passed, seen, ext;
  } cases[] = {
      {1, 1000, 1008, 32, 1000, 1000, 1136},
      {3, 100, 304, 12, 300, 300, 352},
      {1, 33, 48, 4, 33, 36, 64},
      // Impossible settings keep the defaults.
      {0, 100, 1008, 32, 1000, 1000, 1136},
      {2, -5, 1008, 32, 1000, 1000, 1136},
      {1 << 20, 1 << 20, 1008, 32, 1000, 1000, 1136},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.charts) + " x " + std::to_string(c.block));
    CChartSlots slots(game_.get(), c.charts, c.block);
    EXPECT_EQ(slots.Flags().size(), c.flags);
    EXPECT_EQ(slots.OpenWords().size(), c.words);
    EXPECT_EQ(slots.Passed().size(), c.passed);
    EXPECT_EQ(slots.Seen().size(), c.seen);
    EXPECT_EQ(slots.ExtSize(), c.ext);
    EXPECT_TRUE(slots.GetOpenBit(0));
  }
}

TEST_F(ChartSlotTest, SlotRoundTripKeepsTheSystemVariables) {
  CChartSlots slots(game_.get(), 2, 1000);
  slots.CreateChartFolders();
  std::mt19937 random(49);
  for (int i = 0; i < CChartSlots::kVarCount; ++i)
    game_->SetVar(i, random() % 3 == 0 ? static_cast<int>(random()) : 0);
  for (int n = 0; n < 2000; n += 1 + static_cast<int>(random() % 40))
    slots.SetFlag(n, static_cast<int>(random() % 256));
  for (int n = 0; n < 2000; n += 1 + static_cast<int>(random() % 90)) slots.SetOpenBit(n, false);
  const std::vector<int> saved = Vars();
  const std::vector<uint8_t> flags = slots.Flags();
  const std::vector<int32_t> open = slots.OpenWords();

  // Node 1234 lies in chart index 1: folder "chart2", its global number.
  ASSERT_EQ(slots.SaveSlot(1234), 1);
  const std::string file = ReadFile(std::string(GetSaveFolder()) + "\\chart2\\slot1234.dat");
  ASSERT_GT(file.size(), 7088u);
  EXPECT_EQ(Word(file, 0), 7088);
  EXPECT_EQ(Word(file, 4), 2);
  EXPECT_EQ(file.substr(16, 16), std::string("GAMESTATUS\0\0\0\0\0\0", 16));
  std::vector<uint8_t> status(7088, 0);
  game_->PutGameStatus(status.data(), status.size());
  EXPECT_EQ(Word(file, 84), Word(std::string(status.begin(), status.end()), 84) + 1);

  // Everything changes, then the slot comes back.
  for (int i = 0; i < CChartSlots::kVarCount; ++i) game_->SetVar(i, i + 1);
  slots.ClearFlags();
  for (int n = 0; n < 2000; ++n) slots.SetOpenBit(n, true);
  ASSERT_EQ(slots.LoadSlot(1234), 1);
  const std::vector<int> loaded = Vars();
  for (int i = 0; i < CChartSlots::kVarCount; ++i)
    EXPECT_EQ(loaded[i], i >= 200 && i <= 299 ? i + 1 : saved[i]) << "variable " << i;
  EXPECT_EQ(slots.Flags(), flags);
  EXPECT_EQ(slots.OpenWords(), open);

  // Nodes outside the range have no file.
  EXPECT_EQ(slots.SaveSlot(2000), 0);
  EXPECT_EQ(slots.SaveSlot(-1), 0);
  EXPECT_EQ(slots.LoadSlot(2000), 0);
  EXPECT_EQ(slots.LoadSlot(5), 0);  // never written
}

TEST_F(ChartSlotTest, DamagedSlotFilesChangeNothing) {
  CChartSlots slots(game_.get(), 1, 1000);
  slots.CreateChartFolders();
  game_->SetVar(3, 33);
  slots.SetFlag(7, 2);
  ASSERT_EQ(slots.SaveSlot(1), 1);
  const std::string path = slots.SlotPathOf(1);
  const std::string good = ReadFile(path);
  const std::vector<uint8_t> goodBytes(good.begin(), good.end());
  ASSERT_EQ(slots.CheckSlotFile(goodBytes), nullptr);

  // Cut at every length.
  for (size_t n = 0; n < goodBytes.size(); ++n)
    ASSERT_NE(slots.CheckSlotFile(std::vector<uint8_t>(goodBytes.begin(), goodBytes.begin() + n)),
              nullptr)
        << n;

  const size_t l1 = 7088;
  const size_t l2 = l1 + 4 + static_cast<size_t>(Word(good, l1));
  const size_t l3 = l2 + 4 + static_cast<size_t>(Word(good, l2));
  const struct {
    const char* what;
    std::function<void(std::string*)> damage;
  } cases[] = {
      {"record size", [](std::string* f) { PutWord(f, 0, 7000); }},
      {"record type", [](std::string* f) { PutWord(f, 4, 3); }},
      {"record name", [](std::string* f) { (*f)[16] = 'X'; }},
      {"variable length odd", [&](std::string* f) { PutWord(f, l1, Word(*f, l1) - 2); }},
      {"variable length negative", [&](std::string* f) { PutWord(f, l1, -4); }},
      {"flag length overshoots", [&](std::string* f) { PutWord(f, l2, 1 << 20); }},
      {"open length odd", [&](std::string* f) { PutWord(f, l3, 6); }},
      {"trailing bytes", [](std::string* f) { f->append("abcd"); }},
      // A whole file whose game status the game cannot restore.
      {"status the game refuses", [this](std::string*) { game_->SetGameStatusRefusal("refused"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bad = good;
    c.damage(&bad);
    ASSERT_TRUE(platform::WriteWholeFile(path, bad.data(), bad.size()));
    game_->SetVar(3, 44);
    slots.SetFlag(7, 5);
    EXPECT_EQ(slots.LoadSlot(1), 0);
    EXPECT_EQ(game_->GetVar(3), 44);
    EXPECT_EQ(slots.GetFlag(7), 5);
  }
}

// A slot file is read only when it is no longer than the longest this
// chart can write: the longest encoding loads, a file grown to 3 GiB is
// refused unread with a line naming it.
TEST_F(ChartSlotTest, ASlotFileIsReadOnlyWithinItsLongestSize) {
  CChartSlots slots(game_.get(), 1, 1000);
  slots.CreateChartFolders();
  // Every run broken: values alternate with the run value of each block.
  for (int i = 0; i < CChartSlots::kVarCount; ++i) game_->SetVar(i, i % 2);
  for (int n = 0; n < 1000; ++n) {
    slots.SetFlag(n, n % 2);
    slots.SetOpenBit(n, (n / 32) % 2 == 1);
  }
  ASSERT_EQ(slots.SaveSlot(1), 1);
  const std::string path = slots.SlotPathOf(1);
  EXPECT_LE(ReadFile(path).size(), slots.MaxSlotFileSize());
  const std::vector<int32_t> open = slots.OpenWords();
  for (int n = 0; n < 1000; ++n) slots.SetOpenBit(n, false);
  ASSERT_EQ(slots.LoadSlot(1), 1);
  EXPECT_EQ(slots.OpenWords(), open);

  testsupport::MakeSparse(Dir() / "sav/chart1/slot1.dat", testsupport::kThreeGiB);
  host_->ClearErrorLines();
  slots.SetFlag(7, 5);
  const int64_t before = testsupport::BytesReadSoFar();
  EXPECT_EQ(slots.LoadSlot(1), 0);
  EXPECT_LT(testsupport::BytesReadSoFar() - before, 1 << 20);
  EXPECT_EQ(slots.GetFlag(7), 5);
  const auto lines = host_->ErrorLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(Dir() / "sav/chart1/slot1.dat"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("3221225472 bytes, longer than"), std::string::npos) << lines[0];
}

TEST_F(ChartSlotTest, FailedWritesLeaveTheOldFiles) {
  CChartSlots slots(game_.get(), 1, 1000);
  slots.CreateChartFolders();
  ASSERT_EQ(slots.SaveSlot(3), 1);
  slots.SetSeen(3, 1);
  ASSERT_EQ(slots.SaveSeenBits(), 1);
  ASSERT_EQ(slots.SavePassedBits(), 1);
  const std::string folder = GetSaveFolder();
  const std::string slot = ReadFile(slots.SlotPathOf(3));
  const std::string seen = ReadFile(folder + "\\mita.dat");
  const std::string passed = ReadFile(folder + "\\tsuka.dat");

  game_->SetVar(1, 12345);
  slots.SetSeen(4, 1);
  platform::FailWholeFileWrites(3);
  EXPECT_EQ(slots.SaveSlot(3), 0);
  EXPECT_EQ(slots.SaveSeenBits(), 0);
  EXPECT_EQ(slots.SavePassedBits(), 0);
  EXPECT_EQ(ReadFile(slots.SlotPathOf(3)), slot);
  EXPECT_EQ(ReadFile(folder + "\\mita.dat"), seen);
  EXPECT_EQ(ReadFile(folder + "\\tsuka.dat"), passed);
  // Every failure is on stderr with the file on this host; each side file's
  // in a box, a slot file's the first time in the run only. The boxes name
  // the files as the save slots' boxes do.
  const std::string cannot = std::string(" cannot be saved: ") + std::strerror(ENOSPC);
  EXPECT_EQ(host_->ErrorLines(),
            (std::vector<std::string>{"the chart slot " + Dir() / "sav/chart1/slot3.dat" + cannot,
                                      "the flow-chart file " + Dir() / "sav/mita.dat" + cannot,
                                      "the flow-chart file " + Dir() / "sav/tsuka.dat" + cannot}));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "sav\\chart1\\slot3.dat\ncannot be saved: " + std::string(std::strerror(ENOSPC)));
  EXPECT_EQ(boxes[1].text, "sav\\mita.dat\ncannot be saved: " + std::string(std::strerror(ENOSPC)));
  EXPECT_EQ(boxes[2].text, "sav\\tsuka.dat\ncannot be saved: " + std::string(std::strerror(ENOSPC)));

  // Later in the same run, another slot (made by another chart menu): the
  // line only.
  host_->ClearErrorLines();
  CChartSlots again(game_.get(), 1, 40);
  platform::FailWholeFileWrites(1);
  EXPECT_EQ(again.SaveSlot(4), 0);
  EXPECT_EQ(host_->ErrorLines(),
            std::vector<std::string>{"the chart slot " + Dir() / "sav/chart1/slot4.dat" + cannot});
  EXPECT_EQ(Boxes().size(), 3u);
}

TEST_F(ChartSlotTest, SideFilesOfTheirOwnLengthAreRead) {
  const std::string folder = GetSaveFolder();
  std::string passed(1000, '\0'), seen(1000, '\0');
  passed[9] = 5;
  seen[10] = 3;
  platform::WriteWholeFile(folder + "\\tsuka.dat", passed.data(), passed.size());
  platform::WriteWholeFile(folder + "\\mita.dat", seen.data(), seen.size());
  {
    CChartSlots slots(game_.get(), 1, 1000);
    slots.LoadPassedBits();
    slots.LoadSeenBits();
    EXPECT_EQ(slots.GetPassed(9), 5);
    EXPECT_EQ(slots.GetPassed(10), 0);
    EXPECT_EQ(slots.GetSeen(10), 3);
    ASSERT_EQ(slots.SaveSeenBits(), 1);
    ASSERT_EQ(slots.SavePassedBits(), 1);
  }
  EXPECT_EQ(ReadFile(folder + "\\tsuka.dat"), passed);
  EXPECT_EQ(ReadFile(folder + "\\mita.dat"), seen);
  EXPECT_TRUE(host_->ErrorLines().empty());
  EXPECT_TRUE(Boxes().empty());
  // Missing files: all bits 0, and nothing to say.
  platform::RemoveFile(folder + "\\tsuka.dat");
  CChartSlots slots(game_.get(), 1, 40);
  slots.LoadPassedBits();
  EXPECT_EQ(slots.GetPassed(3), 0);
  EXPECT_TRUE(host_->ErrorLines().empty());
}

// A side file of another length (the arrays here: 38 passed bytes, 40 seen
// bytes), a folder in its place or a file that cannot be read is named on
// stderr and in a box and kept aside byte for byte; its marks start at 0
// and the file written at the end is whole, not the damaged one padded.
TEST_F(ChartSlotTest, DamagedSideFilesAreKeptAside) {
  struct Case {
    const char* name;
    std::string bytes;
    bool folder;
  };
  const std::vector<Case> cases = {
      {"empty", "", false},
      {"cut", std::string(21, '\x01'), false},
      {"one byte short", std::string(37, '\x01'), false},
      {"longer", std::string(41, '\x01'), false},
      {"garbage of a large size", std::string(70000, '\xFF'), false},
      {"a folder", "", true},
  };
  const struct {
    const char* file;
    size_t size;
  } files[] = {{"tsuka.dat", 38}, {"mita.dat", 40}};
  for (const auto& f : files) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(f.file) + ": " + c.name);
      const std::string path = Dir() / "sav/" + f.file;
      std::filesystem::remove_all(path);
      std::filesystem::remove_all(path + ".bad");
      if (c.folder)
        std::filesystem::create_directory(path);
      else
        Dir().Write(std::string("sav/") + f.file, c.bytes);
      host_->ClearBoxes();
      host_->ClearErrorLines();
      {
        CChartSlots slots(game_.get(), 2, 19);
        slots.LoadPassedBits();
        slots.LoadSeenBits();
        for (int n = 0; n < 38; ++n) ASSERT_EQ(slots.GetPassed(n) | slots.GetSeen(n), 0) << n;
        const auto lines = host_->ErrorLines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind("the flow-chart file " + path + " is damaged: ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find("; kept as " + path + ".bad; its marks start empty"), std::string::npos)
            << lines[0];
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_NE(Boxes()[0].text.find(std::string("It is kept as\nsav\\") + f.file + ".bad"),
                  std::string::npos)
            << Boxes()[0].text;
        ASSERT_EQ(slots.SavePassedBits(), 1);
        ASSERT_EQ(slots.SaveSeenBits(), 1);
      }
      if (c.folder)
        EXPECT_TRUE(std::filesystem::is_directory(path + ".bad"));
      else
        EXPECT_EQ(Dir().Read(std::string("sav/") + f.file + ".bad"), c.bytes);
      EXPECT_EQ(Dir().Read(std::string("sav/") + f.file), std::string(f.size, '\0'));
    }
    std::filesystem::remove(Dir() / "sav/" + f.file);
  }
}

// Every copy's name taken and the last a folder with something in it: the
// damaged file stays where it is, and the box names the copy in the way as
// the game names its files, the line as this host does.
TEST_F(ChartSlotTest, ACopyInTheWayIsNamedInTheBoxAsTheGameNamesIt) {
  const std::string path = Dir() / "sav/mita.dat";
  Dir().Write("sav/mita.dat", "cut");
  Dir().Write("sav/mita.dat.bad", "1");
  for (int n = 2; n <= 4; ++n) Dir().Write("sav/mita.dat.bad." + std::to_string(n), "n");
  Dir().Write("sav/mita.dat.bad.5/inside", "x");
  host_->ClearBoxes();
  host_->ClearErrorLines();
  CChartSlots slots(game_.get(), 2, 19);
  slots.LoadSeenBits();
  const auto lines = host_->ErrorLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("cannot be kept aside (the copy " + path + ".bad.5 cannot be replaced)"),
            std::string::npos)
      << lines[0];
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].text.find("It cannot be kept aside (the copy sav\\mita.dat.bad.5 cannot be replaced)"),
            std::string::npos)
      << Boxes()[0].text;
  EXPECT_EQ(Dir().Read("sav/mita.dat"), "cut");
}

// A game update that adds charts (3 of 19 nodes now: 57 passed bytes, 60
// seen bytes): the files of 1 or 2 charts (19 or 38 passed bytes, 20 or 40
// seen bytes) keep their marks, say nothing and are written whole at once;
// a length no chart count writes is damage.
TEST_F(ChartSlotTest, SideFilesOfFewerChartsAreExtended) {
  struct Case {
    size_t passed, seen;
    bool older;
  };
  const Case cases[] = {{19, 20, true}, {38, 40, true}, {20, 19, false}, {39, 38, false}, {57 + 19, 80, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.passed) + " and " + std::to_string(c.seen) + " bytes");
    for (const char* name : {"tsuka.dat", "mita.dat", "tsuka.dat.bad", "mita.dat.bad"})
      std::filesystem::remove(Dir() / "sav/" + name);
    std::string passed(c.passed, '\0'), seen(c.seen, '\0');
    passed[3] = 2;
    passed[c.passed - 1] = 7;
    seen[c.passed - 2] = 1;
    Dir().Write("sav/tsuka.dat", passed);
    Dir().Write("sav/mita.dat", seen);
    host_->ClearBoxes();
    host_->ClearErrorLines();
    CChartSlots slots(game_.get(), 3, 19);
    slots.LoadPassedBits();
    slots.LoadSeenBits();
    if (!c.older) {
      EXPECT_EQ(host_->ErrorLines().size(), 2u);
      EXPECT_EQ(Boxes().size(), 2u);
      EXPECT_EQ(slots.GetPassed(3), 0);
      EXPECT_EQ(Dir().Read("sav/tsuka.dat.bad"), passed);
      continue;
    }
    EXPECT_TRUE(host_->ErrorLines().empty());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(slots.GetPassed(3), 2);
    EXPECT_EQ(slots.GetPassed(static_cast<int>(c.passed) - 1), 7);
    EXPECT_EQ(slots.GetSeen(static_cast<int>(c.passed) - 2), 1);
    std::string wholePassed(57, '\0'), wholeSeen(60, '\0');
    std::copy(passed.begin(), passed.end(), wholePassed.begin());
    std::copy(seen.begin(), seen.begin() + c.passed, wholeSeen.begin());
    EXPECT_EQ(Dir().Read("sav/tsuka.dat"), wholePassed);
    EXPECT_EQ(Dir().Read("sav/mita.dat"), wholeSeen);
  }
}

TEST_F(ChartSlotTest, ExtensionChunkRoundTripAndWrongSize) {
  CChartSlots slots(game_.get(), 1, 1000);
  slots.SetFlag(10, 3);
  slots.SetOpenBit(40, false);
  std::vector<uint8_t> body(slots.ExtSize());
  slots.SaveExtData(body.data(), body.size());
  EXPECT_EQ(Words(std::vector<uint8_t>(body.begin(), body.begin() + 8)),
            (std::vector<int32_t>{-1, ~(1 << 8)}));
  EXPECT_EQ(body[128 + 10], 3);

  CChartSlots other(game_.get(), 1, 1000);
  other.LoadExtData(body.data(), body.size());
  EXPECT_EQ(other.Flags(), slots.Flags());
  EXPECT_EQ(other.OpenWords(), slots.OpenWords());

  // A body of other chart settings starts the chart afresh.
  other.LoadExtData(body.data(), body.size() - 16);
  EXPECT_EQ(other.GetFlag(10), 0);
  EXPECT_TRUE(other.GetOpenBit(40));
}

}  // namespace
}  // namespace savedata_test
