// CCommonSelectMessage: the settings, the game's setters, entering the mode
// and the frame's calculation step.
#include "mode/selectmessage.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "services/floatingservices.h"
#include "services/inputservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "message/rendersettings.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "platform/backend.h"
#include "platform/types.h"
#include "widget/buttoncode.h"
#include "widget/numberprint.h"
#include "widget/updownbutton.h"

namespace {

// "#足選択肢"
constexpr const char* kBacklogHeader = "\x23\x91\xAB\x91\x49\x91\xF0\x8E\x88";
// One full-width space.
constexpr const char* kWideSpace = "\x81\x40";
// Twelve full-width spaces and "・".
constexpr const char* kDotLine =
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40"
    "\x81\x40\x81\x45";
// "制限時間オーバー"
constexpr const char* kTimeOver = "\x90\xA7\x8C\xC0\x8E\x9E\x8A\xD4\x83\x49\x81\x5B\x83\x6F\x81\x5B";

// The same lines in a game of one-byte text ("codeByte,1" in init/game),
// whose text is read byte by byte: a CP932 pair would show as two wrong
// characters there. The dot line keeps the width of twelve full-width
// blanks.
constexpr const char* kBacklogHeaderOneByte = "#Choice";
constexpr const char* kWideSpaceOneByte = " ";
constexpr const char* kDotLineOneByte = "                        .";
constexpr const char* kTimeOverOneByte = "Time over";

// A built-in line as the game's text can show it.
const char* BuiltIn(const char* twoByte, const char* oneByte) {
  return GetRenderSettings().codeByte == 1 ? oneByte : twoByte;
}

// The game's key codes: 28..31 also answer the arrow keys.
constexpr int kKeyLeft = 28, kKeyRight = 29, kKeyUp = 30, kKeyDown = 31;
constexpr int kClickDelay = 3;

int IsHoverCode(int code) {
  const int32_t kind = GetButtonCodeKind(code);
  return kind == buttoncode::kPressed || kind == buttoncode::kBusy;
}

}  // namespace

CCommonSelectMessage::CCommonSelectMessage(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("SelectMessage", 128);
  LoadMustAllPrintFlag();
  LoadKeyMoveSetup(0, 1, 1);
  LoadQuickButtonSetup();
  LoadFadeSetup();
  LoadSettings();
  LoadTimerSettings();
  LoadSpecialSettings();
  if (game_) windowOffMouseButton_ = game_.messageWindow->GetWindowOffMouseButton();
}

CCommonSelectMessage::~CCommonSelectMessage() { Release(); }

