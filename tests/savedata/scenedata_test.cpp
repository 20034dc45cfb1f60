#include "savedata/scenedata.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "savedata/scenevoice.h"
#include "savedata_test.h"

namespace savedata_test {
namespace {

std::string Words(const std::vector<int32_t>& values) {
  std::string out(values.size() * 4, '\0');
  for (size_t i = 0; i < values.size(); ++i) PutWord(&out, 4 * i, values[i]);
  return out;
}

// A scene.dat of the given words after the size word, which is filled in.
std::string SceneFile(std::vector<int32_t> body) {
  body.insert(body.begin(), static_cast<int32_t>(4 * (body.size() + 1)));
  return Words(body);
}

class SceneDataTest : public SaveDataTest {
 protected:
  void WriteScenes(const std::string& bytes) const { Dir().Write("spt/scene.dat", bytes); }
  // Characters of one-item scenes; the items of character c are film script
  // 10 + c, indexes 0, 1, 2...
  void WriteOneItemScenes(const std::vector<int>& scenesPerChara) const {
    std::vector<int32_t> body = {static_cast<int32_t>(scenesPerChara.size())};
    for (size_t c = 0; c < scenesPerChara.size(); ++c) {
      body.push_back(scenesPerChara[c]);
      for (int s = 0; s < scenesPerChara[c]; ++s) {
        body.insert(body.end(), {static_cast<int32_t>(10 + c), 1, s + 1});
      }
    }
    WriteScenes(SceneFile(body));
  }

  CCommonSystemFile sys_;
};

TEST_F(SceneDataTest, AMissingTableShowsABoxAndHoldsOneScene) {
  CSceneDataFile data;
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "spt\\scene.dat" + testsupport::Sjis("がみつからにゃいよ"));
  EXPECT_EQ(boxes[0].caption, "ERROR");
  EXPECT_EQ(boxes[0].style, MB_OK);

  EXPECT_EQ(data.GetCharaCount(), 1);
  EXPECT_EQ(data.GetSceneCount(0), 1);
  EXPECT_EQ(data.GetSceneScript(0, 0), 2);
  EXPECT_EQ(data.GetItemCount(0, 0), 1);
  EXPECT_EQ(data.GetItem(0, 0, 0), 0);
  EXPECT_EQ(data.GetRecordIndex(0, 0), 3);
  EXPECT_EQ(data.IsSceneMarked(0, 0), 0);

