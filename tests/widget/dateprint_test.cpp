// The calendar: weekdays, holidays and the date printer.
#include "widget/dateprint.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "graphics/screenbuffer.h"
#include "widget/holidaylist.h"
#include "widget/pageprint.h"
#include "widget/weekday.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

constexpr uint32_t kBack = 0x00FFFFFF;

// Glyph g of row 0 is a 4 x 4 cell of colour (g + 1) << 8.
struct Fonts : WidgetTest {
  static dwqtool::Picture Font() {
  return Pixels(
      64, 4, [](int x, int) { return static_cast<uint32_t>((x / 4 + 1) << 8); },
      [](int, int) { return uint8_t{255}; });
}
};

// Glyphs at (x + 4i, y): '.' background, digits, 'a' glyph 10, 'b' the slash.
std::string Seen(int x, int y, int places) {
  std::string out;
  for (int i = 0; i < places; ++i) {
    const uint32_t c = graphics_test::ScreenTest::At(x + 4 * i, y);
    const int g = static_cast<int>((c >> 8) & 0xFF) - 1;
    out += c == kBack ? '.' : static_cast<char>(g < 10 ? '0' + g : 'a' + g - 10);
  }
  return out;
}

TEST(Weekday, WorkedExampleLeapDaysAndAnyIntegers) {
  EXPECT_EQ(Weekday(2011, 2, 7), 1);
  EXPECT_EQ(Weekday(2000, 2, 29), 2);
  EXPECT_EQ(Weekday(2000, 1, 1), 6);
  EXPECT_EQ(Weekday2000(2, 29), 2);
  EXPECT_EQ(Weekday2000(229), 2);
  const int extremes[] = {INT_MIN, -100, -1, 0, 1, 13, INT_MAX};
  for (int y : extremes)
    for (int m : extremes)
      for (int d : extremes) {
        const int w = Weekday(y, m, d);
        EXPECT_TRUE(w >= 0 && w <= 6) << y << " " << m << " " << d;
      }
}

class CalendarTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    Load("sys\\ta_font", Fonts::Font(), true);
    Clear(kBack);
  }
};

TEST_F(CalendarTest, HolidaysThreeTokensEach) {
  auto list = std::make_unique<CNameList>(0);
  for (const char* t : {"2011", "1", "1", "2011", "02", "11", "2012"}) list->Add(t, true);
  CHolidayList holidays(std::move(list));
  EXPECT_EQ(holidays.GetCount(), 2);
  EXPECT_EQ(holidays.CheckHoliday(2011, 2, 11), 1);
  EXPECT_EQ(holidays.CheckHoliday(2011, 1, 1), 1);
  EXPECT_EQ(holidays.CheckHoliday(2012, 0, 0), 0);
  EXPECT_EQ(holidays.CheckHoliday(2011, 11, 2), 0);
}

TEST_F(CalendarTest, HolidayFileAndMissingFile) {
  {
    CHolidayList none;  // no "mok\\saijitsu.xtx": reported, no holidays
    EXPECT_EQ(none.GetCount(), 0);
    EXPECT_EQ(none.CheckHoliday(0, 0, 0), 0);
  }
  dir_.Write("mok/saijitsu.xtx", "2024,5,3\r\n2024 5 4 x\n");
  CHolidayList holidays;
  EXPECT_EQ(holidays.GetCount(), 2);
  EXPECT_EQ(holidays.CheckHoliday(2024, 5, 4), 1);
}

TEST_F(CalendarTest, DefaultKeysPrintMonthSlashDayAndWeekday) {
  auto list = List({{"gTimeFontSizeX", "4"}, {"gTimeFontSizeY", "4"}});
  CDatePrint date(list.get(), "g", nullptr);
  date.PrintAt(0, 0, 2011, 2, 7);
  // 02 / 07, then Monday (1) and the glyphs 10 and 11 of the week font.
  EXPECT_EQ(Seen(0, 0, 9), "02b071ab.");
}

