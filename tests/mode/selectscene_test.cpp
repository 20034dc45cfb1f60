// Mode 18, the scene gallery: the check of the scene table against the
// scene-voice list, the pages, the voice preview and the replay start.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gallery_fixture.h"
#include "mode/gallerygrid.h"
#include "mode/selectscene.h"
#include "savedata/scenedata.h"
#include "savedata/scenevoice.h"
#include "platform/files.h"

namespace startup_test {
namespace {

// A scene-voice list with scenesPerChara[c] entries in section c.
std::string VoiceList(const std::vector<int>& scenesPerChara) {
  std::string text;
  for (size_t c = 0; c < scenesPerChara.size(); ++c) {
    text += "[chara" + std::to_string(c + 1) + "]\r\n";
    for (int s = 0; s < scenesPerChara[c]; ++s) text += "@sc" + std::to_string(s) + " v" + std::to_string(s) + "\r\n";
  }
  return text;
}

class SelectSceneTest : public GalleryTest {
 protected:
  std::vector<platform::BoxRecord> Check(const std::vector<int>& table, const std::vector<int>& voices) {
    dir_->Write("spt/scene.dat", SceneTable(table));
    dir_->Write("mok/sceneVoice.xtx", VoiceList(voices));
    CSceneDataFile data;
    CSceneVoiceList list;
    const size_t before = host_->Boxes().size();
    CCommonSelectScene::CheckData(&data, &list);
    const auto all = host_->Boxes();
    return {all.begin() + static_cast<long>(before), all.end()};
  }
};

TEST_F(SelectSceneTest, DifferentCharacterCountsGiveOneBox) {
  const auto boxes = Check({2, 3}, {2});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("scene.dat=2\nsceneVoice.xtx=1"), std::string::npos) << boxes[0].text;
}

TEST_F(SelectSceneTest, OnlyTheFirstSceneCountDifferenceIsNamed) {
  const auto boxes = Check({2, 3, 4}, {2, 1, 9});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("\n\nscene.dat=3\nsceneVoice.xtx=1"), std::string::npos) << boxes[0].text;
  EXPECT_EQ(boxes[0].text.rfind("spt/scene.dat", 0), 0u);
}

TEST_F(SelectSceneTest, MatchingListsOrAMissingFileCheckNothing) {
  EXPECT_TRUE(Check({2, 3}, {2, 3}).empty());
  dir_->Write("mok/sceneVoice.xtx", VoiceList({5}));
  CSceneVoiceList list;
  platform::RemoveFile("spt\\scene.dat");
  CSceneDataFile missing;  // its own box
  const size_t before = host_->Boxes().size();
  CCommonSelectScene::CheckData(&missing, &list);
  CCommonSelectScene::CheckData(nullptr, &list);
  EXPECT_EQ(host_->Boxes().size(), before);
}

TEST_F(SelectSceneTest, RestingOnASeenScenePlaysItsVoiceOnceAndAClickStartsItsReplay) {
  dir_->Write("spt/scene.dat", SceneTable({3}));
  dir_->Write("mok/sceneVoice.xtx", VoiceList({3}));
  StartupGame& game = Game();
  game.GetSystemFile()->SetFilmFlag(10, 1);  // scene 1 seen
  CCommonSelectScene* gallery = game.Remake<CCommonSelectScene>();
  game.EnterMode(CCommonSelectScene::kModeNumber);
  game.RunFrames(4);
  EXPECT_EQ(gallery->GetSceneCount(), 3);
  auto voices = [&] {
    int n = 0;
    for (const std::string& s : game.Sounds()) n += s.find("PlayVoice") != std::string::npos ? 1 : 0;
    return n;
  };
  // Cell 0 (unseen) does not react; cell 1 (seen) at the default layout.
  MoveTo(100, 130);
  game.RunFrames(20);
  EXPECT_EQ(voices(), 0);
  MoveTo(85 + 166 + 20, 130);
  game.RunFrames(20);
  EXPECT_EQ(voices(), 1);
  bool v1 = false;
  for (const std::string& s : game.Sounds()) v1 = v1 || s.find("v1") != std::string::npos;
  EXPECT_TRUE(v1);
  Click(85 + 166 + 20, 130);
  game.RunFrames(12);
  EXPECT_EQ(game.GetSceneList()->GetCurrentScene(), 1);
}

