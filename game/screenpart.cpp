#include "game/screenpart.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>

#include "effect/alleffect.h"
#include "effect/effectmanager.h"
#include "game/debugpart.h"
#include "game/framepart.h"
#include "game/gamehooks.h"
#include "game/gameparts.h"
#include "game/inputpart.h"
#include "game/modeflowpart.h"
#include "game/scriptpart.h"
#include "game/settingkeys.h"
#include "game/variablepart.h"
#include "graphics/allgraphics.h"
#include "graphics/displaymode.h"
#include "graphics/jpegdecoder.h"
#include "graphics/packvolume.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/presentation.h"
#include "graphics/screenbuffer.h"
#include "graphics/surfaceconverter.h"
#include "graphics/systempicture.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "platform/backend.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "sound/movieplayer.h"
#include "game/soundpart.h"
#include "savedata/gamestatus.h"
#include "savedata/savechunk.h"
#include "platform/bytes.h"

namespace {

using Key = IntKey<CScreenPart::Settings>;
using S = CScreenPart::Settings;

const Key kScreenKeys[] = {
    {"dwqPackLevel", &S::dwqPackLevel},
    {"notUseDirectDraw", &S::notUseDirectDraw},
    {"jpegMMX", &S::jpegMMX},
    {"vistaCheck", &S::vistaCheck},
    {"windowAdjustFlag", &S::windowAdjustFlag},
    {"noWaitVSync", &S::noWaitVSync},
    {"adjustFullScreenLost", &S::adjustFullScreenLost},
    {"bossComingType", &S::bossComingType},
};

// The pixel buffer serves the save-slot file as its chunk work buffer too.
constexpr int64_t kMinPixelBuffer = 800 * 600;
constexpr int kLayerCount = 16;
// Frames a full screen that lost the game's size is given before the
// fall-back to a window.
constexpr int kLostFrames = 5;

}  // namespace

CScreenPart::LoaderLease::~LoaderLease() {
  if (held) ReleasePictureLoader();
}

CScreenPart::CScreenPart(const Links& links) : links_(links) {}

CScreenPart::~CScreenPart() = default;

void CScreenPart::ReadSettings() {
  const CSetupList* list = links_.list;
  Settings& s = settings_;
  ReadIntKeys(list, &s, kScreenKeys);
  if (s.bossComingType > 0) {
    ReadInt(list, &s.bossComingColor[0], "bossComingColorR");
    ReadInt(list, &s.bossComingColor[1], "bossComingColorG");
    ReadInt(list, &s.bossComingColor[2], "bossComingColorB");
  }
  ReadString(list, &s.bossComingFileName, "bossComingFileName");
}

// --- Init's steps ---

void CScreenPart::InitScreenBuffer() {
  const Settings& s = settings_;
  SetDwqPackLevel(s.dwqPackLevel);
  if (links_.window) links_.window->Focus();
  CJpegDecoder::SetNoMmx(s.jpegMMX == 0 ? 1 : 0);
  InitPictureLoader(dwq::kDecodeMegabytes);
  loader_.held = true;
  // A new screen buffer is black.
  screenBuffer_ = std::make_unique<CScreenBuffer>(links_.width, links_.height, s.notUseDirectDraw);
}

void CScreenPart::MakePicturePool() {
  // Every frame whole: the platform always reports a current system.
  if (settings_.vistaCheck) CScreenBuffer::SetAlwaysFullRedraw();
  picturePool_ = std::make_unique<CPicturePool>();
}

