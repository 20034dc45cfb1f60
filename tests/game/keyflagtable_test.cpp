#include "game/keyflagtable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Fills a row with the given keys (flags = key & 0xFF for a recognisable byte).
void FillRow(CKeyFlagTable& t, int row, const std::vector<int>& keys) {
  for (int k : keys) ASSERT_EQ(t.Insert(row, k, k & 0xFF, -1), 1) << "key " << k;
}

std::vector<int> RowKeys(const CKeyFlagTable& t, int row) {
  std::vector<int> keys;
  for (int i = 0; i < CKeyFlagTable::kEntries; ++i) {
    const int e = t.GetEntry(row, i);
    if (e == 0) break;
    keys.push_back(CKeyFlagTable::KeyOf(e));
  }
  return keys;
}

std::vector<int> Range(int from, int count) {
  std::vector<int> v;
  for (int i = 0; i < count; ++i) v.push_back(from + i);
  return v;
}

TEST(KeyFlagTable, InsertFollowsTheRowRules) {
  struct Case {
    const char* name;
    std::vector<int> before;
    int key, position;
    int result;
    std::vector<int> after;
  };
  const std::vector<int> full = Range(1, 32);
  std::vector<int> fullPlus = Range(1, 31);
  fullPlus.push_back(40);
  const std::vector<Case> cases = {
      {"a key already in the row", {5, 7}, 5, -1, 0, {5, 7}},
      {"at position 0", {5, 7}, 9, 0, 1, {9, 5, 7}},
      {"in the middle", {5, 7}, 9, 1, 1, {5, 9, 7}},
      {"-1 is the first empty entry", {5, 7}, 9, -1, 1, {5, 7, 9}},
      {"right after the used entries", {5, 7}, 9, 2, 1, {5, 7, 9}},
      {"beyond the used entries", {5, 7}, 9, 3, 0, {5, 7}},
      {"far beyond the row", {5, 7}, 9, 40, 0, {5, 7}},
      {"below -1", {5, 7}, 9, -2, 0, {5, 7}},
      {"key 0 finds a free entry", {5, 7}, 0, -1, 0, {5, 7}},
      {"key 0 in a full row", full, 0, 0, 0, full},
      {"a key that is no mode number", {5}, 100, -1, 0, {5}},
      {"a negative key", {5}, -3, -1, 0, {5}},
      {"a full row", full, 40, 0, 0, full},
      {"a row with 31 used entries", Range(1, 31), 40, -1, 1, fullPlus},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CKeyFlagTable t(0);
    FillRow(t, 3, c.before);
    EXPECT_EQ(t.Insert(3, c.key, 2, c.position), c.result);
    EXPECT_EQ(RowKeys(t, 3), c.after);
    // Rows beside it stay empty.
    EXPECT_EQ(t.GetEntry(2, 0), 0);
    EXPECT_EQ(t.GetEntry(4, 0), 0);
  }
}

TEST(KeyFlagTable, EntriesPackKeyAndFlagByte) {
  CKeyFlagTable t(0);
  ASSERT_EQ(t.Insert(10, 7, 0x66, -1), 1);
  EXPECT_EQ(t.GetEntry(10, 0), 7 * 256 + 0x66);
  // Flags beyond a byte would change the key; only the byte is kept.
  ASSERT_EQ(t.Insert(10, 8, 0x1FF, -1), 1);
  EXPECT_EQ(t.GetEntry(10, 1), 8 * 256 + 0xFF);
}

TEST(KeyFlagTable, FindAndRemove) {
  CKeyFlagTable t(0);
  FillRow(t, 0, {4, 5, 6});
  EXPECT_EQ(t.Find(0, 5), 1);
  EXPECT_EQ(t.Find(0, 9), -1);
  EXPECT_EQ(t.Find(0, 0), 3);  // the first free entry

  EXPECT_EQ(t.Remove(0, 4), 1);
  EXPECT_EQ(RowKeys(t, 0), (std::vector<int>{5, 6}));
  EXPECT_EQ(t.GetEntry(0, 2), 0);
  EXPECT_EQ(t.Remove(0, 4), 0);

  FillRow(t, 1, Range(1, 32));
  EXPECT_EQ(t.Remove(1, 1), 1);
  EXPECT_EQ(t.GetEntry(1, 30), 32 * 256 + 32);
  EXPECT_EQ(t.GetEntry(1, 31), 0);
}

TEST(KeyFlagTable, FlagsByBit) {
  CKeyFlagTable t(0);
  ASSERT_EQ(t.Insert(1, 10, 0x26, -1), 1);  // bits 1, 2, 5
  ASSERT_EQ(t.Insert(1, 11, 0x01, -1), 1);
  struct Case {
    int key, bit, expected;
  };
  for (const Case& c : std::vector<Case>{{10, -1, 0x26},
                                         {10, 1, 1},
                                         {10, 2, 1},
                                         {10, 3, 0},
                                         {10, 5, 1},
                                         {10, 0, 0},
                                         {11, 0, 1},
                                         {11, 9, 0},
                                         {12, -1, -1},
                                         {12, 1, -1}}) {
    EXPECT_EQ(t.GetFlag(1, c.key, c.bit), c.expected) << c.key << " bit " << c.bit;
  }

  t.SetFlag(1, 1, 10, 6);
  EXPECT_EQ(t.GetFlag(1, 10, -1), 0x66);
  t.SetFlag(1, 0, 10, 1);
  EXPECT_EQ(t.GetFlag(1, 10, -1), 0x64);
  t.SetFlag(1, 0, 11, 0);
  EXPECT_EQ(t.GetFlag(1, 11, -1), 0x00);
  t.SetFlag(1, 0x1AB, 10, -1);  // the whole byte; the key stays
  EXPECT_EQ(t.GetEntry(1, 0), 10 * 256 + 0xAB);
  t.SetFlag(1, 1, -1, 4);  // every used entry
  EXPECT_EQ(t.GetFlag(1, 10, 4), 1);
  EXPECT_EQ(t.GetFlag(1, 11, 4), 1);
  EXPECT_EQ(t.GetEntry(1, 2), 0);
  // Bit 8 and above lie in the key: nothing changes.
  t.SetFlag(1, 1, 11, 8);
  t.SetFlag(1, 1, 11, 40);
  EXPECT_EQ(t.GetEntry(1, 1), 11 * 256 + 0x10);
}

