// The game's services behind the modes: system sounds and sound files on
// the headless audio device, voices and per-character switches, music by
// number, the option setter, the system volume, the screen-mode switch on
// the headless window, the boss-coming cover, the lower stack levels, the
// frame-skip bookkeeping, the MESSAGE chunk and the game starts.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "effect/alleffect.h"
#include "effect/effectchannel.h"
#include "effect/effectmanager.h"
#include "modebase/commongeneral.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/game.h"
#include "game/inputpart.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "game_test.h"
#include "graphics/screenbuffer.h"
#include "platform/backend.h"
#include "savedata/systemfile.h"
#include "sound/bgmplayer.h"
#include "sound/bgmstream.h"
#include "sound/mixer.h"
#include "sound/music_fixtures.h"
#include "sound/sound_fixtures.h"
#include "sound/soundbuffer.h"
#include "sound/voiceplayer.h"

namespace game_test {
namespace {

// Records its drawing into the shared log.
class LoggingMode : public CCommonGeneral {
 public:
  LoggingMode(const GameRoles& game, int number, std::vector<int>* log)
      : CCommonGeneral(game), log_(log) {
    SetModeNumber(number);
  }
  int Calcu() override { return -1; }
  int Print() override {
    log_->push_back(GetModeNumber());
    return -1;
  }
  int Init() override { return 1; }

 private:
  std::vector<int>* log_;
};

class ServicesGame : public CGame {
 public:
  ServicesGame(platform::Window* window, CCommonSystemFile* systemFile)
      : CGame(window, systemFile, 64, 48, 32) {}
  // The destroy step while the logs still stand.
  ~ServicesGame() override { ReleaseAll(); }
  std::unique_ptr<CCommonGeneral> MakeMode(int n) override {
    return n >= 50 && n <= 52 ? std::make_unique<LoggingMode>(Roles(), n, &prints) : nullptr;
  }
  void OnScreenChangeBegin() override { hooks += "begin "; }
  void OnScreenChangeEnd() override { hooks += "end "; }
  void OnBeforeScreenChange() override { hooks += "before "; }
  void OnAfterScreenChange() override { hooks += "after "; }
  void OnBeforeSaveSystemFile() override { hooks += "save( "; }
  void OnAfterSaveSystemFile() override { hooks += ") "; }

  // The system buffer now playing: 0, 1, or -1 for none.
  int PlayingBuffer() const {
    for (int i : {0, 1})
      if (Buffer(i)->IsCreated() && Buffer(i)->GetBuffer()->IsPlaying()) return i;
    return -1;
  }
  CSoundBuffer* Buffer(int i) const { return Sound().GetSystemSoundBuffer(i); }
  // The buffer the last system sound or sound file used.
  int Last() const { return Sound().GetLastSystemBuffer(); }
  bool LastPlays() const {
    CSoundBuffer* b = Buffer(Last());
    return b->GetBuffer() && b->GetBuffer()->IsPlaying();
  }
  int Volume(int i) const {
    return i >= 0 && Buffer(i)->GetBuffer() ? Buffer(i)->GetBuffer()->GetVolume() : 1;
  }
  CMixer* Mixer() const { return Sound().GetMixer(); }
  CAllEffect* Effect() const { return Screen().GetEffect(); }
  CVoicePlayer* Voices() const { return Sound().GetVoicePlayer(); }
  int WheelCountdown() const { return Input().GetWheelPause(); }
  void SetLevels(int level, std::vector<int> modes, std::vector<int> words) {
    CModeFlowPart& flow = Modes();
    flow.SetModeLevel(level);
    for (size_t i = 0; i < modes.size(); ++i) flow.SetModeAtLevel(static_cast<int>(i), modes[i]);
    for (size_t i = 0; i < words.size(); ++i) flow.SetDrawThrough(static_cast<int>(i), words[i]);
  }
  int Lateness() const { return Frames().GetLateness(); }
  void SetLateness(int ms) { Frames().SetLateness(ms); }

