// Mode 18, the scene gallery: the check of the scene table against the
// scene-voice list.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gallery_fixture.h"
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

}  // namespace
}  // namespace startup_test
