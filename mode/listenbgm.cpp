#include "mode/listenbgm.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "services/backscriptservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "message/rendersettings.h"
#include "message/textprint.h"
#include "setup/namelist.h"
#include "sound/bgmplayer.h"
#include "sound/musicbars.h"
#include "widget/anime.h"
#include "widget/multistatebutton.h"
#include "widget/numberprint.h"
#include "widget/slider.h"
#include "widget/updownbutton.h"

namespace listenbgm {

int SpectrumPoints(int requested) {
  int n = requested > 1023 ? 1024 : requested <= 64 ? 64 : requested;
  int p = 64;
  while (p * 2 <= n) p *= 2;
  return p;
}

std::vector<float> MakeWindow(int n) {
  std::vector<float> w(static_cast<size_t>(std::max(n, 0)));
  const float half = static_cast<float>(n / 2 > 0 ? n / 2 : 1);
  for (int i = 0; i < n; ++i)
    w[static_cast<size_t>(i)] =
        static_cast<float>((1.0 - std::cos(6.28318f * static_cast<float>(i) / half)) * 0.5);
  return w;
}

std::vector<int> BandStarts(int n, int bands, int startHz, int endHz) {
  bands = std::clamp(bands, 2, kMaxBands);
  const double s = std::log(static_cast<double>(std::max(startHz, 1)));
  const double e = std::log(static_cast<double>(std::max(endHz, 1)));
  const int last = std::max(n / 2 - 1, 1);
  std::vector<int> starts(static_cast<size_t>(bands));
  for (int j = 0; j < bands; ++j) {
    const double f = std::exp(s + (e - s) * j / (bands - 1));
    // Held before the conversion, so no frequency can overflow it.
    const double bin = std::clamp(static_cast<double>(n / 2 - 1) * f / 22050.0, 1.0, static_cast<double>(last));
    starts[static_cast<size_t>(j)] = static_cast<int>(bin);
  }
  return starts;
}

void BandLevels(const float* re, const float* im, int n, const std::vector<int>& starts, int* out) {
  const int bands = static_cast<int>(starts.size());
  const int half = n / 2;
  for (int j = 0; j < bands; ++j) {
    const int s = starts[static_cast<size_t>(j)];
    int count = (j + 1 < bands ? starts[static_cast<size_t>(j) + 1] : bands) - s;
    // Every band stops below n / 2: bins past it are not the music's.
    count = std::clamp(count, 1, std::max(half - s, 1));
    double sum = 0;
    for (int k = s; k < s + count; ++k) {
      const double magnitude = std::sqrt(static_cast<double>(re[k]) * re[k] + static_cast<double>(im[k]) * im[k]);
      double level = 20.0 * std::log(magnitude + 0.00001) / std::log(10.0);
      if (level < -100.0) level = -100.0;
      sum += level;
    }
    out[j] = static_cast<int>(sum / count + 100.0);
  }
}

void SpectrumFrame(CFastFourierTransform* fft, const float* samples, const std::vector<float>& window,
                   const std::vector<int>& starts, float* re, float* im, int* levels) {
  const int n = static_cast<int>(window.size());
  for (int i = 0; i < n; ++i) {
    re[i] = samples[i] * window[static_cast<size_t>(i)];
    im[i] = 0.0f;
  }
  if (fft) fft->Transform(n, re, im);
  BandLevels(re, im, n, starts, levels);
}

namespace {

int64_t ReadDecimal(const char* text) {
  if (!text) return 0;
  const long long v = std::strtoll(text, nullptr, 10);
  return std::clamp<long long>(v, -1000000000LL, 1000000000LL);
}

}  // namespace

int TrackLengthMs(const char* minutes, const char* seconds) {
  const int64_t ms = ReadDecimal(minutes) * 60000 + ReadDecimal(seconds) * 1000 + 1000;
  return static_cast<int>(std::clamp<int64_t>(ms, 0, INT_MAX));
}

int NameWidth(const char* text, int codeByte) {
  const int bytes = text ? static_cast<int>(std::min<size_t>(std::strlen(text), 100000)) : 0;
  return codeByte == 1 ? bytes : bytes / 2;
}

int CentreOffset(int width, int nameMax, int fontSize, int codeByte) {
  const int64_t room = static_cast<int64_t>(nameMax) - width;
  const int64_t c = codeByte == 1 ? (static_cast<int64_t>(fontSize) / 2 + 1) * room / 2
                                  : room * (static_cast<int64_t>(fontSize) + 1) / 2;
  return static_cast<int>(std::clamp<int64_t>(c, -kMaxCoordinate, kMaxCoordinate));
}

}  // namespace listenbgm

