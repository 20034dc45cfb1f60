// The save-slot layout ("dataFile") and the slot display that draws from
// it: defaults, key chains, shared bases, marks by version, the save-time
// steps, the cursor animation, hit tests and damaged or odd slots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/savepart.h"
#include "game/textpart.h"
#include "game_test.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "savedata/datafilesetup.h"
#include "savedata/savedatafile.h"
#include "savedata/savefolder.h"
#include "support/dwq_picture.h"
#include "support/fake_game.h"

namespace game_test {
namespace {

// GAMESTATUS starts after the header (32) and INFO (64) chunks.
constexpr size_t kStatus = 96;

class SlotDisplayTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ResetSaveFolder();
    SetSaveFolder(nullptr, nullptr, 0);
    CreateSaveFolder();
  }
  void TearDown() override {
    game_.reset();
    ResetSaveFolder();
    GameTest::TearDown();
  }
  testsupport::FakeGame& Make(const Pairs& dataFile) {
    WriteList("dataFile", dataFile);
    game_ = std::make_unique<testsupport::FakeGame>(*host_);
    return *game_;
  }
  const SlotLayoutValues& Layout() const { return game_->Saves().GetSaveSlotLayout()->GetValues(); }
  void Save(int slot) {
    CCommonDataFile file(game_->Roles());
    ASSERT_EQ(file.Save(slot), 0);
  }
  // Rewrites a word of a saved slot file.
  void Patch(int slot, size_t offset, int32_t value) {
    const std::string name = "sav/data" + std::to_string(slot) + ".sav";
    std::string bytes = dir_->Read(name);
    for (int i = 0; i < 4; ++i)
      bytes[offset + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
    dir_->Write(name, bytes);
  }
  void Fill(uint32_t colour) {
    uint32_t* p = CScreenBuffer::GetBuffer();
    std::fill_n(p, size_t(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight(), colour);
  }
  static uint32_t At(int x, int y) {
    return CScreenBuffer::GetBuffer()[size_t(y) * CScreenBuffer::GetWidth() + x] & 0xFFFFFF;
  }

  std::unique_ptr<testsupport::FakeGame> game_;
};

TEST_F(SlotDisplayTest, WithoutAListTheLayoutKeepsItsDefaults) {
  Make({});
  ASSERT_NE(game_->Saves().GetSaveSlotLayout(), nullptr);
  const SlotLayoutValues& v = Layout();
  EXPECT_EQ(v.areaSizeX, 132);
  EXPECT_EQ(v.areaSizeY, 100);
  int w = 0, h = 0;
  game_->Saves().GetSaveSlotLayout()->GetPicSize(&w, &h);
  EXPECT_EQ(w, 132);
  EXPECT_EQ(h, 100);
  EXPECT_EQ(v.picPrintX, 0);
  EXPECT_EQ(v.saveTimePrintFlag, 1);
  EXPECT_EQ(v.saveTimePrintX, 0);
  EXPECT_EQ(v.saveTimePrintY, 0);
  ASSERT_NE(game_->Saves().GetSaveSlotLayout()->GetSaveTimeFont(), nullptr);
  EXPECT_EQ(v.selectPrintMode, 0);
  EXPECT_EQ(v.selectColorR, 230);
  EXPECT_EQ(v.selectColorG, 0);
  EXPECT_EQ(v.selectColorB, 255);
  EXPECT_EQ(v.selectPercent, 50);
  EXPECT_EQ(v.quickSlotNumber, 0);
  EXPECT_EQ(v.gameDateSlashPrintFlag, 1);
  EXPECT_EQ(v.picPrintType, 0);
}

TEST_F(SlotDisplayTest, TheLayoutIsNotMadeWithoutEitherScreen) {
  WriteList("game", {{"saveClassDisable", "1"}, {"loadClassDisable", "1"}});
  Make({});
  EXPECT_EQ(game_->Saves().GetSaveSlotLayout(), nullptr);
}

TEST_F(SlotDisplayTest, KeysChainToTheirDefaults) {
  Make({{"quickSlotNumber", "3"}, {"errorPrintX", "10"}, {"areaSizeX", "90"}, {"picPrintX", "4"}});
  const SlotLayoutValues& v = Layout();
  EXPECT_EQ(v.quickSlotNumber, 2);
  EXPECT_EQ(v.oldPrintX, 10);
  EXPECT_EQ(v.badPrintX, 10);
  EXPECT_EQ(v.picSizeX, 90);
  EXPECT_EQ(v.selectSizeX, 90);
  EXPECT_EQ(v.selectPrintX, 4);
}

TEST_F(SlotDisplayTest, OneBaseServesBothScreensAndBothQuickSlots) {
  testsupport::WriteDwq(*dir_, "sys/base_l", 132, 100, 0x112233);
  Make({{"baseChangeLoadSave", "0"}, {"filenameLoadBase", "base_l"}, {"filenameSaveBase", "x"}});
  CDataFileSetup* layout = game_->Saves().GetSaveSlotLayout();
  CPicture* base = layout->GetBasePicture(0, 0);
  ASSERT_NE(base, nullptr);
  for (int save : {0, 1})
    for (int quick : {0, 1}) EXPECT_EQ(layout->GetBasePicture(save, quick), base) << save << quick;
  // Released once (the sanitizer build would catch a second delete).
  layout->Release();
}

TEST_F(SlotDisplayTest, AnEmptySlotDrawsOnlyItsBaseAndCursor) {
  testsupport::WriteDwq(*dir_, "sys/base_s", 132, 100, 0x204060);
  testsupport::WriteDwq(*dir_, "sys/ta_sl_font", 120, 10, 0xFFFFFF);
  Make({{"basePrintFlag", "1"}, {"filenameSaveBase", "base_s"}});
  Fill(0);
  CCommonDataFile slot(game_->Roles(), 100, 50, nullptr);
  EXPECT_EQ(slot.Peek(7), 0);
  slot.Print(0, 0, 7, 1, 1);
  for (int y = 50; y < 150; y += 7)
    for (int x = 100; x < 232; x += 9) ASSERT_EQ(At(x, y), 0x204060u) << x << "," << y;
  EXPECT_EQ(At(99, 50), 0u);
  EXPECT_EQ(At(232, 50), 0u);
  // The default cursor: the magenta box at half strength over the base.
  slot.Print(1, 0, 7, 1, 0);
  EXPECT_EQ(At(100, 50), (uint32_t((0x20 + 230) / 2) << 16) | (0x40 / 2) << 8 | ((0x60 + 255) / 2));
  // A blinking slot shows the box on even blink frames only.
  slot.Print(0, 0, 7, 1, 0);
  slot.Print(1, 1, 7, 1, 0);
  EXPECT_EQ(At(100, 50), 0x204060u);
}

TEST_F(SlotDisplayTest, TheQuickSlotShowsTheQuickBaseWhileQuickSaveIsOn) {
  testsupport::WriteDwq(*dir_, "sys/base_s", 132, 100, 0x000080);
  testsupport::WriteDwq(*dir_, "sys/base_q", 132, 100, 0x800000);
  Make({{"basePrintFlag", "1"}, {"filenameSaveBase", "base_s"}, {"filenameQuickSaveBase", "base_q"},
        {"quickSlotNumber", "2"}, {"saveTimePrintFlag", "0"}});
  struct Case {
    int slot, quickOn, save;
    uint32_t colour;
  } const cases[] = {
      {1, 1, 1, 0x800000}, {1, 0, 1, 0x000080}, {0, 1, 1, 0x000080}, {1, 1, 0, 0},
  };
  for (const Case& c : cases) {
    Fill(0);
    CCommonDataFile slot(game_->Roles(), 0, 0, nullptr);
    slot.SetQuickEnable(c.quickOn, c.quickOn);
    slot.Peek(c.slot);
    slot.Print(0, 0, c.slot, c.save, 0);
    EXPECT_EQ(At(10, 10), c.colour) << c.slot << " " << c.quickOn << " " << c.save;
  }
}

TEST_F(SlotDisplayTest, SlotsOfOtherVersionsShowTheirMarks) {
  testsupport::WriteDwq(*dir_, "sys/m_err", 8, 8, 0xFF0000);
  testsupport::WriteDwq(*dir_, "sys/m_old", 8, 8, 0x00FF00);
  testsupport::WriteDwq(*dir_, "sys/m_bad", 8, 8, 0x0000FF);
  struct Case {
    int high, middle;  // the version that saved the slot; the program is 2.2
    bool errorPicture;
    uint32_t mark;
  } const cases[] = {
      {2, 3, true, 0xFF0000},   // newer: the error mark
      {2, 3, false, 0x0000FF},  // newer without error picture: the bad mark
      {1, 9, true, 0x0000FF},   // older high byte: too old, the bad mark
      {2, 1, true, 0x00FF00},   // older middle byte: loadable, the old mark
      {2, 2, true, 0x101010},   // the same: no mark
  };
  for (const Case& c : cases) {
    Pairs keys = {{"saveTimePrintFlag", "0"}, {"picSizeX", "0"}, {"fileNameOld", "m_old"},
                  {"fileNameBad", "m_bad"}, {"errorPrintX", "20"}};
    if (c.errorPicture) keys.push_back({"fileNameError", "m_err"});
    Make(keys);
    game_->Saves().SetVersion(c.high, c.middle, 0);
    Save(3);
    Patch(3, kStatus + 80, 4);  // saved on the title, not in a message
    game_->Saves().SetVersion(2, 2, 0);
    Fill(0x101010);
    CCommonDataFile slot(game_->Roles(), 0, 300, nullptr);
    ASSERT_EQ(slot.Peek(3), 1);
    slot.Print(0, 0, 3, 0, 0);
    // Every mark stands at X 20: old and bad follow the error position.
    EXPECT_EQ(At(22, 302), c.mark) << c.high << "." << c.middle;
    game_.reset();
  }
}

// A file the slot cannot use is not shown as an empty slot: it carries the
// mark of a slot that cannot be loaded, and stderr names the file and why.
TEST_F(SlotDisplayTest, ADamagedSlotShowsTheBadMark) {
  testsupport::WriteDwq(*dir_, "sys/m_bad", 8, 8, 0x0000FF);
  Make({{"saveTimePrintFlag", "0"}, {"picSizeX", "0"}, {"fileNameBad", "m_bad"}, {"errorPrintX", "20"}});
  Save(3);
  const std::string good = dir_->Read("sav/data3.sav");
  struct Case {
    const char* what;
    std::string bytes;  // none: no file
    int damaged;
    uint32_t mark;
  } const cases[] = {
      {"cut short", good.substr(0, 3000), 1, 0x0000FF},
      {"empty file", "", 1, 0x0000FF},
      {"no file", "-", 0, 0x101010},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.bytes == "-")
      std::filesystem::remove(*dir_ / "sav/data3.sav");
    else
      dir_->Write("sav/data3.sav", c.bytes);
    host_->ClearErrorLines();
    Fill(0x101010);
    CCommonDataFile slot(game_->Roles(), 0, 300, nullptr);
    EXPECT_EQ(slot.Peek(3), 0);
    EXPECT_EQ(slot.HasData(), 0);
    EXPECT_EQ(slot.IsDamaged(), c.damaged);
    slot.Print(0, 0, 3, 1, 0);
    EXPECT_EQ(At(22, 302), c.mark);
    const auto lines = host_->ErrorLines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(c.damaged));
    if (c.damaged) {
      EXPECT_NE(lines[0].find("save slot 3 (" + *dir_ / "sav/data3.sav) is damaged: "),
                std::string::npos)
          << lines[0];
    }
  }
}

