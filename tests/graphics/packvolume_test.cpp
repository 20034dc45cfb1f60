// Pack volumes: the newest volume that lists a picture wins, names are
// found whatever their case, the prefix decides which volumes are searched
// and everything else comes from plain files; broken, cut or random
// indexes and data files are skipped or fail cleanly, and the plain files
// are still found.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "graphics/packformat.h"
#include "pack_fixture.h"

namespace graphics_test {
namespace {

using packtool::Entry;

TEST(PackNames, PrefixAndKeyFollowTheGameSpelling) {
  struct Prefix {
    const char* name;
    int entry;
  } prefixes[] = {
      {"ta_eff", 0},       {"TA01", 0},      {"bg\\day01", 1},    {"Bg001", 1},
      {"ev_05", 2},        {"sys\\sc01", 3}, {"SYS\\SM_menu", 4}, {"sys\\ta_eff_snow", 5},
      {"sys\\scene01", 3}, {"sys", 5},       {"sys\\s", 5},       {"sy", -1},
      {"ch01", -1},        {"", -1},         {"dwq\\bg01", -1},
  };
  for (const Prefix& p : prefixes) EXPECT_EQ(PackPrefixFor(p.name), p.entry) << p.name;

  struct Key {
    std::string name, key;
  } keys[] = {
      {"BG\\Day01", "day01"},
      {"sys\\ta_eff_snow", "ta_eff_snow"},
      {"a\\b\\C", "c"},
      {"plain", "plain"},
      {"bg\\", ""},
      // A second byte equal to a backslash or a capital is part of its
      // character: "表A" after the folder, and "Ａ" (0x82 0x60) untouched.
      {"bg\\\x95\x5c"
       "A",
       "\x95\x5c"
       "a"},
      {"bg\\\x82\x60X", "\x82\x60x"},
      // Half-width katakana are single bytes: a capital or a backslash after
      // one is a character of its own.
      {"bg\\\xB1"
       "Day",
       "\xB1"
       "day"},
      {"bg\xB6\\Night", "night"},
      {std::string(300, 'Q'), std::string(254, 'q')},
  };
  for (const Key& k : keys) EXPECT_EQ(dwqpack::Key(k.name), k.key) << k.name;
}

TEST(PackIndex, SearchFindsEveryListedNameAndNothingElse) {
  for (int count = 1; count <= 40; ++count) {
    std::vector<std::string> names;
    std::vector<int32_t> offsets;
    for (int i = 0; i < count; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "n%03d", 2 * i + 1);
      names.push_back(name);
      offsets.push_back(i * 10);
    }
    const std::vector<uint8_t> bytes = packtool::MakeIndex(names, offsets);
    auto index = DwqPackIndex::Parse(std::string(bytes.begin(), bytes.end()), count * 10);
    ASSERT_NE(index, nullptr) << count;
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(index->Find(names[static_cast<size_t>(i)].c_str()), i) << count;
      EXPECT_EQ(index->GetDataOffset(i), i * 10);
      char missing[16];
      std::snprintf(missing, sizeof missing, "n%03d", 2 * i);
      EXPECT_EQ(index->Find(missing), -1) << count << " " << missing;
    }
    EXPECT_EQ(index->Find("n999"), -1);
    EXPECT_EQ(index->Find(""), -1);
  }
}

TEST_F(PackTest, NewestVolumeWinsAndPlainFilesFillIn) {
  WriteVolume("bg", 0, {{"day01", Solid(kRed)}, {"night", Solid(kRed)}});
  WriteVolume("bg", 1, {{"Day01", Solid(kGreen)}});
  for (const char* plain : {"bg\\day01", "bg\\night", "bg\\dusk"})
    WritePicture(plain, Pattern(3, 2));
  const uint32_t plain = Load("bg\\dusk");
  ASSERT_NE(plain, kFailed);

  struct Case {
    int level;
    const char* name;
    uint32_t expected;
  } cases[] = {
      {kNoList, "bg\\day01", plain},  // no "game" list: no packs
      {0, "bg\\day01", plain},       {1, "bg\\day01", kRed},
      {2, "bg\\day01", kGreen},      {3, "bg\\day01", kGreen},  // volume 2 has no index
      {2, "BG\\DAY01", kGreen},      {2, "bg\\Night", kRed},
      {2, "bg\\dusk", plain},        {2, "bg\\missing", kFailed},
  };
  for (const Case& c : cases) {
    StartLoader(c.level);
    EXPECT_EQ(GetDwqPackLevel(), std::max(c.level, 0));
    EXPECT_EQ(Load(c.name), c.expected) << c.name << " at level " << c.level;
  }
}

