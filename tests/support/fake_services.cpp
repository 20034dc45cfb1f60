#include "support/fake_services.h"

#include <algorithm>
#include <cstring>

#include "graphics/dwqformat.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "input/inputstatus.h"
#include "modebase/modenumbers.h"
#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "message/textprint.h"
#include "message/textstate.h"
#include "platform/codec.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/cglist.h"
#include "savedata/cgvoice.h"
#include "savedata/datafilesetup.h"
#include "savedata/inttablefile.h"
#include "savedata/savechunk.h"
#include "savedata/savedatafile.h"
#include "savedata/scenedata.h"
#include "savedata/scenevoice.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "setup/setuplist.h"
#include "sound/bgmplayer.h"
#include "sound/directsound.h"
#include "sound/movieplayer.h"
#include "widget/textinputbox.h"

namespace testsupport {
namespace {

// The options a fresh system file holds that are not 0: the volumes, the
// sound switches and the message speed.
constexpr std::pair<int, int> kDefaultOptions[] = {
    {100, 90}, {101, 90}, {102, 90}, {103, 90}, {104, 90}, {105, 2},
    {200, 1},  {201, 1},  {202, 1},  {203, 1},  {204, 1},
};

// "エラー名" in CP932: the name a missing default gives.
constexpr char kErrorName[] = "\x83\x47\x83\x89\x81\x5B\x96\xBC";

constexpr int kSettingsPairs = 1024;

platform::Window* MakeWindow(int width, int height) {
  platform::WindowDesc desc;
  desc.clientWidth = width;
  desc.clientHeight = height;
  return platform::CreateWindow(desc);
}

int Low(intptr_t v) { return static_cast<int16_t>(v & 0xFFFF); }
int High(intptr_t v) { return static_cast<int16_t>((v >> 16) & 0xFFFF); }

}  // namespace

FakeServices::FakeServices(platform::HeadlessBackend& host, int width, int height)
    : FrameRecord(host, Switches().frameTime),
      width_(width),
      height_(height),
      window_(MakeWindow(width, height)) {
  InitPictureLoader(dwq::kDecodeMegabytes);
  vars_ = std::make_unique<CGameVariables>();
  gameList_ = std::make_unique<CSetupList>();
  gameList_->LoadSetupFile("game", kSettingsPairs);
  for (const auto& [id, value] : kDefaultOptions) options_[id] = value;
  systemFile_ = std::make_unique<CCommonSystemFile>();
  screenBuffer_ = std::make_unique<CScreenBuffer>(width, height, 0);
  for (auto& p : pictures_) p = std::make_unique<CPicture>(width, height, 0);
  for (auto& p : effectPictures_) p = std::make_unique<CPicture>();
  systemPictures_ = std::make_unique<CSystemPicture>();
  picturePool_ = std::make_unique<CPicturePool>();
  sceneDataFile_ = std::make_unique<CSceneDataFile>();
  sceneList_ = std::make_unique<CSceneList>(systemFile_.get(), sceneDataFile_.get());
  cgList_ = std::make_unique<CCGList>(systemFile_.get());
  cgVoiceList_ = std::make_unique<CCGVoiceList>();
  sceneVoiceList_ = std::make_unique<CSceneVoiceList>();
  saveSlotLayout_ = std::make_unique<CDataFileSetup>();
  soundDevice_ = std::make_unique<CDirectSound>(window_);
  soundDevice_->Create(0);
  moviePlayer_ = std::make_unique<CMoviePlayer>(window_, CMoviePlayer::kNotifyMessage, 0);
  bgmPlayer_ = std::make_unique<CBgmPlayer>(soundDevice_.get());
  bgmPlayer_->SetDefaultFadeTimes(settings_.defaultMusicFadeInTime, settings_.defaultMusicFadeOutTime);
  LoadRenderSettings(*gameList_, 0, nullptr);
  font_ = std::make_unique<CFontPrint>(nullptr);
  textBuffer_ = std::make_unique<CTextPrint>(font_.get());
  textInputBox_ = std::make_unique<CTextInputBox>(window_, textBuffer_.get());
  mouse_ = std::make_unique<CMouseStatus>();
  keys_ = std::make_unique<CMyKeyStatus>();
  input_ = std::make_unique<CInputStatus>();
  input_->SetMouseStatus(mouse_.get());
  input_->SetKeyStatus(keys_.get());
  // A sixth of the screen, the width a whole number of words.
  miniCGWidth_ = width / settings_.miniCGReduce / 4 * 4;
  miniCGHeight_ = height / settings_.miniCGReduce;
}

FakeServices::~FakeServices() {
  modes_.clear();
  textInputBox_.reset();
  textBuffer_.reset();
  font_.reset();
  bgmPlayer_.reset();
  moviePlayer_.reset();
  soundDevice_.reset();
  systemPictures_.reset();
  picturePool_.reset();
  for (auto& p : effectPictures_) p.reset();
  for (auto& p : pictures_) p.reset();
  screenBuffer_.reset();
  ReleasePictureLoader();
  ResetRenderSettings();
  ResetTextState();
}

// --- The frame ---

void FakeServices::DeliverMessage(const platform::Message& m) {
  switch (m.message) {
    case WM_MOUSEMOVE: mouse_->SetPos(Low(m.lParam), High(m.lParam)); break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const int b = m.message == WM_LBUTTONDOWN ? 0 : m.message == WM_RBUTTONDOWN ? 1 : 2;
      mouse_->SetButton(b, 1);
      pressed_[b] = 1;
      break;
    }
    case WM_LBUTTONUP: mouse_->SetButton(0, 0); break;
    case WM_RBUTTONUP: mouse_->SetButton(1, 0); break;
    case WM_MBUTTONUP: mouse_->SetButton(2, 0); break;
    case WM_MOUSEWHEEL: wheel_ = High(static_cast<intptr_t>(m.wParam)); break;
    case WM_KEYDOWN:
      if (m.wParam < 256) keys_->SetKey(static_cast<int>(m.wParam), 1);
      break;
    case WM_KEYUP:
      if (m.wParam < 256) keys_->SetKey(static_cast<int>(m.wParam), 0);
      break;
    case WM_CHAR: textInputBox_->PutChar(static_cast<int>(m.wParam & 0xFF)); break;
    // The movie player's own events, posted to the window it was given.
    case CMoviePlayer::kNotifyMessage: moviePlayer_->CheckEvent(); break;
    default: break;
  }
}

