// CCommonBackLog: settings, the store, scrolling, entering and the
// calculation step.
#include "mode/backlog.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "services/floatingservices.h"
#include "services/inputservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/textservices.h"
#include "input/inputstatus.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "platform/types.h"
#include "setup/text.h"

namespace {

// "#橙回想・・・・"
constexpr const char* kTitleMessage = "\x23\x9E\xF2\x89\xF1\x91\x7A\x81\x45\x81\x45\x81\x45\x81\x45";
// "#水▲", "#水▼"
constexpr const char* kUpMessage = "\x23\x90\x85\x81\xA3";
constexpr const char* kDownMessage = "\x23\x90\x85\x81\xA5";
// "♪"
constexpr const char* kVoiceMessage = "\x81\xF4";
// 23 x "―"
constexpr const char* kBarMessage =
    "\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C"
    "\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C\x81\x5C"
    "\x81\x5C";
// "#赤#猫#白　過去、それは単なる通過点の集まり・・・　#赤#猫"
constexpr const char* kFirstMessage =
    "\x23\x90\xD4\x23\x94\x4C\x23\x94\x92\x81\x40\x89\xDF\x8B\x8E\x81\x41\x82\xBB\x82\xEA\x82"
    "\xCD\x92\x50\x82\xC8\x82\xE9\x92\xCA\x89\xDF\x93\x5F\x82\xCC\x8F\x57\x82\xDC\x82\xE8\x81"
    "\x45\x81\x45\x81\x45\x81\x40\x23\x90\xD4\x23\x94\x4C";

// Keys of the arrow and voice-mark animations: pattern count, type and
// steps per pattern, with the defaults of an animated mark.
struct AnimeKeys {
  const char* pattern;
  const char* type;
  const char* speed;
  int defPattern, defType, defSpeed;
};
constexpr AnimeKeys kArrowAnime = {"updownArrowAnimePattern", "updownArrowAnimeType",
                                   "updownArrowANimeSpeed", 2, 5, 10};
constexpr AnimeKeys kVoiceAnime = {"voicePicAnimePattern", "voicePicAnimeType",
                                   "voicePicAnimeSpeed", 2, 5, 10};

unsigned ColorWord(int r, int g, int b) {
  return (static_cast<unsigned>(r) & 0xFF) << 16 | (static_cast<unsigned>(g) & 0xFF) << 8 |
         (static_cast<unsigned>(b) & 0xFF);
}

// "sys\\<name>" into the picture; 0 without a picture or a name.
int LoadSys(CPicture* picture, const char* name) {
  if (!picture || !name || !*name) return 0;
  return picture->LoadDWQ((std::string("sys\\") + name).c_str());
}

}  // namespace

CCommonBackLog::CCommonBackLog(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("BackLog", 32);
  LoadBackScriptSetup();
  LoadFadeSetup();
  LoadSettings();
  LoadFirstMessage();
  if (game_ && game_.text->GetFont()) textPrint_ = std::make_unique<CTextPrint>(game_.text->GetFont());
  LoadPictures();
  ClearLog();
}

CCommonBackLog::~CCommonBackLog() { Release(); }