// The game whose scene replays start (or fail) as the test says, and whose
// voice plays until it is faded out.
class ReplayGame : public StartupGame {
 public:
  using StartupGame::StartupGame;
  int StartSceneScript() override {
    Note("StartSceneScript");
    return replayStarts;
  }
  void PlayVoice(const char* name) override {
    StartupGame::PlayVoice(name);
    voicePlaying_ = true;
  }
  void FadeOutVoice(int) override { voicePlaying_ = false; }
  bool VoicePlaying() const { return voicePlaying_; }
  int replayStarts = 1;

 private:
  bool voicePlaying_ = false;
};

class SceneGalleryTest : public SelectSceneTest {
 protected:
  ReplayGame& Replay() {
    if (!game_) game_ = std::make_unique<ReplayGame>(*host_);
    return static_cast<ReplayGame&>(*game_);
  }
  CCommonSelectScene* Enter(const std::vector<int>& scenes, const std::string& voices,
                            const std::vector<int>& seen, const Pairs& pairs = {}) {
    WriteList("SelectScene", pairs);
    dir_->Write("spt/scene.dat", SceneTable(scenes));
    dir_->Write("mok/sceneVoice.xtx", voices);
    ReplayGame& game = Replay();
    for (int s : seen) game.GetSystemFile()->SetFilmFlag(10, s);
    CCommonSelectScene* gallery = game.Remake<CCommonSelectScene>();
    game.EnterMode(CCommonSelectScene::kModeNumber);
    game.RunFrame();
    return gallery;
  }
  int Voices() const {
    int n = 0;
    for (const std::string& s : game_->Sounds()) n += s.find("PlayVoice") != std::string::npos ? 1 : 0;
    return n;
  }
  // The default layout's cell k (4 x 3 cells of 133 x 100, pitch 166 x 124).
  static int CellX(int k) { return 85 + k % 4 * 166 + 20; }
  static int CellY(int k) { return 113 + k / 4 * 124 + 20; }
};

TEST_F(SceneGalleryTest, MoreThanTwoHundredScenesShowTheFirstTwoHundred) {
  CCommonSelectScene* gallery = Enter({205}, VoiceList({205}), {204, 199});
  EXPECT_EQ(gallery->GetSceneCount(), 200);
  EXPECT_EQ(gallery->GetPageCount(), 17);
  gallery->ChangePage(99);
  EXPECT_EQ(gallery->GetPage(), 16);
  // Scenes 192..199 on the last page; 199 is seen, 204 is not shown.
  EXPECT_EQ(gallery->GetGrid()->GetState(7), CGalleryGrid::CellState::kSeen);
  EXPECT_EQ(gallery->GetGrid()->GetState(8), CGalleryGrid::CellState::kEmpty);
}

TEST_F(SceneGalleryTest, AnEntryWithoutPictureOrVoiceShowsNoThumbnailAndPlaysNothing) {
  constexpr uint32_t kBackground = 0x101010;
  testsupport::WriteDwq(*dir_, "sys/scene_bg", 800, 600, kBackground);
  testsupport::WriteDwq(*dir_, "sys/sc/full", 133, 100, 0x00AA00);
  // Scene 0 of page 0 has a picture; scene 12 (cell 0 of page 1) none.
  std::string voices = "[a]\r\n@full v0\r\n";
  for (int s = 1; s < 12; ++s) voices += "@full v\r\n";
  voices += "@\r\n";
  CCommonSelectScene* gallery = Enter({13}, voices, {0, 12});
  EXPECT_EQ(Pixel(CellX(0), CellY(0)), 0x00AA00u);
  const size_t boxes = host_->Boxes().size();
  gallery->ChangePage(1);
  Replay().RunFrame();
  EXPECT_EQ(gallery->GetPage(), 1);
  EXPECT_EQ(gallery->GetGrid()->GetState(0), CGalleryGrid::CellState::kSeen);
  EXPECT_EQ(Pixel(CellX(0), CellY(0)), kBackground) << "the previous page's picture";
  EXPECT_EQ(host_->Boxes().size(), boxes) << "no picture load was tried";
  MoveTo(CellX(0), CellY(0));
  Replay().RunFrames(20);
  EXPECT_EQ(Voices(), 0);
}

