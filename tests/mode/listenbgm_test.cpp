// Mode 8, the music room: the spectrum's size and bands, the track list,
// locked tracks, play / pause / stop / rew with their script variables,
// the track that ends by itself, the volume that lasts only in the room,
// track and time, and a list without tracks.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "mode/listenbgm.h"
#include "savedata/systemfile.h"
#include "sound/music_fixtures.h"
#include "sound/bgmplayer.h"
#include "sound/musicbars.h"
#include "startup_fixture.h"
#include "widget/multistatebutton.h"
#include "widget/slider.h"

namespace startup_test {
namespace {

TEST(ListenBgmRules, SpectrumSizeIsHeldToAPowerOfTwoFrom64To1024) {
  const int cases[][2] = {{300, 256}, {2000, 1024}, {10, 64},  {64, 64},     {65, 64},
                          {128, 128}, {1023, 512},  {1024, 1024}, {-5, 64}, {INT_MAX, 1024}};
  for (const auto& c : cases) EXPECT_EQ(listenbgm::SpectrumPoints(c[0]), c[1]) << c[0];
}

TEST(ListenBgmRules, BandsStartInsideTheHalfSpectrum) {
  // Frequencies that would give bins past the half, below 1 or not at all.
  for (const auto& [n, bands, s, e] : std::vector<std::tuple<int, int, int, int>>{
           {64, 16, 200, 10000}, {1024, 2, 0, 0}, {64, 40, 1, 100000000}, {256, 5000, -3, INT_MAX}}) {
    const std::vector<int> starts = listenbgm::BandStarts(n, bands, s, e);
    ASSERT_GE(starts.size(), 2u);
    for (int b : starts) {
      EXPECT_GE(b, 1);
      EXPECT_LE(b, n / 2 - 1);
    }
  }
  // The default 16 bands from 200 Hz to 10 kHz over 256 points.
  const std::vector<int> starts = listenbgm::BandStarts(256, 16, 200, 10000);
  EXPECT_EQ(starts.front(), 1);
  EXPECT_EQ(starts.back(), static_cast<int>(127 * 10000.0 / 22050));
}

TEST(ListenBgmRules, TheLastBandOfManyStopsBelowHalfTheTransform) {
  // 40 bands over 64 points: the last starts at bin 31 and would count
  // 40 - 31 bins, past the end of the arrays (which the sanitizer sees).
  const int n = 64;
  const std::vector<int> starts = listenbgm::BandStarts(n, 40, 200, 44100);
  ASSERT_EQ(starts.back(), 31);
  std::vector<float> re(n, 0.0f), im(n, 0.0f);
  re[31] = 1.0f;
  std::vector<int> levels(starts.size());
  listenbgm::BandLevels(re.data(), im.data(), n, starts, levels.data());
  EXPECT_EQ(levels.back(), 100);  // 0 dB
  EXPECT_EQ(levels.front(), 0);   // silence is -100 dB
}

TEST(ListenBgmRules, ATonesBandIsTheLoudest) {
  const int n = 1024;
  CFastFourierTransform fft;
  const std::vector<float> window = listenbgm::MakeWindow(n);
  const std::vector<int> starts = listenbgm::BandStarts(n, 16, 200, 10000);
  std::vector<float> samples(n), re(n), im(n);
  for (int i = 0; i < n; ++i) samples[static_cast<size_t>(i)] = static_cast<float>(0.5 * std::sin(2 * 3.14159265 * 2000 * i / 44100));
  std::vector<int> levels(starts.size());
  listenbgm::SpectrumFrame(&fft, samples.data(), window, starts, re.data(), im.data(), levels.data());
  const int bin = static_cast<int>(2000.0 * n / 44100);
  size_t band = 0;
  while (band + 1 < starts.size() && starts[band + 1] <= bin) ++band;
  for (size_t j = 0; j < levels.size(); ++j)
    if (j != band) {
      EXPECT_LT(levels[j], levels[band]) << j;
    }
  EXPECT_EQ(window[0], 0.0f);
  EXPECT_NEAR(window[n / 4], 1.0f, 1e-6);  // the window's period is n / 2
}

TEST(ListenBgmRules, TrackLengthsAddASecondAndNeverOverflow) {
  EXPECT_EQ(listenbgm::TrackLengthMs("3", "5"), 186000);
  EXPECT_EQ(listenbgm::TrackLengthMs("0", "0"), 1000);
  EXPECT_EQ(listenbgm::TrackLengthMs("99999999999999", "5"), INT_MAX);
  EXPECT_EQ(listenbgm::TrackLengthMs("1", "99999999999999"), INT_MAX);
  EXPECT_EQ(listenbgm::TrackLengthMs("-99999999999999", "0"), 0);
  EXPECT_EQ(listenbgm::TrackLengthMs("x", nullptr), 1000);
}

TEST(ListenBgmRules, NamesAreCentredInTheirWidth) {
  EXPECT_EQ(listenbgm::NameWidth("abcd", 1), 4);
  EXPECT_EQ(listenbgm::NameWidth("abcd", 2), 2);
  // codeByte 1: (22 / 2 + 1) x (12 - 4) / 2; else (12 - 2) x 23 / 2.
  EXPECT_EQ(listenbgm::CentreOffset(4, 12, 22, 1), 48);
  EXPECT_EQ(listenbgm::CentreOffset(2, 12, 22, 2), 115);
}

constexpr int kRowX = 100, kRowY = 100, kRowPitch = 30;
// Button i at (500, 100 + 40 i), 60 x 30.
int ButtonY(int i) { return 100 + 40 * i + 10; }

class ListenBgmTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    testsupport::WriteDwq(*dir_, "sys/bgm_bg", 800, 600, 0x101010);
    testsupport::WriteDwq(*dir_, "sys/mr_button", 60, 30, 0x404040);
    testsupport::WriteDwq(*dir_, "sys/ta_backButton", 60, 30, 0x00FF00);
    testsupport::WriteDwq(*dir_, "sys/ta_opt_bar", 200, 20, 0x808080);
  }
  void WriteSettings(const Pairs& extra = {}) const {
    Pairs pairs = extra;
    const Pairs base = {{"cursorPrintX", std::to_string(kRowX)}, {"cursorPrintY", std::to_string(kRowY)},
                        {"cursorSizeX", "300"}, {"cursorSizeY", "24"}, {"cursorNextY", std::to_string(kRowPitch)},
                        {"musicPrintNumber", "3"}, {"volumeMin", "0"}, {"volumeMax", "100"},
                        {"volumePrintX", "100"}, {"volumePrintY", "500"}, {"volumeSizeX", "200"},
                        {"volumeSizeY", "20"}, {"backPrintX", "700"}, {"backPrintY", "550"},
                        {"backSizeX", "60"}, {"backSizeY", "30"}, {"backClickTime", "0"}};
    pairs.insert(pairs.end(), base.begin(), base.end());
    const char* names[] = {"rew", "play", "ff", "pause", "stop"};
    for (int i = 0; i < 5; ++i) {
      const std::string key = std::string(names[i]) + "1";
      for (const auto& [k, v] : Pairs{{"Filename", "mr_button"}, {"PrintX", "500"},
                                     {"PrintY", std::to_string(100 + 40 * i)}, {"SizeX", "60"},
                                     {"SizeY", "30"}, {"ClickTime", "0"}})
        pairs.push_back({key + k, v});
    }
    WriteList("ListenBGM", pairs);
  }
  void WriteTracks(const std::string& text) const { dir_->Write("mok/listenbgmlist.xtx", text); }
  // A tone of `seconds` as the music file "wgq\\name.wgq".
  void WriteTone(const std::string& name, double seconds) const {
    musictest::WriteMusic(*dir_, name, musictest::Tone({0.5}, seconds, 1000.0));
  }
  CCommonListenBGM* Enter() {
    StartupGame& game = Game();
    game.SetVarNumber("listenbgmmode", 300);
    game.SetVarNumber("listenbgmnumber", 301);
    CCommonListenBGM* room = game.Remake<CCommonListenBGM>();
    game.EnterMode(CCommonListenBGM::kModeNumber);
    game.RunFrame();
    return room;
  }
  // Clicks (x, y) and runs frames until `done` holds (at most 4).
  template <typename F>
  void ClickUntil(int x, int y, F done) {
    MoveTo(x, y);
    Game().RunFrame();
    Click(x, y);
    for (int i = 0; i < 4 && !done(); ++i) Game().RunFrame();
  }
  void ClickRow(int r) { Click(kRowX + 10, kRowY + r * kRowPitch + 5), Game().RunFrame(); }
  int ModeVar() { return Game().GetVar(300); }
  int NumberVar() { return Game().GetVar(301); }
};