namespace {

constexpr const char* kButtonNames[CCommonListenBGM::kButtons] = {"rew", "play", "ff", "pause", "stop"};
// "？？？"
constexpr const char kCannotName[] = "\x81\x48\x81\x48\x81\x48";

}  // namespace

CCommonListenBGM::CCommonListenBGM(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("ListenBGM", 256);
  LoadBackScriptSetup();
  LoadBackButtonSetup();
  LoadUpDownButtonSetup();
  CreateUpdownBack();
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();
  backgroundFileName_ = "bgm_bg";
  GetSetupString(&backgroundFileName_, "fileNameBG");
  ReadSettings();
  ReadTracks();

  CPicture* back = backScriptFlag_ ? nullptr : screenPicture_;
  for (int i = 0; i < kButtons; ++i) {
    buttons_[i] = std::make_unique<CCommonCheckButton>(GetSetupList(), back, kButtonNames[i]);
    for (int s = 0; s < 2; ++s) buttons_[i]->SetPicture(CPicturePool::GetPicture(kFirstPoolPicture + 2 * i + s), s);
  }
  if (game_ && game_.text->GetFont()) text_ = std::make_unique<CTextPrint>(game_.text->GetFont());
  CPicture* bar = game_ ? game_.screen->LoadSystemPicture(volumeFile_, 0) : nullptr;
  slider_ = std::make_unique<CCommonSlider>(bar, 100, k_.volumeX, k_.volumeY, k_.volumeW, k_.volumeH, 0, 0,
                                            k_.volumeTrans, back, 0);
  numberFont_ = std::make_unique<CPicture>();
  number_ = std::make_unique<CNumberPrint>(numberFont_.get(), k_.digitW, k_.digitH, 2, k_.digitNextX, 1, 1, 0);
  cursorPicture_ = std::make_unique<CPicture>();
  if (k_.spectrum) SetUpSpectrum();
}

CCommonListenBGM::~CCommonListenBGM() { Release(); }

void CCommonListenBGM::Release() {
  for (auto& b : buttons_) b.reset();
  text_.reset();
  slider_.reset();
  number_.reset();
  numberFont_.reset();
  cursorPicture_.reset();
  spectrum_.reset();
  fft_.reset();
  tracks_.clear();
  list_.reset();
}