void CScreenPart::AdjustWindowPosition() {
  CCommonSystemFile* file = links_.systemFile;
  if (!settings_.windowAdjustFlag || !file) return;
  int pos[2] = {0, 0};
  file->GetPosition(pos);
  // Frames and captions belong to the window manager here: their sizes
  // are 0.
  const platform::DesktopInfo desk = platform::GetDesktop();
  const int64_t right = static_cast<int64_t>(desk.virtualX) + desk.virtualWidth;
  const int64_t bottom = static_cast<int64_t>(desk.virtualY) + desk.virtualHeight;
  int64_t x = pos[0], y = pos[1];
  if (x + links_.width >= right) x = right - links_.width;
  if (x < desk.virtualX) x = desk.virtualX;
  if (y + links_.height >= bottom) y = bottom - links_.height;
  if (y < desk.virtualY) y = desk.virtualY;
  windowX_ = static_cast<int>(x);
  windowY_ = static_cast<int>(y);
  file->SetPosition(windowX_, windowY_);
}

void CScreenPart::InitPresentation() {
  const int width = links_.width, height = links_.height;
  // The presenter takes 32-bit pixels as the screen buffer holds them, so
  // the converter copies them as they are.
  presentation_ = std::make_unique<CDirectDrawScreen>(links_.window, width, height, links_.bpp, 0);
  surfaceConverter_ = std::make_unique<CSurfaceConverter>();
  surfaceConverter_->Set565Flag(1);
  surfaceConverter_->SetSource(CScreenBuffer::GetBuffer(), CScreenBuffer::GetWidth() * 4,
                               CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight());
  screenPicture_ = std::make_unique<CPicture>(width, height, 0);
  workPicture_ = std::make_unique<CPicture>(width, height, 0);
  for (auto& p : bufferPicture_) p = std::make_unique<CPicture>(width, height, 0);
  const int64_t pixels = std::max<int64_t>(static_cast<int64_t>(std::max(width, 0)) * std::max(height, 0),
                                           kMinPixelBuffer);
  // A screen too large to hold leaves the buffer null, as the screen
  // buffer and the pictures fail then too.
  try {
    pixelBuffer_ = std::make_unique_for_overwrite<uint32_t[]>(static_cast<size_t>(pixels));
  } catch (const std::bad_alloc&) {
    pixelBuffer_.reset();
  }
}

void CScreenPart::MakeEffects() {
  effect_ = std::make_unique<CAllEffect>();
  effect_->ResetAll();
}

void CScreenPart::MakeSystemPictures() { systemPicture_ = std::make_unique<CSystemPicture>(); }

// The effect channels' pictures: with "pictureBufferInitSizeFlag" each
// ("pictureBufferSizeX%d", "pictureBufferSizeY%d", numbered from 1) is
// resized when both are above 0; with "pictureBufferInitLoadFlag" the
// picture named by "pictureBufferFileName%d" is loaded into it.
void CScreenPart::InitPictureBuffers() {
  const CSetupList* list = links_.list;
  CEffectManager* manager = effect_ ? effect_->GetManager() : nullptr;
  if (!manager || !list) return;
  int sizeFlag = 0, loadFlag = 0;
  ReadInt(list, &sizeFlag, "pictureBufferInitSizeFlag");
  ReadInt(list, &loadFlag, "pictureBufferInitLoadFlag");
  for (int i = 0; i < CEffectManager::kChannels; ++i) {
    CPicture* picture = manager->GetPicture(i);
    if (!picture) continue;
    if (sizeFlag) {
      int x = 0, y = 0;
      ReadInt(list, &x, NumberedKey("pictureBufferSizeX%d", i + 1).c_str());
      ReadInt(list, &y, NumberedKey("pictureBufferSizeY%d", i + 1).c_str());
      if (x > 0 && y > 0) picture->Resize(x, y);
    }
    if (loadFlag) {
      const char* name = nullptr;
      if (ReadString(list, &name, NumberedKey("pictureBufferFileName%d", i + 1).c_str()) && name && *name)
        picture->LoadDWQ(name);
    }
  }
}