TEST_F(ListenBgmTest, TracksAreReadEightTokensEachAndAPartialRecordIsIgnored) {
  WriteSettings();
  Game().SetBgmNames({"bgm01", "bgm02"});
  WriteTracks("First,bgm02,3,5,Locked1,@,@,x\r\n"
              "Second,bgm09,0,30,Locked2,*,@,x\r\n"
              "Third,bgm01,1,0,Locked3,7,@,x\r\n"
              "Fourth,bgm01,1,0,Locked4,500,@,x\r\n"
              "Partial,bgm01,1\r\n");
  CCommonListenBGM* room = Enter();
  ASSERT_EQ(room->GetTrackCount(), 4);
  EXPECT_EQ(room->GetBgmNumber(0), 1) << "looked up in the BGM list";
  EXPECT_EQ(room->GetBgmNumber(1), -1);
  EXPECT_EQ(room->GetBgmNumber(2), 6);
  EXPECT_EQ(room->GetTrackLength(0), 186000);
  // Stopped: the cursor's track and its length, 3 minutes and 6 seconds.
  EXPECT_EQ(room->GetShownTrack(), 1);
  EXPECT_EQ(room->GetShownSeconds(), 186);
  EXPECT_EQ(ModeVar(), 0);
  EXPECT_EQ(NumberVar(), 1);
}

