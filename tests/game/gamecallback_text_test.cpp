#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "game/messagewindowpart.h"
#include "game/savepart.h"
#include "game/textpart.h"
#include "game/variablepart.h"
#include "game_test.h"
#include "graphics/screenbuffer.h"
#include "message/facecontrol.h"
#include "message/messagewindow.h"
#include "message/rendersettings.h"
#include "message/textprint.h"
#include "message/textstate.h"
#include "platform/bytes.h"
#include "savedata/systemfile.h"
#include "support/dwq_picture.h"

namespace game_test {
namespace {

// The game with the text, face and message-window objects its
// initialisation makes, and the system file it keeps the names in.
class TextGame : public testsupport::FakeGame {
 public:
  explicit TextGame(platform::HeadlessBackend& host) : FakeGame(host, 320, 240) {}
  CCommonSystemFile* SystemFile() { return Parts().systemFile; }
};

class GameTextTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ResetRenderSettings();
    ResetTextState();
  }
  void TearDown() override {
    game_.reset();
    ResetTextState();
    ResetRenderSettings();
    GameTest::TearDown();
  }
  void Make() { game_ = std::make_unique<TextGame>(*host_); }
  void WritePicture(const std::string& name, int w, int h, uint32_t colour) {
    testsupport::WriteDwq(*dir_, "sys/" + name, w, h, colour);
  }
  static uint32_t Screen(int x, int y) {
    return CScreenBuffer::GetBuffer()[static_cast<size_t>(y) * CScreenBuffer::GetWidth() + x];
  }
  std::unique_ptr<TextGame> game_;
};

TEST_F(GameTextTest, SetNamesReachesTheNameCodes) {
  WriteList("game", {{"santenUseFlag", "0"}});
  Make();
  ASSERT_NE(game_->Text().GetTextBuffer(), nullptr);
  const char family[] = "\x8E\x52\x93\x63";  // 山田
  const char given[] = "\x91\xBE\x98\x59";   // 太郎
  game_->Vars().SetNames(family, given);
  EXPECT_STREQ(game_->SystemFile()->GetFamilyName(), family);
  CTextPrint* t = game_->Text().GetTextBuffer();
  t->Print(0, 0, "#\x90\xA9#\x96\xBC\x81\x63", 16);  // #姓#名…
  ASSERT_EQ(t->GetLastLineCells(), 5);
  EXPECT_EQ(std::string(GetTextState().line, 10), std::string(family) + given + "\x81\x63");
  // A null name stays; a long one is cut before a character that would not fit.
  game_->Vars().SetNames(nullptr, "\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0");
  EXPECT_STREQ(game_->Vars().GetFamilyName(), family);
  EXPECT_EQ(std::strlen(game_->Vars().GetGivenName()), 14u);
}

TEST_F(GameTextTest, NamesFromTheSettingsWhenTheSystemFileHasNone) {
  WriteList("game", {{"seiInitData", "Sato"}, {"meiInitData", "Ken"}, {"meiClearFlag", "1"}});
  Make();
  EXPECT_STREQ(game_->Vars().GetFamilyName(), "Sato");
  EXPECT_STREQ(game_->SystemFile()->GetFamilyName(), "Sato");
  // The cleared name is shown, not kept: the name entry starts empty.
  EXPECT_STREQ(GetTextState().givenName, "Ken");
  EXPECT_STREQ(game_->Vars().GetGivenName(), "");
  EXPECT_STREQ(game_->SystemFile()->GetGivenName(), "");
}

TEST_F(GameTextTest, ChangeFaceDrawsTheSpeakersFaceForItsMode) {
  WriteList("game", {{"facePrintMode", "10"}});
  dir_->Write("spt/facelist.xtx", "0 none\n1 Mika\n2 Ren\n3 Sora\n4 Yui\n");
  dir_->Write("init/face.xtx", "printX 4\nprintY 8\nsizeX 16\nsizeY 16\n");
  WritePicture("ta_sys_face2", 16, 16, 0x00C08040);
  Make();
  ASSERT_NE(game_->MessageWindow().GetFaceControl(), nullptr);
  game_->MessageWindow().SetFaceType(2, 1);
  std::fill_n(CScreenBuffer::GetBuffer(), 320 * 240, 0u);
  game_->MessageWindow().ChangeFace(9, "Ren");  // another mode
  EXPECT_EQ(Screen(5, 9), 0u);
  game_->MessageWindow().ChangeFace(10, "Ren");
  EXPECT_EQ(Screen(5, 9), 0x00C08040u);
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
}

