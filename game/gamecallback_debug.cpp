// CGameCallBack: the debug aids that live in the game object. With
// "debug666.txt" beside the game the window-message log "wmlog.txt", the
// 20-line debug list (with the library-version lines), the scene-name line
// and the variable overlay appear; the frame-rate and load meters draw when
// the settings list "game" asks for them. The window's text lines of a
// frame are composed here and handed to the window's text overlay once.
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "game/debugaids.h"
#include "game/frameskip.h"
#include "game/gamecallback.h"
#include "message/textprint.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/types.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"
#include "setup/text.h"

namespace {

const char kWindowLogName[] = "wmlog.txt";
// The debug list: lines at (16, 32 + 26 i), a black shadow one pixel down
// and right, white text, both on opaque green.
constexpr int kListX = 16, kListY = 32, kListStep = 26;
constexpr int64_t kListBack = 0x008000;
// The scene-name line at (16, 8) on opaque orange.
constexpr int kSceneX = 16, kSceneY = 8;
constexpr int64_t kSceneBack = 0xFF8000;
constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;
// The frame's own debug lines, in the screen buffer at size 16: the lag at
// (0, 300), the back-script mode at (0, 320), the music numbers at (0, 0).
constexpr int kFrameLineSize = 16;
constexpr int kLagY = 300, kBackScriptY = 320, kMusicY = 0;

// Switched on with the game's debug mode; read by whoever needs it without
// the game object.
int processDebugFlag = 0;

// Appends to the window-message log; a log that cannot be opened is
// skipped.
void AppendWindowLog(const std::string& text) {
  FILE* f = platform::FileOpen(kWindowLogName, "ab");
  if (!f) return;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

// A line drawn twice as the debug texts are: shadow, then text, each on
// the opaque background.
void AddShadowedLine(std::vector<platform::OverlayText>* out, int x, int y, const std::string& text,
                     int64_t background) {
  platform::OverlayText line;
  line.x = x + 1;
  line.y = y + 1;
  line.text = text;
  line.color = kBlack;
  line.background = background;
  out->push_back(line);
  line.x = x;
  line.y = y;
  line.color = kWhite;
  out->push_back(std::move(line));
}

}  // namespace

// --- The debug switches ---

void CGameCallBack::SetDebugFlags(int flag) {
  debugFlag_ = windowLogFlag_ = flag;
  processDebugFlag = flag;
}

int CGameCallBack::GetProcessDebugFlag() { return processDebugFlag; }

void CGameCallBack::ResetProcessDebugFlag() { processDebugFlag = 0; }

// --- The window-message log ---

void CGameCallBack::WriteWindowLog(const char* text) {
  if (!windowLogFlag_ || !text) return;
  AppendWindowLog(std::string("\r\n") + text);
}

void CGameCallBack::LogWindowMessage(uint32_t type, uintptr_t, intptr_t lParam) {
  if (!windowLogFlag_) return;
  const unsigned low = static_cast<unsigned>(lParam) & 0xFFFF;
  const unsigned high = (static_cast<unsigned>(lParam) >> 16) & 0xFFFF;
  char text[64] = "\r\n";
  if (type == WM_MOVE)
    std::snprintf(text, sizeof text, "\r\nMOVE:%u %u", low, high);
  else if (type == WM_SIZE)
    std::snprintf(text, sizeof text, "\r\nSIZE %u %u", low, high);
  AppendWindowLog(text);
}

// --- The debug list ---

void CGameCallBack::AddDebugLine(const char* text) {
  if (!text) return;
  if (debugLineCount_ >= kDebugLines) {
    std::memmove(debugLines_[0], debugLines_[1], sizeof debugLines_[0] * (kDebugLines - 1));
    debugLineCount_ = kDebugLines - 1;
  }
  char* line = debugLines_[debugLineCount_];
  std::memset(line, 0, kDebugLineSize);
  setup::CopyCp932Cut(line, text, kDebugLineSize - 2);
  ++debugLineCount_;
}

void CGameCallBack::PrintLibraryVersions() {
  for (const LibraryStamp& stamp : kLibraryStamps) {
    char line[kDebugLineSize];
    std::snprintf(line, sizeof line, stamp.format, stamp.date, stamp.time);
    AddDebugLine(line);
  }
}

void CGameCallBack::PrintDebugList() {
  for (int i = 0; i < debugLineCount_; ++i)
    AddShadowedLine(&windowText_, kListX, kListY + kListStep * i, debugLines_[i], kListBack);
}

// --- The scene-name line ---

void CGameCallBack::SetSceneNameTexts(const char* before, const char* after) {
  SetSceneNameText(0, before);
  SetSceneNameText(1, after);
}

void CGameCallBack::SetSceneNameText(int which, const char* text) {
  // The script's first and second names: 62 bytes of whole characters,
  // then two NULs.
  char* to = which == 0 ? firstName_ : secondName_;
  setup::CopyCp932Cut(to, text ? text : "", kNameTextSize - 2);
  to[kNameTextSize - 1] = 0;
}

void CGameCallBack::PrintSceneName() {
  const int level = scriptLevel_ >= 0 && scriptLevel_ < kScriptLevels ? scriptLevel_ : 0;
  const int number = level == 0 ? 0 : scriptNumber_[level];
  if (number < 0) return;
  const char* name = projectList_ ? projectList_->GetName(number) : nullptr;
  char text[3 * kDebugLineSize + 8];
  std::snprintf(text, sizeof text, "%s\x81\x79%s\x81\x7A%s", name ? name : "", firstName_,
                secondName_);
  AddShadowedLine(&windowText_, kSceneX, kSceneY, text, kSceneBack);
}

// --- The frame's lines in the screen buffer ---

void CGameCallBack::PrintFrameDebugLines() {
  CTextPrint* text = GetTextBuffer();
  if (!text) return;
  char line[64];
  // 遅れ：%d
  std::snprintf(line, sizeof line, "\x92\x78\x82\xEA\x81\x46%d", frameSkip_ ? frameSkip_->GetLag() : 0);
  text->Print(0, kLagY, line, kFrameLineSize);
  // バックスクリプトモード：%d
  std::snprintf(line, sizeof line,
                "\x83\x6F\x83\x62\x83\x4E\x83\x58\x83\x4E\x83\x8A\x83\x76\x83\x67\x83\x82\x81\x5B"
                "\x83\x68\x81\x46%d",
                GetBackScriptMode());
  text->Print(0, kBackScriptY, line, kFrameLineSize);
}

void CGameCallBack::PrintMusicNumber() {
  CTextPrint* text = GetTextBuffer();
  if (!text) return;
  // 曲：%d %d, the music now playing and the one last played.
  char line[48];
  std::snprintf(line, sizeof line, "\x8B\xC8\x81\x46%d %d", currentBgm_, lastBgm_);
  text->Print(0, kMusicY, line, kFrameLineSize);
}

// --- The window's text of a frame ---

void CGameCallBack::UpdateWindowText() {
  // After the variable overlay: the scene-name line (unless the
  // scripts are off) and the debug list, in debug mode only. Setting them
  // also takes the start message away.
  if (GetDebugFlag()) {
    if (!settings_.noScriptFlag) PrintSceneName();
    PrintDebugList();
  }
  std::vector<platform::OverlayText> lines = std::move(windowText_);
  windowText_.clear();
  if (!window_ || (lines.empty() && !startMessageShown_)) return;
  startMessageShown_ = lines.empty() ? 0 : 1;
  startText_ = nullptr;
  window_->SetOverlay(std::move(lines));
}

void CGameCallBack::PrintStartText() {
  if (startText_) ShowStartMessage(startText_);
}

// --- The variable overlay and the meters ---

void CGameCallBack::PrintDebugParam() {
  if (debugParam_) debugParam_->Print(-1, &windowText_);
}

void CGameCallBack::PrintDebugParamBack() {
  if (debugParam_) debugParam_->PrintBack();
}

void CGameCallBack::InitDebugParam() { debugParam_ = new CPrintDebugParam(this, varNameList_); }

void CGameCallBack::InitFpsPrint() {
  int on = 0;
  GetSetupInt(&on, "fpsPrintFlag");
  if (on) fpsPrint_ = new CFpsPrint(setupList_, systemPicture_);
}

void CGameCallBack::InitFukaPrint() {
  int on = 0;
  GetSetupInt(&on, "fukaPrintFlag");
  if (on) fukaPrint_ = new CFukaPrint(setupList_, systemPicture_);
}

// The common back button's setup: made by CreateBackButton, which a title
// class supplies (empty here).
void CGameCallBack::InitBackButton() {
  commonSetupSecond_ = commonSetupThird_ = 0;
  int on = 0;
  GetSetupInt(&on, "createBackButtonFlag");
  if (on) CreateBackButton();
}