TEST(KeyFlagTable, RowsOutsideTheTableAreRefused) {
  CKeyFlagTable t(0);
  for (int row : {-1, 100, 1 << 20}) {
    EXPECT_EQ(t.Insert(row, 5, 2, -1), 0);
    EXPECT_EQ(t.Find(row, 5), -1);
    EXPECT_EQ(t.Remove(row, 5), 0);
    EXPECT_EQ(t.GetFlag(row, 5, -1), -1);
    EXPECT_EQ(t.GetEntry(row, 0), 0);
    t.SetFlag(row, 1, -1, 1);
    t.ClearRow(row);
  }
  EXPECT_EQ(t.GetEntry(0, -1), 0);
  EXPECT_EQ(t.GetEntry(0, 32), 0);
}

TEST(KeyFlagTable, SavesRowMajorWordsAndLittleEndianBytes) {
  CKeyFlagTable t(7);
  EXPECT_EQ(t.GetModeWord(), 7);
  FillRow(t, 0, {3});
  FillRow(t, 1, {4, 5});
  FillRow(t, 99, Range(60, 32));

  std::vector<int32_t> words(CKeyFlagTable::kWords, -1);
  t.Save(words.data());
  ASSERT_EQ(CKeyFlagTable::kWords, 3200);
  EXPECT_EQ(words[0], 3 * 256 + 3);
  EXPECT_EQ(words[1], 0);
  EXPECT_EQ(words[32], 4 * 256 + 4);
  EXPECT_EQ(words[33], 5 * 256 + 5);
  EXPECT_EQ(words[99 * 32 + 31], 91 * 256 + 91);
  int used = 0;
  for (int32_t w : words) used += w != 0;
  EXPECT_EQ(used, 1 + 2 + 32);

  std::vector<uint8_t> bytes(CKeyFlagTable::kBytes);
  ASSERT_EQ(CKeyFlagTable::kBytes, 12800);
  ASSERT_EQ(t.SaveBytes(bytes.data(), bytes.size()), 1);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes[1], 3);
  EXPECT_EQ(bytes[2], 0);
  EXPECT_EQ(bytes[4 * 33], 5);
  EXPECT_EQ(bytes[4 * 33 + 1], 5);
  EXPECT_EQ(t.SaveBytes(bytes.data(), bytes.size() - 1), 0);

  CKeyFlagTable back(0);
  ASSERT_EQ(back.LoadBytes(bytes.data(), bytes.size()), 1);
  std::vector<int32_t> again(CKeyFlagTable::kWords);
  back.Save(again.data());
  EXPECT_EQ(again, words);

  // Too short: refused, the table keeps what it had.
  EXPECT_EQ(back.LoadBytes(bytes.data(), bytes.size() - 4), 0);
  back.Load(words.data());
  EXPECT_EQ(RowKeys(back, 1), (std::vector<int>{4, 5}));
}

TEST(KeyFlagTable, ALoadedTableIsPutBackIntoShape) {
  std::vector<int32_t> words(CKeyFlagTable::kWords, 0);
  auto entry = [](int key, int flags) { return static_cast<int32_t>(key * 256 + flags); };
  // Row 0: a good list.
  words[0] = entry(5, 2);
  words[1] = entry(7, 4);
  // Row 1: keys that name no mode slot, a duplicate and an entry after the
  // end of the list.
  words[32 + 0] = entry(150, 2);
  words[32 + 1] = entry(8, 2);
  words[32 + 2] = -256;
  words[32 + 3] = entry(8, 6);
  words[32 + 4] = entry(0, 6);
  words[32 + 5] = entry(99, 1);
  words[32 + 6] = 0;
  words[32 + 7] = entry(9, 2);
  // Row 2: only an entry after a gap.
  words[64 + 1] = entry(3, 2);

  CKeyFlagTable t(0);
  t.Load(words.data());
  EXPECT_EQ(RowKeys(t, 0), (std::vector<int>{5, 7}));
  EXPECT_EQ(t.GetEntry(0, 1), entry(7, 4));
  EXPECT_EQ(RowKeys(t, 1), (std::vector<int>{8, 99}));
  EXPECT_EQ(t.GetEntry(1, 0), entry(8, 2));
  for (int i = 2; i < CKeyFlagTable::kEntries; ++i) EXPECT_EQ(t.GetEntry(1, i), 0) << i;
  EXPECT_TRUE(RowKeys(t, 2).empty());
  EXPECT_EQ(t.GetEntry(2, 1), 0);
  // The repaired rows obey the insert rules again.
  EXPECT_EQ(t.Insert(1, 8, 0, -1), 0);
  EXPECT_EQ(t.Insert(1, 9, 0, -1), 1);
  EXPECT_EQ(RowKeys(t, 1), (std::vector<int>{8, 99, 9}));
}

}  // namespace