void CCommonBackLog::LoadSettings() {
  const int width = game_ ? game_.screen->GetScreenWidth() : CScreenBuffer::GetWidth();

  GetSetupIntDefault(&bgMode_, "bgMode", kBgColor);
  if (GetBackScriptFlag()) bgMode_ = kBgBackScript;
  GetSetupIntDefault(&backR_, "backColorR", 0);
  GetSetupIntDefault(&backG_, "backColorG", 0);
  GetSetupIntDefault(&backB_, "backColorB", 0);
  GetSetupIntDefault(&returnSoundNumber_, "returnSoundNumber", -1);
  GetSetupString(&bgFileName_, "backlogBGFileName");
  GetSetupIntDefault(&deltaR_, "backDeltaR", 0);
  GetSetupIntDefault(&deltaG_, "backDeltaG", deltaR_);
  GetSetupIntDefault(&deltaB_, "backDeltaB", deltaG_);
  GetSetupIntDefault(&multiR_, "backMultiR", 100);
  GetSetupIntDefault(&multiG_, "backMultiG", multiR_);
  GetSetupIntDefault(&multiB_, "backMultiB", multiG_);
  GetSetupIntDefault(&nega_, "backScreenEffectNega", 0);
  GetSetupIntDefault(&grey_, "backScreenEffectGrey", 0);

  GetSetupIntDefault(&fontSize_, "fontSize", 24);
  GetSetupIntDefault(&printLines_, "printLines", 15);
  // No rows would leave the log unreadable and its scrolling undefined.
  printLines_ = std::clamp(printLines_, 1, kMaxReadable);
  GetSetupIntDefault(&printX_, "printX", 110);
  GetSetupIntDefault(&printY_, "printY", 32);
  GetSetupIntDefault(&nextY_, "nextY", fontSize_);
  GetSetupIntDefault(&upX_, "upArrowPrintX", Clamp32(int64_t{width} / 2 - fontSize_ / 2));
  GetSetupIntDefault(&upY_, "upArrowPrintY", Clamp32(int64_t{printY_} + 2 * int64_t{nextY_}));
  GetSetupIntDefault(&downX_, "downArrowPrintX", Clamp32(int64_t{width} / 2 - fontSize_ / 2));
  GetSetupIntDefault(&downY_, "downArrowPrintY",
                     Clamp32((int64_t{printLines_} + 3) * nextY_ + printY_));
  GetSetupIntDefault(&arrowSizeX_, "updownArrowSizeX", fontSize_);
  GetSetupIntDefault(&arrowSizeY_, "updownArrowSizeY", fontSize_);
  GetSetupIntDefault(&titleX_, "titlePrintX", Clamp32(int64_t{width} / 2 - 3 * int64_t{fontSize_}));
  GetSetupIntDefault(&titleY_, "titlePrintY", printY_);
  GetSetupIntDefault(&titlePrintFlag_, "titlePrintFlag", 1);
  titleMessage_ = kTitleMessage;
  GetSetupText(&titleMessage_, "titleMessage");
  GetSetupIntDefault(&titlePicFlag_, "titlePicPrintFlag", 0);
  GetSetupString(&titlePicFileName_, "titlePicFileName");
  GetSetupIntDefault(&titlePicX_, "titlePicPrintX", 0);
  GetSetupIntDefault(&titlePicY_, "titlePicPrintY", 0);
  GetSetupIntDefault(&titlePicUpper_, "titlePicUpperFlag", 0);

  GetSetupIntDefault(&arrowPicFlag_, "updownArrowPicFlag", 0);
  GetSetupIntDefault(&arrowAnimeFlag_, "updownArrowAnimeFlag", 0);
  GetSetupString(&arrowFileName_, "filenameUpdownArrow");
  GetSetupString(&upArrowFileName_, "upArrowFileName");
  GetSetupString(&downArrowFileName_, "downArrowFileName");
  upMessage_ = kUpMessage;
  downMessage_ = kDownMessage;
  GetSetupText(&upMessage_, "upArrowMessage");
  GetSetupText(&downMessage_, "downArrowMessage");

  GetSetupIntDefault(&voicePicFlag_, "voicePicFlag", 0);
  GetSetupString(&voiceFileName_, "filenameVoice");
  GetSetupIntDefault(&voiceAnimeFlag_, "voicePicAnimeFlag", 0);
  voiceMessage_ = kVoiceMessage;
  GetSetupText(&voiceMessage_, "voiceMessage");
  GetSetupIntDefault(&voiceX_, "voicePrintX", Clamp32(-int64_t{fontSize_}));
  GetSetupIntDefault(&voiceY_, "voicePrintY", 0);
  GetSetupIntDefault(&voiceSizeX_, "voiceSizeX", fontSize_);
  GetSetupIntDefault(&voiceSizeY_, "voiceSizeY", fontSize_);

  // The animations: unanimated marks keep one pattern.
  auto anime = [this](CAnimeCounter* counter, const AnimeKeys& keys, int animated) {
    int p = 1, t = 1, s = 1;
    if (animated) {
      p = keys.defPattern;
      t = keys.defType;
      s = keys.defSpeed;
    }
    GetSetupInt(&p, keys.pattern);
    GetSetupInt(&t, keys.type);
    GetSetupInt(&s, keys.speed);
    counter->Set(t, p, s);
  };
  anime(&arrowAnime_, kArrowAnime, arrowAnimeFlag_);
  anime(&voiceAnime_, kVoiceAnime, voiceAnimeFlag_);

  barMessage_ = kBarMessage;
  GetSetupText(&barMessage_, "barMessage");
}