void CCommonSelectMessage::LoadSettings() {
  GetSetupIntDefault(&optionOk_, "optionOk", 0);
  GetSetupIntDefault(&backLogOk_, "backLogOk", 1);
  if (optionOk_ == 1) backLogOk_ = 1;
  if (backLogOk_ && game_) game_.variables->SetModeFlag(kModeNumber, 1);

  // The time-limit window's keys default to the window's.
  ReadWindowKeys("window", &window_);
  timeLimitWindow_ = window_;
  ReadWindowKeys("timeLimitWindow", &timeLimitWindow_);

  GetSetupIntDefault(&firstAppearType_, "firstAppearType", 0);
  GetSetupIntDefault(&firstAppearTime_, "firstAppearTime", 10);
  GetSetupIntDefault(&clickingTime_, "clickingTime", 5);
  GetSetupIntDefault(&anime_.patterns, "animePatternNumber", 8);
  anime_.patterns = std::max(anime_.patterns, 1);
  GetSetupIntDefault(&anime_.frames, "animeFrame", 1);
  anime_.frames = std::max(anime_.frames, 1);
  GetSetupIntDefault(&anime_.reverse, "animeReverse", 0);
  GetSetupIntDefault(&animePrintType_, "animePrintType", 0);

  GetSetupIntDefault(&backPrintMode_, "backPrintMode", 0);
  ReadColorKeys("backColor", "", &backColor_);
  GetSetupString(&backFileName_, "backFileName");
  GetSetupIntDefault(&messagePrintX_, "messagePrintX", 66);
  GetSetupIntDefault(&messagePrintY_, "messagePrintY", 383);
  GetSetupIntDefault(&messageNextY_, "messageNextY", 30);
  GetSetupIntDefault(&cursorSizeX_, "cursorSizeX", 469);
  GetSetupIntDefault(&cursorSizeY_, "cursorSizeY", 27);
  GetSetupIntDefault(&cursorDeltaX_, "cursorDeltaX", -8);
  GetSetupIntDefault(&cursorDeltaY_, "cursorDeltaY", -2);
  GetSetupIntDefault(&fontSize_, "fontSize", 24);
  GetSetupString(&cursorFileName_, "cursorFileName");
  GetSetupIntDefault(&messagePrintGyo_, "messagePrintGyo", 4);

  backlogMessage_ = nullptr;  // none: the built-in header
  GetSetupText(&backlogMessage_, "backlogMessage");
  ReadColorKeys("backlogMessageColor", "", &backlogMessageColor_);
  ReadColorKeys("backlogSelectColor", "", &backlogSelectColor_);

  GetSetupIntDefault(&windowOffSound_, "windowOffSound", -1);
  GetSetupIntDefault(&windowOnSound_, "windowOnSound", -1);
  GetSetupIntDefault(&selectSound_, "selectSound", 0);
  GetSetupIntDefault(&backlogSound_, "backlogSound", -1);
  GetSetupIntDefault(&timeLimitOptionOk_, "timeLimitOptionOk", 0);

  GetSetupIntDefault(&useScrollFlag_, "useScrollFlag", 0);
  if (useScrollFlag_) LoadUpDownButtonSetup();

  cursorPicture_ = cursorFileName_ ? ::LoadSystemPicture(cursorFileName_, 0) : nullptr;
}

void CCommonSelectMessage::ReadWindowKeys(const char* prefix, WindowKeys* w) {
  const std::string p = prefix;
  GetSetupInt(&w->print, (p + "PrintFlag").c_str());
  GetSetupString(&w->file, (p + "FileName").c_str());
  GetSetupInt(&w->x, (p + "PrintX").c_str());
  GetSetupInt(&w->y, (p + "PrintY").c_str());
  GetSetupInt(&w->w, (p + "SizeX").c_str());
  GetSetupInt(&w->h, (p + "SizeY").c_str());
}

void CCommonSelectMessage::ReadColorKeys(const char* prefix, const char* suffix, Color* c) {
  const std::string p = prefix, s = suffix;
  int* const channels[3] = {&c->r, &c->g, &c->b};
  static constexpr const char* kNames[3] = {"R", "G", "B"};
  for (int i = 0; i < 3; ++i) {
    GetSetupInt(channels[i], (p + kNames[i] + s).c_str());
    *channels[i] = std::clamp(*channels[i], 0, 255);
  }
}

void CCommonSelectMessage::Release() {
  special_.x.clear();
  special_.y.clear();
  special_.vars.clear();
  seconds_.reset();
  fraction_.reset();
  timerPicture_.reset();
}

// --- The game's setters ---

void CCommonSelectMessage::AddBackLogHeader() {
  appearCounter_ = 0;
  selected_ = 0;
  deliver_ = 0;
  if (!game_) return;
  game_.messageWindow->AddBackLog(BuiltIn(kWideSpace, kWideSpaceOneByte), 255, 255, 255);
  game_.messageWindow->AddBackLog(backlogMessage_ ? backlogMessage_ : BuiltIn(kBacklogHeader, kBacklogHeaderOneByte),
                                  backlogMessageColor_.r,
                    backlogMessageColor_.g, backlogMessageColor_.b);
}

