// The GAMESTATUS chunk of a save slot (CCommonDataFile::kGameStatusSize
// bytes, its 32-byte header first): where each word and text lies. Each of
// the game's parts writes and reads its own words through these names, and
// the slot file reads the few it shows.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/bytes.h"
#include "setup/text.h"

namespace gamestatus {

// 32-bit words, counted from the chunk start (header included).
enum Word : int {
  kSaveTime = 8,  // eight words: year, month, day, weekday, hour, minute, second, millisecond
  kDateMonth = 16,
  kDateDay = 17,
  kDateWeekday = 19,
  kReturnMode = 20,
  kSaveCounter = 21,
  kResumeTables = 22,
  kScriptLevel = 24,
  kScriptNumber1 = 26,
  kScriptNumber2 = 27,
  kMessageKey = 28,
  kLineCount = 29,
  kMessageCode = 30,
  kScriptNumber3 = 31,
  kChoiceKey = 32,
  kChoiceEnd = 33,
  kChoiceStart = 34,
  kMusic = 36,
  kMusicLoop = 37,
  kWindowShown = 44,
  kFrameTime = 45,
  kSpecialNumber = 46,
  kMusicRoom = 47,
  kLayerMask = 48,
  kWindowMode = 49,
  kCostumeMask = 50,
  kSeParams = 52,  // 8 channels of 16
  kWindowDesign = 180,
  kCursorDesign = 181,
  kMouseDesign = 182,
  kVoiceParams = 184,  // 8 channels of 16
  kHoldFlags = 464,    // 16-bit each, one per effect channel
  kProgramCounters = 472,
  kScriptWord = 476,
  kSkipFilmEnable = 477,
  kChoiceWords = 480,  // four words
  kAutoMessageCheck = 484,
  kMessageSwitchWord = 485,
  kCannotSkip = 486,
  kCallDepths = 488,  // + kLevelStride per level, the stack words behind it
};
constexpr int kSoundChannels = 8;
constexpr int kSoundParams = 16;
// Four script levels are saved, each with its call depth and 255 stack
// words in a stride of 256 words.
constexpr int kScriptLevels = 4;
constexpr int kStackWords = 255;
constexpr int kLevelStride = 256;
// The stack words below this are call sites when the script has resume
// tables.
constexpr int kResumeCallSites = 250;
constexpr int kScriptNumberWords[4] = {0, kScriptNumber1, kScriptNumber2, kScriptNumber3};

// Byte offsets of the texts.
constexpr size_t kVoiceNamesOffset = 1248;  // 8 names of kVoiceNameSize
constexpr size_t kVoiceNameSize = 64;
constexpr size_t kStatusExtraOffset = 1760;  // the title's own text
constexpr size_t kStatusExtraRoom = 30;
constexpr size_t kFamilyOffset = 1792;
constexpr size_t kGivenOffset = 1808;
constexpr size_t kNameField = 16;
constexpr size_t kCommentOffset = 6064;  // 4 lines of kCommentSize
constexpr size_t kCommentSize = 256;

inline int32_t Get(const uint8_t* status, int word) {
  return platform::GetLE32Signed(status + 4 * static_cast<size_t>(word));
}
inline void Set(uint8_t* status, int word, int32_t value) {
  platform::SetLE32(status + 4 * static_cast<size_t>(word), static_cast<uint32_t>(value));
}

// Copies a text into a fixed field: at most `room` bytes of whole
// characters, the rest of the field zero. The field is at least room + 1.
inline void PutText(uint8_t* field, size_t fieldSize, const char* text, size_t room) {
  std::memset(field, 0, fieldSize);
  if (!text || fieldSize == 0) return;
  setup::CopyCp932Cut(reinterpret_cast<char*>(field), text, static_cast<int>(std::min(room, fieldSize - 1)));
}

// Reads a text out of a fixed field that need not hold a NUL: at most
// size - 1 bytes of whole characters, always terminated.
inline std::string GetText(const uint8_t* field, size_t fieldSize) {
  char buffer[512] = {};
  const size_t n = std::min(fieldSize, sizeof buffer - 1);
  std::memcpy(buffer, field, n);
  buffer[n] = 0;
  setup::CopyCp932Cut(buffer, buffer, static_cast<int>(std::min(n, fieldSize - 1)));
  return buffer;
}

}  // namespace gamestatus