TEST_F(PackTest, PrefixChoosesTheVolumesAndOtherNamesStayPlain) {
  WriteVolume("sys", 0, {{"scene01", Solid(kRed)}, {"ta_eff", Solid(kRed)}});
  WriteVolume("sc", 0, {{"sc_title", Solid(kGreen)}});
  WriteVolume("ta", 0, {{"ch_01", Solid(kRed)}, {"ta_x", Solid(kGreen)}});
  for (const char* plain : {"sys\\scene01", "sys\\sc_title", "sys\\ta_eff", "ch_01"})
    WritePicture(plain, Pattern(3, 2));
  const uint32_t plain = Load("ch_01");
  StartLoader(1);
  struct Case {
    const char* name;
    uint32_t expected;
  } cases[] = {
      {"sys\\scene01", plain},  // served by "sc" only, never by "sys"
      {"sys\\sc_title", kGreen}, {"sys\\ta_eff", kRed},
      {"ch_01", plain},  // no prefix serves it, whatever a volume lists
      {"ta_x", kGreen},  // only in the pack
      {"TA_X", kGreen},
  };
  for (const Case& c : cases) EXPECT_EQ(Load(c.name), c.expected) << c.name;
}

TEST_F(PackTest, HalfWidthKatakanaNamesAreFound) {
  // "ｱDay" and a folder "bgｶ": the pack lists "ｱday" and "night".
  WriteVolume("bg", 0, {{"\xB1" "Day", Solid(kRed)}, {"night", Solid(kGreen)}});
  // A volume written when every byte from 0x80 started a two-byte character
  // lists "ｱDay" as it was spelt.
  WriteVolume("ev", 0, {{"other", Solid(kGreen)}});
  WriteIndex("ev", 0, packtool::MakeIndex({"\xB1" "Day"}, {0}));
  StartLoader(1);
  struct Case {
    const char* name;
    uint32_t expected;
  } cases[] = {
      {"bg\\\xB1" "Day", kRed},
      {"bg\\\xB1" "DAY", kRed},
      {"bg\\\xB1" "day", kRed},  // the letter after a katakana folds too
      {"bg\xB6\\Night", kGreen},
      {"ev\\\xB1" "Day", kGreen},
  };
  for (const Case& c : cases) EXPECT_EQ(Load(c.name), c.expected) << c.name;
}

TEST_F(PackTest, EmptyIndexIsSkippedAndSingleEntriesAreFound) {
  WriteVolume("ev", 0, {{"one", Solid(kRed)}});
  WriteVolume("ev", 1, {});
  StartLoader(2);
  EXPECT_EQ(Load("ev\\one"), kRed);
}

TEST_F(PackTest, EntriesCarryTheirMaskToTheirEndAndTheLastToTheFileEnd) {
  WriteVolume("ev", 0, {{"a", Solid(kRed, true)}, {"b", Solid(kGreen)}, {"c", Solid(kBlue, true)}});
  StartLoader(1);
  for (const char* name : {"ev\\a", "ev\\c"}) {
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ(name), 1) << name;
    ASSERT_EQ(picture.GetMaskFlag(), 1) << name;
    const std::vector<uint8_t> mask(picture.GetMask(), picture.GetMask() + 6);
    EXPECT_EQ(mask, (std::vector<uint8_t>{0, 255, 255, 0, 255, 255})) << name;
  }
  EXPECT_EQ(Load("ev\\b"), kGreen);
}

