// CCommonPrintMessage: construction, the line store, text entry and the
// save state. The settings are read in printmessage_setup.cpp, the frames
// run in printmessage_calcu.cpp and printmessage_print.cpp.
#include "mode/printmessage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "services/messagewindowservices.h"
#include "services/saveservices.h"
#include "services/soundservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "graphics/screenbuffer.h"
#include "message/cutin.h"
#include "message/rendersettings.h"
#include "message/textprint.h"
#include "setup/text.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
// "#続": a continuation line that joins the last line held.
constexpr unsigned char kJoinMark[3] = {'#', 0x91, 0xB1};

// Cut to the line store's limit on a whole CP932 character.
std::string Cut(const char* bytes, size_t length, int max) {
  std::string s(bytes, std::min<size_t>(length, static_cast<size_t>(max) + 1));
  std::vector<char> out(s.size() + 1);
  setup::CopyCp932Cut(out.data(), s.c_str(), max);
  return out.data();
}

}  // namespace

// What one text command has done so far while its lines are entered.
struct CCommonPrintMessage::Entry {
  int code = 0;
  int cutinCharacter = 0;
  // A line of this text was stored; the store is full and the rest goes
  // only to the back log.
  bool stored = false;
  bool dropRest = false;
};

CCommonPrintMessage::CCommonPrintMessage(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  if (game_) useCutin_ = game_.saves->GetUseCutinFlag() ? 1 : 0;
  LoadSetupFile("PrintMessage", 32);
  LoadSettings();
  LoadFadeSetup();
  LoadMustAllPrintFlag();
  cur_ = s_.base;
  curNameX_ = s_.nameX;
  curNameY_ = s_.nameY;
  curNameSpace_ = s_.nameSpace;
  if (game_) windowOffMouseButton_ = game_.messageWindow->GetWindowOffMouseButton();

  if (game_ && game_.text->GetFont()) text_ = std::make_unique<CTextPrint>(game_.text->GetFont());
  for (int i = 0; i < kTextSlots; ++i) ClearLine(i);
  SetWindowPrint(1);
  if (game_) {
    game_.variables->SetModeFlag(kModeNumber, 1);
    game_.messageWindow->SetMessageParam(1, s_.noVoiceIsDefaultWait);
  }
}

CCommonPrintMessage::~CCommonPrintMessage() { Release(); }

void CCommonPrintMessage::Release() {
  s_.layouts.clear();
  s_.nameXs.clear();
  s_.nameYs.clear();
  s_.nameSpaces.clear();
  cutinWindow_.reset();
  cutinChara_.reset();
  nameColors_.reset();
  text_.reset();
}

int CCommonPrintMessage::Leave() { return -1; }

void CCommonPrintMessage::AtExit() {}

void CCommonPrintMessage::ResetGame() {
  for (int i = 0; i < kTextSlots; ++i) {
    typed_[i] = 0;
    total_[i] = -1;
  }
  typing_ = 1;
  nameDrawn_ = 0;
}

// --- The line store ---

void CCommonPrintMessage::ClearLine(int i) {
  typed_[i] = 0;
  total_[i] = -1;
  cutin_[2 * i] = cutin_[2 * i + 1] = 0;
}

void CCommonPrintMessage::ScrollUp() {
  for (int i = 0; i < kTextSlots - 1; ++i) {
    typed_[i] = typed_[i + 1];
    total_[i] = total_[i + 1];
    cutin_[2 * i] = cutin_[2 * i + 2];
    cutin_[2 * i + 1] = cutin_[2 * i + 3];
    std::memcpy(lines_[i], lines_[i + 1], kTextSlotSize);
  }
  ClearLine(kTextSlots - 1);
  std::memset(lines_[kTextSlots - 1], 0, kTextSlotSize);
}

const char* CCommonPrintMessage::GetMessageLine(int i) const {
  return Valid(i) ? lines_[i] : nullptr;
}