void CCommonListenBGM::ReadSettings() {
  struct Key {
    const char* name;
    int Keys::* field;
  };
  static constexpr Key kKeys[] = {
      {"playRestartScriptFlag", &Keys::playRestart}, {"stopRestartScriptFlag", &Keys::stopRestart},
      {"pauseRestartScriptFlag", &Keys::pauseRestart}, {"volumeMin", &Keys::volumeMin},
      {"volumeMax", &Keys::volumeMax}, {"musicNameMax", &Keys::nameMax},
      {"musicPrintNumber", &Keys::rows}, {"checklisten", &Keys::checkListen},
      {"useCannotByList", &Keys::useCannotByList}, {"volumePrintX", &Keys::volumeX},
      {"volumePrintY", &Keys::volumeY}, {"volumeSizeX", &Keys::volumeW},
      {"volumeSizeY", &Keys::volumeH}, {"volumeSliderTransFlag", &Keys::volumeTrans},
      {"musicFadeInTime", &Keys::fadeIn}, {"musicFadeOutTime", &Keys::fadeOut},
      {"bgmLoopFlag", &Keys::loop}, {"messageFontSize", &Keys::fontSize},
      {"fontSizeX", &Keys::digitW}, {"fontSizeY", &Keys::digitH},
      {"trackAndTimePrintFlag", &Keys::trackAndTime}, {"trackPrintX", &Keys::trackX},
      {"trackPrintY", &Keys::trackY}, {"minutePrintX", &Keys::minuteX},
      {"minutePrintY", &Keys::minuteY}, {"secondPrintX", &Keys::secondX},
      {"secondPrintY", &Keys::secondY}, {"cursorAnimeFlag", &Keys::animeFlag},
      {"cursorAnimeType", &Keys::animeType}, {"cursorAnimeSpeed", &Keys::animeSpeed},
      {"cursorAnimePattern", &Keys::animePattern}, {"musicNamePrintX", &Keys::nameX},
      {"musicNamePrintY", &Keys::nameY}, {"cursorPrintX", &Keys::cursorX},
      {"cursorPrintY", &Keys::cursorY}, {"cursorSizeX", &Keys::cursorW},
      {"cursorSizeY", &Keys::cursorH}, {"cursorNextX", &Keys::cursorNextX},
      {"cursorNextY", &Keys::cursorNextY}, {"spectrumPrintFlag", &Keys::spectrum},
      {"spectrumCalcuPoint", &Keys::spectrumPoints}, {"spectrumPrintNumber", &Keys::bands},
      {"spectrumStartHz", &Keys::startHz}, {"spectrumEndHz", &Keys::endHz},
  };
  for (const Key& key : kKeys) GetSetupInt(&(k_.*key.field), key.name);
  // The step follows the digit width unless it is given.
  k_.digitNextX = k_.digitW;
  GetSetupInt(&k_.digitNextX, "fontNextX");
  GetSetupInt(&k_.digitNextY, "fontNextY");
  ReadColorKeys(*this, "messageColor", "", &color_);
  ReadColorKeys(*this, "cannotColor", "", &cannotColor_);
  cannotName_ = kCannotName;
  GetSetupString(&cannotName_, "cannotMusicName");
  GetSetupString(&volumeFile_, "fileNameVolume");
  GetSetupString(&numberFile_, "filenameNumber");
  GetSetupString(&cursorFile_, "filenameCursor");
  // Counts and sizes that divide or count rows are at least 1.
  k_.rows = std::max(k_.rows, 1);
  k_.cursorW = std::max(k_.cursorW, 1);
  k_.cursorH = std::max(k_.cursorH, 1);
  k_.fontSize = std::clamp(k_.fontSize, 1, 1000);
  HoldCoordinates({&k_.volumeX, &k_.volumeY, &k_.volumeW, &k_.volumeH, &k_.digitW, &k_.digitH,
                   &k_.digitNextX, &k_.digitNextY, &k_.trackX, &k_.trackY, &k_.minuteX, &k_.minuteY,
                   &k_.secondX, &k_.secondY, &k_.nameX, &k_.nameY, &k_.cursorX, &k_.cursorY, &k_.cursorW,
                   &k_.cursorH, &k_.cursorNextX, &k_.cursorNextY, &k_.nameMax});
  codeByte_ = GetRenderSettings().codeByte;
}

void CCommonListenBGM::ReadTracks() {
  list_ = std::make_unique<CNameList>();
  list_->Load("mok\\listenbgmlist.xtx", false, false);
  const auto token = [&](int i) {
    const char* t = list_->GetName(i);
    return t ? t : "";
  };
  // A partial last record is not a track.
  const int count = list_->GetCount() / 8;
  tracks_.resize(static_cast<size_t>(std::max(count, 0)));
  for (int t = 0; t < count; ++t) {
    Track& track = tracks_[static_cast<size_t>(t)];
    const int base = 8 * t;
    track.title = token(base);
    track.file = token(base + 1);
    track.lengthMs = listenbgm::TrackLengthMs(token(base + 2), token(base + 3));
    track.lockedName = k_.useCannotByList ? token(base + 4) : cannotName_;
    track.titleWidth = listenbgm::NameWidth(track.title, codeByte_);
    track.lockedWidth = listenbgm::NameWidth(track.lockedName, codeByte_);
    const char* heard = token(base + 5);
    if (std::strcmp(heard, "*") == 0) {
      track.bgm = -1;
    } else {
      const long long n = std::strcmp(heard, "@") == 0 ? 0 : std::strtoll(heard, nullptr, 10);
      if (n == 0)
        track.bgm = game_ ? game_.sound->SearchBgmName(track.file) : -1;
      else
        track.bgm = n >= 1 && n <= INT_MAX ? static_cast<int>(n - 1) : -1;
    }
    const char* var = token(base + 6);
    if (std::strcmp(var, "@") != 0 && *var && game_) track.unlockVar = game_.variables->GetVarNumber(var);
  }
}