// The scene gallery's cover keeps its transparent pixels whatever
// "futaPrintFlag" says; the picture gallery's draws opaque with 2.
TEST_F(SceneGalleryTest, TheCoverIsAlwaysDrawnWithItsTransparency) {
  constexpr uint32_t kBackground = 0x101010, kCover = 0x404040;
  testsupport::WriteDwq(*dir_, "sys/scene_bg", 800, 600, kBackground);
  // A cover with a transparent window in its middle.
  dwqtool::Picture cover{100, 80, std::vector<uint32_t>(100 * 80, kCover), std::vector<uint8_t>(100 * 80, 255)};
  for (int y = 20; y < 60; ++y)
    for (int x = 20; x < 80; ++x) cover.alpha[static_cast<size_t>(y * 100 + x)] = 0;
  testsupport::WriteDwq(*dir_, "sys/ta_futa1", cover);
  for (const char* flag : {"1", "2"}) {
    SCOPED_TRACE(flag);
    game_.reset();
    Enter({3}, VoiceList({3}), {}, {{"futaPrintFlag", flag}});
    EXPECT_EQ(Pixel(85 + 50, 113 + 40), kBackground);
    EXPECT_EQ(Pixel(85 + 10, 113 + 10), kCover);
  }
}

TEST_F(SceneGalleryTest, EntryClearsTheStoryVariablesAndKeepsThePageBetweenVisits) {
  // The game reads the scene table when it is made.
  dir_->Write("spt/scene.dat", SceneTable({30}));
  ReplayGame& game = Replay();
  for (int v : {99, 100, 199, 200, 299, 300, 999}) game.SetVar(v, 7);
  CCommonSelectScene* gallery = Enter({30}, VoiceList({30}), {});
  const std::pair<int, int> expected[] = {{99, 7}, {100, 0}, {199, 0}, {200, 7}, {299, 7}, {300, 0}, {999, 0}};
  for (const auto& [v, value] : expected) EXPECT_EQ(game.GetVar(v), value) << v;
  gallery->ChangePage(2);
  game.EnterMode(CCommonSelectScene::kModeNumber);
  EXPECT_EQ(gallery->GetPage(), 2);
  // Fewer scenes on the next visit: the page is held to the last one.
  game.GetSceneList()->SetCurrentChara(1);
  game.EnterMode(CCommonSelectScene::kModeNumber);
  EXPECT_EQ(gallery->GetPage(), 0);
}

TEST_F(SceneGalleryTest, TheReplayHidesTheEntrysLayersStartsTheSceneAndStopsTheMusicOnlyOnSuccess) {
  for (int starts : {1, 0}) {
    game_.reset();
    Enter({2}, "[a]\r\n@p0 v0\r\n@p1 v1 #3 #17\r\n", {1});
    Replay().replayStarts = starts;
    MoveTo(CellX(1), CellY(1));
    Replay().RunFrame();
    Click(CellX(1), CellY(1));
    RunUntilRequests(1, 12);
    Replay().RunFrames(3);
    EXPECT_EQ(Replay().GetSceneList()->GetCurrentScene(), 1);
    // Only bits 0..15 name layers.
    EXPECT_EQ(Replay().GetLayerDisableMask(), 1 << 3);
    EXPECT_TRUE(Called("StartSceneScript"));
    EXPECT_EQ(Called("StopBgm -1"), starts == 1) << starts;
  }
}

TEST_F(SceneGalleryTest, LeavingFadesTheVoiceOutOnlyWhenTheListSaysSo) {
  for (int flag : {0, 1}) {
    game_.reset();
    CCommonSelectScene* gallery =
        Enter({1}, "[a]\r\n@p0 mi0001\r\n", {0}, {{"exitStopVoiceFlag", std::to_string(flag)}});
    Replay().RunFrames(4);  // past the page's sound guard
    MoveTo(CellX(0), CellY(0));
    Replay().RunFrames(20);
    ASSERT_TRUE(Replay().VoicePlaying());
    gallery->AtExit();
    EXPECT_EQ(Replay().VoicePlaying(), flag == 0) << flag;
  }
}

}  // namespace
}  // namespace startup_test