void CCommonPrintMessage::SetMessageLine(int i, const char* bytes, size_t size) {
  if (!Valid(i)) return;
  std::memset(lines_[i], 0, kTextSlotSize);
  if (!bytes) return;
  const size_t n = strnlen(bytes, size);
  const std::string line = Cut(bytes, n, kTextMax);
  std::memcpy(lines_[i], line.data(), line.size());
}

void CCommonPrintMessage::SetLineCount(int n) {
  lineCount_ = std::clamp(n, 0, kTextSlots);
  // A group that reaches past the held lines would draw lines that are not
  // there.
  for (int i = 0; i < kTextSlots; ++i)
    if (cutin_[2 * i + 1] > 0 && i + cutin_[2 * i + 1] > lineCount_)
      cutin_[2 * i] = cutin_[2 * i + 1] = 0;
}

void CCommonPrintMessage::SetMessageCode(int code) {
  pageCode_ = code >= kCodeWindow && code <= kCodeScreenWait ? code : kCodeWindow;
}

void CCommonPrintMessage::SaveData(int* out) const {
  if (out) std::memcpy(out, cutin_, sizeof(cutin_));
}

void CCommonPrintMessage::LoadData(const int* in) {
  if (!in) return;
  for (int i = 0; i < kTextSlots; ++i) {
    const int c = in[2 * i], k = in[2 * i + 1];
    const bool sound = c > 0 && k > 0 && k <= kTextSlots - i;
    cutin_[2 * i] = sound ? c : 0;
    cutin_[2 * i + 1] = sound ? k : 0;
  }
}

int CCommonPrintMessage::CheckContinue() const {
  return pageCode_ == kCodeFull || pageCode_ == kCodeContinue ? 1 : 0;
}

// --- Commands ---

void CCommonPrintMessage::SetWaitTime(int frames) {
  pageCode_ = kCodeWait;
  // A negative wait ends at once, as 0 does.
  waitFrames_ = std::max(frames, 0);
}

void CCommonPrintMessage::SetScreenWait(int kind, int length) {
  pageCode_ = kCodeScreenWait;
  screenWaitKind_ = kind;
  screenWaitLength_ = length;
  screenWaitCounter_ = 0;
}

void CCommonPrintMessage::SetWindowPrint(int flag) {
  const int hidden = flag ? 0 : 1;
  if (hidden != windowHidden_) CScreenBuffer::SetFullRedraw(0);
  windowHidden_ = hidden;
}

void CCommonPrintMessage::SetCutinNumber(int number) {
  if (useCutin_) cutinNumber_ = number;
}

void CCommonPrintMessage::SetFrameFlag(int value) {
  if (value == 1) frameFlag_ = 1;
}

void CCommonPrintMessage::ClearFrameFlag(int) { frameFlag_ = 0; }

void CCommonPrintMessage::NoticeEffect(int) {}

void CCommonPrintMessage::ClearState() { skipNow_ = skipBefore_ = 0; }

void CCommonPrintMessage::SetGeneral(int mode) { generalMode_ = mode; }

void CCommonPrintMessage::CheckPrintLprintBG() {
  if (s_.lPrintBGMode && !windowHidden_) PrintLprintBG();
}

// --- Text entry ---

uint32_t CCommonPrintMessage::NameColour(const char* name) const {
  return nameColors_ ? nameColors_->GetColorByName(name) : kWhite;
}

void CCommonPrintMessage::LogLine(const char* text, uint32_t colour) {
  if (game_) game_.messageWindow->AddBackLog(text, colour >> 16 & 0xFF, colour >> 8 & 0xFF, colour & 0xFF);
}

