// The game's floating layers on the test double: what initialisation makes,
// what the frame draws and restores, the notices' sounds, the design
// numbers and the script's built-in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/floatingpart.h"
#include "game/gamelists.h"
#include "game_test.h"
#include "graphics/screenbuffer.h"
#include "support/dwq_picture.h"
#include "widget/floatinglayertable.h"
#include "widget/gamemouse.h"
#include "widget/messagecursor.h"
#include "widget/notice.h"
#include "widget/commonbutton.h"
#include "widget/sceneoptionbutton.h"

namespace game_test {
namespace {

// The script's built-in functions "notice" and "setresult", reached as a
// script reaches them: by their rows in the function list.
class LayerGame : public testsupport::FakeGame {
 public:
  using FakeGame::FakeGame;
  int RunNotice(int count, const int* values) {
    return SystemFunction(Lists().FunctionRow("notice"), count, values);
  }
  int RunSetResult(int count, const int* values) {
    return SystemFunction(Lists().FunctionRow("setresult"), count, values);
  }
};

class LayersTest : public GameTest {
 protected:
  // A w x h picture "dwq\\sys\\<name>" in one opaque colour.
  void WritePicture(const std::string& name, int w, int h, uint32_t colour) {
    testsupport::WriteDwq(*dir_, "sys/" + name, w, h, colour);
  }
  void Make() {
    dir_->Write("spt/function.xtx", "notice,0\r\nsetresult,0\r\n");
    game_ = std::make_unique<LayerGame>(*host_);
  }
  static uint32_t At(int x, int y) { return CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x]; }
  static void Fill(uint32_t colour) {
    std::fill(CScreenBuffer::GetBuffer(),
              CScreenBuffer::GetBuffer() + CScreenBuffer::GetWidth() * CScreenBuffer::GetHeight(), colour);
  }

  std::unique_ptr<LayerGame> game_;
};

TEST_F(LayersTest, InitialisationMakesWhatTheSettingsAsk) {
  WriteList("game", {{"gameMouseCreateFlag", "0"}, {"messageCursorCreateFlag", "1"}, {"noticeFlag", "1"}});
  Make();
  ASSERT_NE(game_->Floating().GetFloatingLayerTable(), nullptr);
  EXPECT_EQ(game_->Floating().GetGameMouse(), nullptr);
  ASSERT_NE(game_->Floating().GetMessageCursor(), nullptr);
  ASSERT_NE(game_->Floating().GetNotice(), nullptr);
  EXPECT_EQ(game_->Floating().GetNotice()->GetFirstSlot(), 20);
  EXPECT_EQ(game_->Floating().GetMessageCursor()->GetFirstSlot(), 2);
  // Without a game mouse: no offset, no special mode.
  int x = -1, y = -1;
  game_->Floating().GetGameMousePos(&x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  game_->Floating().SetGameMouseSpecialMode(1);
  EXPECT_EQ(game_->Floating().GetGameMouseSpecialMode(), 0);
}

// The cursor is drawn at the mouse position over the scene and taken off at
// the start of the next frame; a pointer outside the window leaves none.
TEST_F(LayersTest, TheFrameDrawsTheGameMouseAndLeavesNoTrace) {
  WriteList("gameMouse", {{"sizeX", "4"}, {"sizeY", "4"}, {"hotPointX", "1"}, {"hotPointY", "2"},
                          {"mouseNumberScript", "2"}, {"filenameMouse2", "other"}});
  WritePicture("ta_mouse", 4, 4, 0x00FF00);
  WritePicture("other", 4, 4, 0x0000FF);
  Make();
  ASSERT_NE(game_->Floating().GetGameMouse(), nullptr);
  int hx = 0, hy = 0;
  game_->Floating().GetGameMousePos(&hx, &hy);
  EXPECT_EQ(hx, 1);
  EXPECT_EQ(hy, 2);
  Fill(0x123456);
  host_->InjectMouseMove(100, 80);
  game_->RunFrame();
  EXPECT_EQ(At(99, 78), 0x00FF00u);
  EXPECT_EQ(At(98, 78), 0x123456u);
  // The story's design: the next frame draws it.
  game_->Floating().SetMouseNumberScript(1);
  EXPECT_EQ(game_->Floating().GetGameMouse()->GetScriptNumber(), 1);
  game_->RunFrame();
  EXPECT_EQ(At(99, 78), 0x0000FFu);
  host_->InjectMouseMove(900, 80);
  game_->RunFrame();
  EXPECT_EQ(At(99, 78), 0x123456u);
  EXPECT_EQ(At(102, 81), 0x123456u);
  EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(0), 0);
  // The special mode reaches the cursor.
  game_->Floating().SetGameMouseSpecialMode(2);
  EXPECT_EQ(game_->Floating().GetGameMouseSpecialMode(), 2);
}

// No arrow until the pointer's place is known: none at the origin before the
// first move over the window, none again once the pointer left it.
TEST_F(LayersTest, TheGameMouseWaitsForThePointersPlace) {
  WriteList("gameMouse", {{"sizeX", "4"}, {"sizeY", "4"}, {"hotPointX", "1"}, {"hotPointY", "2"}});
  WritePicture("ta_mouse", 4, 4, 0x00FF00);
  Make();
  ASSERT_NE(game_->Floating().GetGameMouse(), nullptr);
  Fill(0x123456);
  game_->RunFrame();
  EXPECT_EQ(At(0, 0), 0x123456u);
  EXPECT_EQ(At(2, 1), 0x123456u);
  host_->InjectMouseMove(100, 80);
  game_->RunFrame();
  EXPECT_EQ(At(99, 78), 0x00FF00u);
  host_->InjectMouseLeave();
  game_->RunFrame();
  EXPECT_EQ(At(99, 78), 0x123456u);
  EXPECT_EQ(At(0, 0), 0x123456u);
  // Back over the window: drawn where it came in.
  host_->InjectMouseMove(10, 20);
  game_->RunFrame();
  EXPECT_EQ(At(9, 18), 0x00FF00u);
}

TEST_F(LayersTest, NoticePhaseSoundsPlayThroughTheFrame) {
  WriteList("game", {{"noticeFlag", "1"}});
  WriteList("notice", {{"noticeNumber", "2"}, {"startSound1", "3"}, {"waitSound1", "4"}, {"EndSound1", "0"},
                       {"startTime1", "2"}, {"waitTime1", "2"}, {"endTime1", "2"}});
  Make();
  ASSERT_NE(game_->Floating().GetNotice(), nullptr);
  const int one = 1;
  EXPECT_EQ(game_->RunNotice(1, &one), 0);
  game_->ClearSounds();
  game_->RunFrames(8);
  EXPECT_EQ(game_->Sounds(), (std::vector<std::string>{"PlaySystemSe 2 0", "PlaySystemSe 3 0"}));
  EXPECT_EQ(game_->Floating().GetNotice()->GetQueueLength(), 0);
  // Notice numbers count from 1; none and unknown ones show nothing.
  const int bad[] = {0, 3};
  for (int n : bad) game_->RunNotice(1, &n);
  game_->RunNotice(0, nullptr);
  EXPECT_EQ(game_->Floating().GetNotice()->GetQueueLength(), 0);
}

// A result set for the first time shows notice row + autoResultNotice - 2
// (from 0); a result already set shows none.
TEST_F(LayersTest, SetResultShowsItsNoticeOnce) {
  WriteList("game", {{"noticeFlag", "1"}, {"resultFlag", "1"}, {"autoResultNotice", "2"}});
  WriteList("notice", {{"noticeNumber", "4"}, {"bufferMax", "4"}, {"sameDontSetFlag", "0"}});
  Make();
  ASSERT_NE(game_->Floating().GetNotice(), nullptr);
  const int args[] = {3, 1};
  game_->RunSetResult(2, args);
  EXPECT_EQ(game_->Floating().GetNotice()->GetHead(), 3);
  game_->RunSetResult(2, args);
  EXPECT_EQ(game_->Floating().GetNotice()->GetQueueLength(), 1);
}

TEST_F(LayersTest, MessageCursorRequestIsServedOnce) {
  WriteList("messageCursor", {{"sizeX1", "4"}, {"sizeY1", "4"}, {"printX1", "30"}, {"printY1", "40"},
                              {"printX3", "2"}, {"printY3", "3"}, {"cursorNumberConfig", "2"}});
  WritePicture("mes_cur", 4, 4, 0xFF0000);
  Make();
  ASSERT_NE(game_->Floating().GetMessageCursor(), nullptr);
  Fill(0);
  game_->Floating().SetMessageCursor(100, 200, 1);
  game_->RunFrame();
  EXPECT_EQ(At(30, 40), 0xFF0000u);
  EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(2), 1);
  game_->RunFrame();
  EXPECT_EQ(At(30, 40), 0u);
  EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(2), 0);
  // Kinds 2 and 3 (from 0) pass the text end on.
  game_->Floating().SetMessageCursor(100, 200, 2);
  game_->Floating().GetMessageCursor()->Print(2, 0);
  EXPECT_EQ(At(102, 203), 0xFF0000u);
  game_->Floating().SetCursorNumberConfig(5);
  EXPECT_EQ(game_->Floating().GetCursorNumberConfig(), 5);
}

