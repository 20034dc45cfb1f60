// The modes inside the running game: what the game's mode factory makes of
// its switches, and modes that reach other modes through the game.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/variablepart.h"
#include "game_test.h"
#include "mode/backlog.h"
#include "mode/cardsystem.h"
#include "mode/printmessage.h"
#include "mode/selectmessage.h"
#include "mode/selectplace.h"

namespace game_test {
namespace {

TEST_F(GameTest, TheFactoryMakesBothPlaceSelectionsWhenSwitchedOn) {
  WriteList("game", {{"selectplaceIsDefault", "1"}, {"selectplace2IsDefault", "1"}});
  WriteList("SelectPlace", {});
  testsupport::FakeGame game(*host_);
  auto* first = dynamic_cast<CCommonSelectPlace*>(game.Modes().GetMode(22));
  auto* second = dynamic_cast<CCommonSelectPlace*>(game.Modes().GetMode(35));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->GetModeNumber(), 22);
  EXPECT_EQ(second->GetModeNumber(), 35);
  EXPECT_EQ(first->GetPlaceNumber(), 1);
}

TEST_F(GameTest, TheGameForwardsBackLogLinesColoursAndClearing) {
  WriteList("BackLog", {});
  testsupport::FakeGame game(*host_);
  auto* log = static_cast<CCommonBackLog*>(game.Modes().GetBackLog());
  ASSERT_NE(log, nullptr);
  game.MessageWindow().AddBackLog("one", 10, 20, 30);
  game.MessageWindow().AddBackLog("two", 40, 50, 60);
  game.MessageWindow().AddBackLog(nullptr, 1, 1, 1);
  EXPECT_EQ(log->GetReadableCount(), 4);
  EXPECT_STREQ(log->GetText(3), "two");
  EXPECT_EQ(log->GetColor(3), 0x28323Cu);
  // (lines back, r, g, b): the picked choice of the choice mode.
  game.MessageWindow().SetBackLogColor(2, 255, 128, 0);
  EXPECT_EQ(log->GetColor(2), 0xFF8000u);
  EXPECT_EQ(log->GetColor(3), 0x28323Cu);
  game.MessageWindow().ClearBackLog();
  EXPECT_EQ(log->GetReadableCount(), 2);
  EXPECT_EQ(log->GetWriteIndex(), 2);
}

TEST_F(GameTest, TheFactoryMakesTheCardSystemWhenSwitchedOn) {
  WriteList("game", {{"cardsystemIsDefault", "1"}});
  WriteList("cardSystem", {});
  testsupport::FakeGame game(*host_);
  CCommonGeneral* mode = game.Modes().GetMode(45);
  ASSERT_NE(dynamic_cast<CCommonCardSystem*>(mode), nullptr);
  EXPECT_EQ(mode->GetModeNumber(), 45);
  EXPECT_EQ(mode->Calcu(), -1);
}

// A script's call reaches the card system through the game's function
// table: "enablecard" is row 1 of the function list.
TEST_F(GameTest, ScriptFunctionsReachTheCardSystemThroughTheGame) {
  WriteList("game", {{"cardsystemIsDefault", "1"}});
  dir_->Write("spt/function.xtx", "appearcard,0\r\nenablecard,0\r\nonokcard,0\r\n");
  WriteList("cardSystem", {{"cardNumber", "4"}, {"enableControlFlag", "1"}, {"enableVar", "enable"}});
  testsupport::FakeGame game(*host_);
  game.SetVarNumber("enable", 21);
  game.RemakeMode<CCommonCardSystem>(CCommonCardSystem::kModeNumber);
  game.SetVar(21, 0);
  const int args[] = {4, 0};
  game.SystemFunction(1, 2, args);
  EXPECT_EQ(game.GetVar(21), 0x8);
}

TEST_F(GameTest, TheFactoryMakesTheChoiceModeAndTheAccessorFindsIt) {
  WriteList("SelectMessage", {});
  testsupport::FakeGame game(*host_);
  auto* mode = static_cast<CCommonSelectMessage*>(game.Modes().GetSelectMessage());
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode, game.Modes().GetMode(9));
  EXPECT_EQ(mode->GetModeNumber(), 9);
  // "backLogOk" (1 by default) marks mode 9 in the per-mode flags.
  EXPECT_EQ(game.Vars().GetModeFlag(9), 1);
}