// The parts "firstMessage1..N" joined; a missing part repeats the one
// before it (the first: the default message). The buffer bounds the join:
// a part that does not fit whole is cut at a character.
void CCommonBackLog::LoadFirstMessage() {
  setup::CopyCp932Cut(firstMessage_, kFirstMessage, kFirstMessageSize - 1);
  int parts = 0;
  GetSetupIntDefault(&parts, "firstMessageNumber", 0);
  if (parts <= 0) return;
  firstMessage_[0] = 0;
  const char* part = kFirstMessage;
  for (int i = 1; i <= parts; ++i) {
    GetSetupText(&part, ("firstMessage" + std::to_string(i)).c_str());
    const int used = static_cast<int>(std::strlen(firstMessage_));
    const int room = kFirstMessageSize - 1 - used;
    if (room <= 0) break;
    setup::CopyCp932Cut(firstMessage_ + used, part, room);
  }
}

void CCommonBackLog::LoadPictures() {
  if (arrowPicFlag_) {
    if (arrowAnimeFlag_) {
      if (!arrowPicture_) arrowPicture_ = std::make_unique<CPicture>();
      if (!downArrowPicture_) downArrowPicture_ = std::make_unique<CPicture>();
      LoadSys(arrowPicture_.get(), upArrowFileName_);
      LoadSys(downArrowPicture_.get(), downArrowFileName_);
    } else {
      if (!arrowPicture_) arrowPicture_ = std::make_unique<CPicture>();
      LoadSys(arrowPicture_.get(), arrowFileName_);
    }
  }
  if (voicePicFlag_) {
    if (!voicePicture_) voicePicture_ = std::make_unique<CPicture>();
    LoadSys(voicePicture_.get(), voiceFileName_);
  }
}

void CCommonBackLog::Release() {
  arrowPicture_.reset();
  downArrowPicture_.reset();
  voicePicture_.reset();
}

// --- The store ---

void CCommonBackLog::AddLine(const char* text, int r, int g, int b) {
  if (!text) return;
  // Cut and ended with (at least) two NULs.
  std::memset(texts_[writeIndex_], 0, kTextSize);
  setup::CopyCp932Cut(texts_[writeIndex_], text, kMaxTextBytes);
  colors_[writeIndex_] = ColorWord(r, g, b);
  for (int i = 4; i < printLines_ + 4; ++i) voices_[Wrap(writeIndex_ + i)][0] = 0;
  writeIndex_ = Wrap(writeIndex_ + 1);
  readable_ = std::min(readable_ + 1, kMaxReadable);
}

void CCommonBackLog::SetVoice(const char* name) {
  char* slot = voices_[writeIndex_];
  std::memset(slot, 0, kVoiceSize);
  if (name) setup::CopyCp932Cut(slot, name, kMaxVoiceBytes);
  for (int i = 1; i < printLines_; ++i) voices_[Wrap(writeIndex_ + i)][0] = 0;
}

void CCommonBackLog::SetLineColor(int linesBack, int r, int g, int b) {
  // In unsigned, so any count wraps into the ring.
  colors_[Wrap(static_cast<int>(static_cast<unsigned>(writeIndex_) -
                                static_cast<unsigned>(linesBack)))] = ColorWord(r, g, b);
}

void CCommonBackLog::ClearLog() {
  readable_ = 0;
  writeIndex_ = 0;
  top_ = 0;
  for (char* voice : voices_) voice[0] = 0;
  AddLine(firstMessage_, 255, 255, 255);
  AddLine(barMessage_, 255, 255, 255);
}

// --- Scrolling ---

int CCommonBackLog::GetShownRows() const { return std::min(readable_, printLines_); }

int CCommonBackLog::CanGoOlder() const {
  return readable_ > printLines_ && Wrap(top_ + readable_) != writeIndex_ ? 1 : 0;
}

int CCommonBackLog::CanGoNewer() const {
  return readable_ > printLines_ && Wrap(top_ + printLines_) != writeIndex_ ? 1 : 0;
}

int CCommonBackLog::GoOlder(int n) {
  const int old = top_;
  for (int i = 0; i < n && CanGoOlder(); ++i) top_ = Wrap(top_ - 1);
  if (top_ == old) return 0;
  CScreenBuffer::SetFullRedraw(0);
  return 1;
}

int CCommonBackLog::GoNewer(int n) {
  const int old = top_;
  for (int i = 0; i < n && CanGoNewer(); ++i) top_ = Wrap(top_ + 1);
  if (top_ == old) return 0;
  CScreenBuffer::SetFullRedraw(0);
  return 1;
}

// --- The mode ---

