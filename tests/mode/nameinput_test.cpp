// Mode 29, the name entry: typed Japanese reaching the game and its system
// file, the field order, going back and leaving, empty entries, fixed
// names, the status and time variables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mode/nameinput.h"
#include "platform/backend.h"
#include "savedata/systemfile.h"
#include "startup_fixture.h"
#include "widget/textinputbox.h"

namespace startup_test {
namespace {

const std::string kYamada = "\x8E\x52\x93\x63", kTaro = "\x91\xBE\x98\x59";

class NameInputTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    testsupport::WriteDwq(*dir_, "sys/btn", 4 * 100, 30, 0xC0E020);
  }
  // ok at (100, 400), cancel at (300, 400); the extra keys follow.
  void Write(const Pairs& extra) const {
    Pairs pairs;
    for (const char* b : {"ok", "cancel"}) {
      const std::string k = b;
      pairs.insert(pairs.end(), {{k + "Filename", "btn"}, {k + "SizeX", "100"}, {k + "SizeY", "30"},
                                 {k + "ClickTime", "0"}, {k + "PrintY", "400"}});
    }
    pairs.push_back({"okPrintX", "100"});
    pairs.push_back({"cancelPrintX", "300"});
    pairs.insert(pairs.end(), extra.begin(), extra.end());
    WriteList("nameInput", pairs);
  }
  CCommonNameInput* Enter() {
    StartupGame& game = Game();
    game.SetVarNumber("st", 40);
    game.SetVarNumber("tm", 41);
    auto* mode = game.Remake<CCommonNameInput>();
    game.EnterMode(CCommonNameInput::kModeNumber);
    game.RunFrame();
    return mode;
  }
  void Type(const std::string& utf8) {
    host_->InjectText(utf8);
    Game().RunFrame();
  }
  void ClickButton(int x) {
    MoveTo(x + 10, 410);
    Game().RunFrame();
    Click(x + 10, 410);
    Game().RunFrames(2);
  }
  void Ok() { ClickButton(100); }
  void Return() {
    host_->InjectKey(VK_RETURN, true);
    host_->InjectKey(VK_RETURN, false);
    Game().RunFrame();
  }
  void Cancel() { ClickButton(300); }
  const char* BoxText() const { return game_->GetTextInputBox()->GetText(); }
};

TEST_F(NameInputTest, TypedJapaneseReachesTheGameAndTheSystemFile) {
  Write({{"statusVarName", "st"}, {"timeVarName", "tm"}, {"seiMax", "7"}, {"meiMax", "7"}});
  CCommonNameInput* mode = Enter();
  ASSERT_EQ(mode->GetFieldCount(), 2);
  EXPECT_EQ(mode->GetField(0), 0);
  Game().GetTextInputBox()->Clear();
  Type("山田");
  EXPECT_EQ(BoxText(), kYamada);
  Ok();
  EXPECT_EQ(mode->GetPosition(), 1);
  Game().GetTextInputBox()->Clear();
  Type("太郎");
  EXPECT_TRUE(Game().GetWindowHandle()->IsTextInputOn());
  Ok();
  ASSERT_TRUE(mode->IsFinished());
  EXPECT_TRUE(mode->IsConfirmed());
  // Text input ends with the entry (the box's close flag is off here).
  EXPECT_FALSE(Game().GetWindowHandle()->IsTextInputOn());
  mode->AtExit();
  EXPECT_EQ(std::string(Game().GetFamilyName()), kYamada);
  EXPECT_EQ(std::string(Game().GetGivenName()), kTaro);
  EXPECT_EQ(std::string(Game().GetSystemFile()->GetFamilyName()), kYamada);
  EXPECT_EQ(Game().GetVar(40), 1);
  EXPECT_EQ(Game().GetVar(41), mode->GetFrames());
  EXPECT_GT(mode->GetFrames(), 0);
}

TEST_F(NameInputTest, ReversedOrderAndCancelOnTheFirstFieldLeavesWithoutStoring) {
  Write({{"seimeiReverse", "1"}, {"statusVarName", "st"}});
  Game().SetNames(kYamada.c_str(), kTaro.c_str());
  CCommonNameInput* mode = Enter();
  EXPECT_EQ(mode->GetField(0), 1);
  EXPECT_EQ(mode->GetField(1), 0);
  EXPECT_EQ(BoxText(), kTaro);
  Game().GetTextInputBox()->Clear();
  Type("abc");
  Cancel();
  EXPECT_TRUE(mode->IsFinished());
  EXPECT_FALSE(mode->IsConfirmed());
  Game().SetVar(40, 7);
  mode->AtExit();
  EXPECT_EQ(std::string(Game().GetGivenName()), kTaro);
  EXPECT_EQ(Game().GetVar(40), 0);

  // Without "returnOk" cancel on the first field does nothing; on the
  // second it goes back one field, and the name typed there is kept for
  // when the player comes forward again (nothing reaches the game before
  // the last field is confirmed).
  Write({{"returnOk", "0"}});
  mode = Enter();
  Cancel();
  EXPECT_FALSE(mode->IsFinished());
  Ok();
  EXPECT_EQ(mode->GetPosition(), 1);
  Game().GetTextInputBox()->Clear();
  Type("xyz");
  const std::string typed = BoxText();
  ASSERT_FALSE(typed.empty());
  Cancel();
  EXPECT_EQ(mode->GetPosition(), 0);
  EXPECT_EQ(BoxText(), kYamada);
  EXPECT_EQ(std::string(Game().GetFamilyName()), kYamada);
  Ok();
  EXPECT_EQ(mode->GetPosition(), 1);
  EXPECT_EQ(BoxText(), typed);
  Ok();
  ASSERT_TRUE(mode->IsConfirmed());
  mode->AtExit();
  EXPECT_EQ(std::string(Game().GetFamilyName()), kYamada);
  EXPECT_EQ(Game().GetGivenName(), typed);
}