TEST_F(GameTextTest, FaceTypesTravelInTheFaceExtChunk) {
  WriteList("game", {{"facePrintMode", "10"}});
  dir_->Write("spt/facelist.xtx", "0 none\n1 Mika\n2 Ren\n3 Sora\n4 Yui\n");
  Make();
  ASSERT_EQ(game_->Saves().GetExtSaveDataCount(), 1);
  // The chunk's size counts its 32-byte header and the face words.
  const int size = game_->Saves().GetExtSaveDataSize(0);
  EXPECT_EQ(size, 32 + 256 * 4);
  for (int f = 1; f <= 5; ++f) game_->MessageWindow().SetFaceType(f, f + 1);
  game_->MessageWindow().SetFaceNumber(4);
  std::vector<uint8_t> chunk(static_cast<size_t>(size), 0);
  game_->Saves().PutExtSaveData(chunk.data(), chunk.size(), 0);
  EXPECT_EQ(platform::GetLE32Signed(chunk.data() + 32), 4);
  EXPECT_EQ(platform::GetLE32Signed(chunk.data() + 32 + 4 * 5), 6);
  EXPECT_EQ(platform::GetLE32Signed(chunk.data() + 32 + 4 * 6), 0);  // 24 bytes written

  game_->MessageWindow().ResetFaces();
  EXPECT_EQ(game_->MessageWindow().GetFaceControl()->GetFaceType(3), 0);
  game_->Saves().GetExtSaveData(chunk.data(), chunk.size(), 0);
  for (int f = 1; f <= 5; ++f) EXPECT_EQ(game_->MessageWindow().GetFaceControl()->GetFaceType(f), f + 1);
  EXPECT_EQ(game_->MessageWindow().GetFaceControl()->GetFaceNumber("Mika"), 4);
  // A chunk too short for its header, or no such chunk: nothing happens.
  game_->Saves().GetExtSaveData(chunk.data(), 16, 0);
  game_->Saves().PutExtSaveData(chunk.data(), chunk.size(), 1);
  EXPECT_EQ(game_->Saves().GetExtSaveDataSize(1), 0);
}

TEST_F(GameTextTest, ANewGameForgetsTheFacesOfTheLastOne) {
  WriteList("game", {{"facePrintMode", "10"}});
  dir_->Write("spt/facelist.xtx", "0 none\n1 Mika\n2 Ren\n");
  Make();
  const CFaceControl* faces = game_->MessageWindow().GetFaceControl();
  ASSERT_NE(faces, nullptr);
  game_->MessageWindow().SetFaceType(1, 3);
  game_->MessageWindow().SetFaceType(2, 2);
  ASSERT_EQ(faces->GetFaceType(1), 3);
  game_->Saves().ClearGameState();
  EXPECT_EQ(faces->GetFaceType(1), 0);
  EXPECT_EQ(faces->GetFaceType(2), 0);
}

TEST_F(GameTextTest, WithoutFacePrintModeThereIsNoFaceControl) {
  Make();
  EXPECT_EQ(game_->MessageWindow().GetFaceControl(), nullptr);
  EXPECT_EQ(game_->Saves().GetExtSaveDataCount(), 0);
  game_->MessageWindow().ChangeFace(0, "Ren");
  game_->MessageWindow().SetFaceType(1, 1);
}