void FakeServices::Pump() {
  platform::Message m;
  while (platform::PeekMessage(&m, true)) DeliverMessage(m);
}

void FakeServices::RunFrame(const std::function<int()>& calcu, const std::function<void()>& print) {
  // The frame's request: the test's function stands where the game would
  // ask first, the current mode's answer wins.
  host_.AdvanceClock(static_cast<uint32_t>(std::max(step_, 0)));
  Pump();
  // A press between two frames is this frame's click, even when the
  // release came before the frame.
  for (int b = 0; b < 3; ++b) {
    if (pressed_[b]) mouse_->SetButton(b, 1);
    pressed_[b] = 0;
  }
  mouse_->SetWheel(wheel_ < 0 ? -1 : wheel_ > 0 ? 1 : 0);
  wheel_ = 0;
  CScreenBuffer::StartFrame();

  nextMode_ = -1;
  if (calcu) SetNextMode(calcu());
  CCommonGeneral* mode = GetMode(currentMode_);
  if (mode) {
    const int next = mode->GeneralCalcu();
    if (next != -1) nextMode_ = next;
  }
  mouse_->Calcu();
  keys_->Clear();

  if (print) print();
  if (mode) mode->GeneralPrint();
  if (mode) mode->ExitStep();
  if (restorePending_) {
    restorePending_ = 0;
    RestoreGameState();
  }
  if (nextMode_ > 0) ChangeMode(nextMode_);
  CScreenBuffer::EndFrame();
}

void FakeServices::RunFrames(int n) {
  for (int i = 0; i < n; ++i) RunFrame();
}

void FakeServices::ChangeMode(int request) {
  requests_.push_back(request);
  if (CCommonGeneral* old = GetMode(currentMode_)) old->Leave();
  // Bits above the low byte are the caller's.
  currentMode_ = request & 0xFF;
  if (CCommonGeneral* mode = GetMode(currentMode_)) mode->Enter();
  CScreenBuffer::SetFullRedraw(0);
}

// --- Modes ---