// The field not being typed shows its name in its fixed colour, moved by
// its align mode within its own width: the given name's is "MeiMax", 4
// when missing, whatever the family name's "seiMax" is.
TEST_F(NameInputTest, TheOtherFieldShowsItsNameAlignedInItsOwnWidth) {
  Write({{"seimeiReverse", "1"}, {"seiMax", "10"}, {"meiDontPrint", "0"}, {"meiAlignMode", "2"},
         {"meiPrintY", "60"}, {"meiFixColorR", "255"}, {"meiFixColorG", "0"}, {"meiFixColorB", "0"}});
  CCommonNameInput* mode = Enter();
  Game().GetTextInputBox()->Clear();
  Type("ユウ");
  Ok();
  ASSERT_EQ(mode->GetPosition(), 1);
  Game().RunFrame();
  // The leftmost red pixel of the given name's row (dialog at (300, 250)).
  int left = -1;
  for (int x = 0; x < 800 && left < 0; ++x)
    for (int y = 310; y < 350; ++y) {
      const uint32_t p = Pixel(x, y);
      if ((p >> 16 & 0xFF) > 200 && (p >> 8 & 0xFF) < 60 && (p & 0xFF) < 60) {
        left = x;
        break;
      }
    }
  const std::string name = "\x83\x86\x83\x45";  // ユウ
  const int expected = Game().GetTextInputBox()->GetAlignedPrintXY(300, 310, name.c_str(), 4, 2).x;
  ASSERT_GT(expected, 300);
  EXPECT_GE(left, expected);
  EXPECT_LT(left, expected + 12);
}

TEST_F(NameInputTest, EmptyEntryRefusedUnlessNullNameOkThenTheDefault) {
  Write({{"meiFlag", "0"}});
  CCommonNameInput* mode = Enter();
  Game().GetTextInputBox()->Clear();
  Game().RunFrame();
  Ok();
  EXPECT_FALSE(mode->IsFinished());

  Write({{"meiFlag", "0"}, {"nullNameOk", "1"}});
  mode = Enter();
  Game().GetTextInputBox()->Clear();
  Game().RunFrame();
  Ok();
  ASSERT_TRUE(mode->IsFinished());
  EXPECT_STREQ(mode->GetName(0), Game().GetDefaultName(0));
}

TEST_F(NameInputTest, ReturnConfirmsTheFieldAndIsNotKeptWhenRefused) {
  Write({});
  CCommonNameInput* mode = Enter();
  EXPECT_STREQ(BoxText(), "");
  // An empty field refuses Return; the refused key does not confirm the
  // name typed afterwards by itself.
  Return();
  EXPECT_EQ(mode->GetPosition(), 0);
  Type("山田");
  EXPECT_EQ(mode->GetPosition(), 0);
  Return();
  EXPECT_EQ(mode->GetPosition(), 1);
  EXPECT_EQ(std::string(mode->GetName(0)), kYamada);
  Type("太郎");
  Return();
  ASSERT_TRUE(mode->IsFinished());
  EXPECT_TRUE(mode->IsConfirmed());
  EXPECT_EQ(std::string(mode->GetName(1)), kTaro);
}

TEST_F(NameInputTest, FixedNamesAndNoFieldAtAll) {
  Write({{"seiFlag", "0"}, {"seiFixFlag", "1"}, {"seiFixData", "佐藤"}});
  CCommonNameInput* mode = Enter();
  EXPECT_EQ(mode->GetFieldCount(), 1);
  EXPECT_EQ(mode->GetField(0), 1);
  EXPECT_EQ(std::string(mode->GetName(0)), testsupport::Sjis("佐藤"));

  // Nothing to enter: confirmed at once with the fixed names.
  Write({{"seiFlag", "0"}, {"meiFlag", "0"}, {"seiFixFlag", "1"}, {"meiFixFlag", "1"}});
  mode = Enter();
  Game().RunFrame();
  EXPECT_TRUE(mode->IsFinished());
  EXPECT_TRUE(mode->IsConfirmed());
  mode->AtExit();
  EXPECT_EQ(std::string(Game().GetFamilyName()), kYamada);
  EXPECT_EQ(std::string(Game().GetGivenName()), kTaro);
}

TEST_F(NameInputTest, LongNameIsCutOnACharacterBoundary) {
  std::string longName = "a";
  for (int i = 0; i < 150; ++i) longName += "\x82\xA0";
  Write({{"meiFlag", "0"}, {"seiMax", "200"}});
  CCommonNameInput* mode = Enter();
  Game().GetTextInputBox()->SetText(longName.c_str());
  ASSERT_EQ(std::strlen(BoxText()), longName.size());
  Ok();
  ASSERT_TRUE(mode->IsFinished());
  EXPECT_EQ(std::strlen(mode->GetName(0)), 253u);
}

TEST_F(NameInputTest, FrameCounterStopsAndUnknownVariablesAreLeftAlone) {
  Write({{"statusVarName", "nosuch"}, {"timeVarName", "tm"}});
  CCommonNameInput* mode = Enter();
  for (int i = 0; i < 10010; ++i) mode->Calcu();
  EXPECT_EQ(mode->GetFrames(), CCommonNameInput::kMaxFrames);
  mode->AtExit();
  EXPECT_EQ(Game().GetVar(41), CCommonNameInput::kMaxFrames);
}

}  // namespace
}  // namespace startup_test