TEST_F(GameTextTest, MessageWindowThroughTheGame) {
  dir_->Write("init/messageWindow.xtx",
              "printX 10\nprintY 100\nsizeX 100\nsizeY 40\nwindowNumberConfig 2\n"
              "filenameWindow1 w1\nfilenameWindow2 w2\n");
  WritePicture("w1", 100, 40, 0x00FF0000);
  WritePicture("w2", 100, 40, 0x0000FF00);
  Make();
  ASSERT_NE(game_->MessageWindow().GetMessageWindow(), nullptr);
  EXPECT_EQ(game_->MessageWindow().CheckMessageWindowHit(0, 0), 1);
  EXPECT_EQ(game_->MessageWindow().CheckMessageWindowHit(100, 0), 0);
  std::fill_n(CScreenBuffer::GetBuffer(), 320 * 240, 0u);
  EXPECT_EQ(game_->MessageWindow().PrintMessageWindowIfShown(1, 0, nullptr), 0);  // not shown yet
  game_->MessageWindow().SetMessageWindowOn(1);
  EXPECT_EQ(game_->MessageWindow().PrintMessageWindowIfShown(1, 0, nullptr), 1);
  EXPECT_EQ(Screen(20, 110), 0x00FF0000u);
  // The configured design is kept in the system data and held to its count.
  game_->MessageWindow().SetWindowNumberConfig(1);
  EXPECT_EQ(game_->SystemFile()->GetSystemData(1920), 1);
  const platform::Point at{150, 10};
  game_->MessageWindow().CheckMessageWindow(1, 0, at);
  EXPECT_EQ(Screen(160, 20), 0x0000FF00u);
  game_->MessageWindow().SetWindowNumberConfig(7);
  EXPECT_EQ(game_->MessageWindow().GetMessageWindow()->GetWindowNumberConfig(), 1);
  // Opacity: 100 minus option 106, within 0..100.
  for (auto [option, percent] : {std::pair{30, 70}, {150, 0}, {-20, 100}}) {
    game_->SystemFile()->SetSystemData(1932, option);
    game_->MessageWindow().ApplyWindowOpacity();
    EXPECT_EQ(game_->MessageWindow().GetMessageWindow()->GetPercent(), percent) << option;
  }
  game_->MessageWindow().SetMessageWindowMode(3);
  EXPECT_EQ(game_->MessageWindow().GetMessageSpeed(), 3);
  EXPECT_EQ(game_->MessageWindow().GetMessageWindow()->GetFontSizeType(), 0);
}

// The frame services' wrappers reach the real window: the offset moves the
// drawn window, the design count and the opacity are the window's, and a
// name set through the game is the one "#姓" prints and the system data keeps.
TEST_F(GameTextTest, NamesAndTheWindowRoundTripThroughTheGame) {
  dir_->Write("init/messageWindow.xtx",
              "printX 10\nprintY 100\nsizeX 100\nsizeY 40\nwindowNumberConfig 3\n"
              "filenameWindow1 w1\n");
  WritePicture("w1", 100, 40, 0x00FF0000);
  Make();
  ASSERT_NE(game_->MessageWindow().GetMessageWindow(), nullptr);
  EXPECT_EQ(game_->MessageWindow().GetConfigHelperValue(), 3);
  std::fill_n(CScreenBuffer::GetBuffer(), 320 * 240, 0u);
  const platform::Point offset{30, -50};
  EXPECT_EQ(game_->MessageWindow().PrintMessageWindow(1, 0, &offset), 1);
  EXPECT_EQ(Screen(40, 50), 0x00FF0000u);
  EXPECT_EQ(Screen(139, 89), 0x00FF0000u);
  EXPECT_EQ(Screen(39, 50), 0u);
  EXPECT_EQ(Screen(20, 110), 0u);  // not at its own place
  EXPECT_EQ(game_->MessageWindow().PrintMessageWindow(0, 0, nullptr), 1);  // hidden: drawn nowhere
  EXPECT_EQ(Screen(20, 110), 0u);
  // A stored option far below 0 is held, not wrapped.
  game_->SystemFile()->SetSystemData(1932, INT32_MIN);
  game_->MessageWindow().ApplyWindowOpacity();
  EXPECT_EQ(game_->MessageWindow().GetMessageWindow()->GetPercent(), 100);

  const std::string family = "\x97\xE9\x96\xD8";  // 鈴木
  game_->Vars().SetNames(family.c_str(), nullptr);
  CTextPrint* t = game_->Text().GetTextBuffer();
  ASSERT_NE(t, nullptr);
  t->Print(0, 0, "#\x90\xA9", 16);  // #姓
  EXPECT_EQ(std::string(GetTextState().line, 4), family);
  EXPECT_EQ(std::string(game_->SystemFile()->GetFamilyName()), family);
  EXPECT_EQ(std::string(game_->Vars().GetFamilyName()), family);
  // SaveNames keeps the same names.
  game_->SystemFile()->SetFamilyName("");
  game_->Vars().SaveNames();
  EXPECT_EQ(std::string(game_->SystemFile()->GetFamilyName()), family);
}

TEST_F(GameTextTest, NoMessageWindowFlag) {
  WriteList("game", {{"noMessageWindowFlag", "1"}});
  Make();
  EXPECT_EQ(game_->MessageWindow().GetMessageWindow(), nullptr);
  EXPECT_EQ(game_->MessageWindow().PrintMessageWindow(1, 1, nullptr), 0);
  EXPECT_EQ(game_->MessageWindow().CheckMessageWindowHit(0, 0), 0);
}

}  // namespace
}  // namespace game_test
