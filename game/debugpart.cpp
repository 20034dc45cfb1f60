#include "game/debugpart.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "game/debugaids.h"
#include "game/framepart.h"
#include "game/frameskip.h"
#include "game/gamelists.h"
#include "game/gameparts.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/settingkeys.h"
#include "game/soundpart.h"
#include "game/textpart.h"
#include "game/variablepart.h"
#include "graphics/pictureloader.h"
#include "message/textprint.h"
#include "platform/files.h"
#include "platform/system.h"
#include "setup/namelist.h"
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

using Key = IntKey<CDebugPart::Settings>;
using S = CDebugPart::Settings;

const Key kDebugKeys[] = {
    {"errorLogFlag", &S::errorLogFlag},
    {"startupLoadErrorPrintFlag", &S::startupLoadErrorPrintFlag},
    {"debugMusicNumberPrintFlag", &S::debugMusicNumberPrintFlag},
    {"startMessageFlag", &S::startMessageFlag},
    {"fukaPrintFlag", &S::fukaPrintFlag},
    {"fpsPrintFlag", &S::fpsPrintFlag},
    {"vistaDebug", &S::vistaDebug},
};

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

CDebugPart::CDebugPart(const Links& links) : links_(links) {}

CDebugPart::~CDebugPart() = default;

void CDebugPart::ReadSettings() {
  ReadIntKeys(links_.list, &settings_, kDebugKeys);
  ReadString(links_.list, &settings_.startMessage, "startMessage");
  if (settings_.errorLogFlag) datedlog::StartDatedLog();
  if (settings_.startupLoadErrorPrintFlag) SetLoadDwqErrorFlag(1);
}

void CDebugPart::InitDebugParam() {
  debugParam_ = std::make_unique<CPrintDebugParam>(links_.callback, links_.vars->GetVarNameList());
}

void CDebugPart::InitMeters() {
  CSystemPicture* pictures = links_.screen->GetSystemPictures();
  if (settings_.fukaPrintFlag) fukaPrint_ = std::make_unique<CFukaPrint>(links_.list, pictures);
  if (settings_.fpsPrintFlag) fpsPrint_ = std::make_unique<CFpsPrint>(links_.list, pictures);
}

// --- The debug switches ---

void CDebugPart::SetDebugFlags(int flag) {
  debugFlag_ = windowLogFlag_ = flag;
  processDebugFlag = flag;
}

int CDebugPart::GetProcessDebugFlag() { return processDebugFlag; }

void CDebugPart::ResetProcessDebugFlag() { processDebugFlag = 0; }

// --- The window-message log ---

void CDebugPart::WriteWindowLog(const char* text) {
  if (!windowLogFlag_ || !text) return;
  AppendWindowLog(std::string("\r\n") + text);
}

