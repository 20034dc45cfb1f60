#include "mode/logo.h"

#include <algorithm>

#include "services/modeflowservices.h"
#include "services/soundservices.h"
#include "graphics/allgraphics.h"
#include "graphics/boxfill.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

CCommonLogo::CCommonLogo(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("logo", 64);
  LoadFadeSetup();
  GetSetupMode("nextMode", &nextMode_);

  Logo def;
  GetSetupInt(&def.fadeInFromPicture, "defaultUseBGColor");
  def.fadeOutFromPicture = def.fadeInFromPicture;
  GetSetupInt(&def.fadeInTime, "defaultFadeInTime");
  GetSetupInt(&def.fadeOutTime, "defaultFadeOutTime");
  GetSetupInt(&def.keepTime, "defaultKeepTime");
  ReadColorKeys(*this, "defaultFadeInColor", "", &def.fadeInColor);
  ReadColorKeys(*this, "defaultFadeOutColor", "", &def.fadeOutColor);
  int customBG = 0, customFile = 0, customSkip = 0, customTime = 0, customColor = 0;
  GetSetupInt(&customBG, "useCustomBGColorFlag");
  GetSetupInt(&customFile, "useCustomFileFlag");
  GetSetupInt(&customSkip, "useCustomSkipFlag");
  GetSetupInt(&customTime, "useCustomTimeFlag");
  GetSetupInt(&customColor, "useCustomColorFlag");

  logos_.assign(ReadCount(*this, "logoNumber", 2, kMaxCount), def);
  for (int n = 1; n <= GetLogoCount(); ++n) {
    Logo& logo = logos_[n - 1];
    const std::string s = std::to_string(n);
    if (customFile) {
      const char* name = nullptr;
      if (GetSetupString(&name, Numbered("filename", n).c_str())) logo.fileName = name;
    }
    if (customTime) {
      GetSetupInt(&logo.fadeInTime, Numbered("fadeInTime", n).c_str());
      GetSetupInt(&logo.fadeOutTime, Numbered("fadeOutTime", n).c_str());
      GetSetupInt(&logo.keepTime, Numbered("keepTime", n).c_str());
    }
    if (customSkip) GetSetupInt(&logo.skipLevel, Numbered("skipOK", n).c_str());
    if (customColor) {
      ReadColorKeys(*this, "fadeInColor", s.c_str(), &logo.fadeInColor);
      ReadColorKeys(*this, "fadeOutColor", s.c_str(), &logo.fadeOutColor);
    }
    if (customBG) {
      GetSetupInt(&logo.fadeInFromPicture, Numbered("fadeInBGColorFlag", n).c_str());
      GetSetupInt(&logo.fadeOutFromPicture, Numbered("fadeOutBGColorFlag", n).c_str());
    }
  }

  sounds_.resize(ReadCount(*this, "soundNumber", 0, kMaxCount));
  for (int n = 1; n <= GetSoundCount(); ++n) {
    Sound& sound = sounds_[n - 1];
    GetSetupInt(&sound.type, Numbered("soundType", n).c_str());
    GetSetupInt(&sound.logo, Numbered("soundLogo", n).c_str());
    GetSetupInt(&sound.time, Numbered("soundTime", n).c_str());
    const char* name = nullptr;
    if (GetSetupString(&name, Numbered("soundFilename", n).c_str())) sound.fileName = name;
  }
}

CCommonLogo::~CCommonLogo() { Release(); }

void CCommonLogo::Release() {
  logos_.clear();
  sounds_.clear();
}

int CCommonLogo::Init() {
  current_ = phase_ = phaseCounter_ = logoCounter_ = 0;
  LoadLogoPicture();
  for (Sound& sound : sounds_) sound.played = 0;
  return 0;
}

void CCommonLogo::LoadLogoPicture() {
  if (current_ >= GetLogoCount() || !screenPicture_) return;
  const std::string& name = logos_[current_].fileName;
  std::string path;
  if (name.empty()) {
    path = "sys\\logo" + std::to_string(current_ + 1);
  } else {
    // A name with its own folder ("xx\\name" or "xxx\\name") is used as it
    // is; the length is looked at first, so a short name is never read past
    // its end.
    const bool ownFolder = (name.size() > 2 && name[2] == '\\') || (name.size() > 3 && name[3] == '\\');
    path = ownFolder ? name : "sys\\" + name;
  }
  screenPicture_->LoadDWQ(path.c_str());
}