void CCommonPrintMessage::SetMessage(int code, int id, const char* text, int extra) {
  if (code != kCodeWindow && code != kCodeFull && code != kCodeContinue) return;
  if (!text) text = "";

  // The auto-mode count-downs of the page.
  autoCheckElapsed_ = 0;
  const int level = game_ ? std::clamp(game_.variables->GetSystemSetting(107), 0, kWaitLevels - 1) : 0;
  if (game_ && game_.sound->GetVoiceFlag()) {
    const int64_t voice = game_.sound->GetVoiceWaitTime();
    autoCountdown_ = Saturate(voice + s_.voiceLastWait[level]);
    autoCheckVoiceCountdown_ = Saturate(voice + s_.autoMessageVoiceLastWait);
  } else {
    autoCountdown_ = s_.noVoiceLastWait[level];
    autoCheckVoiceCountdown_ = 1;
  }
  // A wait's page continues as a window page.
  if (code != kCodeContinue) pageCode_ = code;
  if (pageCode_ == kCodeWait || pageCode_ == kCodeScreenWait) pageCode_ = kCodeWindow;
  // The new message starts typing.
  messageId_ = (id & 0xFFFF) == 0xFFFF ? -1 : id;
  typing_ = 1;
  nameDrawn_ = 0;
  SetWindowPrint(1);
  // A new page.
  if (code != kCodeContinue) {
    lineCount_ = 0;
    for (int i = 0; i < kTextSlots; ++i) ClearLine(i);
    fitTold_ = false;
  }
  fitProblem_.clear();
  // The lines this text adds (its first may join the last line held).
  const int firstNew = std::max(lineCount_ - 1, 0);
  // A window page typed on: what is held stays shown, the last line is
  // measured again.
  if (code == kCodeContinue && pageCode_ == kCodeWindow && lineCount_ > 0) {
    if (game_) game_.messageWindow->SetMessageWindowOn(1);
    for (int i = 0; i < lineCount_; ++i) typed_[i] = std::max(total_[i], 0);
    total_[lineCount_ - 1] = -1;
  }

  // The lines, split at CR (an LF after it belongs to the break).
  Entry e;
  e.code = code;
  e.cutinCharacter = extra;
  int j = 0;
  const char* p = text;
  for (;;) {
    const char* q = p;
    while (*q && *q != '\r') ++q;
    EnterLine(&e, p, static_cast<size_t>(q - p), j);
    ++j;
    if (!*q) break;
    ++q;
    if (*q == '\n') ++q;
    if (!*q) break;
    p = q;
  }

  // Cut-in marks on the last j lines held, from the bottom up.
  if (cutinNumber_ > 0 && useCutin_ && extra != 0 && j > 0)
    for (int k = 1; k <= j && lineCount_ - k >= 0; ++k) {
      cutin_[2 * (lineCount_ - k)] = extra;
      cutin_[2 * (lineCount_ - k) + 1] = k;
    }

  // The page's line limit.
  const int held = lineCount_;
  if (pageCode_ == kCodeWindow) {
    lineCount_ = std::min(lineCount_, s_.windowMessageNumber);
  } else {
    while (lineCount_ > s_.fullMessageNumber) {
      ScrollUp();
      --lineCount_;
    }
  }
  CheckPageFits(held, pageCode_ == kCodeWindow ? firstNew : std::max(firstNew - (held - lineCount_), 0));
}