TEST_F(ListenBgmTest, LockedTracksOpenByTheirHeardFlagOrTheirOwnVariable) {
  WriteSettings({{"checklisten", "1"}});
  WriteTracks("A,a,1,0,-,1,@,x\r\nB,b,1,0,-,2,@,x\r\nC,c,1,0,-,3,open,x\r\nD,d,1,0,-,400,@,x\r\nE,e,1,0,-,*,@,x\r\n");
  Game().SetVarNumber("open", 310);
  Game().SetVar(310, 0);
  Game().GetSystemFile()->AddMusicCount(1);
  Game().GetSystemFile()->AddMusicCount(2);
  CCommonListenBGM* room = Enter();
  EXPECT_EQ(room->IsAvailable(0), 0);
  EXPECT_EQ(room->IsAvailable(1), 1);
  EXPECT_EQ(room->IsAvailable(2), 0) << "the variable decides alone";
  EXPECT_EQ(room->IsAvailable(3), 0) << "a number past the heard flags was never heard";
  EXPECT_EQ(room->IsAvailable(4), 1);
  Game().SetVar(310, 1);
  Game().EnterMode(CCommonListenBGM::kModeNumber);
  EXPECT_EQ(room->IsAvailable(2), 1);

  // A locked track is not played.
  ClickRow(0);
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kStopped);
  EXPECT_EQ(room->GetCursor(), 0);
}