void CCommonListenBGM::SetUpSpectrum() {
  points_ = listenbgm::SpectrumPoints(k_.spectrumPoints);
  window_ = listenbgm::MakeWindow(points_);
  bandStarts_ = listenbgm::BandStarts(points_, k_.bands, k_.startHz, k_.endHz);
  fft_ = std::make_unique<CFastFourierTransform>();
  fft_->MakeTable(points_);
  spectrum_ = std::make_unique<CSpectrumPrint>(static_cast<uint32_t>(bandStarts_.size()), GetSetupList());
  samples_.assign(static_cast<size_t>(points_), 0.0f);
  re_.assign(static_cast<size_t>(points_), 0.0f);
  im_.assign(static_cast<size_t>(points_), 0.0f);
  levels_.assign(bandStarts_.size(), 0);
}

CBgmPlayer* CCommonListenBGM::Player() const { return game_ ? game_.sound->GetBgmPlayer() : nullptr; }

int CCommonListenBGM::Init() {
  CBgmPlayer* player = Player();
  if (spectrum_) {
    if (player) player->StartSpectrum();
    spectrum_->Reset();
    std::fill(levels_.begin(), levels_.end(), 0);
  }
  if (!backScriptFlag_) LoadBackgroundPicture();
  for (int i = 0; i < kButtons; ++i) {
    CCommonCheckButton* button = buttons_[i].get();
    for (int s = 0; s < 2; ++s) {
      CPicture* picture = button->GetPicture(s);
      const char* name = button->GetFilename(s);
      if (picture && name) picture->LoadDWQ(("sys\\" + std::string(name)).c_str());
    }
    button->SetState(i == kStop ? 1 : 0);
    button->Init();
  }
  ReloadBackButtonPicture();
  ReloadUpDownButtonPicture();
  SetBackButtonPos();
  SetUpDownButtonPos();
  if (numberFont_ && !numberFont_->GetName()[0]) numberFont_->LoadDWQ(("sys\\" + std::string(numberFile_)).c_str());
  if (cursorPicture_ && !cursorPicture_->GetName()[0])
    cursorPicture_->LoadDWQ(("sys\\" + std::string(cursorFile_)).c_str());

  cursor_ = 0;
  listenNumber_ = 0;
  if (game_) game_.sound->SetListenBgmState(0, 1);
  if (upDownButtons_) {
    upDownButtons_->SetPageMax(GetTrackCount());
    upDownButtons_->SetPage(cursor_);
  }
  if (updownBack_) updownBack_->Init();
  top_ = 0;

  for (Track& track : tracks_) {
    track.available = 1;
    if (k_.checkListen && track.bgm >= 0 && game_) track.available = game_.sound->GetMusicFlag(track.bgm);
    if (track.unlockVar >= 0 && game_) track.available = game_.variables->GetVar(track.unlockVar) != 0 ? 1 : 0;
  }

  frames_ = 0;
  keptVolumeSetting_ = game_ ? game_.variables->GetSystemSetting(100) : 100;
  const int64_t range = std::max<int64_t>(static_cast<int64_t>(k_.volumeMax) - k_.volumeMin, 1);
  const int64_t v = std::clamp<int64_t>(keptVolumeSetting_, std::min(k_.volumeMin, k_.volumeMax),
                                        std::max(k_.volumeMin, k_.volumeMax));
  const int value = static_cast<int>(std::clamp<int64_t>((v - k_.volumeMin) * 100 / range, 0, 100));
  if (slider_) slider_->SetValue(value);
  volume_ = static_cast<int>(std::clamp<int64_t>(
      k_.volumeMin + (static_cast<int64_t>(k_.volumeMax) - k_.volumeMin) * value / 100, 0, 100));
  if (player) player->SetVolume(volume_);
  cursorCounter_ = 0;
  shownTrack_ = shownSeconds_ = -1;
  Stop();
  return -1;
}

