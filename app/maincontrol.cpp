#include "app/maincontrol.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/wheelmessage.h"
#include "platform/backend.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/system.h"
#include "savedata/cglist.h"
#include "savedata/savefolder.h"
#include "savedata/systemfile.h"
#include "setup/namelist.h"
#include "setup/random.h"

namespace {

CMainControl* g_mainControl = nullptr;

// zor標準プログラム
const char kDefaultTitle[] = "zor\x95\x57\x8f\x80\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80";
const char kDefaultClassName[] = "zorcommongamebykelomi";
const char kDefaultMutexName[] = "ZORCommonGameByKelomi";
const char kErrorCaption[] = "Error";
// MMX機能が無いと判断されました\nこのマシンではプレイできないと思われます\nゲームを中止することをお勧めします
const char kMmxMessage[] =
    "MMX\x8b\x40\x94\x5c\x82\xaa\x96\xb3\x82\xa2\x82\xc6\x94\xbb\x92\x66\x82\xb3\x82\xea\x82\xdc"
    "\x82\xb5\x82\xbd\n"
    "\x82\xb1\x82\xcc\x83\x7d\x83\x56\x83\x93\x82\xc5\x82\xcd\x83\x76\x83\x8c\x83\x43\x82\xc5\x82"
    "\xab\x82\xc8\x82\xa2\x82\xc6\x8e\x76\x82\xed\x82\xea\x82\xdc\x82\xb7\n"
    "\x83\x51\x81\x5b\x83\x80\x82\xf0\x92\x86\x8e\x7e\x82\xb7\x82\xe9\x82\xb1\x82\xc6\x82\xf0\x82"
    "\xa8\x8a\xa9\x82\xdf\x82\xb5\x82\xdc\x82\xb7";
// 警告
const char kMmxCaption[] = "\x8c\x78\x8d\x90";
// %dbitカラー以上に設定してください
const char kBppMessage[] =
    "%dbit\x83\x4a\x83\x89\x81\x5b\x88\xc8\x8f\xe3\x82\xc9\x90\xdd\x92\xe8\x82\xb5\x82\xc4\x82\xad"
    "\x82\xbe\x82\xb3\x82\xa2";
// 画面サイズを%dx%d以上に設定してください
const char kWindowSizeMessage[] =
    "\x89\xe6\x96\xca\x83\x54\x83\x43\x83\x59\x82\xf0%dx%d\x88\xc8\x8f\xe3\x82\xc9\x90\xdd\x92\xe8"
    "\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2";
// 二重起動はできません
const char kMutexMessage[] = "\x93\xf1\x8f\x64\x8b\x4e\x93\xae\x82\xcd\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";

constexpr size_t kMessageBufferSize = 1024;

// The check messages come from a settings file, so they are never handed
// to a printf-style formatter: each %d takes the next number (a %d past the
// numbers stays as written), %% is one %, and every other % stays as it is.
// The result keeps to the message buffer's size.
std::string FormatNumbers(const char* text, std::initializer_list<int> numbers) {
  std::string out;
  auto next = numbers.begin();
  for (size_t i = 0; text[i] != 0;) {
    const char* piece = text + i;
    size_t length = 1;
    char number[16];
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (platform::IsCp932LeadByte(c) && text[i + 1] != 0) {
      length = 2;
      i += 2;
    } else if (c == '%' && text[i + 1] == 'd' && next != numbers.end()) {
      const int n = std::snprintf(number, sizeof number, "%d", *next++);
      piece = number;
      length = n > 0 ? static_cast<size_t>(n) : 0;
      i += 2;
    } else if (c == '%' && text[i + 1] == '%') {
      i += 2;  // one '%'
    } else {
      i += 1;
    }
    if (out.size() + length > kMessageBufferSize - 1) break;
    out.append(piece, length);
  }
  return out;
}

// "windowSizeX" or "windowSizeY": a value of 0, below 0 or not a number
// would make a window of no size, so the default stays, with a line on
// stderr naming the value.
void ReadWindowSize(const CSetupList& setup, const char* key, int* size) {
  int value = *size;
  if (!setup.GetSetupInt(&value, key) || value > 0) {
    *size = value;
    return;
  }
  const char* text = "";
  setup.GetSetupString(&text, key);
  const std::string line = "zorgame: \"" + std::string(key) + "\" is \"" + text +
                           "\" in the mainControl list, not a window size; " +
                           std::to_string(*size) + " is used";
  platform::ErrorOutput(line.c_str());
}

// A save-folder name of the list "game" with its "." and "name\\.." levels
// folded away ("a\\..\\b" is "b"), so that no level the name passes
// through is made; false when the name would lead outside the folder it
// is set under: an absolute path, a drive ("C:"), or ".." going above its
// start. Names are CP932, whose second bytes may be '\\'.
bool FoldLevels(const char* name, std::string* folded) {
  folded->clear();
  if (!name || !*name) return true;
  if (name[0] == '\\' || name[0] == '/') return false;
  std::vector<std::string> levels;
  std::string part;
  auto endPart = [&] {
    if (part == "..") {
      if (levels.empty()) return true;
      levels.pop_back();
    } else if (!part.empty() && part != ".") {
      levels.push_back(part);
    }
    part.clear();
    return false;
  };
  for (size_t i = 0; name[i] != 0; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (platform::IsCp932LeadByte(c) && name[i + 1] != 0) {
      part.append(name + i, 2);
      ++i;
    } else if (c == '\\' || c == '/') {
      if (endPart()) return false;
    } else if (c == ':') {
      return false;
    } else {
      part += static_cast<char>(c);
    }
  }
  if (endPart()) return false;
  for (const std::string& level : levels) *folded += (folded->empty() ? "" : "\\") + level;
  return true;
}

}  // namespace