CCommonGeneral* FakeServices::PutMode(int n, std::unique_ptr<CCommonGeneral> mode) {
  std::unique_ptr<CCommonGeneral>& slot = modes_[n];
  slot = std::move(mode);
  return slot.get();
}

CCommonGeneral* FakeServices::GetMode(int n) const {
  auto it = modes_.find(n);
  return it == modes_.end() ? nullptr : it->second.get();
}

void FakeServices::EnterMode(int n) {
  currentMode_ = n;
  if (CCommonGeneral* mode = GetMode(n)) mode->Enter();
}

// --- What the test scripts or reads ---

CSetupList* FakeServices::GetGameList() const { return gameList_.get(); }

CPicture* FakeServices::SetEffectPicture(int n, std::unique_ptr<CPicture> picture) {
  if (n < 0 || n >= kEffectChannels) return nullptr;
  effectPictures_[n] = std::move(picture);
  return effectPictures_[n].get();
}

CIntTableFile* FakeServices::MakeResultTable() {
  if (!resultTable_) resultTable_ = std::make_unique<CIntTableFile>("result", CSaveServices::kResultRows, 1024, 1, nullptr);
  return resultTable_.get();
}

int FakeServices::GetOptionButtonOff(int index) const {
  return index >= 0 && index < 16 ? optionButtonOff_[index] : 0;
}

const std::string& FakeServices::GetSaveComment(int line) const {
  static const std::string kNone;
  return line >= 0 && line < 4 ? saveComments_[line] : kNone;
}

// --- Saves ---

void FakeServices::PutSaveData(int type, uint8_t* chunk, size_t size) {
  if (type == savechunk::kGameStatus) PutGameStatus(chunk, size);
}

void FakeServices::PutGameStatus(uint8_t* chunk, size_t size) {
  for (int line = 0; line < 4; ++line) {
    const size_t at = CCommonDataFile::kStatusTextOffset + CCommonDataFile::kStatusTextSize * line;
    if (!chunk || at + CCommonDataFile::kStatusTextSize > size) return;
    std::memcpy(chunk + at, saveComments_[line].data(), saveComments_[line].size());
  }
}

void FakeServices::GetMiniCGSize(int* width, int* height) {
  if (width) *width = miniCGWidth_;
  if (height) *height = miniCGHeight_;
}

void FakeServices::SetSaveComment(const char* text, int line) {
  // At most 254 bytes, so two NULs always end the line.
  if (line >= 0 && line < 4) saveComments_[line] = std::string(text ? text : "").substr(0, 254);
}

// --- Sounds ---

int FakeServices::GetCharaVoiceFlag(int chara) {
  auto it = charaVoiceOff_.find(chara);
  return it != charaVoiceOff_.end() && it->second ? 0 : 1;
}

void FakeServices::PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) {
  RecordedSound::PlayBgmNumber(n, loopCount, delta, fadeIn, fadeOut);
  bgmNumber_ = n;
}

void FakeServices::StopBgm(int fadeOut) {
  RecordedSound::StopBgm(fadeOut);
  bgmNumber_ = -1;
}

int FakeServices::CheckMovieCodec() {
  // Asked once; without a movie mode to ask the answer is 0.
  if (codecCheck_ == -1) codecCheck_ = 0;
  return codecCheck_;
}

void FakeServices::SetListenBgmState(int type, int number) {
  SetVar(GivenVarNumber("listenbgmmode"), type);
  SetVar(GivenVarNumber("listenbgmnumber"), number);
}

const char* FakeServices::GetMovieListName(int n) const {
  const size_t i = static_cast<size_t>(2 * n - 2);
  return n >= 1 && i < movieList_.size() ? movieList_[i].c_str() : nullptr;
}

int FakeServices::SearchBgmName(const char* name) const {
  if (!name) return -1;
  for (size_t i = 0; i < bgmNames_.size(); ++i)
    if (platform::EqualNoCase(bgmNames_[i], name)) return static_cast<int>(i);
  return -1;
}

int FakeServices::GetMusicFlag(int n) const { return systemFile_->GetMusicFlag(n); }

// --- The screen ---

void FakeServices::ResetTextPosition() { font_->ClearTextLayer(); }

CPicture* FakeServices::GetBufferPicture(int n) {
  return n == 0 || n == 1 ? pictures_[2 + n].get() : nullptr;
}