  std::vector<int> prints;
  std::string hooks;
};

class GameServicesTest : public GameTest {
 protected:
  void Open(const Pairs& game = {}) {
    WriteList("game", game);
    systemFile_.SetDefault();  // the options as a new player has them
    game_ = std::make_unique<ServicesGame>(window_, &systemFile_);
    game_->Init();
  }
  void TearDown() override {
    game_.reset();
    GameTest::TearDown();
  }
  // A sound file of "sys" with `frames` frames of 8-bit mono.
  void WriteSound(const std::string& name, int frames) const {
    dir_->Write("vaw/sys/" + name + ".vaw",
                soundtest::Str(soundtool::MakePcmVoice(soundtest::Sine(11025, 1, 8, frames))));
  }

  CCommonSystemFile systemFile_;
  std::unique_ptr<ServicesGame> game_;
};

// --- System sounds ---

TEST_F(GameServicesTest, SystemSoundsAlternateBuffersAndAMissingSoundPlaysNothing) {
  dir_->Write("mok/systemse.xtx", "click x chime x lost x");
  WriteSound("click", 400);
  WriteSound("chime", 800);
  Open({{"systemSoundLoadNumber", "1"}});
  game_->Vars().SetSystemSetting(101, 60);

  game_->Sound().PlaySystemSe(0, 0);  // preloaded
  EXPECT_EQ(game_->PlayingBuffer(), 1);
  EXPECT_EQ(game_->Volume(1), 60 * 100 - 10000);
  game_->Sound().PlaySystemSe(1, 0);  // loaded on demand; the first one stops
  EXPECT_EQ(game_->PlayingBuffer(), 0);
  EXPECT_EQ(game_->Buffer(0)->GetSize(), 800);
  EXPECT_FALSE(game_->Buffer(1)->GetBuffer()->IsPlaying());

  // A file that does not load, and a number past the list: the sound
  // loaded before is not played again.
  for (int n : {2, 7, 1 << 30}) {
    SCOPED_TRACE(n);
    game_->Sound().PlaySystemSe(1, 0);
    game_->Sound().PlaySystemSe(n, 0);
    EXPECT_EQ(game_->PlayingBuffer(), -1);
  }

  // Sound effects off: nothing stops, nothing plays.
  game_->Sound().PlaySystemSe(0, 0);
  const int playing = game_->PlayingBuffer();
  game_->Vars().SetSystemSetting(201, 0);
  game_->Sound().PlaySystemSe(1, 0);
  EXPECT_EQ(game_->PlayingBuffer(), playing);
}

TEST_F(GameServicesTest, ASystemSoundAsAVoiceTakesTheCharacterDeltaHeldTo100) {
  dir_->Write("mok/systemse.xtx", "abYes x");
  dir_->Write("spt/charaname.xtx", "none x ab Aki cd Ban");
  WriteSound("abYes", 400);
  Open({{"enableButtonVoiceCharaVolume", "1"}, {"charaVoiceVolumeDelta", "3"}});
  struct Case {
    int voice, step, level;
  };
  for (const Case& c : std::vector<Case>{{50, 5, 65}, {90, 15, 100}, {20, -16, 0}}) {
    SCOPED_TRACE(c.voice);
    game_->Vars().SetSystemSetting(102, c.voice);
    game_->Vars().SetSystemSetting(501, c.step);
    game_->Sound().PlaySystemSe(0, 1);
    ASSERT_NE(game_->PlayingBuffer(), -1);
    EXPECT_EQ(game_->Volume(game_->PlayingBuffer()), c.level * 100 - 10000);
  }
}

TEST_F(GameServicesTest, SoundFilesClampTheirVolumeAndTheVoiceFileCanKeepItsBuffer) {
  WriteSound("ding", 400);
  WriteSound("o4b", 300);
  WriteSound("o5c", 500);
  Open();
  struct Case {
    int option, delta, level;
  };
  for (const Case& c : std::vector<Case>{{20, -30, 0}, {90, 30, 100}, {50, 10, 60}}) {
    game_->Vars().SetSystemSetting(101, c.option);
    game_->Sound().PlaySeFile("ding", c.delta);
    ASSERT_TRUE(game_->LastPlays());
    EXPECT_EQ(game_->Volume(game_->Last()), c.level * 100 - 10000);
  }

  // The same buffer again: the new sound replaces the last one.
  game_->Sound().PlaySystemVoiceFile("ding", 1, 0);
  const int first = game_->Last();
  game_->Buffer(1 - first)->Stop(0);
  game_->Sound().PlaySystemVoiceFile("ding", 1, 1);
  EXPECT_EQ(game_->Last(), first);
  EXPECT_EQ(game_->PlayingBuffer(), first);
  game_->Sound().PlaySystemVoiceFile("ding", 1, 0);
  EXPECT_EQ(game_->Last(), 1 - first);

  // Notes: octave n / 7 + 4 and the letter of n mod 7.
  game_->Sound().PlayNote(6);
  EXPECT_EQ(game_->Buffer(game_->Last())->GetSize(), 300);
  game_->Sound().PlayNote(7);
  EXPECT_EQ(game_->Buffer(game_->Last())->GetSize(), 500);
  game_->Sound().PlayNote(8);  // o5d: no file
  EXPECT_FALSE(game_->LastPlays());
}

// --- Characters' voices ---

TEST_F(GameServicesTest, VoiceSwitchesAreBitsOfThirtyTwoWords) {
  dir_->Write("spt/charaname.xtx", "none x ab Aki \x83\x41\x83\x43 Ai");
  Open();
  game_->Sound().SetCharaVoiceFlag(33, 0);
  EXPECT_EQ(systemFile_.GetSystemData(CCommonSystemFile::kVoiceOffOffset + 4), 2);
  EXPECT_EQ(game_->Sound().GetCharaVoiceFlag(33), 0);
  EXPECT_EQ(game_->Sound().GetCharaVoiceFlag(1), 1);
  game_->Sound().SetCharaVoiceFlag(33, 1);
  EXPECT_EQ(systemFile_.GetSystemData(CCommonSystemFile::kVoiceOffOffset + 4), 0);

  // Numbers outside 0..1023 have no bit: ignored, their voice counts as on.
  const std::vector<uint8_t> before(systemFile_.GetImage(),
                                    systemFile_.GetImage() + CCommonSystemFile::kFileSize);
  for (int n : {-1, 1024, -2147483647 - 1, 2147483647}) {
    game_->Sound().SetCharaVoiceFlag(n, 0);
    EXPECT_EQ(game_->Sound().GetCharaVoiceFlag(n), 1);
  }
  EXPECT_EQ(std::memcmp(before.data(), systemFile_.GetImage(), before.size()), 0);

  // The character of a voice file: its first two characters against the
  // keys of pair 1 on, case-blind; a double-byte character counts once.
  EXPECT_EQ(game_->Sound().GetVoiceChara("AB0001"), 1);
  EXPECT_EQ(game_->Sound().GetVoiceChara("\x83\x41\x83\x43" "01"), 2);
  EXPECT_EQ(game_->Sound().GetVoiceChara("no0001"), -1);  // pair 0 is no character
  EXPECT_EQ(game_->Sound().GetVoiceChara("a"), -1);
  game_->Sound().SetCharaVoiceFlag(1, 0);
  EXPECT_EQ(game_->Sound().CheckVoiceOff("ab0001"), 1);
  EXPECT_EQ(game_->Sound().CheckVoiceOff("zz0001"), 0);
  game_->Vars().SetSystemSetting(502, -4);
  EXPECT_EQ(game_->Sound().GetCharaVoiceVolume("\x83\x41\x83\x43" "01"), -8);  // default delta 2
  EXPECT_EQ(game_->Sound().GetCharaVoiceVolume("zz0001"), 0);
}

TEST_F(GameServicesTest, AVoiceLinePlaysOnChannelZeroUnlessItsCharacterIsOff) {
  dir_->Write("spt/charaname.xtx", "none x ab Aki cd Ban");
  for (const char* name : {"ab0001", "cd0001"})
    dir_->Write(std::string("cdvaw/") + std::string(name, 2) + "/" + name + ".vaw",
                soundtest::Str(soundtool::MakePcmVoice(soundtest::Sine(11025, 1, 8, 600))));
  Open();
  auto playing = [&] {
    CSoundBuffer* b = game_->Voices()->GetBuffer(0);
    return b && b->GetBuffer() && b->GetBuffer()->IsPlaying();
  };
  auto level = [&] { return game_->Voices()->GetBuffer(0)->GetBuffer()->GetVolume() / 100 + 100; };
  game_->Vars().SetSystemSetting(102, 95);
  game_->Vars().SetSystemSetting(501, 10);  // Aki +20: held to 100
  game_->Sound().PlayVoice("ab0001");
  ASSERT_TRUE(playing());
  EXPECT_EQ(level(), 100);
  game_->Vars().SetSystemSetting(502, -16);  // Ban -32
  game_->Sound().PlayVoice("cd0001");
  ASSERT_TRUE(playing());
  EXPECT_EQ(level(), 63);
  game_->Sound().FadeOutVoice(0);
  EXPECT_FALSE(playing());

  game_->Sound().SetCharaVoiceFlag(1, 0);  // Aki's voice off
  game_->Sound().PlayVoice("ab0001");
  EXPECT_FALSE(playing());
  game_->Sound().PlayVoice("zz0001");  // no file: silent
  EXPECT_FALSE(playing());
  game_->Vars().SetSystemSetting(202, 0);  // voices off
  game_->Sound().PlayVoice("cd0001");
  EXPECT_FALSE(playing());
}

// --- Music ---

class GameMusicTest : public GameServicesTest {
 protected:
  void SetUp() override {
    GameServicesTest::SetUp();
    musictest::WriteMusic(*dir_, "m0", musictest::Tone({0.5}, 2.0, 440.0));
    musictest::WriteMusic(*dir_, "m1", musictest::Tone({0.5}, 2.0, 660.0));
    dir_->Write("spt/bgmlist.xtx", "m0 One m1 Two");
    Open({{"allMusicSetFlag", "1"}});
  }
  CBgmStream& Current() const {
    return *game_->Sound().GetBgmPlayer()->GetStream(game_->Sound().GetBgmPlayer()->GetCurrentIndex());
  }
};

TEST_F(GameMusicTest, VolumesNumbersAndTheMusicSwitch) {
  game_->Vars().SetSystemSetting(100, 0);
  game_->Sound().PlayBgm("m0", 0, -9999, 0, 0);
  EXPECT_EQ(Current().GetBuffer()->GetVolume(), -10000);
  game_->Sound().PlayBgm("m1", 0, 0, 0, 0);
  EXPECT_EQ(Current().GetBuffer()->GetVolume(), 1 * 100 - 10000);
  game_->Vars().SetSystemSetting(100, 80);

  game_->Sound().PlayBgmNumber(1, 0, -9999, 0, 0);
  EXPECT_EQ(game_->Sound().GetMusicFlag(1), 1);
  const int index = game_->Sound().GetBgmPlayer()->GetCurrentIndex();
  game_->Sound().PlayBgmNumber(5, 0, -9999, 0, 0);  // past the list
  EXPECT_EQ(game_->Sound().GetBgmPlayer()->GetCurrentIndex(), index);
  EXPECT_EQ(Current().IsPlaying(), 1);
  EXPECT_EQ(game_->Sound().GetBgmNumber(), 5);
  EXPECT_EQ(game_->Sound().SearchBgmName("M1"), 1);
  EXPECT_EQ(game_->Sound().SearchBgmName("One"), -1);

  // Music off stops the track and keeps it; on plays it again.
  game_->Sound().PlayBgmNumber(0, 0, -9999, 0, 0);
  game_->Sound().SetBgmLoop(0);
  game_->Vars().SetSystemSetting(200, 0);  // fades out over the default time
  EXPECT_EQ(game_->Sound().GetBgmNumber(), -1);
  const int before = game_->Sound().GetBgmPlayer()->GetCurrentIndex();
  game_->Vars().SetSystemSetting(200, 1);
  EXPECT_NE(game_->Sound().GetBgmPlayer()->GetCurrentIndex(), before);
  EXPECT_EQ(game_->Sound().GetBgmPlayer()->IsPlaying(), 1);
  EXPECT_EQ(game_->Sound().GetBgmNumber(), 0);
}

// --- Options ---

TEST_F(GameServicesTest, TheOptionSetterWritesOnlyWhatItsTableHas) {
  Open({{"expModeButtonIsMouse", "3"}});
  const int voice = game_->Vars().GetSystemSetting(102);
  game_->Vars().SetSystemSetting(104, 50);  // the fifth volume reads the voice volume
  EXPECT_EQ(game_->Vars().GetSystemSetting(104), voice);
  EXPECT_EQ(game_->Vars().GetSystemSetting(102), voice);
  struct Case {
    int id, value, expected;
  };
  for (const Case& c : std::vector<Case>{{510, 7, 7}, {510, 20, -12}, {571, -1, -1}, {300, 4, 4},
                                         {415, 9, 9}, {106, 30, 30}}) {
    SCOPED_TRACE(c.id);
    game_->Vars().SetSystemSetting(c.id, c.value);
    EXPECT_EQ(game_->Vars().GetSystemSetting(c.id), c.expected);
  }
  const std::vector<uint8_t> before(systemFile_.GetImage(),
                                    systemFile_.GetImage() + CCommonSystemFile::kFileSize);
  for (int id : {572, 0, 1, 316, 416, 499, -1, 2147483647}) game_->Vars().SetSystemSetting(id, 12345);
  EXPECT_EQ(std::memcmp(before.data(), systemFile_.GetImage(), before.size()), 0);

  // Option 302 is the game mouse's design number.
  game_->Vars().SetSystemSetting(302, 5);
  EXPECT_EQ(game_->Floating().GetMouseNumberConfig(), 5);
  game_->Vars().SetSystemSetting(301, 7);
  EXPECT_EQ(game_->Floating().GetMouseNumberConfig(), 5);
}

TEST_F(GameServicesTest, SavingTheSystemFileKeepsTheVariablesAndNames) {
  Open();
  game_->SetVar(250, 42);
  game_->SetVar(150, 9);
  game_->Vars().SetNames("Kai", "Ren");
  game_->hooks.clear();
  game_->Saves().SaveSystemFile();
  EXPECT_EQ(game_->hooks, "save( ) ");
  EXPECT_EQ(systemFile_.GetBlockWord(CCommonSystemFile::kSystemVar, CCommonSystemFile::kHeaderSize + 4 * 50), 42);
  EXPECT_STREQ(systemFile_.GetFamilyName(), "Kai");
  EXPECT_STREQ(systemFile_.GetGivenName(), "Ren");
}

TEST_F(GameServicesTest, TheVoiceVolumeGoesToTheMixerOnceAndNotAtZero) {
  Open();
  game_->Vars().SetSystemSetting(102, 70);
  EXPECT_EQ(game_->Sound().SetSystemVolume(102), 1);
  EXPECT_NEAR(game_->Mixer()->GetWaveVolume(0), 70, 1);
  game_->Mixer()->SetWaveVolume(30, 0);
  const int other = game_->Mixer()->GetWaveVolume(0);
  EXPECT_EQ(game_->Sound().SetSystemVolume(102), 1);  // unchanged: not applied again
  EXPECT_EQ(game_->Mixer()->GetWaveVolume(0), other);
  EXPECT_EQ(game_->Sound().SetSystemVolume(101), 1);  // only the voice volume applies
  EXPECT_EQ(game_->Mixer()->GetWaveVolume(0), other);
  game_->Vars().SetSystemSetting(102, 0);
  EXPECT_EQ(game_->Sound().SetSystemVolume(102), 0);
  EXPECT_EQ(game_->Mixer()->GetWaveVolume(0), other);
  game_->Vars().SetSystemSetting(102, 50);
  EXPECT_EQ(game_->Sound().SetSystemVolume(102), 1);
  EXPECT_NEAR(game_->Mixer()->GetWaveVolume(0), 50, 1);
}

// --- Screen mode and covers ---

TEST_F(GameServicesTest, FullScreenAndBackOnTheHeadlessWindow) {
  Open();
  game_->Screen().ToWindowMode(0);  // already a window: nothing, not even the wheel pause
  EXPECT_EQ(game_->hooks, "");
  EXPECT_EQ(game_->WheelCountdown(), 0);

  game_->Screen().ToFullScreenMode(0);
  EXPECT_EQ(game_->hooks, "begin before after end ");
  EXPECT_EQ(game_->Vars().GetSystemSetting(4), 1);
  EXPECT_TRUE(window_->IsFullScreen());
  EXPECT_EQ(CScreenBuffer::GetFullScreenFlag(), 1);
  EXPECT_EQ(game_->WheelCountdown(), 2);

  game_->hooks.clear();
  game_->Screen().ToFullScreenMode(1);
  EXPECT_EQ(game_->hooks, "");
  game_->Screen().ToggleScreenMode(1);  // quiet: no begin and end hooks
  EXPECT_EQ(game_->hooks, "before after ");
  EXPECT_EQ(game_->Vars().GetSystemSetting(4), 0);
  EXPECT_FALSE(window_->IsFullScreen());
  EXPECT_EQ(CScreenBuffer::GetFullScreenFlag(), 0);
}

TEST_F(GameServicesTest, TheBossComingCoverFillsWithItsColour) {
  struct Case {
    Pairs keys;
    uint32_t pixel;
  };
  const std::vector<Case> cases = {
      {{{"bossComingType", "1"}}, 0x000000u},
      {{{"bossComingType", "1"}, {"bossComingColorR", "255"}, {"bossComingColorB", "16"}},
       0xFF0010u},
      {{{"bossComingType", "2"}}, 0x123456u},  // no picture file: nothing drawn
      {{{"bossComingType", "0"}, {"bossComingColorR", "255"}}, 0x123456u},
  };
  for (const Case& c : cases) {
    Open(c.keys);
    uint32_t* pixels = CScreenBuffer::GetBuffer();
    ASSERT_NE(pixels, nullptr);
    for (int i = 0; i < 64 * 48; ++i) pixels[i] = 0x123456u;
    game_->Screen().PrintBossComing();
    EXPECT_EQ(pixels[0] & 0xFFFFFFu, c.pixel);
    EXPECT_EQ(pixels[64 * 48 - 1] & 0xFFFFFFu, c.pixel);
    game_.reset();
  }
}

TEST_F(GameServicesTest, LowerLevelsAreDrawnAsTheirWordsSay) {
  Open();
  for (int n : {50, 51, 52}) ASSERT_EQ(game_->Modes().CreateMode(n), 1);
  struct Case {
    int level;
    std::vector<int> words;
    std::vector<int> drawn;
  };
  const std::vector<Case> cases = {
      {2, {1, 1}, {50, 51}}, {2, {1, 0}, {}},      {2, {5, 1}, {50, 51}},
      {2, {0, 1}, {51}},     {2, {1, 7}, {51}},    {0, {1, 1}, {}},
      {1, {1}, {50}},
  };
  for (const Case& c : cases) {
    game_->prints.clear();
    game_->SetLevels(c.level, {50, 51, 52}, c.words);
    game_->Modes().PrintLowerModes();
    EXPECT_EQ(game_->prints, c.drawn);
  }
}

TEST_F(GameServicesTest, OnlyTheRangeThatEndsWithTheTopChannelFinishesEffects) {
  Open();
  ASSERT_NE(game_->Effect(), nullptr);
  // A channel whose run is over takes its end rectangle when effects finish.
  EffectChannel* channel = game_->Effect()->GetChannel(3);
  ASSERT_NE(channel, nullptr);
  channel->Active() = 1;
  channel->DrawEnd()[0] = 77;
  game_->Screen().PrintEffect(0, 14);
  EXPECT_EQ(channel->DrawStart()[0], 0);
  game_->Screen().PrintEffect(15, 15);
  EXPECT_EQ(channel->DrawStart()[0], 77);
  channel->DrawEnd()[0] = 78;
  game_->Screen().EndEffectMove();
  EXPECT_EQ(channel->DrawStart()[0], 78);
}

// --- Frame bookkeeping ---

TEST_F(GameServicesTest, LatenessAllowanceAndTheVoiceCountdown) {
  Open({{"frameTime", "50"}, {"maxSkipFrame", "2"}});
  std::vector<int> late;
  for (int elapsed : {40, 40, 80, 20}) {
    game_->Frames().CalcuFrameSkip(elapsed);
    late.push_back(game_->Lateness());
  }
  EXPECT_EQ(late, (std::vector<int>{0, 0, 30, 0}));
  EXPECT_EQ(game_->Frames().GetMessageWaitTime(), 20);

  game_->SetLateness(120);
  game_->Frames().CalcuFrameSkip(100);  // 170 late
  EXPECT_EQ(game_->Frames().GetSkipFrameCount(), 100);

  game_->Frames().ResetFrameSkip();
  for (int i = 0; i < 2; ++i) {
    game_->Frames().CalcuFrameSkip(400);
    EXPECT_EQ(game_->Lateness(), 49);
  }
  game_->Frames().CalcuFrameSkip(400);
  EXPECT_EQ(game_->Lateness(), 399);

  game_->Frames().StartVoiceCountdown(3000);
  std::vector<int> flags;
  for (int elapsed : {1000, 1000, 999, 1, 50}) {
    game_->Frames().CalcuFrameSkip(elapsed);
    flags.push_back(game_->Frames().GetEffectSpeed());
  }
  EXPECT_EQ(flags, (std::vector<int>{1, 1, 1, 0, 0}));
  game_->Frames().CalcuFrameSkip(-5);
  EXPECT_EQ(game_->Frames().GetMessageWaitTime(), 0);
}

// The frame hands the voice count-down to the effects as their speed.
TEST_F(GameServicesTest, TheFrameGivesTheEffectsTheVoiceCountdown) {
  Open();
  ASSERT_NE(game_->Screen().GetEffect(), nullptr);
  const CEffectManager* manager = game_->Screen().GetEffect()->GetManager();
  game_->Frames().StartVoiceCountdown(100);
  std::vector<int> speeds;
  for (int elapsed : {40, 40, 40}) {
    game_->Frame(elapsed);
    speeds.push_back(manager->GetEffectSpeed());
  }
  EXPECT_EQ(speeds, (std::vector<int>{1, 1, 0}));
}

// --- Message chunk, cursor and game starts ---

TEST_F(GameServicesTest, MessageEntriesAreCutAndCounted) {
  constexpr size_t kSize = 32 + 64 * 256;
  std::vector<uint8_t> chunk(kSize, 0xEE);
  const std::string longLine(300, 'x');
  std::vector<const char*> texts(70, "line");
  texts[1] = longLine.c_str();
  CSavePart::FillMessageEntries(chunk.data(), kSize, texts);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&chunk[32])), "line");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&chunk[32 + 256])), std::string(254, 'x'));
  EXPECT_EQ(chunk[32 + 256 + 255], 0);
  EXPECT_EQ(chunk[32 + 256 + 256 - 1], 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&chunk[32 + 63 * 256])), "line");
  EXPECT_EQ(chunk[31], 0xEE);  // the header is not touched

  // A short chunk takes the entries that fit.
  std::vector<uint8_t> shortChunk(32 + 256 + 10, 0xEE);
  CSavePart::FillMessageEntries(shortChunk.data(), shortChunk.size(), texts);
  EXPECT_EQ(shortChunk[32 + 256], 0xEE);

  // Without the modes it copies from, the entries stay zero.
  Open();
  game_->Saves().PutMessage(chunk.data(), kSize);
  EXPECT_EQ(chunk[31], 0xEE);
  for (size_t i = 32; i < kSize; ++i) ASSERT_EQ(chunk[i], 0) << i;

  int x = 0, y = 0, kind = 0;
  game_->Floating().SetMessageCursor(100, 200, 1);
  game_->Floating().GetMessageCursor(&x, &y, &kind);
  EXPECT_EQ(std::vector<int>({x, y, kind, game_->Floating().GetMessageCursorRequest()}),
            (std::vector<int>{100, 200, 1, 1}));
  game_->Floating().SetMessageCursorKind(3);
  game_->Floating().GetMessageCursor(&x, &y, &kind);
  EXPECT_EQ(std::vector<int>({x, y, kind}), (std::vector<int>{100, 200, 3}));
}