CMainControl* CMainControl::Current() { return g_mainControl; }

CMainControl::CMainControl(CCommonSystemFile* systemFile, CWheelMessage* wheelMessage)
    : windowTitle_(kDefaultTitle), className_(kDefaultClassName), mutexName_(kDefaultMutexName) {
  g_mainControl = this;
  started_ = 0;

  mainControlList_ = new CNameList();
  gameList_ = new CNameList();
  mainSetup_.AttachList(mainControlList_);
  gameSetup_.AttachList(gameList_);
  LoadMainSetupFile("mainControl", 256);
  LoadGameSetupFile("game", 256);

  int saveFolderType = 0;
  const char* company = nullptr;
  const char* game = nullptr;
  GetGameSetupInt(&saveFolderType, "saveFolderType");
  GetGameSetupString(&company, "saveCompanyFolder");
  GetGameSetupString(&game, "saveGameFolder");
  std::string foldedCompany, foldedGame;
  if (saveFolderType != 0) {
    for (const auto& [key, value, folded] : {std::tuple{"saveCompanyFolder", company, &foldedCompany},
                                             std::tuple{"saveGameFolder", game, &foldedGame}}) {
      if (FoldLevels(value, folded)) continue;
      platform::ErrorOutput(("zorgame: \"" + std::string(key) + "\" is \"" + value +
                             "\" in the game list, which leads outside the user's folder; the "
                             "saves stay in the game's own folder")
                                .c_str());
      saveFolderType = 0;
    }
  }
  if (saveFolderType != 0) {
    if (company) company = foldedCompany.c_str();
    if (game) game = foldedGame.c_str();
  }
  SetSaveFolder(company, game, saveFolderType);
  int createSaveFolder = 1;
  GetGameSetupInt(&createSaveFolder, "createSaveFolder");
  if (createSaveFolder) CreateSaveFolder();
  LockSaveFolder();
  // A folder another copy works on is left to it: the start stops at
  // CheckMutex.
  if (saveFolderLock_ != platform::InstanceLock::Result::kHeld) RemoveStaleSaveTemporaries();

  GetMainSetupInt(&oldUseGeneralFlag_, "oldUseGeneralFlag");
  fileIcon_ = 0;
  comInitialized_ = 0;
  ownsSystemFile_ = 0;
  ownsWheelMessage_ = 0;
  // The input method is opened only by the text input box on this host, so
  // "IMMOff" has nothing left to switch off.
  int immOff = 0;
  GetMainSetupInt(&immOff, "IMMOff");

  bool changed = false;
  int lists = 0;
  for (int n = 1; n <= 256; ++n) {
    FILE* f = platform::FileOpen(CGListFileName(n), "rb");
    if (!f) break;
    std::fclose(f);
    lists = n;
  }
  SetCGListCount(lists);
  if (lists == 0) lists = 20;
  if (lists != 20) {
    SetCGCharaCount(lists);
    changed = true;
  }

  int noScriptFlag = 0;
  GetGameSetupInt(&noScriptFlag, "noScriptFlag");
  int scripts = 1;
  if (!noScriptFlag) {
    CNameList project;
    if (project.Load("spt\\project.xtx", false, false)) scripts = project.GetCount();
  }
  if (scripts == 0) scripts = 64;
  if (scripts != 64) {
    SetScriptCount(scripts);
    changed = true;
  }

  if (systemFile) {
    systemFile_ = systemFile;
    if (changed) systemFile_->Init();
  } else {
    systemFile_ = new CCommonSystemFile();
    ownsSystemFile_ = 1;
  }

  if (wheelMessage) {
    wheelMessage_ = wheelMessage;
  } else {
    wheelMessage_ = new CWheelMessage();
    ownsWheelMessage_ = 1;
  }
  SetWheelMessage(wheelMessage_);

  if (saveFolderLock_ != platform::InstanceLock::Result::kHeld) systemFile_->Load(1);
  GetDesktopMetrics();
}