void CDebugPart::LogWindowMessage(uint32_t type, uintptr_t, intptr_t lParam) {
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

void CDebugPart::AddDebugLine(const char* text) {
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

void CDebugPart::PrintLibraryVersions() {
  for (const LibraryStamp& stamp : kLibraryStamps) {
    char line[kDebugLineSize];
    std::snprintf(line, sizeof line, stamp.format, stamp.date, stamp.time);
    AddDebugLine(line);
  }
}

void CDebugPart::PrintDebugList() {
  for (int i = 0; i < debugLineCount_; ++i)
    AddShadowedLine(&windowText_, kListX, kListY + kListStep * i, debugLines_[i], kListBack);
}

// --- The scene-name line ---

void CDebugPart::SetSceneNameTexts(const char* before, const char* after) {
  SetSceneNameText(0, before);
  SetSceneNameText(1, after);
}

void CDebugPart::SetSceneNameText(int which, const char* text) {
  // The script's first and second names: 62 bytes of whole characters,
  // then two NULs.
  char* to = which == 0 ? firstName_ : secondName_;
  setup::CopyCp932Cut(to, text ? text : "", kNameTextSize - 2);
  to[kNameTextSize - 1] = 0;
}

void CDebugPart::PrintSceneName() {
  const CScriptPart& scripts = *links_.scripts;
  const int level = scripts.GetScriptLevel();
  const int number = level > 0 && level < CScriptPart::kLevels ? scripts.GetScriptNumber(level) : 0;
  if (number < 0) return;
  const CNameList* projects = links_.lists->GetProjectList();
  const char* name = projects ? projects->GetName(number) : nullptr;
  char text[3 * kDebugLineSize + 8];
  std::snprintf(text, sizeof text, "%s\x81\x79%s\x81\x7A%s", name ? name : "", firstName_, secondName_);
  AddShadowedLine(&windowText_, kSceneX, kSceneY, text, kSceneBack);
}

// --- The frame's lines in the screen buffer ---

void CDebugPart::PrintFrameDebugLines() {
  CTextPrint* text = links_.text->GetTextBuffer();
  if (!text) return;
  const CFrameSkip* skip = links_.frame->GetFrameSkip();
  char line[64];
  // 遅れ：%d
  std::snprintf(line, sizeof line, "\x92\x78\x82\xEA\x81\x46%d", skip ? skip->GetLag() : 0);
  text->Print(0, kLagY, line, kFrameLineSize);
  // バックスクリプトモード：%d
  std::snprintf(line, sizeof line,
                "\x83\x6F\x83\x62\x83\x4E\x83\x58\x83\x4E\x83\x8A\x83\x76\x83\x67\x83\x82\x81\x5B"
                "\x83\x68\x81\x46%d",
                links_.scripts->GetBackScriptMode());
  text->Print(0, kBackScriptY, line, kFrameLineSize);
}

void CDebugPart::PrintMusicNumber() {
  CTextPrint* text = links_.text->GetTextBuffer();
  if (!text) return;
  // 曲：%d %d, the music now playing and the one last played.
  char line[48];
  std::snprintf(line, sizeof line, "\x8B\xC8\x81\x46%d %d", links_.sound->GetBgmNumber(),
                links_.sound->GetLastBgm());
  text->Print(0, kMusicY, line, kFrameLineSize);
}

void CDebugPart::PrintDebugParam() {
  if (debugParam_) debugParam_->Print(-1, &windowText_);
}

void CDebugPart::PrintDebugParamBack() {
  if (debugParam_) debugParam_->PrintBack();
}

void CDebugPart::StartMeters() {
  if (fukaPrint_) fukaPrint_->SetStartTime(static_cast<int>(platform::GetTicks()));
}

void CDebugPart::PrintMeters() {
  if (fukaPrint_) fukaPrint_->Print(-1);
  if (fpsPrint_) fpsPrint_->Print();
}

void CDebugPart::EndMeters() {
  if (fukaPrint_) fukaPrint_->SetEndTime(static_cast<int>(platform::GetTicks()));
}

// --- The window's text of a frame ---

void CDebugPart::UpdateWindowText() {
  // After the variable overlay: the scene-name line (unless the
  // scripts are off) and the debug list, in debug mode only. Setting them
  // also takes the start message away.
  if (GetDebugFlag()) {
    if (!links_.scripts->GetSettings().noScriptFlag) PrintSceneName();
    PrintDebugList();
  }
  std::vector<platform::OverlayText> lines = std::move(windowText_);
  windowText_.clear();
  platform::Window* window = links_.window;
  if (!window || (lines.empty() && !startMessageShown_)) return;
  startMessageShown_ = lines.empty() ? 0 : 1;
  startText_ = nullptr;
  window->SetOverlay(std::move(lines));
}

// --- The start message ---

int CDebugPart::ShowStartMessage(const char* text) {
  // A window-coloured (white) frame with the text over it, until the
  // first frame presents the screen buffer.
  platform::Window* window = links_.window;
  const int width = links_.width, height = links_.height;
  if (!window || width <= 0 || height <= 0 || !text) return 0;
  const std::vector<uint32_t> white(static_cast<size_t>(width) * height, 0xFFFFFFu);
  platform::OverlayText line;
  line.text = text;
  line.color = 0x000000;
  window->SetOverlay({line});
  const platform::FrameView view{white.data(), width, height, width * 4};
  const platform::Rect all{0, 0, width, height};
  window->Present(view, &all, 1, false);
  startMessageShown_ = 1;
  startText_ = text;
  return 1;
}

void CDebugPart::PrintStartText() {
  if (startText_) ShowStartMessage(startText_);
}
