// Playlists: names, separators, counted, endless and nested repeats, and
// the lists that cannot play.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "sound/playlist.h"
#include "support/temp_dir.h"
#include "support/text.h"

namespace {

class BgmPlayListTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
  }
  // The first `count` names of a list, "END" where it ends; every name
  // "plays" (reports sound) when sounding is set.
  std::vector<std::string> Names(const std::string& text, int count, bool sounding = true) {
    dir_.Write("wgq/list.mml", text);
    EXPECT_EQ(list_.Load("list"), 1) << text;
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
      const char* name = list_.Next();
      if (!name) {
        out.push_back("END");
        break;
      }
      out.push_back(name);
      if (sounding) list_.MarkSound();
    }
    return out;
  }
  using V = std::vector<std::string>;

  platform::HeadlessBackend* host_ = nullptr;
  testsupport::TempDir dir_;
  CBgmPlayList list_;
};

TEST_F(BgmPlayListTest, NamesRepeatsAndSeparators) {
  struct Case {
    const char* text;
    int draws;
    V expected;
  };
  const Case cases[] = {
      {"op [2:a b] [0:c]", 9, {"op", "a", "b", "a", "b", "c", "c", "c", "c"}},
      {"[3a]", 5, {"a", "a", "a", "END"}},
      {"a,,b  c", 5, {"a", "b", "c", "END"}},
      {"a,,b  c\rd e", 5, {"a", "b", "c", "END"}},
      {"a\nb c", 5, {"a\nb", "c", "END"}},  // LF is part of a name
      {"[2:[2:x] y]z", 9, {"x", "x", "y", "x", "x", "y", "z", "END"}},
      {"[:a]", 4, {"a", "a", "a", "a"}},
      {"[99999999999999:a]", 3, {"a", "a", "a"}},  // a count too large for 32 bits
      {"[1234567890123456:a]", 2, {"6:a", "6:a"}},  // 15 digits are read, the rest is a name
      {"x[2:y]", 4, {"x", "y", "y", "END"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Names(c.text, c.draws), c.expected) << c.text;
  }
}

TEST_F(BgmPlayListTest, LongNamesAreCutAt255Bytes) {
  const std::string name(300, 'n');
  const V got = Names(name + " b", 4);
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(got[0], std::string(255, 'n'));
  EXPECT_EQ(got[1], std::string(45, 'n'));
  EXPECT_EQ(got[2], "b");
  EXPECT_EQ(got[3], "END");
}

TEST_F(BgmPlayListTest, TheEndStaysUntilRestart) {
  EXPECT_EQ(Names("a b", 3), (V{"a", "b", "END"}));
  EXPECT_EQ(list_.Next(), nullptr);
  list_.Restart();
  ASSERT_NE(list_.Next(), nullptr);
  EXPECT_STREQ(list_.GetName(), "a");
}

TEST_F(BgmPlayListTest, RepeatsThatNeverSoundDoNotGoRound) {
  // An endless repeat whose round gave no PCM ends the list for good ...
  EXPECT_EQ(Names("x [0:a b]", 6, false), (V{"x", "a", "b", "END"}));
  EXPECT_EQ(list_.IsExhausted(), 1);
  list_.Restart();
  EXPECT_EQ(list_.IsExhausted(), 0);
  // ... a counted one skips its remaining rounds.
  EXPECT_EQ(Names("[2000000000:a] b", 4, false), (V{"a", "b", "END"}));
  EXPECT_EQ(list_.IsExhausted(), 0);
  EXPECT_EQ(list_.SoundSinceRestart(), 0);
  // A round with sound goes round again.
  EXPECT_EQ(Names("[0:a]", 3, true), (V{"a", "a", "a"}));
  EXPECT_EQ(list_.SoundSinceRestart(), 1);
}

TEST_F(BgmPlayListTest, ASingleMusicFileIsAListOfOne) {
  dir_.Write("wgq/solo.wgq", "x");
  ASSERT_EQ(list_.Load("solo"), 1);
  EXPECT_STREQ(list_.Next(), "solo");
  EXPECT_EQ(list_.Next(), nullptr);
  // A playlist wins over a file of the same name.
  dir_.Write("wgq/solo.mml", "p q");
  ASSERT_EQ(list_.Load("SOLO"), 1);
  EXPECT_STREQ(list_.Next(), "p");
  EXPECT_EQ(list_.Load("nothing"), 0);
  EXPECT_EQ(list_.Load(""), 0);
  EXPECT_EQ(list_.Load(nullptr), 0);
  EXPECT_EQ(list_.Next(), nullptr);
  EXPECT_TRUE(host_->Boxes().empty());
}

TEST_F(BgmPlayListTest, LongListsAreReadWhole) {
  std::string text;
  for (int i = 0; i < 400; ++i) text += testsupport::Numbered("n", i) + " ";
  ASSERT_GT(text.size(), 1024u);
  const V got = Names(text, 401);
  ASSERT_EQ(got.size(), 401u);
  EXPECT_EQ(got[399], "n399");
  EXPECT_EQ(got[400], "END");
}

TEST_F(BgmPlayListTest, ListsThatCannotPlayAreRefusedWithABox) {
  std::string deep15, deep16;
  for (int i = 0; i < 15; ++i) deep15 += "[2:";
  deep15 += "a" + std::string(15, ']');
  deep16 = "[2:" + deep15 + "]";
  dir_.Write("wgq/deep15.mml", deep15);
  EXPECT_EQ(list_.Load("deep15"), 1);
  EXPECT_STREQ(list_.Next(), "a");
  EXPECT_TRUE(host_->Boxes().empty());

  const char* bad[] = {"", " ,, ", "]", "a ]", "[2:]", "[0:]", "[]", "[1] b", "[0:[3:]] a", "[0:\r a]", "[", deep16.c_str()};
  for (const char* text : bad) {
    host_->ClearBoxes();
    dir_.Write("wgq/bad.mml", text);
    EXPECT_EQ(list_.Load("bad"), 0) << text;
    EXPECT_EQ(list_.Next(), nullptr);
    const auto boxes = host_->Boxes();
    ASSERT_EQ(boxes.size(), 1u) << text;
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_EQ(boxes[0].text.rfind("wgq\\bad.mml\n", 0), 0u);
  }
}

}  // namespace