CMainControl::~CMainControl() {
  Release();
  if (g_mainControl == this) g_mainControl = nullptr;
}

void CMainControl::Release() {
  // The window goes with the program; here it is closed explicitly, so the
  // host's window is gone before what it showed.
  if (window_) platform::DestroyWindow(window_);
  window_ = nullptr;
  fileIcon_ = 0;
  if (wheelMessage_) {
    if (GetWheelMessage() == wheelMessage_) SetWheelMessage(nullptr);
    if (ownsWheelMessage_) {
      wheelMessage_->Release();
      delete wheelMessage_;
    }
    wheelMessage_ = nullptr;
    ownsWheelMessage_ = 0;
  }
  if (systemFile_) {
    if (started_ == 1) systemFile_->Save(0);
    if (ownsSystemFile_) delete systemFile_;
    systemFile_ = nullptr;
    ownsSystemFile_ = 0;
  }
  // The settings texts point into the lists.
  windowTitle_ = kDefaultTitle;
  className_ = kDefaultClassName;
  mutexName_ = kDefaultMutexName;
  mmxMessage_ = mmxCaption_ = bppMessageText_ = bppCaption_ = nullptr;
  windowSizeMessageText_ = windowSizeCaption_ = mutexMessage_ = mutexCaption_ = nullptr;
  mainSetup_.AttachList(nullptr);
  gameSetup_.AttachList(nullptr);
  delete gameList_;
  gameList_ = nullptr;
  delete mainControlList_;
  mainControlList_ = nullptr;
  comInitialized_ = 0;
  if (mutex_.Held()) {
    platform::Sleep(10);
    mutex_.Release();
    platform::Sleep(10);
  }
}

int CMainControl::LoadMainSetupFile(const char* name, int pairs) {
  if (!mainControlList_) {
    mainControlList_ = new CNameList(pairs * 2);
    mainSetup_.AttachList(mainControlList_);
  }
  return mainControlList_->LoadInit(name);
}

int CMainControl::LoadGameSetupFile(const char* name, int pairs) {
  if (!gameList_) {
    gameList_ = new CNameList(pairs * 2);
    gameSetup_.AttachList(gameList_);
  }
  return gameList_->LoadInit(name);
}

int CMainControl::GetMainSetupInt(int* out, const char* key) const {
  return mainSetup_.GetSetupInt(out, key);
}
int CMainControl::GetMainSetupString(const char** out, const char* key) const {
  return mainSetup_.GetSetupString(out, key);
}
int CMainControl::GetGameSetupInt(int* out, const char* key) const {
  return gameSetup_.GetSetupInt(out, key);
}
int CMainControl::GetGameSetupString(const char** out, const char* key) const {
  return gameSetup_.GetSetupString(out, key);
}