void CScreenPart::InitBossComing() {
  bossComingPicture_.reset();
  if (settings_.bossComingType == 2) {
    // A missing file leaves an empty picture, which draws nothing.
    bossComingPicture_ = std::make_unique<CPicture>(nullptr, 1, 1, 0);
    bossComingPicture_->LoadDWQ((std::string("sys\\") + settings_.bossComingFileName).c_str(), 0, nullptr);
  }
}

// --- Pictures ---

CPicture* CScreenPart::GetBufferPicture(int n) {
  return n == 0 || n == 1 ? bufferPicture_[n].get() : nullptr;
}

CPicture* CScreenPart::LoadSystemPicture(const char* name, int flag) {
  return systemPicture_ ? systemPicture_->Load(name, flag) : nullptr;
}

int CScreenPart::GetScreenWidth() const { return links_.width; }

int CScreenPart::GetScreenHeight() const { return links_.height; }

platform::Window* CScreenPart::GetWindowHandle() { return links_.window; }

// --- Frame timing the modes ask the screen for ---

int CScreenPart::CalcuWaitCount(int n) { return links_.frame->CalcuWaitCount(n); }

void CScreenPart::ResetFrameTime() { links_.frame->ResetFrameTime(); }

int CScreenPart::GetMessageWaitTime() const { return links_.frame->GetMessageWaitTime(); }

// --- Dirty rectangles and the presentation ---

void CScreenPart::AddUpdateRect(const platform::Rect& rect) {
  if (updateRectCount_ >= kMaxUpdateRects || rect.right <= rect.left || rect.bottom <= rect.top)
    return;
  updateRects_[0][updateRectCount_] = rect.left;
  updateRects_[1][updateRectCount_] = rect.top;
  updateRects_[2][updateRectCount_] = rect.right - rect.left;
  updateRects_[3][updateRectCount_] = rect.bottom - rect.top;
  ++updateRectCount_;
}

void CScreenPart::FlushUpdateRects() {
  for (int i = 0; i < updateRectCount_; ++i)
    CScreenBuffer::AddDirtyRect(updateRects_[0][i], updateRects_[1][i], updateRects_[2][i],
                                updateRects_[3][i]);
  updateRectCount_ = 0;
}

void CScreenPart::PrintScreen() {}

void CScreenPart::FlipScreen() {
  // The whole buffer or its dirty rectangles in one call; the vertical
  // blank is waited for once, never with "noWaitVSync". Without DirectDraw
  // ("notUseDirectDraw") the same path serves.
  if (presentation_) presentation_->PresentScreenBuffer(settings_.noWaitVSync);
}

void CScreenPart::UpdateScreenNow() {
  if (screenUpdateBlocked_) return;
  PrintScreen();
  FlipScreen();
}

void CScreenPart::RestoreSurfaces(int flag) {
  surfaceRestoreFlag_ = flag;
  if (presentation_ && presentation_->RestoreSurfaces(flag)) CScreenBuffer::SetFullRedraw(0);
}

void CScreenPart::RecoverSurfaces() {
  if (presentation_ && presentation_->RestoreSurfaces(1)) CScreenBuffer::SetFullRedraw(0);
}

void CScreenPart::HideCursor() {
  if (links_.window) links_.window->ShowSystemCursor(false);
}

// --- Window and full screen ---

void CScreenPart::SuperviseFullScreen() {
  // The full screen is the desktop's, reporting the game's size as its
  // mode; another size means the display left the game. The fall-back
  // waits 5 frames; the window-message log notes "ロスト確認".
  if (!settings_.adjustFullScreenLost || links_.vars->GetSystemSetting(4) == 0) return;
  if (lostCountdown_ > 0) {
    if (--lostCountdown_ == 0) ToWindowMode(0);
    return;
  }
  if (!links_.window) return;
  const platform::Point mode = links_.window->GetDisplayMode();
  if (mode.x != links_.width || mode.y != links_.height) {
    links_.debug->WriteWindowLog("\x83\x8D\x83\x58\x83\x67\x8A\x6D\x94\x46");  // ロスト確認
    lostCountdown_ = kLostFrames;
  }
}