TEST_F(SlotDisplayTest, TheSaveTimeFieldsStandAtTheirSteps) {
  // Glyph g of the font is the colour g + 1.
  std::vector<uint32_t> font(12 * 10 * 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 120; ++x) font[size_t(y) * 120 + x] = uint32_t(x / 10 + 1);
  testsupport::WriteDwq(*dir_, "sys/ta_sl_font", dwqtool::Picture{120, 10, font, {}});
  Make({{"saveTimePrintX", "5"}, {"saveTimePrintY", "7"}, {"saveTimeFontNextX", "11"},
        {"picSizeX", "0"}});
  Save(1);
  const int when[] = {2024, 5, 7, 2, 9, 3};  // year, month, day, weekday, hour, minute
  for (int i = 0; i < 6; ++i) Patch(1, kStatus + 32 + 4 * i, when[i]);
  Fill(0xABCDEF);
  CCommonDataFile slot(game_->Roles(), 100, 100, nullptr);
  ASSERT_EQ(slot.Peek(1), 1);
  slot.Print(0, 0, 1, 1, 0);
  // Steps of 11 pixels: 2024/05/07 .. 09:03.
  const int glyphs[16] = {2, 0, 2, 4, 11, 0, 5, 11, 0, 7, -1, 0, 9, 10, 0, 3};
  for (int step = 0; step < 16; ++step) {
    const uint32_t expected = glyphs[step] < 0 ? 0xABCDEF : uint32_t(glyphs[step] + 1);
    EXPECT_EQ(At(105 + step * 11 + 5, 112), expected) << step;
  }
}