// The floating buttons come after the message cursor, each at its slot;
// the scene button needs bit 0 of "sceneButtonMode", the quick buttons
// their enable switches, and the quick-load button blocks while disabled.
TEST_F(LayersTest, FloatingButtonsFollowTheirFlags) {
  WriteList("game", {{"sceneButtonMode", "3"}, {"skipFilmButtonCreateFlag", "1"},
                     {"quickLoadEnable", "1"}, {"quickLoadButtonCreateFlag", "1"},
                     {"quickSaveButtonCreateFlag", "1"}, {"quickBacklogButtonCreateFlag", "1"}});
  WriteList("quickLoadButton", {{"addPartsNumber", "4"}, {"quickLoadButtonPrintX", "30"}});
  Make();
  const int slots[7] = {8, 4, 12, -1, 15, -1, 18};
  for (int i = 0; i < 7; ++i) {
    CSceneOptionButton* button = game_->Floating().GetFloatingButton(i);
    if (slots[i] < 0) {
      EXPECT_EQ(button, nullptr) << i;
      continue;
    }
    ASSERT_NE(button, nullptr) << i;
    EXPECT_EQ(button->GetFirstSlot(), slots[i]) << i;
  }
  CSceneOptionButton* quickLoad = game_->Floating().GetFloatingButton(4);
  EXPECT_EQ(quickLoad->GetButton()->GetBlockWhenDisabled(), 1);
  EXPECT_EQ(quickLoad->GetButton()->GetPrintX(), 30);
  EXPECT_EQ(quickLoad->GetPartsNumber(), 0) << "slot 16 belongs to the quick-config button";
  EXPECT_EQ(game_->Floating().GetFloatingButton(1)->GetButton()->GetBlockWhenDisabled(), 0);
  EXPECT_EQ(game_->Floating().GetFloatingButton(7), nullptr);

  WriteList("game", {});
  Make();
  EXPECT_EQ(game_->Floating().GetFloatingButton(0), nullptr) << "scene button mode 2 has bit 0 clear";
  EXPECT_NE(game_->Floating().GetFloatingButton(1), nullptr);
}

}  // namespace
}  // namespace game_test