int CMainControl::CheckStartUp() {
  if (!CheckMmx() || !CheckBpp() || !CheckWindowSize() || !CheckMutex()) return 0;
  started_ = 1;
  InitRandomSeed();
  return 1;
}

int CMainControl::ShowCheckBox(const char* message, const char* caption, int mustAbort) {
  if (mustAbort) {
    platform::MessageBox(nullptr, message, caption, MB_ICONWARNING);
    return 1;
  }
  return platform::MessageBox(nullptr, message, caption, MB_ICONWARNING | MB_YESNO) == IDYES ? 1 : 0;
}

int CMainControl::CheckMmx() {
  // Every processor this program runs on has the instructions it needs.
  const bool hasMmx = true;
  if (hasMmx) return 1;
  LoadMmxMessage();
  return ShowCheckBox(mmxMessage_, mmxCaption_, mmxMustAbort_) ? 0 : 1;
}

int CMainControl::CheckBpp() {
  GetMainSetupInt(&needBpp_, "needBpp");
  if (desktopBpp_ >= needBpp_) return 1;
  LoadBppMessage();
  return ShowCheckBox(bppMessage_.c_str(), bppCaption_, bppMustAbort_) ? 0 : 1;
}

int CMainControl::CheckWindowSize() {
  ReadWindowSize(mainSetup_, "windowSizeX", &windowSizeX_);
  ReadWindowSize(mainSetup_, "windowSizeY", &windowSizeY_);
  if (virtualWidth_ >= windowSizeX_ && virtualHeight_ >= windowSizeY_) return 1;
  LoadWindowSizeMessage();
  return ShowCheckBox(windowSizeMessage_.c_str(), windowSizeCaption_, windowSizeMustAbort_) ? 0 : 1;
}

void CMainControl::LockSaveFolder() {
  saveFolderLock_ = platform::InstanceLock::Result::kTaken;
  GetMainSetupInt(&checkMutexFlag_, "checkMutexFlag");
  if (!checkMutexFlag_) return;
  std::string error;
  saveFolderLock_ = mutex_.Acquire(GetSaveFolder(), &error);
  if (saveFolderLock_ == platform::InstanceLock::Result::kUnavailable)
    platform::ErrorOutput(("zorgame: the save folder cannot be locked (" + error +
                           "); a second copy of the game on it would not be stopped")
                              .c_str());
}

int CMainControl::CheckMutex() {
  GetMainSetupInt(&checkMutexFlag_, "checkMutexFlag");
  // The lock belongs to the save folder; the name is read so that older
  // settings lists do not report it as unknown.
  GetMainSetupString(&mutexName_, "mutexName");
  if (!checkMutexFlag_ || saveFolderLock_ != platform::InstanceLock::Result::kHeld) return 1;
  platform::ErrorOutput(("zorgame: another copy of the game is running on the save folder " +
                         HostPath(GetSaveFolder()))
                            .c_str());
  LoadMutexMessage();
  platform::MessageBox(nullptr, mutexMessage_, mutexCaption_, MB_ICONWARNING);
  return 0;
}

void CMainControl::LoadMmxMessage() {
  mmxMessage_ = kMmxMessage;
  mmxCaption_ = kMmxCaption;
  mmxMustAbort_ = 0;
  GetMainSetupString(&mmxMessage_, "mmxErrorMessage");
  GetMainSetupString(&mmxCaption_, "mmxErrorTitle");
  GetMainSetupInt(&mmxMustAbort_, "mmxErrorMustAbortFlag");
}

void CMainControl::LoadBppMessage() {
  bppMessageText_ = kBppMessage;
  bppCaption_ = kErrorCaption;
  bppMustAbort_ = 1;
  int addNumber = 1;
  GetMainSetupString(&bppMessageText_, "bppErrorMessage");
  GetMainSetupString(&bppCaption_, "bppErrorTitle");
  GetMainSetupInt(&bppMustAbort_, "bppErrorMustAbortFlag");
  GetMainSetupInt(&addNumber, "bppErrorMesAddNumFlag");
  if (addNumber)
    bppMessage_ = FormatNumbers(bppMessageText_, {needBpp_});
  else
    bppMessage_ = std::string(bppMessageText_).substr(0, kMessageBufferSize - 1);
}

