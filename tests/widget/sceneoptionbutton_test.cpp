// The floating button layer: its slots, the drawing order of decorations
// and button, save-under per slot and the decoration count's bounds.
#include "widget/sceneoptionbutton.h"

#include <gtest/gtest.h>

#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/floatinglayertable.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

constexpr uint32_t kScreen = 0x00101010u;
constexpr uint32_t kFace = 0x000000C0u, kFirst = 0x00C00000u, kSecond = 0x0000C000u;

class SceneOptionButtonTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    WriteCells("ta_opt", 4, 1, 8, 8, [](int c, int) { return c == 0 ? kFace : 0x00FFFFFFu; });
    WriteCells("ta_k1", 1, 1, 8, 8, [](int, int) { return kFirst; });
    WriteCells("ta_k2", 1, 1, 8, 8, [](int, int) { return kSecond; });
    Clear(kScreen);
  }
  CFloatingLayerTable table_;
};

TEST_F(SceneOptionButtonTest, WithoutDecorationsOneSlot) {
  auto list = List({{"optionButtonFilename", "ta_opt"}, {"optionButtonSizeX", "8"},
                    {"optionButtonSizeY", "8"}, {"optionButtonPrintX", "3"}});
  CSceneOptionButton layer("optionButton", &table_, 4, list.get());
  EXPECT_EQ(layer.GetSlotCount(), 1);
  EXPECT_EQ(layer.GetPartsNumber(), 0);
  layer.Init();
  layer.Print(0);
  EXPECT_EQ(DrawnRect(kScreen), (std::vector<int>{3, 0, 11, 8}));
  EXPECT_EQ(At(3, 0), kFace);
  EXPECT_EQ(table_.IsSaved(4), 0) << "nothing saved without saveUnder";
}

TEST_F(SceneOptionButtonTest, DecorationsDrawnLastToFirstThenTheButton) {
  auto list = List({{"addPartsNumber", "2"}, {"optionButtonFilename", "ta_opt"},
                    {"optionButtonSizeX", "8"}, {"optionButtonSizeY", "8"},
                    {"optionButtonPrintX", "20"}, {"optionButtonPrintY", "10"},
                    {"kazari1PrintX", "8"}, {"kazari1PrintY", "8"}, {"kazari1SizeX", "8"},
                    {"kazari1SizeY", "8"}, {"kazari1FileName", "ta_k1"},
                    {"kazari2PrintX", "6"}, {"kazari2PrintY", "6"}, {"kazari2FileName", "ta_k2"},
                    {"kazari2SizeX", "8"}, {"kazari2SizeY", "8"}});
  CSceneOptionButton layer("optionButton", &table_, 4, list.get());
  ASSERT_EQ(layer.GetSlotCount(), 3);
  layer.Init();
  CScreenBuffer::ClearDirtyRects();
  layer.Print(1);
  EXPECT_EQ(At(27, 17), kFace) << "the button covers both";
  EXPECT_EQ(At(29, 17), kSecond);
  EXPECT_EQ(At(29, 19), kFirst) << "decoration 1 covers decoration 2";
  EXPECT_EQ(At(35, 25), kFirst);
  EXPECT_EQ(DirtyRects(),
            (std::vector<std::array<int, 4>>{{26, 16, 8, 8}, {28, 18, 8, 8}, {20, 10, 8, 8}}));
  for (int slot : {4, 5, 6}) EXPECT_EQ(table_.IsSaved(slot), 1) << slot;
  table_.RestoreAll();
  EXPECT_EQ(CountChanged(kScreen), 0) << "each slot put its own rectangle back";
}

TEST_F(SceneOptionButtonTest, ForwardsToTheButtonAndAnswersNothingWithout) {
  auto list = List({{"quickLoadButtonSizeX", "8"}, {"quickLoadButtonSizeY", "8"},
                    {"quickLoadButtonPrintMode", "0"}, {"quickLoadButtonClickTime", "0"}});
  CSceneOptionButton layer("quickLoadButton", &table_, 15, list.get());
  layer.SetBlockWhenDisabled(1);
  layer.SetEnable(0);
  layer.Init();
  MoveTo(2, 2);
  Click();
  EXPECT_EQ(GetButtonCodeKind(layer.Calcu(&input_)), buttoncode::kBusy) << "blocked while disabled";
  layer.SetEnable(1);
  layer.Init();
  EXPECT_EQ(GetButtonCodeKind(layer.Calcu(&input_)), buttoncode::kDecided);
  layer.SetExist(0);
  EXPECT_EQ(layer.Calcu(&input_), buttoncode::kNothing);
  layer.Release();
  EXPECT_EQ(layer.GetButton(), nullptr);
  EXPECT_EQ(layer.Calcu(&input_), buttoncode::kNothing);
  layer.Print(1);
  layer.Init();
}

// Decorations stop before the next layer's first slot (or the table's
// end); a negative count is none.
TEST_F(SceneOptionButtonTest, DecorationCountIsHeldToTheFreeSlots) {
  struct Case {
    const char* count;
    int first, parts;
  } cases[] = {{"-3", 4, 0},  {"10", 4, 3},  {"3", 8, 3},  {"9", 12, 1}, {"1", 14, 0},
               {"5", 15, 0},  {"5", 16, 1},  {"5", 18, 1}, {"99", 21, 10}, {"2147483647", 31, 0},
               {"4", 40, 0}};
  for (const Case& c : cases) {
    auto list = List({{"addPartsNumber", c.count}});
    CSceneOptionButton layer("x", &table_, c.first, list.get());
    EXPECT_EQ(layer.GetPartsNumber(), c.parts) << c.count << " at " << c.first;
    EXPECT_EQ(layer.GetSlotCount(), c.parts + 1);
    layer.Print(1);
  }
}

}  // namespace
}  // namespace widget_test
