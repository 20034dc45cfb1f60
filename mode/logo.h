// CCommonLogo: mode 2, the logos of the start-up chain. Each logo fades in
// from a colour, stands, and fades out to a colour; sounds play at a frame
// of their logo; a click skips to the next logo when the logo's skip level
// allows it for this play count (1 always, 2 once the title has been
// entered in an earlier run, 0 never). After the last logo the mode leaves
// for "nextMode" (the title by default) through its exit fade.
#pragma once

#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"
#include "mode/modekeys.h"

class CCommonLogo : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kLogo;
  // Counts from the list are held to 0..kMaxCount.
  static constexpr int kMaxCount = 256;

  struct Logo {
    std::string fileName;  // empty: "sys\\logo%d"
    int fadeInTime = 10, fadeOutTime = 10, keepTime = 20;
    int skipLevel = 1;
    Rgb fadeInColor{255, 255, 255}, fadeOutColor{255, 255, 255};
    int fadeInFromPicture = 0, fadeOutFromPicture = 0;
  };
  struct Sound {
    int type = 0;  // 0 a sound-effect file, else a voice
    int logo = 1;  // 1-based
    int time = 0;
    std::string fileName;
    int played = 0;
  };

  explicit CCommonLogo(const GameRoles& game);
  ~CCommonLogo() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  void BeforeCreateExitScreen() override;
  // Loads the current logo's picture into the screen picture.
  virtual void LoadLogoPicture();
  // The next logo: -1 while one is left (its picture loaded), else
  // "nextMode".
  virtual int NextLogo();
  void Release();

  // For tests.
  int GetLogoCount() const { return static_cast<int>(logos_.size()); }
  const Logo& GetLogo(int i) const { return logos_[i]; }
  int GetSoundCount() const { return static_cast<int>(sounds_.size()); }
  int GetCurrentLogo() const { return current_; }
  int GetPhase() const { return phase_; }
  int GetPhaseCounter() const { return phaseCounter_; }

 private:
  int PhaseLength() const;
  // Leaves for the mode NextLogo names, or -1 while a logo is left.
  int Advance();
  void PlaySounds();

  std::vector<Logo> logos_;
  std::vector<Sound> sounds_;
  int nextMode_ = modenumber::kTitle;
  int current_ = 0;
  int phase_ = 0;  // 0 fade-in, 1 keep, 2 fade-out
  int phaseCounter_ = 0;
  int logoCounter_ = 0;
};