void CCommonSelectMessage::SetSelectRange(int length, int start) {
  questionLines_ = std::clamp(start, 0, kTextSlots);
  count_ = std::clamp(length, 0, kTextSlots - questionLines_);
}

void CCommonSelectMessage::SetSelectText(int index, const char* text) {
  if (index < 0 || index >= kTextSlots) return;
  char* slot = texts_[index];
  const size_t n = text ? strnlen(text, kTextMax) : 0;
  std::memset(slot, 0, kTextSlotSize);
  if (n) std::memcpy(slot, text, n);
  appearCounter_ = 0;
  // Selector 2 keeps the question lines of a special layout out of the log.
  const int question = index < questionLines_;
  if (game_ && !(IsSpecial() && selector_ == 2 && question)) game_.messageWindow->AddBackLog(slot, 255, 255, 255);
}

const char* CCommonSelectMessage::GetSelectText(int index) const {
  return index >= 0 && index < kTextSlots ? texts_[index] : nullptr;
}

void CCommonSelectMessage::RestoreSelectTexts(const uint8_t* entries, size_t size) {
  if (!entries) return;
  for (int i = 0; i < kTextSlots; ++i) {
    const size_t at = static_cast<size_t>(i) * kTextSlotSize;
    if (at >= size) break;
    const size_t room = std::min<size_t>(size - at, kTextMax);
    const auto* from = reinterpret_cast<const char*>(entries + at);
    const size_t n = strnlen(from, room);
    std::memset(texts_[i], 0, kTextSlotSize);
    std::memcpy(texts_[i], from, n);
  }
}

void CCommonSelectMessage::SetTimeLimit(int time, int timeoutChoice) {
  // INT_MIN names no variable.
  if (time < 0) time = game_ && time != INT_MIN ? game_.variables->GetVar(-time) : 0;
  timeLimit_ = std::max(time, 0);
  timeoutChoice_ = timeoutChoice;
  remaining_ = timeLimit_;
}

void CCommonSelectMessage::SetSelectState(int word) { remaining_ = std::max(word, 0); }

void CCommonSelectMessage::SetSelectExtra(int word) { selector_ = word; }

// --- Rows ---

int CCommonSelectMessage::IsSpecial() const {
  // A list longer than the tables keeps the normal layout.
  return special_.number > 0 && selector_ != 0 && count_ >= 1 && count_ <= special_.number ? 1
                                                                                           : 0;
}

int CCommonSelectMessage::GetRowCount() const {
  if (IsSpecial()) return count_;
  return std::clamp(messagePrintGyo_ - questionLines_, 0, count_);
}

void CCommonSelectMessage::GetQuestionPos(int line, int* x, int* y) const {
  *x = messagePrintX_;
  *y = static_cast<int>(
      std::clamp<int64_t>(messagePrintY_ + int64_t{line} * messageNextY_, INT_MIN, INT_MAX));
}

selectmessage::Rect CCommonSelectMessage::GetCursorRect(int row) const {
  int x = 0, y = 0;
  GetRowPos(row, &x, &y);
  if (IsSpecial())
    return {x + special_.deltaX, y + special_.deltaY, special_.sizeX, special_.sizeY};
  return {x + cursorDeltaX_, y + cursorDeltaY_, cursorSizeX_, cursorSizeY_};
}

int CCommonSelectMessage::HitTestItem(int x, int y) {
  const int rows = GetRowCount();
  for (int r = 0; r < rows; ++r) {
    const selectmessage::Rect c = GetCursorRect(r);
    if (x >= c.x && y >= c.y && int64_t{x} < int64_t{c.x} + c.w && int64_t{y} < int64_t{c.y} + c.h)
      return r;
  }
  return -1;
}

