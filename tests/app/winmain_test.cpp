#include <filesystem>
#include <string>

#include "app/winmain.h"
#include "app_test.h"
#include "message/textstate.h"

namespace app_test {
namespace {

using testsupport::Sjis;

class WinMainTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    std::filesystem::create_directories(Dir() / "init");
  }
  int RunProgram(long long frames, const std::string& screenshot = "") {
    StartOptions options;
    options.gameFolder = Dir().path();
    options.frames = frames;
    options.screenshot = screenshot;
    return WinMain(options);
  }
  int SaveCounter() const {
    const std::string file = Dir().Read("sav/sysfile.sav");
    if (file.size() != 58432) return -1;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(file[64 + 92 + i]);
    return static_cast<int>(v);
  }
};

TEST_F(WinMainTest, FirstRunCreatesTheSystemFileAndTheSecondReadsIt) {
  const std::string before = std::filesystem::current_path();
  EXPECT_EQ(RunProgram(3), 0);
  EXPECT_EQ(std::filesystem::current_path(), before);
  // Defaults written at the first load, then the two saves of a normal end.
  EXPECT_EQ(SaveCounter(), 3);
  ASSERT_NE(host_->GetWindow(), nullptr);
  EXPECT_EQ(host_->GetWindow()->GetClientSize(), (platform::Point{800, 600}));
  EXPECT_FALSE(host_->GetWindow()->IsVisible());
  bool notFound = false;
  for (const auto& b : Boxes()) notFound |= b.text.find(Sjis("が見つかりません")) != std::string::npos;
  EXPECT_TRUE(notFound);

  host_->ClearBoxes();
  EXPECT_EQ(RunProgram(3), 0);
  EXPECT_EQ(SaveCounter(), 5);
  EXPECT_TRUE(CheckBoxes().empty());
}

TEST_F(WinMainTest, ALongDefaultNameIsSavedAsWholeCharactersWithinItsField) {
  // "ab" and seven kanji are 16 bytes: the seventh kanji would be split.
  WriteList("game", {{"seiInitData", "ab一二三四五六七"}, {"meiInitData", "x"}});
  EXPECT_EQ(RunProgram(2), 0);
  const std::string file = Dir().Read("sav/sysfile.sav");
  ASSERT_EQ(file.size(), 58432u);
  const std::string family = file.substr(64 + 224, 16);
  EXPECT_EQ(family, Sjis("ab一二三四五六") + std::string(2, '\0'));
  EXPECT_EQ(file.substr(64 + 240, 2), std::string("x\0", 2));
  // The names the text shows were cut the same way.
  EXPECT_EQ(std::string(GetTextState().familyName), Sjis("ab一二三四五六"));
  ResetTextState();
}

TEST_F(WinMainTest, AFailedCheckEndsTheProgramWithoutAWindow) {
  WriteList("mainControl", {{"needBpp", "48"}});
  EXPECT_EQ(RunProgram(3), kExitStartRefused);
  EXPECT_EQ(host_->GetWindow(), nullptr);
  const auto boxes = CheckBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, Sjis("48bitカラー以上に設定してください"));
  EXPECT_EQ(boxes[0].caption, "Error");
  // Only the first load's defaults were written.
  EXPECT_EQ(SaveCounter(), 1);
}

TEST_F(WinMainTest, ASecondStartEndsWhileTheFirstRuns) {
  // Another program holds the save folder.
  std::filesystem::create_directories(Dir() / "sav");
  platform::InstanceLock running;
  ASSERT_EQ(running.Acquire(Dir() / "sav"), platform::InstanceLock::Result::kTaken);
  EXPECT_EQ(RunProgram(3), kExitStartRefused);
  EXPECT_EQ(host_->GetWindow(), nullptr);
  const auto boxes = CheckBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, Sjis("二重起動はできません"));
  EXPECT_EQ(boxes[0].caption, "Error");

  host_->ClearBoxes();
  WriteList("mainControl", {{"checkMutexFlag", "0"}});
  EXPECT_EQ(RunProgram(3), 0);
  EXPECT_NE(host_->GetWindow(), nullptr);
  EXPECT_TRUE(CheckBoxes().empty());
}

TEST_F(WinMainTest, TheLastFrameIsWrittenWhenTheWindowGoes) {
  const std::string shot = Dir() / "shot.png";
  EXPECT_EQ(RunProgram(2, shot), 0);
  const std::string png = Dir().Read("shot.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(RunProgram(2, Dir() / "missing/shot.png"), 1);
}

TEST_F(WinMainTest, AFolderWithoutAGameIsRefusedAndLeftAsItWas) {
  std::filesystem::remove(Dir() / "init");
  Dir().Write("notes.txt", "not a game");
  EXPECT_EQ(RunProgram(3), kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(Dir() / "sav"));
  EXPECT_EQ(host_->GetWindow(), nullptr);
  // Any letter case of init, init2 or spt holds a game.
  for (const char* entry : {"SPT", "Init", "init2"}) {
    SCOPED_TRACE(entry);
    std::filesystem::create_directories(Dir() / entry);
    EXPECT_EQ(RunProgram(1), kExitDone);
    std::filesystem::remove_all(Dir() / entry);
    std::filesystem::remove_all(Dir() / "sav");
  }
}

}  // namespace
}  // namespace app_test
