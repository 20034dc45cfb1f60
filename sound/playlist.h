// CBgmPlayList: the playlist of one music stream. A music name is either a
// ".wgq" file or a ".mml" playlist in the folder "wgq": one line of names
// with counted ("[3:a b]") or endless ("[0:a]", "[a]") repeat brackets,
// nested up to 15 deep. The stream asks for one name after another.
#pragma once

#include <cstdint>
#include <memory>

class CBgmPlayList {
 public:
  static constexpr int kMaxName = 255;
  static constexpr int kMaxDepth = 15;
  static constexpr int kMaxDigits = 15;
  static constexpr int kInitialCapacity = 1024;

  CBgmPlayList();
  ~CBgmPlayList();
  CBgmPlayList(const CBgmPlayList&) = delete;
  CBgmPlayList& operator=(const CBgmPlayList&) = delete;

  // "wgq\<name>.mml" when it opens, else the single file "wgq\<name>.wgq"
  // when it exists. 0 when neither exists, or when the playlist cannot be
  // played (a bracket without its pair, nesting deeper than 15, a repeat or
  // a whole list without a name): such a list is refused with a box.
  int Load(const char* name);
  void Restart();
  // The next name, or null at the end of the list (until Restart).
  const char* Next();
  const char* GetName() const { return name_; }

  // The stream reports each batch of PCM here. A repeat whose round gave no
  // PCM can never give any: an endless one ends the list for good
  // (IsExhausted), a counted one skips its remaining rounds.
  void MarkSound() { ++sound_; }
  int IsExhausted() const { return exhausted_; }
  // Whether any PCM came since the list was loaded or restarted.
  int SoundSinceRestart() const { return sound_ != soundAtRestart_; }

 private:
  bool SetText(const char* bytes, int length);
  // Checks the structure of the whole text; false for a list that cannot play.
  bool Valid() const;
  // Reads a bracket's count at the position just after '['; moves past the
  // digits and an optional ':'.
  int32_t ReadCount(int* position) const;
  // Whether the byte at position ends a name.
  bool EndsName(int position) const;

  std::unique_ptr<char[]> text_;
  int32_t count_[kMaxDepth + 1] = {};
  int32_t restart_[kMaxDepth + 1] = {};
  uint32_t soundAtRound_[kMaxDepth + 1] = {};
  int capacity_ = 0;
  int length_ = 0;
  int depth_ = 0;
  int position_ = 0;
  char name_[kMaxName + 1] = {};
  uint32_t sound_ = 0;
  uint32_t soundAtRestart_ = 0;
  int exhausted_ = 0;
};