TEST_F(CalendarTest, YearWithTheDefaultSeparator) {
  auto list = List({{"gYearPrintFlag", "1"}, {"gTimeFontSizeX", "4"}, {"gTimeFontSizeY", "4"},
                    {"gWeekPrintFlag", "0"}, {"gDatePrintX", "4"}, {"gDatePrintY", "8"}});
  CDatePrint date(list.get(), "g", nullptr);
  date.Print(2011, 2, 7);
  EXPECT_EQ(Seen(4, 8, 11), "2011b02b07.");
  Clear(kBack);
  date.Print(229);  // the year 2000
  EXPECT_EQ(Seen(4, 8, 11), "2000b02b29.");
}

TEST_F(CalendarTest, RestoresUnderTheDateUnlessAllIsPrinted) {
  CPicture* back = Load("back", Pixels(64, 48, [](int, int) { return kBack; }), false);
  auto list = List({{"gTimeFontSizeX", "4"}, {"gTimeFontSizeY", "4"}, {"gMonthUpZeroPrintFlag", "0"},
                    {"gDayUpZeroPrintFlag", "0"}});
  CDatePrint date(list.get(), "g", back);
  date.PrintAt(0, 0, 2011, 12, 25);
  CScreenBuffer::ClearDirtyRects();
  date.PrintAt(0, 0, 2011, 2, 7);
  EXPECT_EQ(Seen(0, 0, 8), ".2b.71ab");
  EXPECT_EQ(CScreenBuffer::GetDirtyRectCount(), 3);

  auto all = List({{"gTimeFontSizeX", "4"}, {"gTimeFontSizeY", "4"}, {"gMonthUpZeroPrintFlag", "0"},
                   {"mustAllPrint", "1"}});
  CDatePrint noRestore(all.get(), "g", back);
  noRestore.PrintAt(0, 0, 2011, 12, 25);
  noRestore.PrintAt(0, 0, 2011, 2, 7);
  EXPECT_EQ(Seen(0, 0, 2), "12");
}

// Every part's background is put back before any part draws: a weekday
// left of the month, its area reaching over the month's digits, keeps them.
TEST_F(CalendarTest, OverlappingAreasAreRestoredBeforeAnyPartDraws) {
  CPicture* back = Load("back", Pixels(64, 48, [](int, int) { return kBack; }), false);
  auto list = List({{"gTimeFontSizeX", "4"}, {"gTimeFontSizeY", "4"}, {"gMonthPrintX", "4"},
                    {"gWeekPrintX", "0"}, {"gWeekYouPrintFlag", "0"}, {"gWeekBiPrintFlag", "0"}});
  CDatePrint date(list.get(), "g", back);
  date.PrintAt(0, 0, 2011, 2, 7);
  EXPECT_EQ(Seen(0, 0, 7), "102b07.");
}

TEST_F(CalendarTest, SettingsOfAnyValueDrawNothingOutsideTheScreen) {
  CPicture* back = Load("back", Pixels(64, 48, [](int, int) { return kBack; }), false);
  for (const char* v : {"2147483647", "-2147483648", "-4", "0"}) {
    auto list = List({{"gYearPrintFlag", v}, {"gDateSlashPrintFlag", v}, {"gTimeFontSizeX", v},
                      {"gTimeFontSizeY", v}, {"gTimeFontNextX", v}, {"gYearPrintX", v},
                      {"gWeekFontNextX", v}, {"gWeekYouPrintFlag", v}, {"gDatePrintY", v}});
    CDatePrint date(list.get(), "g", back);
    date.Print(2011, 2, 7);
    date.PrintAt(-2147483647, 2147483647, -1, 0, 2147483647);
    auto page = List({{"pagePrintFlag", "1"}, {"pageKeta", v}, {"pageFontNextX", v},
                      {"pagePrintX", v}, {"pageMaxPrintFlag", "1"}, {"slashPrintFlag", "1"}});
    CPagePrint pages(page.get(), back);
    pages.Print(2147483647, -1);
  }
}

}  // namespace
}  // namespace widget_test