int CCommonBackLog::Init() {
  if (game_) game_.sound->StopAllSound();
  arrowAnime_.SetCount(0);
  voiceAnime_.SetCount(0);
  hoveredVoice_ = -1;
  upPressed_ = downPressed_ = 0;
  LoadPictures();
  const int n = GetShownRows();
  if (n == 0) {
    top_ = 0;
    return 0;
  }
  top_ = Wrap(writeIndex_ - n);
  inputDelay_ = 2;
  PrepareBackground();
  if (titlePicFlag_) LoadSys(workPicture_, titlePicFileName_);
  return 0;
}

void CCommonBackLog::PrepareBackground() {
  if (bgMode_ == kBgPicture) {
    LoadSys(screenPicture_, bgFileName_);
  } else if (bgMode_ == kBgScene) {
    if (game_) game_.floating->RestoreFloatingLayers();
    CScreenBuffer::SetFullRedraw(0);
    if (game_) {
      game_.screen->RefreshEffect(0);
      game_.screen->RefreshEffect(1);
    }
    if (nega_) CAllGraphics::Nega();
    if (grey_) CAllGraphics::Grey();
    CAllGraphics::Multi(multiR_, multiG_, multiB_);
    CAllGraphics::AddSub(deltaR_, deltaG_, deltaB_);
    if (screenPicture_) screenPicture_->GetScreen();
  }
}

void CCommonBackLog::AtExit() {
  if (game_) game_.saves->RestoreGameState();
}

int CCommonBackLog::LeaveLog() {
  if (game_) {
    game_.sound->StopAllSound();
    if (returnSoundNumber_ > 0) game_.sound->PlaySystemSe(returnSoundNumber_ - 1, 0);
  }
  // An opener that never named itself would leave the player in the log:
  // back to the story's mode then, as for a system mode without a return
  // mode.
  const int back = GetParameter();
  return ExitToMode(back > 0 ? back : modenumber::kDefaultReturnMode);
}

int CCommonBackLog::RowY(int row) const {
  return Clamp32(int64_t{printY_} + (int64_t{row} + 3) * nextY_);
}

bool CCommonBackLog::Inside(int x, int y, int left, int top, int w, int h) {
  return x >= left && y >= top && x < int64_t{left} + w && y < int64_t{top} + h;
}

int CCommonBackLog::VoiceSlotAt(int x, int y) const {
  for (int j = 0; j < GetShownRows(); ++j) {
    const int slot = Wrap(top_ + j);
    if (voices_[slot][0] &&
        Inside(x, y, Clamp32(int64_t{printX_} + voiceX_), Clamp32(int64_t{RowY(j)} + voiceY_),
               voiceSizeX_, voiceSizeY_))
      return slot;
  }
  return -1;
}

int CCommonBackLog::Calcu() {
  if (inputDelay_ > 0) {
    --inputDelay_;
    return -1;
  }
  const int wheel = mouse_ ? mouse_->GetWheel() : 0;
  if (wheel > 0 && GoOlder(2)) return -1;
  if (wheel < 0) {
    if (!CanGoNewer()) return LeaveLog();
    if (GoNewer(2)) return -1;
  }

  // Right arrow, Left arrow, Page Down, Page Up: the newer keys leave from
  // the newest page.
  struct KeyStep {
    int code;
    int newer;
    int lines;
  };
  static constexpr KeyStep kKeys[] = {{29, 1, 5}, {28, 0, 5}, {26, 1, 10}, {27, 0, 10}};
  for (const KeyStep& k : kKeys) {
    if (!game_ || !game_.input->CheckKeyTrig(k.code)) continue;
    if (k.newer && !CanGoNewer()) return LeaveLog();
    if (k.newer ? GoNewer(k.lines) : GoOlder(k.lines)) return -1;
  }

  if (GetClick(1)) return LeaveLog();

  platform::Point p{};
  if (mouse_) mouse_->GetPos(&p);
  hoveredVoice_ = VoiceSlotAt(p.x, p.y);
  upPressed_ = downPressed_ = 0;

  if (GetClick(0)) {
    if (Inside(p.x, p.y, upX_, upY_, arrowSizeX_, arrowSizeY_)) {
      upPressed_ = 1;
      GoOlder(1);
    } else if (Inside(p.x, p.y, downX_, downY_, arrowSizeX_, arrowSizeY_)) {
      downPressed_ = 1;
      GoNewer(1);
    } else if (hoveredVoice_ >= 0 && game_) {
      game_.sound->PlayVoice(voices_[hoveredVoice_]);
    }
  }
  return -1;
}