// The window and full screen at the level of the game: the option, the
// hooks, the redraw and the wheel pause around the display-mode switch.
void CScreenPart::SwitchScreenMode(int full, int quiet) {
  CVariablePart& vars = *links_.vars;
  CGameHooks& hooks = *links_.hooks;
  if ((vars.GetSystemSetting(4) != 0) == (full != 0)) return;
  vars.SetSystemSetting(4, full ? 1 : 0);
  if (!quiet) hooks.CallScreenChangeBegin();
  hooks.OnBeforeScreenChange();
  // The movie pauses around the switch (the configuration screen's
  // window-mode buttons after it come with that mode).
  CMoviePlayer* movie =
      links_.modes->GetCurrentMode() == modenumber::kPrintMovie ? links_.sound->GetMoviePlayer() : nullptr;
  if (movie) {
    movie->Suspend();
    if (full) platform::Sleep(50);
  }
  if (full)
    ToFullScreen();
  else
    ToWindowScreen();
  if (movie) movie->Resume();
  hooks.OnAfterScreenChange();
  if (!quiet) hooks.CallScreenChangeEnd();
  CScreenBuffer::SetFullRedraw(0);
  if (full)
    CScreenBuffer::SetFullScreenFlag();
  else
    CScreenBuffer::ClearFullScreenFlag();
  links_.input->PauseWheel(2);
  if (CConfigScreen* config = links_.modes->GetConfigScreen()) config->UpdateWindowModeButtons();
}

void CScreenPart::ToWindowMode(int quiet) { SwitchScreenMode(0, quiet); }

void CScreenPart::ToFullScreenMode(int quiet) { SwitchScreenMode(1, quiet); }

void CScreenPart::RunDisplayModeSwitch(int full) {
  displaymode::State state;
  state.window = links_.window;
  state.width = links_.width;
  state.height = links_.height;
  state.bpp = links_.bpp;
  state.windowLeft = windowX_;
  state.windowTop = windowY_;
  state.fullScreenWidth = fullScreenWidth_;
  state.fullScreenHeight = fullScreenHeight_;
  state.clipLeft = clipLeft_;
  state.clipTop = clipTop_;
  state.clipRight = clipRight_;
  state.clipBottom = clipBottom_;
  state.screen = std::move(presentation_);
  state.trace = [this](const char* text) { links_.debug->WriteWindowLog(text); };
  if (full)
    displaymode::ToFullScreen(&state);
  else
    displaymode::ToWindowScreen(&state);
  presentation_ = std::move(state.screen);
}

void CScreenPart::ToWindowScreen() { RunDisplayModeSwitch(0); }

void CScreenPart::ToFullScreen() { RunDisplayModeSwitch(1); }

void CScreenPart::ToggleScreenMode(int quiet) {
  if (links_.vars->GetSystemSetting(4) == 0)
    ToFullScreenMode(quiet);
  else
    ToWindowMode(quiet);
}

void CScreenPart::SetFullScreenSize(int width, int height) {
  fullScreenWidth_ = width;
  fullScreenHeight_ = height;
  if (presentation_) presentation_->SetFullScreenSize(width, height);
}

void CScreenPart::SetClipLeftTop(int left, int top) {
  clipLeft_ = left;
  clipTop_ = top;
  if (presentation_) presentation_->SetClipLeftTop(left, top);
}

void CScreenPart::SetClipRightBottom(int right, int bottom) {
  clipRight_ = right;
  clipBottom_ = bottom;
  if (presentation_) presentation_->SetClipRightBottom(right, bottom);
}

void CScreenPart::SetWindowPosition(int x, int y) {
  windowX_ = x;
  windowY_ = y;
}

// --- Effects and wipes ---

void CScreenPart::CalcuEffect() {
  if (effect_) effect_->Calcu();
}

void CScreenPart::AddEffectFrame(int frames) {
  if (effect_) effect_->AddFrame(frames);
}