TEST_F(ListenBgmTest, PlayPauseAndStopDriveThePlayerButtonsAndScriptVariables) {
  WriteSettings();
  WriteTone("tone", 6.0);
  WriteTracks("One,tone,0,6,-,*,@,x\r\nTwo,tone,0,6,-,*,@,x\r\n");
  CCommonListenBGM* room = Enter();
  CCommonCheckButton* play = room->GetButton(CCommonListenBGM::kPlay);
  CCommonCheckButton* pause = room->GetButton(CCommonListenBGM::kPause);
  CCommonCheckButton* stop = room->GetButton(CCommonListenBGM::kStop);
  EXPECT_EQ(stop->GetState(), 1);

  ClickRow(1);
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kPlaying);
  EXPECT_EQ(room->GetCursor(), 1);
  EXPECT_EQ(room->GetPlayingTrack(), 1);
  EXPECT_EQ(ModeVar(), 1);
  EXPECT_EQ(NumberVar(), 2);
  EXPECT_EQ(play->GetState(), 1);
  EXPECT_EQ(stop->GetState(), 0);
  Game().RunFrames(10);
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kPlaying);
  EXPECT_EQ(Game().GetBgmPlayer()->IsPlaying(), 1);
  // The cursor's frames run while the track plays (8 frames, one a tick).
  const int frame = room->GetCursorFrame();
  Game().RunFrame();
  EXPECT_EQ(room->GetCursorFrame(), (frame + 1) % 8);

  ClickUntil(510, ButtonY(CCommonListenBGM::kPause), [&] { return room->GetState() != CCommonListenBGM::kPlaying; });
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kPaused);
  EXPECT_EQ(ModeVar(), 2);
  const int held = room->GetCursorFrame();
  Game().RunFrames(3);
  EXPECT_EQ(room->GetCursorFrame(), held) << "a paused track's cursor stands";
  EXPECT_EQ(pause->GetState(), 1);
  EXPECT_EQ(room->GetShownSeconds(), -1) << "no time while paused";
  // Play on the paused track resumes it.
  ClickUntil(510, ButtonY(CCommonListenBGM::kPlay), [&] { return room->GetState() != CCommonListenBGM::kPaused; });
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kPlaying);
  EXPECT_EQ(ModeVar(), 1);
  EXPECT_EQ(room->GetShownTrack(), 2);

  ClickUntil(510, ButtonY(CCommonListenBGM::kStop), [&] { return room->GetState() != CCommonListenBGM::kPlaying; });
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kStopped);
  EXPECT_EQ(ModeVar(), 0);
  EXPECT_EQ(stop->GetState(), 1);
  EXPECT_EQ(play->GetState(), 0);
  Game().RunFrames(20);  // the default fade-out
  EXPECT_EQ(Game().GetBgmPlayer()->IsPlaying(), 0);
}

TEST_F(ListenBgmTest, ATrackThatEndsByItselfReturnsToTheStoppedLook) {
  WriteSettings();
  WriteTone("short", 0.3);
  WriteTracks("Short,short,0,1,-,*,@,x\r\nMissing,nofile,0,1,-,*,@,x\r\n");
  CCommonListenBGM* room = Enter();
  ClickRow(0);
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kPlaying);
  for (int i = 0; i < 200 && room->GetState() == CCommonListenBGM::kPlaying; ++i) Game().RunFrame();
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kStopped);
  EXPECT_EQ(ModeVar(), 0);
  EXPECT_EQ(room->GetButton(CCommonListenBGM::kStop)->GetState(), 1);
  EXPECT_EQ(room->GetButton(CCommonListenBGM::kPlay)->GetState(), 0);
  // A file that cannot play ends at once.
  ClickRow(1);
  Game().RunFrame();
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kStopped);
}

TEST_F(ListenBgmTest, RewWithLockedTracksBeforeStepsUpAndPlaysNothing) {
  WriteSettings({{"checklisten", "1"}});
  WriteTone("tone", 3.0);
  WriteTracks("A,tone,0,3,-,1,@,x\r\nB,tone,0,3,-,2,@,x\r\nC,tone,0,3,-,*,@,x\r\nD,tone,0,3,-,*,@,x\r\n");
  CCommonListenBGM* room = Enter();
  ClickRow(2);
  ASSERT_EQ(room->GetState(), CCommonListenBGM::kPlaying);
  ClickUntil(510, ButtonY(CCommonListenBGM::kRew), [&] { return room->GetCursor() != 2; });
  EXPECT_EQ(room->GetCursor(), 1);
  EXPECT_EQ(room->GetPlayingTrack(), 2) << "the locked track is not started";
  // ff goes to the next available track and plays it.
  ClickUntil(510, ButtonY(CCommonListenBGM::kFf), [&] { return room->GetCursor() != 1; });
  EXPECT_EQ(room->GetCursor(), 2);
  EXPECT_EQ(room->GetPlayingTrack(), 2);
  ClickUntil(510, ButtonY(CCommonListenBGM::kFf), [&] { return room->GetCursor() != 2; });
  EXPECT_EQ(room->GetCursor(), 3);
  EXPECT_EQ(room->GetPlayingTrack(), 3);
  EXPECT_EQ(NumberVar(), 4);
}

