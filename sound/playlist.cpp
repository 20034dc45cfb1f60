#include "sound/playlist.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/types.h"

CBgmPlayList::CBgmPlayList() {
  text_.reset(new (std::nothrow) char[kInitialCapacity]);
  if (text_) {
    capacity_ = kInitialCapacity;
    text_[0] = 0;
  }
}

CBgmPlayList::~CBgmPlayList() = default;

bool CBgmPlayList::SetText(const char* bytes, int length) {
  if (length < 0) return false;
  if (!text_ || length + 1 > capacity_) {
    std::unique_ptr<char[]> grown(new (std::nothrow) char[static_cast<size_t>(length) + 1]);
    if (!grown) return false;
    text_ = std::move(grown);
    capacity_ = length + 1;
  }
  if (length > 0) std::memcpy(text_.get(), bytes, static_cast<size_t>(length));
  text_[length] = 0;
  length_ = length;
  return true;
}

int CBgmPlayList::Load(const char* name) {
  Restart();
  length_ = 0;
  if (text_) text_[0] = 0;
  if (!name || !*name) return 0;
  const std::string base = std::string("wgq\\") + name;
  std::string bytes;
  if (platform::ReadWholeFile(base + ".mml", &bytes)) {
    if (bytes.size() > 0x7FFFFFF0u || !SetText(bytes.data(), static_cast<int>(bytes.size())))
      return 0;
  } else if (platform::FileExists(base + ".wgq")) {
    if (!SetText(name, static_cast<int>(std::strlen(name)))) return 0;
  } else {
    platform::ErrorOutput((base + ".wgq: there is neither this file nor a list " + base +
                           ".mml; the music is not played")
                              .c_str());
    return 0;
  }
  if (!Valid()) {
    // A list that cannot play would hang or loop on nothing: say so instead.
    // プレイリストが正しくありません
    const std::string text = base + ".mml\n\x83\x76\x83\x8c\x83\x43\x83\x8a\x83\x58\x83\x67\x82\xaa\x90\xb3\x82\xb5\x82\xad\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
    platform::ErrorOutput((base + ".mml: the list names nothing that can play; the music is not played").c_str());
    platform::MessageBox(nullptr, text.c_str(), "ERROR", MB_OK | MB_ICONERROR);
    length_ = 0;
    text_[0] = 0;
    return 0;
  }
  return 1;
}

void CBgmPlayList::Restart() {
  position_ = 0;
  depth_ = 0;
  exhausted_ = 0;
  soundAtRestart_ = sound_;
}

bool CBgmPlayList::EndsName(int position) const {
  const char c = text_[position];
  return c == 0 || c == '\r' || c == ' ' || c == ',' || c == '[' || c == ']';
}

int32_t CBgmPlayList::ReadCount(int* position) const {
  int p = *position;
  int64_t value = 0;
  for (int digits = 0; digits < kMaxDigits && text_[p] >= '0' && text_[p] <= '9'; ++digits, ++p) {
    value = value * 10 + (text_[p] - '0');
    if (value > INT32_MAX) value = INT32_MAX;  // a count of 15 digits would not fit
  }
  if (text_[p] == ':') ++p;
  *position = p;
  return static_cast<int32_t>(value);
}

bool CBgmPlayList::Valid() const {
  if (!text_) return false;
  bool named[kMaxDepth + 1] = {};
  bool any = false;
  int depth = 0;
  int p = 0;
  for (;;) {
    while (text_[p] == ' ' || text_[p] == ',') ++p;
    const char c = text_[p];
    if (c == 0 || c == '\r') break;
    if (c == '[') {
      if (depth == kMaxDepth) return false;
      ++p;
      ReadCount(&p);
      named[++depth] = false;
    } else if (c == ']') {
      if (depth == 0 || !named[depth]) return false;
      --depth;
      ++p;
    } else {
      while (!EndsName(p)) ++p;
      any = true;
      for (int d = 1; d <= depth; ++d) named[d] = true;
    }
  }
  return any;
}

const char* CBgmPlayList::Next() {
  if (!text_ || exhausted_) return nullptr;
  for (;;) {
    while (text_[position_] == ' ' || text_[position_] == ',') ++position_;
    const char c = text_[position_];
    if (c == '[') {
      if (depth_ == kMaxDepth) return nullptr;
      ++position_;
      const int32_t n = ReadCount(&position_);
      ++depth_;
      restart_[depth_] = position_;
      count_[depth_] = n;
      soundAtRound_[depth_] = sound_;
      continue;
    }
    if (c == ']') {
      if (depth_ == 0) return nullptr;
      const bool silent = sound_ == soundAtRound_[depth_];
      if (count_[depth_] == 0) {
        if (silent) {
          // Every further round would be as silent: the list ends here.
          exhausted_ = 1;
          return nullptr;
        }
        position_ = restart_[depth_];
        soundAtRound_[depth_] = sound_;
        continue;
      }
      if (!silent && --count_[depth_] > 0) {
        position_ = restart_[depth_];
        soundAtRound_[depth_] = sound_;
        continue;
      }
      --depth_;
      ++position_;
      continue;
    }
    int n = 0;
    while (n < kMaxName && !EndsName(position_)) name_[n++] = text_[position_++];
    name_[n] = 0;
    return n > 0 ? name_ : nullptr;
  }
}
