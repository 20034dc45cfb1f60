#include "message/cutin.h"

#include <gtest/gtest.h>

#include <string>

#include "message/textstate.h"
#include "message_fixture.h"

namespace message_test {
namespace {

constexpr uint32_t kGrey = 0x404040;

class CutinTest : public MessageTest {
 protected:
  // A 16-token row.
  static std::string Row(const std::string& name, const std::string& tag,
                         const std::string& values) {
    return name + " " + tag + " " + values + "\n";
  }
};

TEST_F(CutinTest, WindowSlots) {
  for (int n : {5, 7, 9}) WritePicture("cw" + std::to_string(n), 8, 8, 0x100000u * n);
  CCutinWindow w("cw", 2);
  ASSERT_EQ(w.SetNumber(5), 1);
  ASSERT_EQ(w.SetNumber(7), 1);
  EXPECT_EQ(w.GetCurrentSlot(), 1);
  ASSERT_EQ(w.SetNumber(5), 1);  // held: no load
  EXPECT_EQ(w.GetCurrentSlot(), 0);
  ASSERT_EQ(w.SetNumber(9), 1);  // the slot after the current one
  EXPECT_EQ(w.GetCurrentSlot(), 1);
  EXPECT_EQ(w.GetSlotNumber(0), 5);
  EXPECT_EQ(w.GetSlotNumber(1), 9);

  FillScreen(kGrey);
  w.Print(2, 3);
  EXPECT_EQ(Screen(2, 3), 0x900000u);
  EXPECT_EQ(Screen(10, 3), kGrey);
  FillScreen(kGrey);
  w.SetPercent(50).Print(2, 3);
  EXPECT_NE(Screen(2, 3), 0x900000u);
  EXPECT_NE(Screen(2, 3), kGrey);

  // A picture that does not load leaves no current one.
  EXPECT_EQ(w.SetNumber(4), 0);
  EXPECT_EQ(w.GetCurrentSlot(), -1);
  FillScreen(kGrey);
  w.Print(2, 3);
  EXPECT_EQ(Screen(2, 3), kGrey);

  // Slot counts of 0 or less, or too large to keep, count as 1.
  for (int slots : {0, -5, 1 << 30}) EXPECT_EQ(CCutinWindow(nullptr, slots).GetSlotCount(), 1);
  EXPECT_EQ(CCutinWindow(nullptr, 3).GetBaseName(), "ta_cutinwindow");
}

TEST_F(CutinTest, TableRowsAndBoxSizes) {
  const std::string header = Row("name", "tag", "x y sx sy kind mx my r g b pc ch a b");
  dir_.Write("spt/cutinChara.xtx", header + Row("Mika", "ta_m", "10 20 0 30 1 8 6 1 2 3 40 0 0 0") +
                                       Row("*", "ta_any", "0 0 0 30 1 0 0 128 255 192 50 2 0 0") +
                                       Row("Ren", "ta_r", "100 50 0 30 1 8 6 1 2 3 40 0 0 0") +
                                       Row("Sora", "ta_s", "5 x 0 y 400 8 6 1 2 3 40 0 0 0") +
                                       "short row");
  CCutinChara t;
  EXPECT_EQ(t.GetRowCount(), 5);
  EXPECT_STREQ(t.GetName(3), "Ren");
  EXPECT_STREQ(t.GetTag(1), "ta_m");
  EXPECT_EQ(t.GetWindowSize(3, 20, 2, 10), (platform::Point{226, 63}));
  EXPECT_EQ(t.GetWindowSize(4, 20, 2, 10).x, 400);
  EXPECT_EQ(t.GetWindowPos(3), (platform::Point{92, 44}));
  // A value that is not a number reads as 0, as every list value does.
  EXPECT_EQ(t.GetTextPos(4), (platform::Point{5, 0}));
  EXPECT_EQ(t.GetLineStep(4), (platform::Point{0, 0}));
  EXPECT_EQ(t.GetBoxPercent(1), 40);
  EXPECT_EQ(t.GetSizeChange(2), 2);
  EXPECT_EQ(t.IsNamed(1), 1);
  EXPECT_EQ(t.IsNamed(2), 0);  // "*" is no particular speaker
  EXPECT_EQ(t.IsNamed(0), 1);
  EXPECT_EQ(t.IsNamed(9), 1);
  EXPECT_EQ(t.FindFirst("Ren"), 2);
  EXPECT_EQ(t.FindNext(), 3);
  EXPECT_EQ(t.FindNext(), -1);
  EXPECT_EQ(t.FindNext(), -1);
}

TEST_F(CutinTest, AnEmptyTableGivesTheDefaults) {
  CCutinChara t("spt\\missing.xtx");
  EXPECT_EQ(t.GetRowCount(), 0);
  EXPECT_STREQ(t.GetName(1), "\x83\x47\x83\x89\x81\x5B");
  EXPECT_STREQ(t.GetTag(1), "ta_errortagname");
  EXPECT_EQ(t.GetKind(1), 1);
  EXPECT_EQ(t.GetLineStep(1), (platform::Point{0, 30}));
  EXPECT_EQ(t.GetBoxRed(1), 128);
  EXPECT_EQ(t.GetBoxGreen(1), 255);
  EXPECT_EQ(t.GetBoxBlue(1), 192);
  EXPECT_EQ(t.GetBoxPercent(1), 50);
  EXPECT_EQ(t.GetTextPos(1), (platform::Point{0, 0}));
  EXPECT_EQ(t.IsNamed(1), 1);
  EXPECT_EQ(t.FindFirst("x"), -1);
  // Huge values stay within 32 bits.
  dir_.Write("spt/big.xtx", Row("h", "t",
                                "0 0 2147483647 2147483647 1 2147483647 2147483647 0 0 0 0 "
                                "2147483647 0 0") +
                                Row("h", "t",
                                    "0 0 2147483647 "
                                    "2147483647 1 2147483647 2147483647 0 0 0 0 2147483647 0 0"));
  CCutinChara big("spt\\big.xtx");
  EXPECT_EQ(big.GetWindowSize(1, 2147483647, 2147483647, 2147483647).x, 2147483647);
}

TEST_F(CutinTest, NameColours) {
  dir_.Write("spt/namecol.xtx", "Mika 300 128 64\nRen 1 2 3\nSora x 5 6\nshort 1");
  CNameColorList c;
  EXPECT_EQ(c.GetColorByName("Mika"), 0xFFFFFFu);  // nothing loaded yet
  host_->ClearErrorLines();
  ASSERT_EQ(c.Load("spt\\namecol.xtx"), 1);
  // Each value that does not fit, and the row cut short, named with the file.
  EXPECT_EQ(host_->ErrorLines(),
            (std::vector<std::string>{
                "spt\\namecol.xtx: row 4 has 2 of its 4 values (a name and three colours); it is left out",
                "spt\\namecol.xtx: row 1 (Mika): the colour value \"300\" is not a number 0..255",
                "spt\\namecol.xtx: row 3 (Sora): the colour value \"x\" is not a number 0..255"}));
  EXPECT_EQ(c.GetCount(), 3);
  EXPECT_EQ(c.GetColorByName("Mika"), MakeColourWord(44, 128, 64));  // the low 8 bits of 300
  EXPECT_EQ(c.GetColor(c.Find("Ren")), MakeColourWord(1, 2, 3));
  EXPECT_EQ(c.GetColorByName("Sora"), MakeColourWord(0, 5, 6));
  EXPECT_EQ(c.Find("mika"), -1);  // names are compared exactly
  EXPECT_EQ(c.GetColorByName("Nobody"), 0xFFFFFFu);
  EXPECT_EQ(c.GetColor(3), 0xFFFFFFu);  // out of range: white
  EXPECT_EQ(c.GetColor(-1), 0xFFFFFFu);
  EXPECT_EQ(c.Load("spt\\missing.xtx"), 0);
  EXPECT_EQ(c.GetColorByName("Mika"), 0xFFFFFFu);
  // Cut before its first whole row.
  dir_.Write("spt/cut.xtx", "Mika 30");
  host_->ClearErrorLines();
  EXPECT_EQ(c.Load("spt\\cut.xtx"), 0);
  EXPECT_EQ(host_->ErrorLines(),
            (std::vector<std::string>{
                "spt\\cut.xtx: 2 values hold no whole row (a name and three colours); no names are coloured"}));
}

}  // namespace
}  // namespace message_test
