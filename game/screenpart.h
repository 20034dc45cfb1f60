// CScreenPart: the screen: the screen buffer and its presentation on the
// window, the screen-size pictures (screen, work, the two buffer pictures
// of a wipe), the system picture cache and picture pool, the effect
// channels with the wipe in use and each channel's picture name, the dirty
// rectangles of a frame, the window and full screen, and the boss-coming
// cover. It plays the screen role (CScreenServices) for the modes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "effect/effectmanager.h"
#include "services/screenservices.h"

namespace platform {
class Window;
}  // namespace platform

class CCommonSystemFile;
class CDebugPart;
class CFramePart;
class CGameHooks;
class CInputPart;
class CModeFlowPart;
class CScriptPart;
class CSetupList;
class CSoundPart;
class CVariablePart;
class CAllEffect;
class CDirectDrawScreen;
class CPicturePool;
class CScreenBuffer;
class CSurfaceConverter;
class CSystemPicture;

class CScreenPart : public CScreenServices {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int dwqPackLevel = 0;
    int notUseDirectDraw = 0;
    int jpegMMX = 1;
    int vistaCheck = 1;
    int windowAdjustFlag = 1;
    int noWaitVSync = 0;
    int adjustFullScreenLost = 0;
    int bossComingType = 0;
    int bossComingColor[3] = {};
    const char* bossComingFileName = "bosscome";
  };
  static constexpr int kEffectChannels = CEffectManager::kChannels;
  static constexpr int kEffectNameSize = 256;
  static constexpr int kMaxUpdateRects = 100;

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CFramePart>& frame;
    std::unique_ptr<CVariablePart>& vars;
    std::unique_ptr<CSoundPart>& sound;
    std::unique_ptr<CInputPart>& input;
    std::unique_ptr<CScriptPart>& scripts;
    std::unique_ptr<CDebugPart>& debug;
    std::unique_ptr<CModeFlowPart>& modes;
    platform::Window* window;
    CCommonSystemFile* systemFile;
    int width;
    int height;
    int bpp;
    CGameHooks* hooks;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CScreenPart(const Links& links);
  virtual ~CScreenPart();
  CScreenPart(const CScreenPart&) = delete;
  CScreenPart& operator=(const CScreenPart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  void ReadSettings();

  // --- Init's steps, in its order ---
  // The picture loading switches; the picture loader, before anything
  // loads a picture; the screen buffer, black.
  void InitScreenBuffer();
  // The picture pool.
  void MakePicturePool();
  // The window position, pulled into the desktop when asked.
  void AdjustWindowPosition();
  // The presentation and the screen-size pictures.
  void InitPresentation();
  // The effect holder, reset.
  void MakeEffects();
  // The system picture cache.
  void MakeSystemPictures();
  // The effect channels' pictures, sized and loaded as the list asks.
  void InitPictureBuffers();
  // The boss-coming cover.
  void InitBossComing();

  // --- CScreenServices ---
  CPicture* GetScreenPicture() override { return screenPicture_.get(); }
  CPicture* GetWorkPicture() override { return workPicture_.get(); }
  void ToWindowMode(int quiet) override;
  void ToFullScreenMode(int quiet) override;
  void CalcuEffect() override;
  void AddEffectFrame(int frames) override;
  void RefreshEffect(int pass) override;
  CPicture* GetBufferPicture(int n) override;
  void PrintWipe(int progress) override;
  CPicture* LoadSystemPicture(const char* name, int flag) override;
  void AddUpdateRect(const platform::Rect& rect) override;
  platform::Window* GetWindowHandle() override;
  void PrintWipeType(int progress, int length, int kind) override;
  void ResetFrameTime() override;
  int GetScreenWidth() const override;
  int GetScreenHeight() const override;
  int CalcuWaitCount(int n) override;
  void SetLayerDisableMask(int mask) override;
  void UpdateScreenNow() override;
  void RestoreSurfaces(int flag) override;
  void HideCursor() override;
  CPicture* GetEffectBackPicture() const override;
  CPicture* GetEffectScreenPicture() const override;
  int GetMessageWaitTime() const override;
  CPicture* GetEffectPicture(int n) override;

  // --- Presenting a frame ---
  // The dirty rectangles the modes added this frame into the screen buffer.
  virtual void FlushUpdateRects();
  // The presentation uploads the screen buffer itself when it presents:
  // there is no separate surface to convert into.
  virtual void PrintScreen();
  virtual void FlipScreen();
  // A movie presents itself while updates are blocked.
  void SetScreenUpdateBlocked(int blocked) { screenUpdateBlocked_ = blocked; }
  int IsScreenUpdateBlocked() const { return screenUpdateBlocked_; }
  int GetSurfaceRestoreFlag() const { return surfaceRestoreFlag_; }
  // A lost presentation target is recovered and the next frame drawn whole.
  void RecoverSurfaces();
  CDirectDrawScreen* GetPresentation() const { return presentation_.get(); }
  int HasScreenBuffer() const { return screenBuffer_ != nullptr; }
  uint32_t* GetPixelBuffer() { return pixelBuffer_.get(); }
  CPicturePool* GetPicturePool() const { return picturePool_.get(); }
  CSystemPicture* GetSystemPictures() const { return systemPicture_.get(); }
  CSurfaceConverter* GetSurfaceConverter() const { return surfaceConverter_.get(); }

  // --- The window and full screen ---
  // A full screen whose display mode lost the game's size falls back to a
  // window 5 frames later ("adjustFullScreenLost").
  void SuperviseFullScreen();
  virtual void ToWindowScreen();
  virtual void ToFullScreen();
  void ToggleScreenMode(int quiet);
  virtual void SetFullScreenSize(int width, int height);
  virtual void SetClipLeftTop(int left, int top);
  virtual void SetClipRightBottom(int right, int bottom);
  // The window's client position (remembered for the next start).
  void SetWindowPosition(int x, int y);
  void GetWindowPosition(int* x, int* y) const {
    *x = windowX_;
    *y = windowY_;
  }

  // --- Effects and wipes ---
  CAllEffect* GetEffect() const { return effect_.get(); }
  virtual void EndEffectMove();
  // Every channel of the range, whatever its draw flag; the range that ends
  // with the top channel also finishes the effects.
  virtual void PrintEffect(int first, int last);
  // Shows (on != 0) or hides one effect layer and keeps its layer-off bit;
  // a layer outside 0..15 is ignored.
  void SwitchEffectLayer(int layer, int on);
  int GetLayerDisableMask() const;
  int GetWipeType() const { return wipeType_; }
  int GetWipeLength() const { return wipeLength_; }
  void SetWipe(int kind, int length) {
    wipeType_ = kind;
    wipeLength_ = length;
  }
  // The picture file each effect channel shows (CP932, empty none).
  char* GetEffectPictureName(int channel) { return effectPictureNames_[channel]; }

  // --- The boss-coming cover ---
  int GetBossComingFlag() const { return bossComingFlag_; }
  void SetBossComingFlag(int flag) { bossComingFlag_ = flag; }
  virtual void PrintBossComing();

 private:
  // One scheme for both directions of ToFullScreenMode / ToWindowMode.
  void SwitchScreenMode(int full, int quiet);
  // The display-mode switch with the game's window, size, remembered
  // position, full-screen size and clip, and its presentation.
  void RunDisplayModeSwitch(int full);

  // The picture loader's shared state, made with the screen buffer and
  // released after it, before the presentation.
  struct LoaderLease {
    LoaderLease() = default;
    LoaderLease(const LoaderLease&) = delete;
    LoaderLease& operator=(const LoaderLease&) = delete;
    ~LoaderLease();
    bool held = false;
  };

  const Links links_;
  Settings settings_;
  // Destroyed in the reverse order: the pictures, the system pictures, the
  // converter and the effects, then the screen buffer, the picture loader,
  // the presentation and the picture pool last.
  std::unique_ptr<CPicturePool> picturePool_;
  std::unique_ptr<CDirectDrawScreen> presentation_;
  LoaderLease loader_;
  std::unique_ptr<CScreenBuffer> screenBuffer_;
  std::unique_ptr<CAllEffect> effect_;
  std::unique_ptr<CSurfaceConverter> surfaceConverter_;
  std::unique_ptr<CSystemPicture> systemPicture_;
  std::unique_ptr<uint32_t[]> pixelBuffer_;
  std::unique_ptr<CPicture> screenPicture_;
  std::unique_ptr<CPicture> workPicture_;
  std::unique_ptr<CPicture> bufferPicture_[2];
  std::unique_ptr<CPicture> bossComingPicture_;
  int wipeType_ = 0, wipeLength_ = 0;
  char effectPictureNames_[kEffectChannels][kEffectNameSize] = {};
  int bossComingFlag_ = 0;
  int surfaceRestoreFlag_ = 1;
  int screenUpdateBlocked_ = 0;
  int fullScreenWidth_ = 0, fullScreenHeight_ = 0;
  int clipLeft_ = 0, clipTop_ = 0, clipRight_ = 0, clipBottom_ = 0;
  // The window position pulled into the desktop.
  int windowX_ = 0, windowY_ = 0;
  // Frames left before a full screen that lost the game's size falls back
  // to a window.
  int lostCountdown_ = 0;
  int updateRectCount_ = 0;
  int updateRects_[4][kMaxUpdateRects] = {};

 public:
  // --- Its share of the saved game (savedata/gamestatus.h) ---
  // The layer mask.
  void PutStatus(uint8_t* status) const;
  void GetStatus(const uint8_t* status);
  // The effect channels and their picture names as kept when a system
  // screen opens, and put back when it closes.
  void KeepEffects();
  void RestoreKeptEffects();
  // The EFFECT chunk (the kept channels) and the EFFECTFILENAME chunk (the
  // kept picture names; `chunk` a whole chunk of `size` bytes). A load
  // sets the live and the kept channels and names, and loads the pictures
  // of the channels in use; one that fails is named in a box.
  void PutEffects(uint8_t* chunk, size_t size) const;
  void GetEffects(const uint8_t* chunk, size_t size);
  void PutEffectFileNames(uint8_t* chunk, size_t size) const;
  void GetEffectFileNames(const uint8_t* chunk, size_t size);

 private:
  char keptEffectNames_[kEffectChannels][kEffectNameSize] = {};
};