void CMainControl::LoadWindowSizeMessage() {
  windowSizeMessageText_ = kWindowSizeMessage;
  windowSizeCaption_ = kErrorCaption;
  windowSizeMustAbort_ = 1;
  int addNumber = 1;
  GetMainSetupString(&windowSizeMessageText_, "windowSizeErrorMessage");
  GetMainSetupString(&windowSizeCaption_, "windowSizeErrorTitle");
  GetMainSetupInt(&windowSizeMustAbort_, "windowSizeErrorMustAbortFlag");
  GetMainSetupInt(&addNumber, "windowSizeErrorMesAddNumFlag");
  if (addNumber)
    windowSizeMessage_ = FormatNumbers(windowSizeMessageText_, {windowSizeX_, windowSizeY_});
  else
    windowSizeMessage_ = std::string(windowSizeMessageText_).substr(0, kMessageBufferSize - 1);
}

void CMainControl::LoadMutexMessage() {
  mutexMessage_ = kMutexMessage;
  mutexCaption_ = kErrorCaption;
  GetMainSetupString(&mutexMessage_, "mutexErrorMessage");
  GetMainSetupString(&mutexCaption_, "mutexErrorTitle");
}

void CMainControl::InitRandomSeed() {
  GetMainSetupInt(&initRandomSeed_, "initRandomSeed");
  if (initRandomSeed_ == -1)
    crt::srand(static_cast<uint32_t>(platform::EpochSeconds()));
  else if (initRandomSeed_ > 0)
    crt::srand(static_cast<uint32_t>(initRandomSeed_));
}

void CMainControl::GetDesktopMetrics() {
  const platform::DesktopInfo desktop = platform::GetDesktop();
  desktopBpp_ = desktop.bitsPerPixel;
  virtualWidth_ = desktop.virtualWidth;
  virtualHeight_ = desktop.virtualHeight;
  virtualX_ = desktop.virtualX;
  virtualY_ = desktop.virtualY;
  virtualRight_ = static_cast<int>(static_cast<uint32_t>(virtualX_) + static_cast<uint32_t>(virtualWidth_));
  virtualBottom_ = static_cast<int>(static_cast<uint32_t>(virtualY_) + static_cast<uint32_t>(virtualHeight_));
}

void CMainControl::GetWindowSize(int out[2]) const {
  out[0] = windowSizeX_;
  out[1] = windowSizeY_;
}

void CMainControl::GetVirtualScreenSize(int out[2]) const {
  out[0] = virtualWidth_;
  out[1] = virtualHeight_;
}

void CMainControl::GetVirtualScreenOrigin(int out[2]) const {
  out[0] = virtualX_;
  out[1] = virtualY_;
}

void CMainControl::GetVirtualScreenEnd(int out[2]) const {
  out[0] = virtualRight_;
  out[1] = virtualBottom_;
}

void CMainControl::LoadVersion() {
  highVersion_ = middleVersion_ = lowVersion_ = 0;
  GetGameSetupInt(&highVersion_, "highVersion");
  GetGameSetupInt(&middleVersion_, "middleVersion");
  GetGameSetupInt(&lowVersion_, "lowVersion");
}

void CMainControl::SetRunLimits(long long frames, const std::string& screenshot) {
  frameLimit_ = frames;
  screenshot_ = screenshot;
}

void CMainControl::OnWindowDestroyed(platform::Window* window) {
  if (!window || window != window_) return;
  if (!screenshot_.empty() && !screenshotTaken_) {
    screenshotTaken_ = true;
    if (window->SaveScreenshot(screenshot_)) {
      std::printf("screenshot: %s\n", screenshot_.c_str());
    } else {
      std::fprintf(stderr, "zorgame: could not write %s\n", screenshot_.c_str());
      screenshotFailed_ = true;
    }
  }
  window_ = nullptr;
}