TEST_F(ListenBgmTest, TheSliderVolumeLastsOnlyInTheRoom) {
  WriteSettings({{"volumeMin", "50"}});
  WriteTracks("A,a,0,3,-,*,@,x\r\n");
  Game().SetSystemSetting(100, 75);
  CCommonListenBGM* room = Enter();
  EXPECT_EQ(room->GetSlider()->GetValue(), 50);
  EXPECT_EQ(room->GetVolume(), 75);
  // A click at the bar's right end: the full volume.
  ClickUntil(300, 510, [&] { return room->GetVolume() != 75; });
  EXPECT_EQ(room->GetVolume(), 100);
  Game().SetSystemSetting(100, 10);  // as if something else moved it
  ClickUntil(710, 560, [&] { return !Game().ModeRequests().empty(); });
  RunUntilRequests(1, 30);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{modenumber::kOmake}));
  EXPECT_EQ(Game().GetSystemSetting(100), 75);
}

TEST_F(ListenBgmTest, WithoutTracksNothingButBackReacts) {
  WriteSettings();
  // One partial record only.
  WriteTracks("A,a,0,3\r\n");
  CCommonListenBGM* room = Enter();
  EXPECT_EQ(room->GetTrackCount(), 0);
  EXPECT_EQ(room->GetShownSeconds(), -1);
  ClickRow(0);
  for (int i = 0; i < 5; ++i) ClickUntil(510, ButtonY(i), [] { return false; });
  EXPECT_EQ(room->GetState(), CCommonListenBGM::kStopped);
  EXPECT_EQ(room->GetCursor(), 0);
  EXPECT_EQ(room->GetShownTrack(), -1);
  ClickUntil(710, 560, [&] { return !Game().ModeRequests().empty(); });
  RunUntilRequests(1, 30);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{modenumber::kOmake}));
}

TEST_F(ListenBgmTest, HugeRowCountsAndPitchesShowOnlyTheTracks) {
  WriteSettings({{"musicPrintNumber", "2147483647"}, {"cursorNextX", "1000000"}, {"cursorAnimePattern", "0"},
                 {"cursorAnimeSpeed", "-3"}});
  WriteTracks("A,a,0,3,-,*,@,x\r\nB,b,0,3,-,*,@,x\r\n");
  CCommonListenBGM* room = Enter();
  Game().RunFrames(2);
  // Row 1 lies a million pixels to the right: nothing there can be clicked.
  ClickRow(1);
  EXPECT_EQ(room->GetCursor(), 0);
  EXPECT_EQ(room->GetCursorFrame(), 0);
}

TEST_F(ListenBgmTest, TheSpectrumMovesWhilePlayingAndFallsToZeroWhenStopped) {
  WriteSettings({{"spectrumPrintFlag", "1"}, {"spectrumCalcuPoint", "10"}, {"spectrumPrintNumber", "8"},
                 {"spectrumPrintX", "100"}, {"spectrumPrintY", "450"}});
  WriteTone("tone", 4.0);
  WriteTracks("A,tone,0,4,-,*,@,x\r\n");
  CCommonListenBGM* room = Enter();
  EXPECT_EQ(room->GetSpectrumPoints(), 64);
  ClickRow(0);
  Game().RunFrames(20);
  int loudest = 0;
  for (int v : room->GetLevels()) loudest = std::max(loudest, v);
  EXPECT_GT(loudest, 50);
  // A bar stood in the panel while the tone played (bars from y 450 up,
  // 60 high at level 100).
  bool drawn = false;
  for (int x = 100; x < 140; ++x) drawn = drawn || Pixel(x, 440) != 0x101010;
  EXPECT_TRUE(drawn);
  ClickUntil(510, ButtonY(CCommonListenBGM::kStop), [&] { return room->GetState() == CCommonListenBGM::kStopped; });
  Game().RunFrame();
  for (int v : room->GetLevels()) EXPECT_EQ(v, 0);
  // Once the peaks have fallen, nothing of the bars is left above the base.
  Game().RunFrames(40);
  for (int x = 100; x < 140; ++x) EXPECT_EQ(Pixel(x, 440), 0x101010u) << x;
}

}  // namespace
}  // namespace startup_test