CPicture* FakeServices::LoadSystemPicture(const char* name, int flag) {
  CPicture* picture = RecordedScreen::LoadSystemPicture(name, flag);
  return systemPictureAnswers_ ? systemPictures_->Load(name, flag) : picture;
}

void FakeServices::AddUpdateRect(const platform::Rect& rect) {
  CScreenBuffer::AddDirtyRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void FakeServices::SetBackScriptMode(int mode) {
  RecordedBackScript::SetBackScriptMode(mode);
  backScriptMode_ = mode;
}

int FakeServices::CalcuWaitCount(int n) {
  // No frame is ever late here: one frame a call.
  if (n < 0) return -1;
  return n == 0 ? 1 : std::min(n, 1);
}

void FakeServices::GetGameMousePos(int* x, int* y) const {
  if (x) *x = 0;
  if (y) *y = 0;
}

CPicture* FakeServices::GetEffectPicture(int n) {
  return n >= 0 && n < kEffectChannels ? effectPictures_[n].get() : nullptr;
}

void FakeServices::SetOptionButtonOff(int index, int flag) {
  if (index >= 0 && index < 16) optionButtonOff_[index] = flag;
}

// --- The message window ---

void FakeServices::SetMessageReadFlag(int message, int script) { readMessages_[{script, message}] = 1; }

int FakeServices::CheckMessageReadFlag(int message, int script) {
  return readMessages_.count({script, message}) ? 1 : 0;
}

// --- Mode flow ---

int FakeServices::CheckKeyTrig(int code) {
  if (keys_->CheckKey(code, 1)) return 1;
  int alias = -1;
  switch (code) {
    case 26: alias = VK_NEXT; break;
    case 27: alias = VK_PRIOR; break;
    case 28: alias = VK_LEFT; break;
    case 29: alias = VK_RIGHT; break;
    case 30: alias = VK_UP; break;
    case 31: alias = VK_DOWN; break;
    default: break;
  }
  return alias >= 0 && keys_->CheckKey(alias, 1) ? 1 : 0;
}

int FakeServices::StartNewGame(int, int, int varNumber, int value) {
  if (varNumber != -1) SetVar(varNumber, value);
  return -1;
}

int FakeServices::PrepareSystemMode(int result, int returnMode) {
  returnMode_ = returnMode == 0 ? modenumber::kDefaultReturnMode : returnMode;
  return result;
}

int FakeServices::RegistSystemFunction(int mode, const char* name, int value) {
  if (!name) return 0;
  functions_.push_back({name, mode, value});
  return 1;
}

void FakeServices::AddPlayCount() {
  if (playCountAdded_) return;
  playCountAdded_ = 1;
  if (playCount_ < 0x7FFFFFFE) ++playCount_;
}

// --- Variables and options ---

int FakeServices::GetVar(int number) { return vars_->GetVar(number); }

void FakeServices::SetVar(int number, int value) { vars_->SetVar(number, value); }

int FakeServices::CheckSystemFlag(int n) { return systemFile_->GetVoiceFlag(n); }

int FakeServices::GetSystemSetting(int id) {
  auto it = options_.find(id);
  return it == options_.end() ? 0 : it->second;
}

// As the game: the system data's names, empty until set.
const char* FakeServices::GetFamilyName() { return KeptName(systemFile_->GetFamilyName()); }

const char* FakeServices::GetGivenName() { return KeptName(systemFile_->GetGivenName()); }

void FakeServices::SetNames(const char* family, const char* given) {
  // The names as the text state cut them are the ones the system data keeps.
  SetTextNames(family, given);
  if (family) systemFile_->SetFamilyName(KeptName(GetTextState().familyName));
  if (given) systemFile_->SetGivenName(KeptName(GetTextState().givenName));
}

const char* FakeServices::GetDefaultName(int which) const {
  const char* name = nullptr;
  if (which == 0 && gameList_->GetSetupString(&name, "seiInitData")) return name;
  if (which == 1 && gameList_->GetSetupString(&name, "meiInitData")) return name;
  return kErrorName;
}

int FakeServices::GetModeFlag(int i) const { return i >= 0 && i < kFlagTableSize ? modeFlags_[i] : 0; }

void FakeServices::SetModeFlag(int i, int value) {
  if (i >= 0 && i < kFlagTableSize) modeFlags_[i] = value;
}

}  // namespace testsupport