  CSceneList list(&sys_, &data);
  EXPECT_EQ(list.IsSceneSeen(0, 0), 0);
  sys_.SetFilmFlag(2, 0);
  EXPECT_EQ(list.IsSceneSeen(0, 0), 1);
  EXPECT_EQ(list.GetTotalSeenPercent(), 100);
}

TEST_F(SceneDataTest, ReadsCharactersScenesAndItems) {
  WriteScenes(SceneFile({
      2,             // characters
      3,             // character 0: three scenes
      5, 2, 1, 2,    //   script 5, items 0 and 1
      -6, 2, -3, 4,  //   marked script 6; item 2 does not count
      7, 2, -1, -2,  //   no item counts
      1,             // character 1: one scene
      -8, 0,         //   marked, no items
  }));
  CSceneDataFile data;
  EXPECT_TRUE(Boxes().empty());
  ASSERT_EQ(data.GetCharaCount(), 2);
  EXPECT_EQ(data.GetSceneCount(0), 3);
  EXPECT_EQ(data.GetSceneCount(1), 1);
  EXPECT_EQ(data.GetSceneCount(2), 0);
  EXPECT_EQ(data.GetSceneCount(-1), 0);
  EXPECT_EQ(data.GetMarkedSceneCount(0), 1);
  EXPECT_EQ(data.GetMarkedSceneCount(1), 1);
  EXPECT_EQ(data.GetRecordIndex(0, 0), 3);
  EXPECT_EQ(data.GetRecordIndex(0, 1), 7);
  EXPECT_EQ(data.GetRecordIndex(0, 2), 11);
  EXPECT_EQ(data.GetRecordIndex(1, 0), 16);
  EXPECT_EQ(data.GetSceneScript(0, 1), 6);
  EXPECT_EQ(data.IsSceneMarked(0, 1), 1);
  EXPECT_EQ(data.IsSceneMarked(0, 0), 0);
  EXPECT_EQ(data.GetItemCount(0, 1), 2);
  EXPECT_EQ(data.GetItem(0, 1, 0), 2);
  EXPECT_EQ(data.GetItemOrNone(0, 1, 0), -1);
  EXPECT_EQ(data.GetItemOrNone(0, 1, 1), 3);
  EXPECT_EQ(data.GetWord(0), 72);

  CSceneList list(&sys_, &data);
  EXPECT_EQ(list.GetCharaCount(), 2);
  EXPECT_EQ(list.IsSceneSeen(0, 2), 1);  // all items negative
  EXPECT_EQ(list.IsSceneSeen(1, 0), 1);  // no items
  EXPECT_EQ(list.IsSceneSeen(0, 0), 0);
  sys_.SetFilmFlag(5, 0);
  EXPECT_EQ(list.IsSceneSeen(0, 0), 0);
  sys_.SetFilmFlag(5, 1);
  EXPECT_EQ(list.IsSceneSeen(0, 0), 1);
  sys_.SetFilmFlag(6, 3);
  EXPECT_EQ(list.IsSceneSeen(0, 1), 1);
  EXPECT_EQ(list.IsSceneSeen(0, 3), 0);
  EXPECT_EQ(list.IsSceneSeen(5, 0), 0);
  EXPECT_EQ(list.GetMarkedSceneCount(0), 1);
  EXPECT_EQ(list.IsSceneMarked(0, 1), 1);
}

TEST_F(SceneDataTest, SeenPercentages) {
  struct Case {
    int scenes, seen, percent;
  };
  const Case cases[] = {{3, 1, 33}, {200, 199, 99}, {200, 1, 1}, {200, 0, 0}, {4, 4, 100}};
  for (const Case& c : cases) {
    WriteOneItemScenes({c.scenes});
    CSceneDataFile data;
    CCommonSystemFile sys;
    for (int s = 0; s < c.seen; ++s) sys.SetFilmFlag(10, s);
    CSceneList list(&sys, &data);
    EXPECT_EQ(list.GetSeenPercent(0), c.percent) << c.seen << " of " << c.scenes;
    EXPECT_EQ(list.GetTotalSeenPercent(), c.percent) << c.seen << " of " << c.scenes;
  }

  // Over all characters: 1 of 2 and 0 of 3 scenes seen.
  WriteOneItemScenes({2, 3});
  CSceneDataFile data;
  sys_.SetFilmFlag(10, 1);
  CSceneList list(&sys_, &data);
  EXPECT_EQ(list.GetSeenPercent(0), 50);
  EXPECT_EQ(list.GetSeenPercent(1), 0);
  EXPECT_EQ(list.GetTotalSeenPercent(), 20);
}

TEST_F(SceneDataTest, WithoutSceneDataTheListActsAsOneUnseenScene) {
  CSceneList list(&sys_, nullptr);
  EXPECT_EQ(list.GetCharaCount(), 1);
  EXPECT_EQ(list.GetSceneCount(0), 1);
  EXPECT_EQ(list.GetMarkedSceneCount(0), 0);
  EXPECT_EQ(list.IsSceneMarked(0, 0), 0);
  EXPECT_EQ(list.IsSceneSeen(0, 0), 0);
  EXPECT_EQ(list.GetSeenPercent(0), 0);
  EXPECT_EQ(list.GetTotalSeenPercent(), 0);
  EXPECT_EQ(list.NextItem(), -1);
}

TEST_F(SceneDataTest, NextItemAdvancesFirstAndStopsAtTheEnd) {
  WriteScenes(SceneFile({1, 2, 3, 1, 9, 4, 3, 5, -6, 7}));
  CSceneDataFile data;
  CSceneList list(&sys_, &data);
  EXPECT_EQ(list.SetCurrentChara(0)->SetCurrentScene(1), &list);
  list.SetItemCursor(0);  // item 0 is where the replay starts
  EXPECT_EQ(list.NextItem(), 5);
  EXPECT_EQ(list.NextItem(), 6);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.NextItem(), -1);
  EXPECT_EQ(list.GetItemCursor(), 3);
}