void CCommonSelectMessage::MoveMouseToItem(int row) {
  if (!game_ || row < 0 || row >= GetRowCount()) return;
  const selectmessage::Rect c = GetCursorRect(row);
  int ox = 0, oy = 0;
  game_.floating->GetGameMousePos(&ox, &oy);
  // The host puts the pointer there, or records it for the next frame.
  if (platform::Window* window = game_.screen->GetWindowHandle())
    window->WarpPointer(c.x + c.w / 2 - ox, c.y + c.h / 2 - oy);
}

int CCommonSelectMessage::KeyMoveItem(int, int, int) { return -1; }

// --- Entering and leaving ---

int CCommonSelectMessage::Init() {
  hover_ = prevHover_ = keyCursor_ = -1;
  selected_ = 0;
  deliver_ = 0;
  countdown_ = 0;
  result_ = 0;
  clickDelay_ = kClickDelay;
  cursorStep_ = {};
  windowShown_ = 1;
  onScrollButton_ = 0;
  page_ = 0;
  pageCount_ = 1;
  if (game_) game_.floating->HideFloatingButtons();
  if (useScrollFlag_) SetScrollPages();

  const WindowKeys& w = timeLimit_ > 0 ? timeLimitWindow_ : window_;
  if (w.print && w.file && workPicture_)
    workPicture_->LoadDWQ((std::string("sys\\") + w.file).c_str());

  if (backPrintMode_ == 0) {
    CAllGeo::BoxFill(0, 0, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), backColor_.r,
                     backColor_.g, backColor_.b);
  } else if (backPrintMode_ == 1 && screenPicture_ && backFileName_) {
    screenPicture_->LoadDWQ((std::string("sys\\") + backFileName_).c_str());
    screenPicture_->Put(0, 0, 0);
  }
  if (screenPicture_) screenPicture_->GetScreen();
  if (game_) game_.sound->PlayPendingSounds();
  CScreenBuffer::SetFullRedraw(0);
  return 0;
}

int CCommonSelectMessage::Leave() { return -1; }

void CCommonSelectMessage::AtExit() {
  if (!deliver_ || !game_) return;
  // Delivered once: a later exit of the same list hands nothing over.
  deliver_ = 0;
  game_.modeFlow->CallScriptLabel(result_);
  game_.messageWindow->SetSkipFilmFlag(1);
}

void CCommonSelectMessage::SetScrollPages() {
  page_ = 0;
  pageCount_ = std::max(1, questionLines_ + count_ - messagePrintGyo_ + 1);
  InitScrollButtons();
}

// --- The frame ---

int CCommonSelectMessage::OptionsAllowed() const {
  return timeLimit_ <= 0 || timeLimitOptionOk_ ? 1 : 0;
}

int CCommonSelectMessage::PlaySound(int value) const {
  if (value == -1 || !game_) return 0;
  game_.sound->PlaySystemSe(value - 1, 0);
  return 1;
}

// 1 with *next set when a floating button leaves the mode, 0 to go on, -1
// to end the frame.
int CCommonSelectMessage::CheckOptionButtons(int* next) {
  const int code = game_.floating->CheckFloatingButtons();
  const int button = CheckButtonResult(code);
  if (button == 0) {
    game_.saves->KeepGameState();
    game_.modeFlow->SetReturnMode(kModeNumber);
    game_.saves->MakeMiniCG();
    game_.modeFlow->NotifyMode(modenumber::kSystemMenu, kModeNumber);
    deliver_ = 0;
    *next = ExitToMode(modenumber::kSystemMenu);
    return 1;
  }
  if (button == 1 || button == 2) {
    const int mode = button == 1 ? modenumber::kConfig : modenumber::kBackLog;
    deliver_ = 0;
    game_.modeFlow->NotifyMode(mode, kModeNumber);
    *next = ExitToMode(game_.modeFlow->PrepareSystemMode(mode, kModeNumber));
    return 1;
  }
  return IsHoverCode(code) ? -1 : 0;
}