// --- Play state ---

void CCommonListenBGM::SetButtonStates(int play, int pause, int stop) {
  const int states[3][2] = {{kPlay, play}, {kPause, pause}, {kStop, stop}};
  for (const auto& [i, s] : states) {
    buttons_[i]->SetState(s);
    buttons_[i]->Init();
  }
}

void CCommonListenBGM::StateChange(int type) {
  if (game_) {
    game_.sound->SetListenBgmState(type, listenNumber_ + 1);
    const int restart = type == kPlaying ? k_.playRestart : type == kStopped ? k_.stopRestart : k_.pauseRestart;
    if (backScriptFlag_ && restart) game_.backScript->ResetBackScript();
  }
  CScreenBuffer::SetFullRedraw(0);
}

void CCommonListenBGM::Stop() {
  CScreenBuffer::SetFullRedraw(0);
  if (CBgmPlayer* player = Player()) player->Stop(-1);
  playing_ = -1;
  state_ = kStopped;
  StateChange(kStopped);
  SetButtonStates(0, 0, 1);
}

void CCommonListenBGM::PlayCursor() {
  if (!ValidTrack(cursor_) || !tracks_[static_cast<size_t>(cursor_)].available) return;
  const Track& track = tracks_[static_cast<size_t>(cursor_)];
  listenNumber_ = cursor_;
  if (CBgmPlayer* player = Player()) player->Play(track.file, k_.loop ? 0 : 1, volume_, k_.fadeIn, k_.fadeOut);
  state_ = kPlaying;
  playing_ = cursor_;
  frames_ = 0;
  buttons_[kPlay]->SetState(1);
  buttons_[kPlay]->Init();
  StateChange(kPlaying);
  SetButtonStates(1, 0, 0);
  CScreenBuffer::SetFullRedraw(0);
}

void CCommonListenBGM::TogglePause() {
  CBgmPlayer* player = Player();
  if (state_ == kPlaying) {
    if (player) player->Pause();
    state_ = kPaused;
    StateChange(kPaused);
    SetButtonStates(0, 1, 0);
  } else if (state_ == kPaused) {
    if (player) player->Restart();
    state_ = kPlaying;
    StateChange(kPlaying);
    SetButtonStates(1, 0, 0);
  }
}

// --- Cursor ---

void CCommonListenBGM::FollowTop() {
  if (cursor_ < top_) top_ = cursor_;
  if (cursor_ >= top_ + k_.rows) top_ = cursor_ - k_.rows + 1;
  top_ = std::max(top_, 0);
}

void CCommonListenBGM::SetCursor(int t) {
  if (!ValidTrack(t)) return;
  cursor_ = t;
  FollowTop();
  if (upDownButtons_) {
    upDownButtons_->SetPageMax(GetTrackCount());
    upDownButtons_->SetPage(cursor_);
  }
  CScreenBuffer::SetFullRedraw(0);
}

void CCommonListenBGM::MoveCursor(int d) {
  if ((d < 0 && cursor_ > 0) || (d > 0 && cursor_ < GetTrackCount() - 1)) SetCursor(cursor_ + (d < 0 ? -1 : 1));
}

void CCommonListenBGM::Previous() {
  int target = -1;
  if (k_.checkListen)
    for (int t = cursor_ - 1; t >= 0 && target < 0; --t)
      if (tracks_[static_cast<size_t>(t)].available) target = t;
  if (target >= 0)
    SetCursor(target);
  else
    MoveCursor(-1);
  PlayCursor();
}

void CCommonListenBGM::Next() {
  int target = -1;
  if (k_.checkListen)
    for (int t = cursor_ + 1; t < GetTrackCount() && target < 0; ++t)
      if (tracks_[static_cast<size_t>(t)].available) target = t;
  if (target >= 0)
    SetCursor(target);
  else
    MoveCursor(1);
  PlayCursor();
}

int CCommonListenBGM::VisibleRows() const {
  return std::clamp(GetTrackCount() - top_, 0, k_.rows);
}