TEST_F(SceneDataTest, TheWalkUsesOnlyTheWordsRead) {
  // A size word below 4 stands for 16000 bytes; the file gives fewer, and a
  // character count far beyond what follows reaches only what is there.
  WriteScenes(Words({0, 1000000, 1, 4, 1, 7}));
  {
    CSceneDataFile data;
    EXPECT_EQ(data.GetWord(0), 16000);
    EXPECT_EQ(data.GetCharaCount(), 1);
    EXPECT_EQ(data.GetSceneCount(0), 1);
    EXPECT_EQ(data.GetItem(0, 0, 0), 6);
    EXPECT_EQ(data.GetWord(6), 0);
    EXPECT_EQ(data.GetWord(3999), 0);
  }
  // Words after the stated size are not part of the table.
  WriteScenes(Words({24, 1, 2, 4, 0, 5, 0}));
  {
    CSceneDataFile data;
    EXPECT_EQ(data.GetSceneCount(0), 1);
    EXPECT_EQ(data.GetWord(6), 0);
  }
  // A record that runs past the words read ends the walk before it.
  WriteScenes(SceneFile({2, 2, 3, 1, 1, 4, 5, 1, 2, 3}));
  {
    CSceneDataFile data;
    EXPECT_EQ(data.GetCharaCount(), 1);
    EXPECT_EQ(data.GetSceneCount(0), 1);
    EXPECT_EQ(data.GetItemCount(0, 1), 0);
  }
  // An empty file, a negative item count and a negative character count.
  for (const std::string& bytes :
       {std::string(), std::string("\x01\x02", 2), SceneFile({1, 1, 2, -1, 5}), SceneFile({-1, 1, 2, 0})}) {
    WriteScenes(bytes);
    CSceneDataFile data;
    EXPECT_EQ(data.GetSceneCount(0), 0);
    EXPECT_TRUE(Boxes().empty());
  }
}

// Every record the reader accepts lies inside the words of the file.
TEST_F(SceneDataTest, DamagedTablesLoadSafely) {
  const std::string sound = SceneFile({2, 2, 3, 2, 1, 2, -4, 1, -5, 1, 6, 0});
  std::vector<std::string> inputs;
  for (size_t n = 0; n <= sound.size(); ++n) inputs.push_back(sound.substr(0, n));
  std::mt19937 random(7);
  for (int i = 0; i < 300; ++i) {
    std::vector<int32_t> words(random() % 24);
    for (int32_t& w : words) w = static_cast<int32_t>(random() % 9) - 2;
    if (!words.empty() && random() % 2) words[0] = static_cast<int32_t>(random());
    inputs.push_back(Words(words));
  }
  for (const std::string& input : inputs) {
    WriteScenes(input);
    CSceneDataFile data;
    CSceneList list(&sys_, &data);
    const int fileWords = static_cast<int>(input.size() / 4);
    for (int c = 0; c < data.GetCharaCount(); ++c) {
      EXPECT_LE(data.GetMarkedSceneCount(c), data.GetSceneCount(c));
      for (int s = 0; s < data.GetSceneCount(c); ++s) {
        const int record = data.GetRecordIndex(c, s);
        const int items = data.GetItemCount(c, s);
        ASSERT_GE(items, 0);
        ASSERT_LE(record + 2 + items, fileWords);
        for (int i = 0; i < items; ++i) {
          const int32_t v = data.GetWord(record + 2 + i);
          EXPECT_EQ(data.GetItemOrNone(c, s, i), v < 0 ? -1 : v - 1);
        }
        list.IsSceneSeen(c, s);
      }
      const int percent = list.GetSeenPercent(c);
      EXPECT_TRUE(percent >= 0 && percent <= 100);
    }
  }
}

class SceneVoiceTest : public SaveDataTest {
 protected:
  void WriteVoices(const std::string& text) const { Dir().Write("mok/sceneVoice.xtx", text); }
};