int CCommonLogo::NextLogo() {
  ++current_;
  phaseCounter_ = logoCounter_ = phase_ = 0;
  if (current_ >= GetLogoCount()) return nextMode_;
  LoadLogoPicture();
  CScreenBuffer::SetFullRedraw(0);
  return -1;
}

int CCommonLogo::Advance() {
  const int r = NextLogo();
  return r == -1 ? -1 : ExitToMode(r);
}

int CCommonLogo::PhaseLength() const {
  const Logo& logo = logos_[current_];
  switch (phase_) {
    case 0: return logo.fadeInTime;
    case 1: return logo.keepTime;
    case 2: return logo.fadeOutTime;
    default: return 0;
  }
}

void CCommonLogo::PlaySounds() {
  for (Sound& sound : sounds_) {
    if (sound.played || sound.logo != current_ + 1 || sound.time > logoCounter_) continue;
    sound.played = 1;
    if (sound.fileName.empty() || !game_) continue;
    if (sound.type == 0)
      game_.sound->PlaySeFile(sound.fileName.c_str(), 0);
    else
      game_.sound->PlayVoice(sound.fileName.c_str());
  }
}

int CCommonLogo::Calcu() {
  // Without a logo there is nothing to show: leave at once.
  if (current_ >= GetLogoCount()) return ExitToMode(nextMode_);
  const int skip = logos_[current_].skipLevel;
  const int playCount = game_ ? game_.modeFlow->GetPlayCount() : 0;
  if (skip != 0 && static_cast<long long>(playCount) + 1 >= skip && (GetClick(0) || GetClick(1))) {
    CScreenBuffer::SetFullRedraw(0);
    return Advance();
  }
  ++phaseCounter_;
  ++logoCounter_;
  PlaySounds();
  if (phaseCounter_ >= PhaseLength()) {
    phaseCounter_ = 0;
    ++phase_;
    CScreenBuffer::SetFullRedraw(0);
    if (phase_ > 2) return Advance();
  }
  if (phase_ != 1) CScreenBuffer::SetFullRedraw(0);
  return -1;
}

int CCommonLogo::Print() {
  CPicture* picture = screenPicture_;
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  if (phase_ == 1 && current_ < GetLogoCount()) {
    const bool whole = CScreenBuffer::CheckFullRedraw() != 0;
    if (!whole && phaseCounter_ > 1) return -1;
    if (!whole) CScreenBuffer::SetFullRedraw(0);
    if (picture) picture->Put(0, 0, 0);
    return -1;
  }
  CScreenBuffer::SetFullRedraw(0);
  // Past the last logo: the last one, faded out completely.
  int index = current_, phase = phase_, counter = phaseCounter_;
  if (index >= GetLogoCount()) {
    if (logos_.empty()) {
      // No logo at all: only the fill.
      const Rgb c = Logo{}.fadeOutColor;
      CAllGraphics::FillScreen(c.r, c.g, c.b);
      return -1;
    }
    index = GetLogoCount() - 1;
    phase = 2;
    counter = logos_[index].fadeOutTime;
  }
  const Logo& logo = logos_[index];
  Rgb fill = phase == 0 ? logo.fadeInColor : logo.fadeOutColor;
  const int fromPicture = phase == 0 ? logo.fadeInFromPicture : logo.fadeOutFromPicture;
  if (fromPicture && picture && picture->GetPixelBuffer() && !picture->Get256Flag()) {
    const uint32_t p = picture->GetPixelBuffer()[0];
    fill = {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
  }
  long long percent = 100;
  if (phase == 0) percent = counter * 100LL / std::max(logo.fadeInTime, 1);
  if (phase == 2) percent = (static_cast<long long>(logo.fadeOutTime) - counter) * 100 / std::max(logo.fadeOutTime, 1);
  percent = std::clamp<long long>(percent, 0, 100);
  // A picture covering the screen is blended with the fill colour straight
  // into the frame, which is then written once instead of filled first.
  const auto inByte = [](int v) { return v >= 0 && v <= 255; };
  if (picture && percent < 100 && inByte(fill.r) && inByte(fill.g) && inByte(fill.b)) {
    const uint32_t colour = geo::ColourWord(fill.r, fill.g, fill.b);
    if (picture->TransLucentBltOnColour(0, 0, w, h, static_cast<int>(percent), colour)) return -1;
  }
  CAllGraphics::FillScreen(fill.r, fill.g, fill.b);
  if (!picture) return -1;
  if (percent < 100)
    picture->TransLucentBlt(0, 0, 0, 0, w, h, static_cast<int>(percent));
  else
    picture->Put(0, 0, 0);
  return -1;
}

void CCommonLogo::BeforeCreateExitScreen() { Print(); }