int CCommonSelectMessage::StepKeys() {
  int moved = 0;
  const int last =
      IsSpecial() ? count_ - 1 : std::min(messagePrintGyo_ - questionLines_ - 1, count_ - 1);
  auto step = [&](int d) {
    if (d > 0) {
      if (keyCursor_ < last) {
        ++keyCursor_;
        moved = 1;
      } else if (useScrollFlag_ && !IsSpecial() && page_ < pageCount_ - 1) {
        ++page_;
        moved = 1;
      }
    } else {
      if (keyCursor_ >= 1) {
        --keyCursor_;
        moved = 1;
      } else {
        keyCursor_ = 0;
        if (useScrollFlag_ && !IsSpecial() && page_ > 0) {
          --page_;
          moved = 1;
        }
      }
    }
    if (keyCursor_ > last) keyCursor_ = last;
    MoveMouseToItem(keyCursor_);
  };
  if (keyMoveUpDownEnable_ && game_.input->CheckKeyTrig(kKeyUp)) step(-1);
  if (keyMoveLeftRightEnable_ && game_.input->CheckKeyTrig(kKeyLeft)) step(-1);
  if (keyMoveUpDownEnable_ && game_.input->CheckKeyTrig(kKeyDown)) step(1);
  if (keyMoveLeftRightEnable_ && game_.input->CheckKeyTrig(kKeyRight)) step(1);
  if (moved) CScreenBuffer::SetFullRedraw(0);
  return moved;
}

void CCommonSelectMessage::AddDotLines() {
  const char* line = BuiltIn(kDotLine, kDotLineOneByte);
  for (int i = 0; i < 3; ++i) game_.messageWindow->AddBackLog(line, 128, 128, 128);
}

void CCommonSelectMessage::PickRow(int row) {
  PlaySound(selectSound_);
  const int choice = row + page_;
  game_.messageWindow->SetBackLogColor(count_ - choice, backlogSelectColor_.r, backlogSelectColor_.g,
                         backlogSelectColor_.b);
  AddDotLines();
  result_ = choice + 1;
  selected_ = 1;
  countdown_ = clickingTime_;
  CScreenBuffer::SetFullRedraw(0);
  hover_ = -1;
}

// 1 with *next set when the time ran out.
int CCommonSelectMessage::CheckTimeOver(int* next) {
  if (timeLimit_ <= 0) return 0;
  remaining_ -= std::max(game_.screen->GetMessageWaitTime(), 0);
  if (remaining_ > 0) return 0;
  remaining_ = 0;
  // Only a real choice of the list is recoloured (the script passes count
  // + 1 for none).
  if (timeoutChoice_ >= 1 && timeoutChoice_ <= count_)
    game_.messageWindow->SetBackLogColor(count_ - timeoutChoice_ + 1, backlogSelectColor_.r,
                           backlogSelectColor_.g, backlogSelectColor_.b);
  game_.messageWindow->AddBackLog(BuiltIn(kTimeOver, kTimeOverOneByte), 255, 64, 128);
  AddDotLines();
  deliver_ = 1;
  result_ = timeoutChoice_;
  selected_ = 1;
  countdown_ = -1;
  *next = ExitToMode(-1);
  return 1;
}

void CCommonSelectMessage::ShowWindowAgain() {
  windowShown_ = 1;
  PlaySound(windowOnSound_);
  if (pageCount_ > 1) InitScrollButtons();
  CScreenBuffer::SetFullRedraw(0);
}