TEST_F(SceneVoiceTest, SectionsEntriesVoicesTextsAndFlags) {
  WriteVoices(
      "#4 loose\r\n"
      "[chara1]\r\n"
      "@sc01 v001 line1 line2 #3 #32 #-1 #x\r\n"
      "@sc02 !novoice #0 #31\r\n"
      "[chara2]\r\n"
      "@sc03\r\n"
      "[chara3]\r\n"
      "@sc04 v4 t1 t2 t3\r\n");
  CSceneVoiceList list;
  EXPECT_EQ(list.IsLoaded(), 1);
  ASSERT_EQ(list.GetSectionCount(), 3);
  EXPECT_EQ(list.GetSceneCount(0), 2);
  EXPECT_EQ(list.GetValue(1), 1);
  EXPECT_EQ(list.GetSceneCount(3), 0);

  EXPECT_EQ(list.GetEntryLength(0, 0), 8);
  EXPECT_STREQ(list.GetScenePictureName(0, 0), "sc01");
  EXPECT_STREQ(list.GetSceneVoice(0, 0), "v001");
  EXPECT_STREQ(list.GetSceneText(0, 0, 0), "line1");
  EXPECT_STREQ(list.GetSceneText(0, 0, 1), "line2");
  EXPECT_EQ(list.GetSceneText(0, 0, 2), nullptr);  // flag tokens, used or not
  EXPECT_EQ(list.GetSceneText(0, 0, 5), nullptr);
  EXPECT_EQ(list.GetSceneText(0, 0, 6), nullptr);
  EXPECT_EQ(list.GetSceneText(0, 0, -1), nullptr);
  EXPECT_EQ(list.GetSceneFlags(0, 0), 1u << 3);

  // The next section's '[' is not part of the entry before it.
  EXPECT_EQ(list.GetEntryLength(0, 1), 4);
  EXPECT_EQ(list.GetSceneVoice(0, 1), nullptr);
  EXPECT_EQ(list.GetSceneFlags(0, 1), 1u | 1u << 31);

  // Only the entry mark: no voice and no text.
  EXPECT_EQ(list.GetEntryLength(1, 0), 1);
  EXPECT_STREQ(list.GetScenePictureName(1, 0), "sc03");
  EXPECT_EQ(list.GetSceneVoice(1, 0), nullptr);
  EXPECT_EQ(list.GetSceneText(1, 0, 0), nullptr);

  // The last entry takes every remaining token.
  EXPECT_EQ(list.GetEntryLength(2, 0), 5);
  EXPECT_STREQ(list.GetSceneText(2, 0, 2), "t3");
  EXPECT_EQ(list.GetScenePictureName(2, 1), nullptr);
}

TEST_F(SceneVoiceTest, AMissingListIsEmptyAndQuiet) {
  CSceneVoiceList list;
  EXPECT_EQ(list.IsLoaded(), 0);
  EXPECT_EQ(list.GetSectionCount(), 0);
  EXPECT_EQ(list.GetSceneCount(0), 0);
  EXPECT_EQ(list.GetScenePictureName(0, 0), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SceneVoiceTest, TablesStopAt99SectionsAnd999Entries) {
  std::string text;
  for (int c = 0; c < 120; ++c) {
    text += "[c]\r\n";
    for (int s = 0; s < 12; ++s) text += "@p" + std::to_string(c) + "_" + std::to_string(s) + " v\r\n";
  }
  WriteVoices(text);
  CSceneVoiceList list;
  EXPECT_EQ(list.GetSectionCount(), 99);
  int entries = 0;
  for (int c = 0; c < 99; ++c) entries += list.GetSceneCount(c);
  EXPECT_EQ(entries, 999);
  EXPECT_EQ(list.GetSceneCount(83), 3);
  EXPECT_EQ(list.GetSceneCount(84), 0);
  EXPECT_STREQ(list.GetScenePictureName(83, 2), "p83_2");
  EXPECT_EQ(list.GetEntryLength(83, 2), 2);
}

}  // namespace
}  // namespace savedata_test
