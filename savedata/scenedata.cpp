#include "savedata/scenedata.h"

#include <string>

#include "platform/bytereader.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/datautil.h"
#include "savedata/systemfile.h"

namespace {

const char kScenePath[] = "spt\\scene.dat";
// spt\scene.datがみつからにゃいよ
const char kNotFound[] =
    "spt\\scene.dat\x82\xaa\x82\xdd\x82\xc2\x82\xa9\x82\xe7\x82\xc9\x82\xe1\x82\xa2\x82\xe6";
// A first word below 4 cannot be the file's size.
constexpr int32_t kSizeWhenUnset = 16000;
// Without the file: one character with one scene, film script 2, item 1.
const int32_t kBuiltIn[] = {0, 1, 1, 2, 1, 1};

// |v| with INT_MIN wrapping onto itself instead of overflowing.
uint32_t Magnitude(int32_t v) { return v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v); }

}  // namespace

CSceneDataFile::CSceneDataFile() {
  std::string bytes;
  if (!platform::ReadWholeFile(kScenePath, &bytes)) {
    words_.assign(std::begin(kBuiltIn), std::end(kBuiltIn));
    platform::MessageBox(nullptr, kNotFound, "ERROR", MB_OK);
    Walk();
    return;
  }
  loaded_ = 1;
  platform::ByteReader reader(bytes);
  int32_t size = 0;
  if (!reader.I32(&size) || size < 4) size = kSizeWhenUnset;
  // The table holds size / 4 words, of which the file may give fewer; only
  // the words it gave are kept, the others read as 0.
  const size_t tableWords = static_cast<size_t>(size) / 4;
  words_.assign(1, size);
  int32_t word = 0;
  while (words_.size() < tableWords && reader.I32(&word)) words_.push_back(word);
  Walk();
}

CSceneDataFile::~CSceneDataFile() = default;

void CSceneDataFile::Walk() {
  const size_t end = words_.size();
  size_t at = 1;
  const int32_t charas = at < end ? words_[at++] : 0;
  for (int32_t c = 0; c < charas && at < end; ++c) {
    Chara chara;
    chara.firstScene = static_cast<int>(records_.size());
    const int32_t scenes = words_[at++];
    bool broken = false;
    for (int32_t s = 0; s < scenes; ++s) {
      // A record must lie wholly inside the words read; what follows a
      // broken one cannot be placed, so the walk ends there.
      if (end - at < 2 || words_[at + 1] < 0 || static_cast<size_t>(words_[at + 1]) > end - at - 2) {
        broken = true;
        break;
      }
      records_.push_back(static_cast<int>(at));
      ++chara.sceneCount;
      if (words_[at] < 0) ++chara.markedCount;
      at += 2 + static_cast<size_t>(words_[at + 1]);
    }
    charas_.push_back(chara);
    if (broken) break;
  }
}

void CSceneDataFile::Release() {
  words_.clear();
  words_.shrink_to_fit();
  charas_.clear();
  charas_.shrink_to_fit();
  records_.clear();
  records_.shrink_to_fit();
}

int CSceneDataFile::GetSceneCount(int c) const {
  if (c < 0 || c >= GetCharaCount()) return 0;
  return charas_[static_cast<size_t>(c)].sceneCount;
}

int CSceneDataFile::GetMarkedSceneCount(int c) const {
  if (c < 0 || c >= GetCharaCount()) return 0;
  return charas_[static_cast<size_t>(c)].markedCount;
}

int CSceneDataFile::Record(int c, int s) const {
  if (c < 0 || c >= GetCharaCount()) return -1;
  const Chara& chara = charas_[static_cast<size_t>(c)];
  if (s < 0 || s >= chara.sceneCount) return -1;
  return records_[static_cast<size_t>(chara.firstScene + s)];
}

int CSceneDataFile::GetRecordIndex(int c, int s) const {
  const int record = Record(c, s);
  return record < 0 ? 0 : record;
}