void CCommonPrintMessage::CheckPageFits(int held, int firstNew) {
  // Where each new line is drawn (as PrintLines places it, cut-in lines
  // aside) and how far it reaches.
  const bool window = pageCode_ == kCodeWindow;
  const int first = window && NameShown() ? 1 : 0;
  const int size = cur_.fontSize, space = cur_.space;
  const int64_t cell = (GetRenderSettings().codeByte == 1 ? size / 2 : size) + static_cast<int64_t>(space);
  const int64_t right = CScreenBuffer::GetWidth();
  reachLine_ = 0;
  reach_ = 0;
  int overLine = 0;
  int64_t overEnd = 0;
  for (int i = std::max(first, firstNew); i < lineCount_; ++i) {
    if (cutinNumber_ && cutin_[2 * i] > 0) continue;
    const int row = i - first;
    const int64_t x = window ? cur_.printX + static_cast<int64_t>(row) * cur_.nextX
                             : s_.lPrintX + static_cast<int64_t>(row) * s_.lNextX;
    const int64_t end = x + CTextPrint::GetTextLength(lines_[i]) * cell;
    if (reachLine_ == 0 || end > reach_) {
      reachLine_ = i + 1;
      reach_ = end;
    }
    if (end > right && overLine == 0) {
      overLine = i + 1;
      overEnd = end;
    }
  }
  if (fitTold_) return;
  std::string problem;
  if (window && held > lineCount_) {
    const int lost = held - lineCount_;
    problem = std::to_string(held) + " lines where the message window holds " + std::to_string(lineCount_) +
              (lost == 1 ? " (the last line is not shown)" : " (the last " + std::to_string(lost) + " are not shown)");
  }
  if (overLine > 0) {
    if (!problem.empty()) problem += "; ";
    problem += "line " + std::to_string(overLine) + " reaches x " + std::to_string(overEnd) +
               ", past the screen's right edge at " + std::to_string(right);
  }
  if (problem.empty()) return;
  fitProblem_ = problem;
  fitTold_ = true;
}

std::string CCommonPrintMessage::TakePageFitProblem() {
  std::string problem;
  problem.swap(fitProblem_);
  return problem;
}

void CCommonPrintMessage::EnterLine(Entry* e, const char* line, size_t length, int j) {
  const bool continuation = e->code == kCodeContinue;
  // "#続" on the first stored line of a continuation joins the last line.
  bool join = false;
  if (continuation && !e->stored && length > 3 && std::memcmp(line, kJoinMark, 3) == 0) {
    line += 3;
    length -= 3;
    join = true;
  }
  const std::string cut = Cut(line, length, kTextMax);

  // Lines that only go to the back log.
  bool store = !e->dropRest;
  if (j == 0 && e->cutinCharacter != 0 && useCutin_ && cutinNumber_ > 0 && !s_.cutinNamePrintFlag &&
      cutinChara_) {
    const char* name = cutinChara_->GetName(e->cutinCharacter);
    if (!cutinChara_->IsNamed(e->cutinCharacter) || (name && cut == name)) store = false;
  }
  if (continuation && nameColors_ && nameColors_->Find(cut.c_str()) >= 0) store = false;
  // No line to join: it is a line of its own.
  if (join && lineCount_ == 0) join = false;
  // A full store scrolls up by one for a new line, except for the first
  // line of a continuation: that one only joins the last line, and the rest
  // of the text goes to the back log alone (a new line there would need a
  // 65th slot).
  if (store && lineCount_ == kTextSlots) {
    if (continuation && !e->stored) {
      e->dropRest = true;
      store = join;
    } else {
      ScrollUp();
      --lineCount_;
    }
  }

  if (!store) {
    LogLine(cut.c_str(),
            pageCode_ == kCodeWindow && s_.nameColorChangeFlag ? NameColour(cut.c_str()) : kWhite);
    return;
  }

  // Into the store.
  const char* stored;
  if (join) {
    char* last = lines_[lineCount_ - 1];
    const std::string whole =
        Cut((std::string(last) + cut).c_str(), std::strlen(last) + cut.size(), kTextMax);
    std::memset(last, 0, kTextSlotSize);
    std::memcpy(last, whole.data(), whole.size());
    total_[lineCount_ - 1] = CTextPrint::GetTextLength(last);
    stored = last;
  } else {
    char* slot = lines_[lineCount_];
    std::memset(slot, 0, kTextSlotSize);
    std::memcpy(slot, cut.data(), cut.size());
    ClearLine(lineCount_);
    ++lineCount_;
    stored = slot;
  }

  // The back log.
  if (pageCode_ == kCodeWindow && j == 0 && s_.nameColorChangeFlag)
    LogLine(stored, NameColour(stored));
  else if (e->stored || !continuation)
    LogLine(stored, kWhite);
  else
    LogLine(cut.c_str(), kWhite);
  e->stored = true;
}