void CScreenPart::EndEffectMove() {
  if (!effect_) return;
  effect_->EndMove();
  effect_->FinishEffects();
}

// Pass 0 draws channels 0..14, pass 1 channel 15. While a back script runs
// every channel is drawn, the hidden layers too.
void CScreenPart::RefreshEffect(int pass) {
  if (!effect_) return;
  const int onlyEnabled = links_.scripts->GetBackScriptMode() == 0 ? 1 : 0;
  if (pass == 0) effect_->CheckRedraw();
  if (CScreenBuffer::CheckFullRedraw()) effect_->Print(pass, onlyEnabled);
  if (pass == 1) effect_->FinishEffects();
}

void CScreenPart::PrintEffect(int first, int last) {
  if (!effect_) return;
  effect_->PrintRange(first, last, 0, 0);
  if (last == kEffectChannels - 1) effect_->FinishEffects();
}

CPicture* CScreenPart::GetEffectPicture(int n) { return effect_ ? effect_->GetPicture(n) : nullptr; }

void CScreenPart::PrintWipe(int progress) {
  if (effect_)
    effect_->PrintWipe(wipeType_, bufferPicture_[0].get(), bufferPicture_[1].get(), progress, wipeLength_);
}

void CScreenPart::PrintWipeType(int progress, int length, int kind) {
  if (effect_) effect_->PrintWipe(kind, bufferPicture_[0].get(), bufferPicture_[1].get(), progress, length);
}

void CScreenPart::SwitchEffectLayer(int layer, int on) {
  if (layer < 0 || layer >= kLayerCount) return;
  if (effect_) effect_->SetPrintEnable(layer, on != 0 ? 1 : 0);
  CGameVariables* vars = links_.vars->GetVariables();
  if (!vars) return;
  const int bit = 1 << layer;
  const int mask = vars->GetLayerOffMask();
  vars->SetLayerOffMask(on != 0 ? mask & ~bit : mask | bit);
}

void CScreenPart::SetLayerDisableMask(int mask) {
  for (int layer = 0; layer < kLayerCount; ++layer)
    if (effect_) effect_->SetPrintEnable(layer, (mask >> layer) & 1 ? 0 : 1);
  if (CGameVariables* vars = links_.vars->GetVariables()) vars->SetLayerOffMask(mask);
}

int CScreenPart::GetLayerDisableMask() const {
  const CGameVariables* vars = links_.vars->GetVariables();
  return vars ? vars->GetLayerOffMask() : 0;
}

// The effect manager keeps one screen-sized picture, the capture effect's
// saved screen: the picture of the screen behind a mode that captured it on
// entry. It is both the back picture (put back before a mode filters it)
// and the screen picture (captured again after).
CPicture* CScreenPart::GetEffectBackPicture() const { return GetEffectScreenPicture(); }

CPicture* CScreenPart::GetEffectScreenPicture() const {
  return effect_ ? CEffectManager::GetSavedScreen() : nullptr;
}

// --- The boss-coming cover ---

void CScreenPart::PrintBossComing() {
  CScreenBuffer::SetFullRedraw(0);
  const int* color = settings_.bossComingColor;
  if (settings_.bossComingType == 1)
    CAllGraphics::FillScreen(color[0], color[1], color[2]);
  else if (settings_.bossComingType == 2 && bossComingPicture_)
    bossComingPicture_->Put(0, 0, 0);
}

// --- Its share of the saved game ---

void CScreenPart::PutStatus(uint8_t* status) const {
  gamestatus::Set(status, gamestatus::kLayerMask, GetLayerDisableMask());
}

void CScreenPart::GetStatus(const uint8_t* status) {
  SetLayerDisableMask(gamestatus::Get(status, gamestatus::kLayerMask));
}