TEST_F(PackTest, MissingOrShrunkDataFilesFallBackToThePlainFile) {
  WriteVolume("bg", 0, {{"day01", Solid(kRed)}, {"day02", Solid(kRed)}});
  WritePicture("bg\\day01", Pattern(3, 2));
  WritePicture("bg\\day02", Pattern(3, 2));
  const uint32_t plain = Load("bg\\day01");
  StartLoader(1);
  ASSERT_EQ(Load("bg\\day01"), kRed);
  // The data file loses its second half after the indexes were read: the
  // first entry no longer fits and is read from its plain file.
  dir_.Write("dwq/bg0.gpk", Bytes(lastData_).substr(0, lastData_.size() / 2 - 1));
  EXPECT_EQ(Load("bg\\day01"), plain);
  // Without its data file every entry comes from the plain files.
  std::filesystem::remove(dir_ / "dwq/bg0.gpk");
  EXPECT_EQ(Load("bg\\day01"), plain);
  EXPECT_EQ(Load("bg\\day02"), plain);
}

TEST_F(PackTest, BrokenIndexesAreSkippedAsIfAbsent) {
  WriteVolume("bg", 0, {{"day01", Solid(kRed)}});
  WriteVolume("bg", 1, {{"day01", Solid(kGreen)}});
  const std::vector<uint8_t> good = packtool::MakeIndex({"day01"}, {0});
  auto patched = [&](size_t at, int32_t value) {
    std::vector<uint8_t> v = good;
    for (int i = 0; i < 4; ++i)
      v[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
    return v;
  };
  std::vector<uint8_t> noNul = good;
  noNul.back() = 'x';
  struct Case {
    const char* what;
    std::vector<uint8_t> index;
  } cases[] = {
      {"empty file", {}},
      {"shorter than its count", {1, 0}},
      {"negative count", patched(0, -1)},
      {"count beyond the tables", patched(0, 3)},
      {"name offset outside the names", patched(4, 100)},
      {"negative name offset", patched(4, -4)},
      {"name without its NUL", noNul},
      {"negative data offset", patched(8, -1)},
      {"data offset beyond the data file", patched(8, 1 << 20)},
      {"data offsets going back", packtool::MakeIndex({"a", "day01"}, {40, 0})},
  };
  for (const Case& c : cases) {
    WriteIndex("bg", 1, c.index);
    host_->ClearErrorLines();
    StartLoader(2);
    EXPECT_EQ(Load("bg\\day01"), kRed) << c.what;
    // One line on stderr names the index and what is wrong with it.
    const auto lines = host_->ErrorLines();
    ASSERT_EQ(lines.size(), 1u) << c.what;
    EXPECT_EQ(lines[0].rfind("pack index dwq\\bg1.gtb is broken: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("; its volume is skipped"), std::string::npos) << lines[0];
  }
  EXPECT_TRUE(host_->Boxes().empty());
}

TEST_F(PackTest, CutIndexesAndVolumesFailCleanly) {
  const std::vector<uint8_t> a = Solid(kRed, true), b = Solid(kGreen), c = Solid(kRed, true);
  WriteVolume("bg", 0, {{"a", a}, {"b", b}, {"c", c}});
  const std::vector<uint8_t> data = lastData_;
  const std::string index = dir_.Read("dwq/bg0.gtb");
  for (const char* plain : {"bg\\a", "bg\\b", "bg\\c", "bg\\other"})
    WritePicture(plain, Pattern(3, 2));
  const uint32_t plain = Load("bg\\other");

  // Every cut of the index breaks it: the plain files are read.
  for (size_t n = 0; n < index.size(); ++n) {
    EXPECT_EQ(DwqPackIndex::Parse(index.substr(0, n), static_cast<int64_t>(data.size())), nullptr)
        << n;
    if (n % 7 && n != index.size() - 1) continue;  // the loader for a few of them
    dir_.Write("dwq/bg0.gtb", index.substr(0, n));
    StartLoader(1);
    EXPECT_EQ(Load("bg\\b"), plain) << n;
  }
  dir_.Write("dwq/bg0.gtb", index);

  // A data file cut before the last entry starts makes the index unusable;
  // one cut inside the last entry leaves the others readable and that
  // entry fails to load.
  const size_t cStart = a.size() + b.size();
  struct Cut {
    size_t size;
    uint32_t a, b, c;
  } cuts[] = {
      {0, plain, plain, plain},
      {a.size() - 1, plain, plain, plain},
      {cStart - 1, plain, plain, plain},
      {cStart, kRed, kGreen, kFailed},
      {cStart + 70, kRed, kGreen, kFailed},
      {data.size() - 1, kRed, kGreen, kFailed},
      {data.size(), kRed, kGreen, kRed},
  };
  for (const Cut& cut : cuts) {
    dir_.Write("dwq/bg0.gpk", Bytes(data).substr(0, cut.size));
    StartLoader(1);
    EXPECT_EQ(Load("bg\\a"), cut.a) << cut.size;
    EXPECT_EQ(Load("bg\\b"), cut.b) << cut.size;
    EXPECT_EQ(Load("bg\\c"), cut.c) << cut.size;
    EXPECT_EQ(Load("bg\\other"), plain) << cut.size;
  }
}

TEST_F(PackTest, RandomIndexesAndVolumesNeverBreakTheLoader) {
  WriteVolume("bg", 0, {{"a", Solid(kRed, true)}, {"b", Solid(kGreen)}});
  const std::string index = dir_.Read("dwq/bg0.gtb");
  const std::string data = dir_.Read("dwq/bg0.gpk");
  WritePicture("bg\\zz_plain", Pattern(3, 2));
  const uint32_t plain = Load("bg\\zz_plain");
  std::mt19937 random(1234);
  for (int round = 0; round < 60; ++round) {
    std::string badIndex = index, badData = data;
    if (round % 3 == 0) {
      badIndex.resize(random() % 64);
      for (char& ch : badIndex) ch = static_cast<char>(random());
    } else {
      for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips)
        badIndex[random() % badIndex.size()] = static_cast<char>(random());
    }
    if (round % 2) badData[random() % badData.size()] ^= static_cast<char>(1 + random() % 255);
    dir_.Write("dwq/bg0.gtb", badIndex);
    dir_.Write("dwq/bg0.gpk", badData);
    StartLoader(1);
    CPicture picture;
    picture.LoadDWQ("bg\\a");
    picture.LoadDWQ("bg\\b");
    picture.Put(0, 0, 1);
    EXPECT_EQ(Load("bg\\zz_plain"), plain) << round;
  }
}

// A picture only a volume the level leaves unread lists is missing, and
// its line says which pack lists it and which level reads that pack.
TEST_F(PackTest, AMissingPictureNamesTheUnreadPackThatListsIt) {
  WriteVolume("bg", 0, {{"night", Solid(kRed)}});
  WriteVolume("bg", 2, {{"dawn", Solid(kRed)}});
  struct Case {
    int level;
    const char* name;
    std::string line;
  } cases[] = {
      {0, "bg\\night",
       "LOAD DWQ ERROR(File Not Found) bg\\night: no dwq\\bg\\night.dwq; the pack bg0 lists it, but "
       "dwqPackLevel is 0 (dwqPackLevel,1 in the list game reads it)"},
      {1, "bg\\dawn",
       "LOAD DWQ ERROR(File Not Found) bg\\dawn: no dwq\\bg\\dawn.dwq; the pack bg2 lists it, but "
       "dwqPackLevel is 1 (dwqPackLevel,3 in the list game reads it)"},
      {1, "bg\\dusk", "LOAD DWQ ERROR(File Not Found) bg\\dusk: no dwq\\bg\\dusk.dwq and no pack lists it"},
  };
  for (const Case& c : cases) {
    StartLoader(c.level);
    host_->ClearErrorLines();
    EXPECT_EQ(Load(c.name), kFailed) << c.name;
    EXPECT_EQ(host_->ErrorLines(), std::vector<std::string>{c.line});
  }
}

TEST_F(PackTest, LevelComesFromTheGameListUnlessTheGameSetsIt) {
  StartLoader(kNoList);
  EXPECT_EQ(GetDwqPackLevel(), 0);
  StartLoader(2);
  EXPECT_EQ(GetDwqPackLevel(), 2);
  ReleasePictureLoader();
  SetDwqPackLevel(1);
  ASSERT_EQ(InitPictureLoader(dwq::kDecodeMegabytes), 1);
  EXPECT_EQ(GetDwqPackLevel(), 1);
  StartLoader(-3);
  EXPECT_EQ(GetDwqPackLevel(), 0);
  // A stray value does not make the start probe millions of files.
  StartLoader(2000000000);
  EXPECT_EQ(GetDwqPackLevel(), 100);
  EXPECT_TRUE(host_->Boxes().empty());
}

}  // namespace
}  // namespace graphics_test
