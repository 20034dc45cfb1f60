// CEffectManager: the sixteen effect channels over the screen buffer, one
// object of every registered effect class, the sixteen channel pictures and
// the saved copy of the channel records that save slots carry.
//
// A frame, as the game drives it: SetMousePos and Tick; Calcu; CheckRedraw
// and Print (0); the mode's own drawing; Print (1) and FinishEffects;
// AddFrame (frames passed).
//
// Records are trusted only as far as they are checked: every pass treats an
// effect number outside 0..255 or without an object as no effect and a
// picture number outside 0..15 as no picture, and RestoreEffects resets
// records that a save could not have held.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "effect/effectchannel.h"
#include "effect/effectregistry.h"

class CCommonEffect;
class CPicture;
class CWipeTableAccess;

class CEffectManager {
 public:
  static constexpr int kChannels = 16;
  static constexpr int kTableSize = 256;
  // The channel drawn in pass 1, above the mode's widgets.
  static constexpr int kTopChannel = 15;

  // Makes every registered effect; `extra` entries (tests) join the table
  // and take the place of a registered effect at the same number.
  explicit CEffectManager(std::span<const EffectEntry> extra = {});
  ~CEffectManager();
  CEffectManager(const CEffectManager&) = delete;
  CEffectManager& operator=(const CEffectManager&) = delete;
  void Release();

  // --- Channel set-up ---
  // 1 started, 0 refused (channel, number or effect missing, or the effect
  // refused). Number 1 answers 1 and leaves the channel alone.
  int StartEffect(int channel, int number, int count, const int* values);
  // Switches a running channel to another number that has an effect,
  // keeping values, counter and duration; 1 always.
  int ChangeEffect(int channel, int number);
  // n -1 frees and resets the channel; n 0..15 takes that picture's size
  // for all six rectangles; other n and channels are ignored.
  void SetPicture(int channel, int n);
  // Returns the opaque flag (0 for a channel outside 0..15).
  int ResetChannel(int channel);
  void ResetAll();
  void SetRect(int channel, int kind, const int* rect);
  void GetRect(int channel, int kind, int* rect) const;
  // Null outside 0..15.
  EffectChannel* GetChannel(int channel);
  EffectChannel* GetSaveChannel(int channel);
  // The argument is clamped into 0..15.
  CPicture* GetPicture(int channel);
  // -1 outside 0..15.
  int GetPictureNumber(int channel) const;
  // 1 with the current draw rectangle's position / size, 0 (and zeros)
  // outside 0..15.
  int GetDrawPos(int channel, int* x, int* y) const;
  int GetDrawSize(int channel, int* w, int* h) const;
  void GetOrigin(int* x, int* y) const;
  static int IsOpaqueChannel(int channel);
  void SetPrintEnable(int channel, int enable);
  void SetMousePos(int x, int y);
  void GetMousePos(int* x, int* y) const;
  void SetEffectSpeed(int n) { effectSpeed_ = n; }
  int GetEffectSpeed() const { return effectSpeed_; }
  // max(screen width, screen height) x 32 bytes of scratch for effects.
  uint8_t* GetWorkBuffer() { return workBuffer_.data(); }
  int GetWorkBufferSize() const { return static_cast<int>(workBuffer_.size()); }

  // --- The effect table ---
  // The object at number n; null outside 0..255 or where there is none.
  CCommonEffect* GetEffect(int n) const;
  int GetEndFlag(int n) const;
  int GetEffectCount() const { return kTableSize; }
  void SetWipeTable(CWipeTableAccess* table) { wipeTable_ = table; }

  // --- Per frame ---
  void Tick();
  void Calcu();
  void AddFrame(int n);
  void FinishEffects();
  void CheckRedraw();
  void Print(int pass, int onlyEnabled);
  void PrintRange(int first, int last, int reserved, int onlyEnabled);
  void CalcuMove();
  void EndMove();

  // --- The saved screen (owned by the screen-capture effect, #73) ---
  // Each returns the saved screen's pixels, null while there is none.
  uint32_t* GetScreen();
  uint32_t* PutScreen();
  uint32_t* GetScreenPicture();
  // The capture effect's constructor and destructor hand it over.
  static void SetSavedScreen(CPicture* picture);
  static CPicture* GetSavedScreen();

  // One step of a transition between two screen-sized pictures.
  void PrintWipe(int kind, CPicture* from, CPicture* to, int progress, int max);

  // --- Save and restore ---
  void SaveChannels();
  void LoadChannels();
  void RestoreChannel(int channel);
  void RestoreEffects();

 private:
  // The effect a record runs, or null for none / an unknown number.
  CCommonEffect* EffectOf(const EffectChannel& record) const;
  // The current draw rectangle from the counter (Calcu's move step).
  static void InterpolateDraw(EffectChannel* record);
  void DrawChannel(int channel, int onlyEnabled);
  // 1 when a record from a save cannot be used as it is.
  int IsBrokenRecord(const EffectChannel& record) const;

  std::array<EffectChannel, kChannels> channels_{};
  std::array<EffectChannel, kChannels> saved_{};
  std::array<std::unique_ptr<CCommonEffect>, kTableSize> table_;
  std::array<int, kTableSize> endFlags_{};
  std::array<std::unique_ptr<CPicture>, kChannels> pictures_;
  std::array<int, kChannels> printEnable_{};
  std::vector<uint8_t> workBuffer_;
  int mouseX_ = 0, mouseY_ = 0;
  int effectSpeed_ = 1;
  CWipeTableAccess* wipeTable_ = nullptr;

  static CPicture* savedScreen_;
};