TEST_F(GameServicesTest, GameStartsClearTheStoryVariables) {
  std::string init;
  for (int i = 0; i < 1000; ++i) init += std::to_string(1000 + i) + " ";
  dir_->Write("spt/varinitdata.xtx", init);
  for (int flag : {0, 1}) {
    SCOPED_TRACE(flag);
    Open({{"varInitFlag", std::to_string(flag)}});
    auto fill = [&] {
      for (int i : {5, 99, 100, 150, 199, 200, 299, 300, 999}) game_->SetVar(i, 7);
    };
    fill();
    EXPECT_EQ(game_->Modes().StartNewGame(0, 0, -1, 0), -1);
    EXPECT_EQ(game_->GetVar(150), flag ? 1150 : 0);
    EXPECT_EQ(game_->GetVar(999), flag ? 1999 : 0);
    EXPECT_EQ(game_->GetVar(5), 7);
    EXPECT_EQ(game_->GetVar(250), 0);
    EXPECT_EQ(game_->GetVar(299), 7);

    fill();
    game_->Modes().StartGameScript(-1, 0);
    for (int i : {5, 99, 200, 299}) EXPECT_EQ(game_->GetVar(i), 7) << i;
    for (int i : {100, 150, 199, 300, 999}) EXPECT_EQ(game_->GetVar(i), 0) << i;
    EXPECT_EQ(game_->Modes().GetScriptStartFlag(), 1);
    game_->Modes().StartGameScript(150, 3);
    EXPECT_EQ(game_->GetVar(150), 3);
    game_.reset();
  }
}

// A new game forgets the costume mask and the channels' picture-variant
// variables of the game before; restarting the script keeps them.
TEST_F(GameServicesTest, ANewGameForgetsTheCostumeMaskAndThePictureVariants) {
  Open();
  CScriptPart::PictureWords& words = game_->Scripts().Pictures();
  auto set = [&] {
    words.costumeMask = 0x5;
    words.variantVars[3] = 120;
    words.variantVars[15] = 121;
  };
  set();
  int& cutin = game_->MessageWindow().Words().cutinNumber;
  cutin = 3;
  game_->Modes().StartGameScript(-1, 0);
  EXPECT_EQ(words.costumeMask, 0x5);
  EXPECT_EQ(words.variantVars[3], 120);
  EXPECT_EQ(game_->Modes().StartNewGame(0, 0, -1, 0), -1);
  EXPECT_EQ(cutin, 0);
  EXPECT_EQ(words.costumeMask, 0);
  for (int ch = 0; ch < CScriptPart::kEffectChannels; ++ch) EXPECT_EQ(words.variantVars[ch], 0) << ch;
}

}  // namespace
}  // namespace game_test