int CCommonSelectMessage::Calcu() {
  if (!game_) return -1;
  // The appear animation.
  if (firstAppearType_ && appearCounter_ < firstAppearTime_) {
    ++appearCounter_;
    game_.floating->CheckFloatingButtons();
    return -1;
  }
  // After a pick (or the time-over), the countdown to leaving; once left
  // nothing more happens until the mode is entered again.
  if (selected_) {
    if (countdown_ < 0) return -1;
    if (--countdown_ >= 1) return -1;
    countdown_ = -1;
    deliver_ = 1;
    return ExitToMode(-1);
  }
  // The floating option buttons.
  const int options = OptionsAllowed();
  int next = -1;
  if (windowShown_ && optionOk_ && options) {
    const int r = CheckOptionButtons(&next);
    if (r == 1) return next;
    if (r == -1) return -1;
  }
  // Keys.
  const int keyMoved = keyMoveEnable_ ? StepKeys() : 0;
  // The page buttons.
  if (StepScrollButtons(keyMoved)) return -1;
  // The cursor animation.
  prevHover_ = hover_;
  StepCursorAnime();
  // The hidden window comes back with a click or Space.
  const int offClick =
      windowOffMouseButton_ != -1 && mouse_ && mouse_->GetClick(windowOffMouseButton_);
  if (!windowShown_) {
    if (GetClick(0) || GetClick(1) || game_.input->CheckKeyTrig(VK_SPACE) || offClick)
      ShowWindowAgain();
    return -1;
  }
  // The shown window.
  platform::Point p{};
  if (mouse_) mouse_->GetPos(&p);
  hover_ = HitTestItem(p.x, p.y);
  if (clickDelay_ > 0) {
    --clickDelay_;
  } else {
    const int pick = GetClick(0) || (keyMoveEnable_ && game_.input->CheckKeyTrig(VK_RETURN));
    if (pick && hover_ >= 0) {
      PickRow(hover_);
      return -1;
    }
    if (options && (game_.input->CheckKeyTrig(VK_SPACE) || offClick)) {
      windowShown_ = 0;
      PlaySound(windowOffSound_);
      CScreenBuffer::SetFullRedraw(0);
      return -1;
    }
  }
  const int wheel = mouse_ ? mouse_->GetWheel() : 0;
  if (wheel >= 1 && backLogOk_ && options && !onScrollButton_ && !keyMoved &&
      !game_.messageWindow->IsBackLogDisabled()) {
    game_.saves->KeepGameState();
    if (backlogSound_ > 0) game_.sound->PlaySystemSe(backlogSound_ - 1, 0);
    game_.modeFlow->NotifyMode(modenumber::kBackLog, kModeNumber);
    deliver_ = 0;
    return ExitToMode(modenumber::kBackLog);
  }
  if (optionOk_ && options) {
    const int m = game_.floating->CheckShortCut(kModeNumber);
    if (m != -1) {
      deliver_ = 0;
      return ExitToMode(m);
    }
  }
  if (CheckTimeOver(&next)) return next;
  return -1;
}

// --- The page buttons (the base class's up/down pair) ---

int CCommonSelectMessage::StepScrollButtons(int keyMoved) {
  onScrollButton_ = 0;
  if (!useScrollFlag_ || IsSpecial() || pageCount_ <= 0 || !windowShown_ || keyMoved) return 0;
  CUpDownButton* buttons = GetUpDownButtons();
  if (!buttons) return 0;
  const int32_t code = buttons->Calcu(input_);
  const int page = CheckButtonResult2(code);
  if (page >= 0) {
    page_ = std::clamp(page, 0, pageCount_ - 1);
    InitScrollButtons();
    CScreenBuffer::SetFullRedraw(0);
    return 1;
  }
  if (IsHoverCode(code)) onScrollButton_ = 1;
  return 0;
}

// The pair takes the page and the page count, starts over and reloads its
// pictures.
void CCommonSelectMessage::InitScrollButtons() {
  CUpDownButton* buttons = GetUpDownButtons();
  if (!useScrollFlag_ || !buttons) return;
  buttons->SetPageMax(pageCount_);
  buttons->SetPage(page_);
  buttons->Init();
  ReloadUpDownButtonPicture();
}

void CCommonSelectMessage::PrintScrollButtons() {
  if (CUpDownButton* buttons = GetUpDownButtons()) buttons->Print();
}
