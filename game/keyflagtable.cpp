#include "game/keyflagtable.h"

CKeyFlagTable::CKeyFlagTable(int modeWord) : modeWord_(modeWord) { ClearAll(); }

void CKeyFlagTable::ClearAll() {
  for (int r = 0; r < kRows; ++r) ClearRow(r);
}

void CKeyFlagTable::ClearRow(int row) {
  if (!ValidRow(row)) return;
  for (int32_t& e : entries_[row]) e = 0;
}

void CKeyFlagTable::Load(const int32_t* words) {
  if (!words) return;
  for (int r = 0; r < kRows; ++r) {
    for (int i = 0; i < kEntries; ++i) entries_[r][i] = words[r * kEntries + i];
  }
  Sanitize();
}

void CKeyFlagTable::Save(int32_t* words) const {
  if (!words) return;
  for (int r = 0; r < kRows; ++r) {
    for (int i = 0; i < kEntries; ++i) words[r * kEntries + i] = entries_[r][i];
  }
}

int CKeyFlagTable::LoadBytes(const uint8_t* data, size_t size) {
  if (!data || size < static_cast<size_t>(kBytes)) return 0;
  for (int r = 0; r < kRows; ++r) {
    for (int i = 0; i < kEntries; ++i) {
      const uint8_t* p = data + 4 * (static_cast<size_t>(r) * kEntries + i);
      const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
      entries_[r][i] = static_cast<int32_t>(v);
    }
  }
  Sanitize();
  return 1;
}

int CKeyFlagTable::SaveBytes(uint8_t* out, size_t size) const {
  if (!out || size < static_cast<size_t>(kBytes)) return 0;
  for (int r = 0; r < kRows; ++r) {
    for (int i = 0; i < kEntries; ++i) {
      uint8_t* p = out + 4 * (static_cast<size_t>(r) * kEntries + i);
      const uint32_t v = static_cast<uint32_t>(entries_[r][i]);
      p[0] = static_cast<uint8_t>(v);
      p[1] = static_cast<uint8_t>(v >> 8);
      p[2] = static_cast<uint8_t>(v >> 16);
      p[3] = static_cast<uint8_t>(v >> 24);
    }
  }
  return 1;
}

int CKeyFlagTable::GetEntry(int row, int i) const {
  if (!ValidRow(row) || i < 0 || i >= kEntries) return 0;
  return entries_[row][i];
}

int CKeyFlagTable::UsedCount(int row) const {
  int n = 0;
  while (n < kEntries && entries_[row][n] != 0) ++n;
  return n;
}

int CKeyFlagTable::Find(int row, int key) const {
  if (!ValidRow(row)) return -1;
  for (int i = 0; i < kEntries; ++i) {
    if (KeyOf(entries_[row][i]) == key) return i;
  }
  return -1;
}

int CKeyFlagTable::Insert(int row, int key, int flags, int position) {
  if (!ValidRow(row) || key < kMinKey || key > kMaxKey) return 0;
  if (Find(row, key) >= 0) return 0;
  const int used = UsedCount(row);
  if (position == -1) position = used;
  // A row is full when its last entry is in use; a position beyond the used
  // entries would leave a gap that ends the list early.
  if (used >= kEntries || position < 0 || position > used) return 0;
  for (int i = kEntries - 1; i > position; --i) entries_[row][i] = entries_[row][i - 1];
  entries_[row][position] = key << 8 | (flags & 0xFF);
  return 1;
}

int CKeyFlagTable::Remove(int row, int key) {
  const int i = Find(row, key);
  if (i < 0) return 0;
  for (int k = i; k < kEntries - 1; ++k) entries_[row][k] = entries_[row][k + 1];
  entries_[row][kEntries - 1] = 0;
  return 1;
}

int CKeyFlagTable::GetFlag(int row, int key, int bit) const {
  const int i = Find(row, key);
  if (i < 0) return -1;
  const int f = entries_[row][i] & 0xFF;
  if (bit == -1) return f;
  if (bit >= 1) return bit < 8 ? (f >> bit) & 1 : 0;
  return f & 1;
}

void CKeyFlagTable::SetFlag(int row, int value, int key, int bit) {
  if (!ValidRow(row) || bit > 7) return;
  for (int32_t& e : entries_[row]) {
    if (e == 0 || (key != -1 && KeyOf(e) != key)) continue;
    if (bit == -1) {
      e = (e & ~0xFF) | (value & 0xFF);
      continue;
    }
    const int m = bit >= 1 ? 1 << bit : 1;
    e = value ? (e | m) : (e & ~m);
  }
}

void CKeyFlagTable::Sanitize() {
  for (int r = 0; r < kRows; ++r) {
    bool seen[kMaxKey + 1] = {};
    int kept = 0;
    for (int i = 0; i < kEntries; ++i) {
      const int32_t e = entries_[r][i];
      if (e == 0) break;
      const int key = KeyOf(e);
      if (key < kMinKey || key > kMaxKey || seen[key]) continue;
      seen[key] = true;
      entries_[r][kept++] = e;
    }
    for (int i = kept; i < kEntries; ++i) entries_[r][i] = 0;
  }
}