int CSceneDataFile::GetSceneScript(int c, int s) const {
  const int record = Record(c, s);
  return record < 0 ? 0 : static_cast<int>(Magnitude(words_[static_cast<size_t>(record)]));
}

int CSceneDataFile::IsSceneMarked(int c, int s) const {
  const int record = Record(c, s);
  return record >= 0 && words_[static_cast<size_t>(record)] < 0 ? 1 : 0;
}

int CSceneDataFile::GetItemCount(int c, int s) const {
  const int record = Record(c, s);
  return record < 0 ? 0 : words_[static_cast<size_t>(record) + 1];
}

int32_t CSceneDataFile::ItemWord(int c, int s, int i, bool* found) const {
  const int record = Record(c, s);
  *found = record >= 0 && i >= 0 && i < words_[static_cast<size_t>(record) + 1];
  return *found ? words_[static_cast<size_t>(record) + 2 + static_cast<size_t>(i)] : 0;
}

int CSceneDataFile::GetItem(int c, int s, int i) const {
  bool found = false;
  const int32_t v = ItemWord(c, s, i, &found);
  return found ? static_cast<int>(Magnitude(v) - 1u) : 0;
}

int CSceneDataFile::GetItemOrNone(int c, int s, int i) const {
  bool found = false;
  const int32_t v = ItemWord(c, s, i, &found);
  if (!found) return 0;
  return v < 0 ? -1 : v - 1;
}

int32_t CSceneDataFile::GetWord(int n) const {
  if (n < 0 || static_cast<size_t>(n) >= words_.size()) return 0;
  return words_[static_cast<size_t>(n)];
}

CSceneList::CSceneList(CCommonSystemFile* systemFile, const CSceneDataFile* data)
    : systemFile_(systemFile), data_(data), charaCount_(data ? data->GetCharaCount() : 1) {}

CSceneList::~CSceneList() = default;

int CSceneList::IsSceneSeen(int c, int s) const {
  if (!data_ || s < 0 || s >= data_->GetSceneCount(c)) return 0;
  const int script = data_->GetSceneScript(c, s);
  const int items = data_->GetItemCount(c, s);
  for (int i = 0; i < items; ++i) {
    const int item = data_->GetItemOrNone(c, s, i);
    if (item == -1) continue;
    if (!systemFile_ || !systemFile_->GetFilmFlag(script, item)) return 0;
  }
  return 1;
}

int CSceneList::GetSeenPercent(int c) const {
  const int total = GetSceneCount(c);
  int seen = 0;
  for (int s = 0; s < total; ++s) seen += IsSceneSeen(c, s);
  return savedata::SeenPercent(seen, total);
}

int CSceneList::GetTotalSeenPercent() const {
  if (!data_) return 0;
  int64_t total = 0, seen = 0;
  for (int c = 0; c < data_->GetCharaCount(); ++c) {
    const int scenes = data_->GetSceneCount(c);
    total += scenes;
    for (int s = 0; s < scenes; ++s) seen += IsSceneSeen(c, s);
  }
  return savedata::SeenPercent(seen, total);
}

int CSceneList::GetSceneCount(int c) const { return data_ ? data_->GetSceneCount(c) : 1; }

int CSceneList::GetMarkedSceneCount(int c) const { return data_ ? data_->GetMarkedSceneCount(c) : 0; }

int CSceneList::IsSceneMarked(int c, int s) const { return data_ ? data_->IsSceneMarked(c, s) : 0; }

CSceneList* CSceneList::SetCurrentChara(int c) {
  chara_ = c;
  return this;
}

CSceneList* CSceneList::SetCurrentScene(int s) {
  scene_ = s;
  return this;
}

int CSceneList::NextItem() {
  if (!data_) return -1;
  const int items = data_->GetItemCount(chara_, scene_);
  // The cursor stops one past the last item, so calls past the end cannot
  // run it round.
  if (cursor_ >= items) return -1;
  ++cursor_;
  return cursor_ < items ? data_->GetItem(chara_, scene_, cursor_) : -1;
}