int CCommonListenBGM::RowAt(int x, int y) const {
  for (int r = 0; r < VisibleRows(); ++r) {
    const int64_t dx = static_cast<int64_t>(x) - k_.cursorX - static_cast<int64_t>(r) * k_.cursorNextX;
    const int64_t dy = static_cast<int64_t>(y) - k_.cursorY - static_cast<int64_t>(r) * k_.cursorNextY;
    if (dx >= 0 && dx < k_.cursorW && dy >= 0 && dy < k_.cursorH && ValidTrack(top_ + r)) return r;
  }
  return -1;
}

void CCommonListenBGM::ClickRow(int t) {
  if (t == cursor_) {
    if (state_ == kPaused)
      TogglePause();
    else
      PlayCursor();
    return;
  }
  SetCursor(t);
  PlayCursor();
  CScreenBuffer::SetFullRedraw(0);
}

// --- The frame ---

int CCommonListenBGM::ClickedButton(int i, bool input) {
  CCommonCheckButton* button = buttons_[i].get();
  if (CheckButtonResult(button->Calcu(input ? input_ : nullptr)) < 0) return 0;
  button->Init();
  return 1;
}

void CCommonListenBGM::CalcuButtons() {
  if (ClickedButton(kStop, state_ != kStopped)) Stop();
  if (ClickedButton(kRew, true)) Previous();
  if (ClickedButton(kFf, true)) Next();
  // Play takes no input while the cursor's track is the one playing.
  if (ClickedButton(kPlay, !(state_ == kPlaying && cursor_ == playing_))) {
    if (state_ == kPaused)
      TogglePause();
    else
      PlayCursor();
  }
  if (ClickedButton(kPause, state_ != kStopped)) TogglePause();
}

int CCommonListenBGM::Calcu() {
  ++frames_;
  CBgmPlayer* player = Player();
  if (state_ == kPlaying && (!player || !player->IsPlaying())) Stop();
  if (state_ == kPlaying)
    cursorCounter_ = anime::Add(cursorCounter_, 1, k_.animePattern, k_.animeSpeed, k_.animeType);

  if (updownBack_) {
    const int v = CheckButtonResult2(updownBack_->Calcu(input_));
    if (v == 0) {
      if (game_) game_.variables->SetSystemSetting(100, keptVolumeSetting_);
      if (player) {
        player->Stop(-1);
        if (spectrum_) player->StopSpectrum();
      }
      if (game_) {
        game_.sound->StopBgm(-1);
        game_.backScript->SetBackScriptMode(0);
      }
      return ExitToMode(modenumber::kOmake);
    }
    if (v > 0) {
      // No track: the pair has nothing to page through.
      if (ValidTrack(v - 1)) {
        cursor_ = v - 1;
        FollowTop();
      }
      updownBack_->Init();
      CScreenBuffer::SetFullRedraw(0);
      return -1;
    }
  }
  if (tracks_.empty()) return -1;

  CalcuButtons();

  const CMouseStatus* mouse = input_ ? input_->GetMouseStatus() : nullptr;
  if (slider_) {
    const int g = slider_->Calcu(mouse);
    if (g >= 0) {
      const int64_t v = k_.volumeMin + (static_cast<int64_t>(k_.volumeMax) - k_.volumeMin) * g / 100;
      const int volume = static_cast<int>(std::clamp<int64_t>(v, 0, 100));
      if (volume != volume_) {
        volume_ = volume;
        if (player) player->SetVolume(volume_);
      }
    }
  }

  if (GetClick(0) && mouse_) {
    platform::Point p{};
    mouse_->GetPos(&p);
    const int r = RowAt(p.x, p.y);
    if (r >= 0) ClickRow(top_ + r);
  }
  return -1;
}

void CCommonListenBGM::CalcuSpectrum() {
  if (!spectrum_) return;
  if (state_ == kStopped) {
    std::fill(levels_.begin(), levels_.end(), 0);
    return;
  }
  if (state_ != kPlaying) return;
  CBgmPlayer* player = Player();
  if (player)
    player->GetWaveFloat(samples_.data(), points_, 0);
  else
    std::fill(samples_.begin(), samples_.end(), 0.0f);
  listenbgm::SpectrumFrame(fft_.get(), samples_.data(), window_, bandStarts_, re_.data(), im_.data(),
                           levels_.data());
}