TEST_F(SlotDisplayTest, TheThumbnailAreaShowsNoMoreThanThePeekedPicture) {
  Make({{"saveTimePrintFlag", "0"}, {"picSizeX", "200"}, {"picSizeY", "50"}, {"picPrintX", "3"}});
  Save(5);  // the game's 132 x 100 thumbnail of a black screen
  Fill(0x777777);
  CCommonDataFile slot(game_->Roles(), 10, 10, nullptr);
  ASSERT_EQ(slot.Peek(5), 1);
  ASSERT_EQ(slot.GetThumbnailWidth(), 132);
  slot.Print(0, 0, 5, 0, 0);
  EXPECT_EQ(At(13, 10), 0u);
  EXPECT_EQ(At(13 + 131, 10 + 49), 0u);
  EXPECT_EQ(At(13 + 132, 10), 0x777777u);  // past the picture's width
  EXPECT_EQ(At(13, 10 + 50), 0x777777u);   // past the area's height
}

TEST_F(SlotDisplayTest, TheBackAndForthCursorRunsThereAndBack) {
  // Four patterns at speed 2: 0 1 2 3 2 1 0 ..., each for two frames.
  const SlotCursorAnime type3{4, 3, 2};
  std::vector<int> frames;
  int64_t counter = 0;
  for (int i = 0; i < 14; ++i) {
    frames.push_back(CCommonDataFile::CursorFrame(type3, counter).pattern);
    counter = CCommonDataFile::StepCursor(type3, counter);
  }
  EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 1, 1, 0, 0}));
  // One pattern never moves; the once types stop at the end; cross-fading
  // types blend by the step.
  EXPECT_EQ(CCommonDataFile::StepCursor({1, 1, 1}, 5), 5);
  const SlotCursorAnime once{3, 2, 1};
  counter = 0;
  for (int i = 0; i < 10; ++i) counter = CCommonDataFile::StepCursor(once, counter);
  EXPECT_EQ(counter, 3);
  EXPECT_EQ(CCommonDataFile::CursorFrame(once, counter).pattern, 2);
  EXPECT_EQ(CCommonDataFile::CursorFrame({2, 5, 4}, 1).blend, 75);
  EXPECT_EQ(CCommonDataFile::CursorFrame({2, 1, 4}, 1).blend, 100);
}