void CScreenPart::KeepEffects() {
  if (CAllEffect* effect = GetEffect()) effect->SaveChannels();
  for (int ch = 0; ch < kEffectChannels; ++ch)
    gamestatus::PutText(reinterpret_cast<uint8_t*>(keptEffectNames_[ch]), kEffectNameSize,
                        effectPictureNames_[ch], kEffectNameSize - 2);
}

void CScreenPart::RestoreKeptEffects() {
  CAllEffect* effect = GetEffect();
  if (effect) effect->LoadChannels();
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    CPicture* picture = effect && keptEffectNames_[ch][0] ? effect->GetPicture(ch) : nullptr;
    if (picture) picture->LoadDWQ(keptEffectNames_[ch], 0, nullptr);
  }
}

void CScreenPart::PutEffects(uint8_t* chunk, size_t size) const {
  CAllEffect* effect = GetEffect();
  constexpr size_t kHeader = savechunk::kHeaderSize;
  if (!chunk || !effect || size < kHeader + kEffectChannels * size_t{EffectChannel::kBytes}) return;
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    const EffectChannel* record = effect->GetSaveChannel(ch);
    if (!record) continue;
    uint8_t* out = chunk + kHeader + static_cast<size_t>(EffectChannel::kBytes) * ch;
    for (int i = 0; i < EffectChannel::kInts; ++i) platform::SetLE32(out + 4 * i, static_cast<uint32_t>(record->v[i]));
  }
}

void CScreenPart::GetEffects(const uint8_t* chunk, size_t size) {
  CAllEffect* effect = GetEffect();
  constexpr size_t kHeader = savechunk::kHeaderSize;
  if (!chunk || !effect || size < kHeader + kEffectChannels * size_t{EffectChannel::kBytes}) return;
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    const uint8_t* in = chunk + kHeader + static_cast<size_t>(EffectChannel::kBytes) * ch;
    // The live channels and the kept copy, so that the state put back when
    // the load screen closes is the loaded one.
    EffectChannel* records[2] = {effect->GetChannel(ch), effect->GetSaveChannel(ch)};
    for (EffectChannel* record : records)
      if (record)
        for (int i = 0; i < EffectChannel::kInts; ++i) record->v[i] = platform::GetLE32Signed(in + 4 * i);
  }
}

void CScreenPart::PutEffectFileNames(uint8_t* chunk, size_t size) const {
  constexpr size_t kHeader = savechunk::kHeaderSize;
  if (!chunk || size < kHeader + kEffectChannels * size_t{kEffectNameSize}) return;
  for (int ch = 0; ch < kEffectChannels; ++ch)
    gamestatus::PutText(chunk + kHeader + kEffectNameSize * ch, kEffectNameSize, keptEffectNames_[ch],
                        kEffectNameSize - 2);
}

void CScreenPart::GetEffectFileNames(const uint8_t* chunk, size_t size) {
  constexpr size_t kHeader = savechunk::kHeaderSize;
  if (!chunk || size < kHeader + kEffectChannels * size_t{kEffectNameSize}) return;
  CAllEffect* effect = GetEffect();
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    const std::string name = gamestatus::GetText(chunk + kHeader + kEffectNameSize * ch, kEffectNameSize);
    std::memset(keptEffectNames_[ch], 0, kEffectNameSize);
    std::memcpy(keptEffectNames_[ch], name.data(), name.size());
    std::memcpy(effectPictureNames_[ch], keptEffectNames_[ch], kEffectNameSize);
    // The pictures of the channels in use come back; one that fails keeps
    // its previous picture.
    const EffectChannel* record = effect ? effect->GetChannel(ch) : nullptr;
    CPicture* picture = record && record->v[0] != 0 && !name.empty() ? effect->GetPicture(ch) : nullptr;
    if (picture && !picture->LoadDWQ(name.c_str(), 0, nullptr))
      platform::MessageBox(nullptr, name.c_str(), "LOADDWQ ERROR", MB_OK);
  }
}