TEST_F(GameTest, APendingChoiceTravelsInTheGameStatusAndMessageChunks) {
  WriteList("SelectMessage", {});
  testsupport::FakeGame game(*host_);
  // The choice command's calls: one question line, two choices, selector 1
  // and a time limit whose timeout picks choice 2.
  auto* mode = game.RemakeMode<CCommonSelectMessage>(CCommonSelectMessage::kModeNumber);
  mode->AddBackLogHeader();
  mode->SetSelectRange(2, 1);
  mode->SetSelectExtra(1);
  mode->SetSelectText(0, "Q");
  mode->SetSelectText(1, "A");
  mode->SetSelectText(2, "B");
  mode->SetTimeLimit(9000, 2);
  mode->SetSelectState(4321);
  game.Modes().SetReturnMode(9);
  std::vector<uint8_t> status(7088), message(32 + 64 * 256);
  game.Saves().PutGameStatus(status.data(), status.size());
  game.Saves().PutMessage(message.data(), message.size());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&message[32 + 256])), "A");

  // A new mode object takes them back.
  mode = game.RemakeMode<CCommonSelectMessage>(CCommonSelectMessage::kModeNumber);
  game.Saves().GetGameStatus(status.data(), status.size());
  game.Saves().GetMessage(message.data(), message.size());
  EXPECT_EQ(mode->GetSelectStart(), 1);
  EXPECT_EQ(mode->GetSelectEnd(), 3);
  EXPECT_EQ(mode->GetTimeLimit(), 9000);
  EXPECT_EQ(mode->GetTimeoutChoice(), 2);
  EXPECT_EQ(mode->GetSelectState(), 4321);
  EXPECT_EQ(mode->GetSelectExtra(), 1);
  EXPECT_STREQ(mode->GetSelectText(0), "Q");
  EXPECT_STREQ(mode->GetSelectText(2), "B");
}

TEST_F(GameTest, ThePrintMessageSaveChunksCarryLinesCodeCountAndCutins) {
  constexpr int kFull = CCommonPrintMessage::kCodeFull;
  WriteList("game", {{"useCutinFlag", "1"}});
  dir_->Write("spt/cutinChara.xtx", std::string(16, ',') + "\r\n");
  testsupport::FakeGame game(*host_);
  auto* printMessage = static_cast<CCommonPrintMessage*>(game.Modes().GetPrintMessage());
  ASSERT_NE(printMessage, nullptr);
  CCommonPrintMessage& mode = *printMessage;
  mode.SetCutinNumber(4);
  mode.SetMessage(kFull, 0x10002, "one\r\ntwo\r\nthree", 2);
  EXPECT_EQ(mode.GetCutinMark(2, 0), 2);
  EXPECT_EQ(mode.GetCutinMark(0, 1), 3);

  std::vector<uint8_t> message(32 + 64 * 256, 0xEE), cutin(1056, 0), status(7088, 0);
  game.Saves().PutMessage(message.data(), message.size());
  game.Saves().PutCutin(cutin.data(), cutin.size());
  game.Saves().PutGameStatus(status.data(), status.size());
  EXPECT_STREQ(reinterpret_cast<const char*>(message.data() + 32 + 256), "two");
  EXPECT_EQ(message[32 + 3 * 256], 0);

  // A new game empties the state; the chunks bring it back.
  mode.LoadData(std::vector<int>(128, 0).data());
  mode.SetCutinNumber(0);
  mode.SetMessage(CCommonPrintMessage::kCodeWindow, 0x00010001, "other", 0);
  mode.SetMessageCode(CCommonPrintMessage::kCodeWindow);
  game.Saves().GetMessage(message.data(), message.size());
  game.Saves().GetCutin(cutin.data(), cutin.size());
  EXPECT_EQ(mode.GetCutinNumber(), 4);
  EXPECT_EQ(mode.GetCutinMark(1, 0), 2);
  EXPECT_EQ(mode.GetCutinMark(1, 1), 2);
  EXPECT_STREQ(mode.GetMessageLine(2), "three");
  // Words 29 and 30 of the game status: the count and the code.
  EXPECT_EQ(status[29 * 4], 3);
  EXPECT_EQ(status[30 * 4] | status[30 * 4 + 3] << 24, 0x22000002);
  // Loaded with mode 10 current, the game hands both back.
  ASSERT_EQ(game.Saves().CheckGameStatus(status.data(), status.size()), nullptr);
  game.Saves().GetGameStatus(status.data(), status.size());
  EXPECT_EQ(mode.GetMessageCode(), kFull);
  EXPECT_EQ(mode.GetLineCount(), 3);
}

}  // namespace
}  // namespace game_test
