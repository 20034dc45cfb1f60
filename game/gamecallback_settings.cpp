// CGameCallBack: the option setter, the option-off variable, the system
// file's save and the MESSAGE save chunk.
#include <algorithm>
#include <cstring>

#include "game/gamecallback.h"
#include "savedata/inttablefile.h"
#include "savedata/systemfile.h"
#include "sound/bgmplayer.h"

namespace {

constexpr int kExpCount = 16;
constexpr int kFiveBitFirst = 500, kFiveBitLast = 571;
constexpr size_t kChunkHeader = 32;
constexpr int kMessageEntries = 64;
constexpr size_t kMessageEntrySize = 256;
constexpr size_t kMessageTextMax = 254;

}  // namespace

// --- Options ---

void CGameCallBack::SetSystemSetting(int id, int value) {
  if (!systemFile_) return;
  if (id >= kFiveBitFirst && id <= kFiveBitLast) {
    systemFile_->SetFiveBitValue(id - kFiveBitFirst, value);
    return;
  }
  // The fourth and fifth volume and switch are options of their own only
  // while their channel word is 0; otherwise they read another option and
  // setting them does nothing.
  if ((id == 103 || id == 203) && settings_.movieVolumeNotUse != 0) return;
  if ((id == 104 || id == 204) && settings_.soundVoiceVolumeNotUse != 0) return;
  const int offset = SystemSettingOffset(id);
  if (offset < 0) return;
  systemFile_->SetSystemData(offset, value);
  switch (id) {
    case 100:
      if (bgmPlayer_) bgmPlayer_->SetVolume(std::clamp(value, 0, 100));
      break;
    case 106: ApplyWindowOpacity(); break;
    case 200:
      if (value == 0) {
        // The remembered track survives the stop, so switching music on
        // again plays it.
        const int remembered = lastBgm_;
        StopBgm(-1);
        lastBgm_ = remembered;
      } else if (lastBgm_ != -1) {
        PlayBgmNumber(lastBgm_, bgmLoop_, -9999, -1, -1);
      }
      break;
    default: break;
  }
  if (id >= 300 && id < 300 + kExpCount) OnSetVar(id, value);
}

void CGameCallBack::SetOptionOffVar(int flag) {
  if (optionOffVar_ != -1) SetVar(optionOffVar_, flag == 0 ? 1 : 0);
}

// --- The system file ---

void CGameCallBack::SaveSystemFile() {
  OnBeforeSaveSystemFile();
  if (systemFile_) {
    StoreNamesAndKeptVars();
    systemFile_->Save(0);
  }
  if (settings_.resultFlag && resultTable_) resultTable_->Save();
  OnAfterSaveSystemFile();
}

// --- The MESSAGE chunk ---

void CGameCallBack::FillMessageEntries(uint8_t* chunk, size_t size,
                                       const std::vector<const char*>& texts) {
  if (!chunk || size <= kChunkHeader) return;
  const int count = std::min<int>(static_cast<int>(texts.size()), kMessageEntries);
  for (int i = 0; i < count; ++i) {
    const size_t at = kChunkHeader + i * kMessageEntrySize;
    if (at + kMessageEntrySize > size) return;
    uint8_t* entry = chunk + at;
    const char* text = texts[i] ? texts[i] : "";
    const size_t n = std::min(std::strlen(text), kMessageTextMax);
    std::memcpy(entry, text, n);
    entry[n] = 0;
    entry[n + 1] = 0;
  }
}

void CGameCallBack::PutMessage(uint8_t* chunk, size_t size) {
  // The texts come from the choice mode (return mode 9) or the
  // print-message mode; without the mode the entries stay zero.
  if (!chunk || size <= kChunkHeader) return;
  const size_t body = std::min(size - kChunkHeader, kMessageEntries * kMessageEntrySize);
  std::memset(chunk + kChunkHeader, 0, body);
  FillMessageEntries(chunk, size, MessageChunkTexts());
}

// The 64 entries go back into the print-message mode's lines (the mode
// ends every line with two NULs) and the choice mode's slots.
void CGameCallBack::GetMessage(const uint8_t* chunk, size_t size) {
  if (!chunk || size <= kChunkHeader) return;
  if (CStoryMessageMode* printMessage = GetPrintMessage())
    for (int i = 0; i < kMessageEntries; ++i) {
      const size_t at = kChunkHeader + static_cast<size_t>(i) * kMessageEntrySize;
      if (at + kMessageEntrySize > size) break;
      printMessage->SetMessageLine(i, reinterpret_cast<const char*>(chunk + at), kMessageEntrySize);
    }
  if (CStoryChoiceMode* choice = GetSelectMessage())
    choice->RestoreSelectTexts(chunk + kChunkHeader, size - kChunkHeader);
}

std::vector<const char*> CGameCallBack::MessageChunkTexts() {
  std::vector<const char*> texts;
  // The choice texts when the player left from the choice mode, else the
  // print-message mode's lines.
  if (returnMode_ == modenumber::kSelectMessage) {
    if (const CStoryChoiceMode* choice = GetSelectMessage())
      for (int i = 0; i < choice->GetSelectEnd(); ++i) texts.push_back(choice->GetSelectText(i));
    return texts;
  }
  if (const CStoryMessageMode* printMessage = GetPrintMessage())
    for (int i = 0; i < printMessage->GetLineCount(); ++i)
      texts.push_back(printMessage->GetMessageLine(i));
  return texts;
}