TEST_F(SlotDisplayTest, HitTestCoversTheAreaToItsLastPixel) {
  Make({{"areaSizeX", "40"}, {"areaSizeY", "30"}});
  CCommonDataFile slot(game_->Roles(), 10, 20, nullptr);
  const struct {
    int x, y, hit;
  } cases[] = {{10, 20, 1}, {49, 49, 1}, {9, 20, 0}, {10, 19, 0}, {50, 20, 0}, {10, 50, 0}};
  for (const auto& c : cases) EXPECT_EQ(slot.HitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST_F(SlotDisplayTest, ExtraPictureCellsStayInsideThePicture) {
  // Four 16 x 16 cells in one column, colours 1..4.
  std::vector<uint32_t> cells(16 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 16; ++x) cells[size_t(y) * 16 + x] = uint32_t(y / 16 + 1);
  testsupport::WriteDwq(*dir_, "sys/addpic", dwqtool::Picture{16, 64, cells, {}});
  // "addPicMultiNumberX" 0 counts as one cell per row.
  Make({{"saveTimePrintFlag", "0"}, {"addPicPrintFlag", "1"}, {"fileNameAddPic", "addpic"},
        {"addPicMultiFlag", "1"}, {"addPicMultiNumberX", "0"}, {"addPicPrintX", "200"}});
  Save(2);
  const struct {
    int special;
    uint32_t colour;
  } cases[] = {{0, 1}, {2, 3}, {3, 4}, {4, 0x777777}, {-1, 0x777777}, {1 << 30, 0x777777}};
  for (const auto& c : cases) {
    Patch(2, kStatus + 184, c.special);
    Fill(0x777777);
    CCommonDataFile slot(game_->Roles(), 0, 0, nullptr);
    ASSERT_EQ(slot.Peek(2), 1);
    slot.Print(0, 0, 2, 0, 0);
    EXPECT_EQ(At(208, 8), c.colour) << c.special;
  }
}

TEST_F(SlotDisplayTest, StatusLinesWithoutAnEndAreDrawnWithinTheirField) {
  // The comment row stands apart from the status lines.
  Make({{"saveTimePrintFlag", "0"}, {"textPrintFlag", "1"}, {"textPrintNumber", "6"},
        {"commentPrintFlag", "1"}, {"commentPrintY", "400"}});
  Save(4);
  // The first status line and the comment filled to their ends with no NUL;
  // the family name after the comment holds text too.
  std::string bytes = dir_->Read("sav/data4.sav");
  for (size_t i = 0; i < 256; ++i) bytes[kStatus + 6064 + i] = 'A';
  for (size_t i = 0; i < 32; ++i) bytes[kStatus + 1760 + i] = 'B';
  for (size_t i = 0; i < 16; ++i) bytes[kStatus + 1792 + i] = 'C';
  dir_->Write("sav/data4.sav", bytes);
  // Drawn from copies that end within the fields: the sanitizer build sees
  // no read past the peeked record.
  CCommonDataFile slot(game_->Roles(), 0, 0, nullptr);
  ASSERT_EQ(slot.Peek(4), 1) << slot.GetRefusal();
  auto commentRows = [] {
    std::vector<uint32_t> rows;
    for (int y = 400; y < 440; ++y)
      for (int x = 0; x < CScreenBuffer::GetWidth(); ++x) rows.push_back(At(x, y));
    return rows;
  };
  Fill(0);
  slot.Print(0, 0, 4, 0, 0);
  const std::vector<uint32_t> drawn = commentRows();
  // The comment shows its 32 bytes and nothing of the name after them.
  Fill(0);
  game_->Text().GetTextBuffer()->Print(0, 400, std::string(32, 'B').c_str(), 12, 255, 255, 255, 1, -1, -1);
  const std::vector<uint32_t> field = commentRows();
  EXPECT_NE(std::count(field.begin(), field.end(), 0u), static_cast<std::ptrdiff_t>(field.size()));
  EXPECT_EQ(drawn, field);
}

}  // namespace
}  // namespace game_test
