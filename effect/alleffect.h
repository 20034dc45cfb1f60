// CAllEffect: the game's holder of the effect manager. Its operations pass
// straight on to the manager under the same names.
#pragma once

#include <memory>

#include "effect/effectmanager.h"

class CAllEffect {
 public:
  CAllEffect();
  ~CAllEffect();
  CAllEffect(const CAllEffect&) = delete;
  CAllEffect& operator=(const CAllEffect&) = delete;
  void Release();

  // Null after Release.
  CEffectManager* GetManager() const { return manager_.get(); }

  int StartEffect(int channel, int number, int count, const int* values) {
    return manager_ ? manager_->StartEffect(channel, number, count, values) : 0;
  }
  int ChangeEffect(int channel, int number) {
    return manager_ ? manager_->ChangeEffect(channel, number) : 1;
  }
  void SetPicture(int channel, int n) { Run(&CEffectManager::SetPicture, channel, n); }
  int ResetChannel(int channel) { return manager_ ? manager_->ResetChannel(channel) : 0; }
  void ResetAll() { Run(&CEffectManager::ResetAll); }
  void SetRect(int channel, int kind, const int* rect) {
    Run(&CEffectManager::SetRect, channel, kind, rect);
  }
  void GetRect(int channel, int kind, int* rect) const {
    if (manager_) manager_->GetRect(channel, kind, rect);
  }
  EffectChannel* GetChannel(int channel) {
    return manager_ ? manager_->GetChannel(channel) : nullptr;
  }
  EffectChannel* GetSaveChannel(int channel) {
    return manager_ ? manager_->GetSaveChannel(channel) : nullptr;
  }
  CPicture* GetPicture(int channel) { return manager_ ? manager_->GetPicture(channel) : nullptr; }
  void SetPrintEnable(int channel, int enable) {
    Run(&CEffectManager::SetPrintEnable, channel, enable);
  }
  void SetMousePos(int x, int y) { Run(&CEffectManager::SetMousePos, x, y); }
  void SetEffectSpeed(int n) { Run(&CEffectManager::SetEffectSpeed, n); }
  void Tick() { Run(&CEffectManager::Tick); }
  void Calcu() { Run(&CEffectManager::Calcu); }
  void AddFrame(int n) { Run(&CEffectManager::AddFrame, n); }
  void FinishEffects() { Run(&CEffectManager::FinishEffects); }
  void CheckRedraw() { Run(&CEffectManager::CheckRedraw); }
  void Print(int pass, int onlyEnabled) { Run(&CEffectManager::Print, pass, onlyEnabled); }
  void PrintRange(int first, int last, int reserved, int onlyEnabled) {
    Run(&CEffectManager::PrintRange, first, last, reserved, onlyEnabled);
  }
  void EndMove() { Run(&CEffectManager::EndMove); }
  uint32_t* GetScreen() { return manager_ ? manager_->GetScreen() : nullptr; }
  uint32_t* PutScreen() { return manager_ ? manager_->PutScreen() : nullptr; }
  void PrintWipe(int kind, CPicture* from, CPicture* to, int progress, int max) {
    Run(&CEffectManager::PrintWipe, kind, from, to, progress, max);
  }
  void SaveChannels() { Run(&CEffectManager::SaveChannels); }
  void LoadChannels() { Run(&CEffectManager::LoadChannels); }
  void RestoreEffects() { Run(&CEffectManager::RestoreEffects); }

 private:
  template <typename... Args, typename... Given>
  void Run(void (CEffectManager::*op)(Args...), Given... args) {
    if (manager_) (manager_.get()->*op)(args...);
  }

  std::unique_ptr<CEffectManager> manager_;
};
