// The save screen (mode 6) and the load screen (mode 5): the order of a
// save's writes, the warning and comment dialogs, voices fixed by a
// variable, the comment cut, quick save and quick load, and the refusals
// of slots that vanished or could not be written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <memory>
#include <string>
#include <vector>

#include "mode/loadsave_fixture.h"
#include "mode/screen_fill.h"
#include "mode/commonload.h"
#include "mode/commonsave.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "platform/files.h"
#include "savedata/savechunk.h"
#include "savedata/savedatafile.h"
#include "savedata/savefolder.h"
#include "support/dwq_picture.h"
#include "support/fake_services.h"
#include "support/large_file.h"
#include "widget/textinputbox.h"

namespace {

using testsupport::Pairs;

// Records the save's steps with whether the slot file existed then.
class SaveGame : public testsupport::FakeServices {
 public:
  using FakeServices::FakeServices;
  void SaveSystemFile() override { Step("system"); }
  int SetLastSaveSlot(int slot) override {
    Step("last " + std::to_string(slot));
    return FakeServices::SetLastSaveSlot(slot);
  }
  void RestartFromLoad() override { steps.push_back("restart"); }
  void Step(const std::string& what) {
    const bool file = watched >= 0 && platform::FileExists(CCommonDataFile::SlotPath(watched));
    steps.push_back(what + (file ? " (file)" : ""));
  }
  int GetVar(int number) override { return number == 7 ? fixValue : FakeServices::GetVar(number); }
  int GetModeVariable() override { return modeVariable; }
  // A load begins with the slot's INFO chunk.
  void StopAllSound() override { loadOrder.push_back("stop sounds"); }
  void GetSaveData(int type, const uint8_t*, size_t) override {
    if (type == savechunk::kInfo) loadOrder.push_back("load");
  }

  std::vector<std::string> steps;
  std::vector<std::string> loadOrder;
  int watched = -1;
  int fixValue = 0;
  int modeVariable = 0;
};

class SaveLoadTest : public LoadSaveFixture<SaveGame> {
 protected:
  void SetUp() override {
    LoadSaveFixture::SetUp();
    testsupport::WriteDwq(*dir_, "sys/dbutton", 4 * 80, 30, 0x30A030);
  }
  void ReleaseScreens() override {
    save_.reset();
    load_.reset();
  }
  CCommonLoadSave* Screen() const override { return screen_; }
  void SaveSlot(int slot, const char* comment = nullptr) {
    Game().SetSaveComment(comment, 0);
    CCommonDataFile file(&Game());
    ASSERT_EQ(file.Save(slot), 0);
    Game().SetSaveComment(nullptr, 0);
  }
  std::string FileBytes(int slot) {
    std::string bytes;
    platform::ReadWholeFile(CCommonDataFile::SlotPath(slot), &bytes);
    return bytes;
  }
  CCommonSave& MakeSave(const Pairs& keys = {}) {
    WriteList("save", keys);
    save_ = std::make_unique<CCommonSave>(&Game());
    screen_ = save_.get();
    Enter();
    return *save_;
  }
  CCommonLoad& MakeLoad(const Pairs& keys = {}) {
    WriteList("load", keys);
    load_ = std::make_unique<CCommonLoad>(&Game());
    screen_ = load_.get();
    Enter();
    return *load_;
  }
  void Enter() {
    screen_->Enter();
    Game().ClearCalls();
    Game().ClearSounds();
    Game().steps.clear();
  }
  void ClickSlot(int i) {
    const platform::Point p = Centre(i);
    Click(p.x, p.y);
  }
  // Dialog buttons 80 x 30 at (10, 100) (OK) and (200, 100) (cancel)
  // inside a dialog at (236, 160).
  static Pairs DialogButtons(const std::string& suffix) {
    Pairs keys;
    for (const auto& [name, x] : {std::pair<std::string, int>{"dialogOk", 10}, {"dialogCancel", 200}}) {
      const std::string n = name + suffix;
      keys.push_back({n + "PrintX", std::to_string(x)});
      keys.push_back({n + "PrintY", "100"});
      keys.push_back({n + "SizeX", "80"});
      keys.push_back({n + "SizeY", "30"});
      keys.push_back({n + "ClickTime", "0"});
      keys.push_back({n + "Filename", "dbutton"});
    }
    return keys;
  }
  void ClickDialog(int cancel) {
    const int x = 236 + (cancel ? 200 : 10) + 40, y = 160 + 100 + 15;
    host_->InjectMouseMove(x, y);
    Frame();
    Click(x, y);
    Frames(2);
  }
  std::vector<std::string> Sounds() { return Game().Sounds(); }

  std::unique_ptr<CCommonSave> save_;
  std::unique_ptr<CCommonLoad> load_;
  CCommonLoadSave* screen_ = nullptr;
};

Pairs Join(Pairs a, const Pairs& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(SaveLoadTest, AClickOnAnEmptySlotSoundsBlinksThenWritesSystemSlotAndLast) {
  MakeSave();
  Game().watched = 2;
  ClickSlot(2);
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"PlaySystemSe 0 0"}));
  Frames(7);
  EXPECT_TRUE(Game().steps.empty());
  EXPECT_EQ(save_->GetBlinkCounter(), 7);
  Frame();
  EXPECT_EQ(Game().steps, (std::vector<std::string>{"system", "last 2 (file)"}));
  EXPECT_EQ(Game().GetLastSaveSlot(), 2);
  EXPECT_TRUE(save_->GetSlot(2)->HasData());
  EXPECT_EQ(save_->IsWaiting(), 0);
}

TEST_F(SaveLoadTest, TheWarningsCancelKeepsTheFileAndItsOkWritesAtOnce) {
  SaveSlot(1);
  const std::string before = FileBytes(1);
  MakeSave(Join({{"warningPrintFlag", "1"}, {"warningSound", "4"}}, DialogButtons("")));
  ClickSlot(1);
  EXPECT_EQ(save_->GetDialogState(), 1);
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"PlaySystemSe 3 0"}));
  ClickDialog(1);
  EXPECT_EQ(save_->GetDialogState(), 0);
  EXPECT_TRUE(Game().steps.empty());
  EXPECT_EQ(FileBytes(1), before);

  ClickSlot(1);
  ASSERT_EQ(save_->GetDialogState(), 1);
  ClickDialog(0);
  EXPECT_EQ(Game().steps, (std::vector<std::string>{"system", "last 1"}));
  EXPECT_EQ(save_->IsWaiting(), 0);
  EXPECT_EQ(save_->GetDialogState(), 0);
}

// Saving over a damaged slot asks first, as over any slot that holds a file.
TEST_F(SaveLoadTest, ADamagedSlotIsOverwrittenOnlyAfterTheWarning) {
  SaveSlot(2);
  const std::string damaged = FileBytes(2).substr(0, 500);
  dir_->Write("sav/data2.sav", damaged);
  MakeSave(Join({{"warningPrintFlag", "1"}}, DialogButtons("")));
  ClickSlot(2);
  EXPECT_EQ(save_->GetDialogState(), 1);
  ClickDialog(1);
  EXPECT_EQ(FileBytes(2), damaged);
}

// A damaged slot never looks empty: a layout with a bad-mark picture shows
// it, one without says the data is damaged in the comment's place and look
// (else the first status line's, else over the thumbnail's place).
TEST_F(SaveLoadTest, ADamagedSlotShowsTheBadMarkOrSaysItIsDamaged) {
  testsupport::WriteDwq(*dir_, "sys/m_bad", 8, 8, 0x0000FF);
  const Pairs comment = {{"commentPrintFlag", "1"}, {"commentPrintX", "2"}, {"commentPrintY", "70"},
                         {"commentFontSize", "10"}, {"commentColorR", "200"}};
  struct Case {
    const char* what;
    Pairs keys;
    int x, y, size, r;  // the damaged line; size 0: the bad mark at (4, 4)
  } const cases[] = {
      {"bad mark", Join(comment, {{"fileNameBad", "m_bad"}, {"badPrintX", "4"}, {"badPrintY", "4"}}), 0, 0, 0, 0},
      {"comment line", Join(comment, {{"textPrintFlag", "1"}}), 2, 70, 10, 200},
      {"status line", {{"textPrintFlag", "1"}, {"textPrintX", "3"}, {"textPrintY", "40"}, {"textFontSize", "14"}},
       3, 40, 14, 255},
      {"no text lines", {{"picPrintX", "5"}, {"picPrintY", "6"}}, 5, 6, 12, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    game_.reset();
    WriteList("dataFile", Join(c.keys, {{"saveTimePrintFlag", "0"}}));
    SaveSlot(2);
    dir_->Write("sav/data2.sav", FileBytes(2).substr(0, 500));
    auto draw = [&](int peeked) {
      screentest::FillScreen();
      CCommonDataFile slot(&Game(), 100, 100, nullptr);
      EXPECT_EQ(slot.Peek(2), 0);
      EXPECT_EQ(slot.IsDamaged(), peeked);
      slot.Print(0, 0, -1, 0, 0);
      return screentest::Snapshot();
    };
    const screentest::Screen damaged = draw(1);
    screentest::FillScreen();
    const screentest::Screen untouched = screentest::Snapshot();
    if (c.size == 0) {
      // The mark alone, no line.
      const int width = CScreenBuffer::GetWidth();
      for (size_t i = 0; i < damaged.size(); ++i) {
        const int x = static_cast<int>(i) % width, y = static_cast<int>(i) / width;
        const bool mark = x >= 104 && x < 112 && y >= 104 && y < 112;
        if (mark)
          EXPECT_EQ(damaged[i] & 0xFFFFFF, 0x0000FFu) << x << "," << y;
        else
          ASSERT_EQ(damaged[i], untouched[i]) << x << "," << y;
      }
    } else {
      Game().GetTextBuffer()->Print(100 + c.x, 100 + c.y, CCommonDataFile::kDamagedText, c.size, c.r,
                                    255, 255, 1, -1, -1);
      const screentest::Screen expected = screentest::Snapshot();
      EXPECT_NE(expected, untouched);
      EXPECT_EQ(damaged, expected);
    }
    // Without a file the slot is empty and draws nothing.
    ASSERT_TRUE(platform::RemoveFile(CCommonDataFile::SlotPath(2)));
    EXPECT_EQ(draw(0), untouched);
  }
}

TEST_F(SaveLoadTest, TheCommentDialogShowsTheOldCommentAndOnlyTheWarningsOkWrites) {
  SaveSlot(3, "old words");
  MakeSave(Join(Join({{"warningPrintFlag", "1"}, {"commentInputFlag", "1"}, {"Max", "100"}},
                     DialogButtons("")),
                DialogButtons("2")));
  ClickSlot(3);
  ASSERT_EQ(save_->GetDialogState(), 2);
  CTextInputBox* box = Game().GetTextInputBox();
  ASSERT_NE(box, nullptr);
  EXPECT_STREQ(box->GetText(), "old words");
  box->SetText("new words", 1);
  ClickDialog(0);
  EXPECT_EQ(save_->GetDialogState(), 1);
  EXPECT_TRUE(Game().steps.empty());
  ClickDialog(0);
  EXPECT_EQ(Game().steps, (std::vector<std::string>{"system", "last 3"}));
  EXPECT_STREQ(save_->GetSlot(3)->GetStatusText(0), "new words");

  // Cancel in the comment dialog writes nothing.
  Game().steps.clear();
  ClickSlot(3);
  ClickDialog(1);
  EXPECT_EQ(save_->GetDialogState(), 0);
  EXPECT_TRUE(Game().steps.empty());
}

// The comment dialog's OK and cancel end the entry and turn text input off
// whatever "imeAutoCloseFlag" says: keys typed behind the warning that OK
// opens reach no comment, and the save writes the one typed in the dialog.
TEST_F(SaveLoadTest, TheCommentDialogEndsTextInputByOkAndByCancel) {
  for (int closeFlag : {0, 1})
    for (int cancel : {0, 1}) {
      SCOPED_TRACE("imeAutoCloseFlag " + std::to_string(closeFlag) + (cancel ? " cancel" : " OK"));
      SaveSlot(3, "old words");
      MakeSave(Join(Join({{"warningPrintFlag", "1"}, {"commentInputFlag", "1"}, {"Max", "100"}},
                         DialogButtons("")),
                    DialogButtons("2")));
      CTextInputBox* box = Game().GetTextInputBox();
      box->SetImeFlags(1, closeFlag);
      ClickSlot(3);
      ASSERT_EQ(save_->GetDialogState(), 2);
      ASSERT_TRUE(Game().GetWindowHandle()->IsTextInputOn());
      box->SetText("new words", 1);
      ClickDialog(cancel);
      EXPECT_FALSE(Game().GetWindowHandle()->IsTextInputOn());
      EXPECT_FALSE(box->IsActive());
      host_->InjectText("x");
      Frame();
      EXPECT_STREQ(box->GetText(), "new words");
      if (cancel) {
        EXPECT_EQ(save_->GetDialogState(), 0);
        continue;
      }
      ASSERT_EQ(save_->GetDialogState(), 1);
      ClickDialog(0);
      EXPECT_STREQ(save_->GetSlot(3)->GetStatusText(0), "new words");
    }
}

TEST_F(SaveLoadTest, AnOldCommentIsCutToWholeCharactersOf254Bytes) {
  struct Case {
    std::string line, expected;
  } const cases[] = {
      {std::string(255, 'a'), std::string(254, 'a')},
      {std::string(253, 'a') + "\x82\xa0" + "b", std::string(253, 'a')},
      {"\x82\xa0\x82", "\x82\xa0"},
  };
  for (const Case& c : cases) {
    SaveSlot(0, "MARKER");
    std::string bytes = FileBytes(0);
    const size_t at = bytes.find("MARKER");
    ASSERT_NE(at, std::string::npos);
    std::string line = c.line;
    line.resize(256, '\0');
    bytes.replace(at, 256, line);
    ASSERT_TRUE(platform::WriteWholeFile(CCommonDataFile::SlotPath(0), bytes.data(), bytes.size()));
    MakeSave(Join({{"commentInputFlag", "1"}, {"Max", "200"}}, DialogButtons("2")));
    ClickSlot(0);
    EXPECT_EQ(std::string(Game().GetTextInputBox()->GetText()), c.expected) << c.line.size();
  }
}

TEST_F(SaveLoadTest, AFixVariableInRangePicksItsVoiceOtherwiseTheRandomOne) {
  Game().SetVarNumber("fix", 7);
  const Pairs keys = {{"saveVoiceNumber", "3"}, {"saveVoiceFixVar", "fix"}, {"saveVoice1", "v1"},
                      {"saveVoice2", "v2"},     {"saveVoice3", "v3"},       {"saveSound", "-1"}};
  for (int v : {2, 0, 9}) {
    Game().fixValue = v;
    std::vector<std::string> heard;
    for (int i = 0; i < 6; ++i) {
      MakeSave(keys);
      ClickSlot(i);
      const std::vector<std::string> sounds = Sounds();
      heard.insert(heard.end(), sounds.begin(), sounds.end());
    }
    ASSERT_EQ(heard.size(), 6u);
    for (const std::string& s : heard) {
      if (v == 2) EXPECT_EQ(s, "PlayVoice v2");
      else EXPECT_TRUE(s == "PlayVoice v1" || s == "PlayVoice v2" || s == "PlayVoice v3") << s;
    }
  }
}

TEST_F(SaveLoadTest, ASlotThatCannotBeWrittenIsNotMarkedLastSaved) {
  ASSERT_TRUE(platform::CreateDirectory(CCommonDataFile::SlotPath(4)));
  MakeSave();
  ClickSlot(4);
  Frames(8);
  EXPECT_EQ(Game().steps, (std::vector<std::string>{"system"}));
  EXPECT_EQ(Game().GetLastSaveSlot(), -1);
}

// A save that fails tells the player at once in a box naming the slot's
// file, gives the host path and the system's reason on stderr, and leaves
// the slot's old file as it was.
TEST_F(SaveLoadTest, AFailedSaveShowsTheBoxAndKeepsTheOldSlot) {
  const struct {
    const char* what;
    std::function<void()> fail;
    const char* reason;
  } cases[] = {
      {"full disk", [] { platform::FailWholeFileWrites(1); }, "No space left on device"},
      {"save folder is a file",
       [&] {
         std::filesystem::remove_all(*dir_ / "sav");
         dir_->Write("sav", "not a folder");
       },
       "Not a directory"},
      {"read-only folder", [&] { ::chmod((*dir_ / "sav").c_str(), 0555); }, "Permission denied"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (std::string(c.what) == "read-only folder" && ::geteuid() == 0) continue;  // root writes anyway
    std::filesystem::remove_all(*dir_ / "sav");
    ASSERT_TRUE(platform::CreateDirectory("sav"));
    SaveSlot(4);
    c.fail();
    const std::string before = FileBytes(4);
    MakeSave();
    host_->ClearBoxes();
    host_->ClearErrorLines();
    ClickSlot(4);
    Frames(8);
    const auto boxes = host_->Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, testsupport::Sjis("セーブデータ:sav\\data4.savがsaveできませんでした"));
    EXPECT_EQ(boxes[0].caption, "Error");
    bool named = false;
    for (const std::string& line : host_->ErrorLines())
      named |= line.find(*dir_ / "sav/data4.sav") != std::string::npos &&
               line.find(c.reason) != std::string::npos;
    EXPECT_TRUE(named);
    EXPECT_EQ(FileBytes(4), before);
    EXPECT_EQ(Game().GetLastSaveSlot(), -1);
    ::chmod((*dir_ / "sav").c_str(), 0755);
    ReleaseScreens();
  }
}

TEST_F(SaveLoadTest, AFailedQuickSaveShowsTheBoxAndIsNotTheLastSlot) {
  Game().SetLastSaveSlot(5);
  CCommonSave& save = MakeSave({{"quickSetLastFlag", "1"}});
  host_->ClearBoxes();
  platform::FailWholeFileWrites(1);
  EXPECT_EQ(save.QuickSave(), 1);
  ASSERT_EQ(host_->Boxes().size(), 1u);
  EXPECT_EQ(host_->Boxes()[0].text, testsupport::Sjis("セーブデータ:sav\\data0.savがsaveできませんでした"));
  EXPECT_FALSE(platform::FileExists(CCommonDataFile::SlotPath(0)));
  EXPECT_EQ(Game().GetLastSaveSlot(), 5);
}

TEST_F(SaveLoadTest, TheDialogsThumbnailTakesOnlyWhatFitsItsPicture) {
  // The game's thumbnail (200 x 150) is larger than the layout's (132 x 100).
  Game().SetMiniCGSize(200, 150);
  MakeSave(Join({{"commentInputFlag", "1"}, {"miniCGPrintFlag", "1"}}, DialogButtons("2")));
  ClickSlot(0);
  ASSERT_EQ(save_->GetDialogState(), 2);
  ASSERT_NE(save_->GetMiniCGPicture(), nullptr);
  EXPECT_EQ(save_->GetMiniCGPicture()->GetWidth(), 132);
  EXPECT_EQ(save_->GetMiniCGPicture()->GetHeight(), 100);
}

// The comment dialog's extras, drawn in a font of 8 x 8 glyphs (glyph g the
// colour g + 1): today's date and time, the in-game year stepped by
// "textBoxGameyearFontNextX" with its slash, month and day after it, the
// special number and the extra picture's cell that number chooses.
TEST_F(SaveLoadTest, TheCommentDialogShowsTodayTheGameDateAndTheSpecialNumber) {
  std::vector<uint32_t> font(96 * 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 96; ++x) font[size_t(y) * 96 + x] = uint32_t(x / 8 + 1);
  testsupport::WriteDwq(*dir_, "sys/tbfont", dwqtool::Picture{96, 8, font, {}});
  // Cells of 8 x 8, four to a row: cell n is the colour 0x100 + n.
  std::vector<uint32_t> cells(32 * 80);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 32; ++x) cells[size_t(y) * 32 + x] = uint32_t(0x100 + y / 8 * 4 + x / 8);
  testsupport::WriteDwq(*dir_, "sys/tbcells", dwqtool::Picture{32, 80, cells, {}});
  host_->SetEpochBase(1741338240);  // 2025-03-07 09:04:00
  Game().UseSystemPictures();
  Game().SetVarNumber("year", 20);
  Game().SetVarNumber("date", 21);
  Game().SetVar(20, 2031);
  Game().SetVar(21, 1224);
  Game().modeVariable = 37;
  MakeSave(Join({{"commentInputFlag", "1"}, {"textBoxPrintX", "200"}, {"textBoxPrintY", "200"},
                 {"textBoxDatePrintFlag", "1"}, {"textBoxDatePrintX", "10"}, {"textBoxDatePrintY", "10"},
                 {"filenameTextBoxDate", "tbfont"}, {"textBoxDateFontNextX", "9"},
                 {"textBoxGameYearPrintFlag", "1"}, {"textBoxGameYearPrintX", "10"},
                 {"textBoxGameYearPrintY", "30"}, {"filenameTextBoxGameYear", "tbfont"},
                 {"textBoxGameyearFontNextX", "10"}, {"textBoxGameDatePrintFlag", "1"},
                 {"textBoxGameDateFontNextX", "11"}, {"textBoxSpecialNumberPrintFlag", "1"},
                 {"textBoxSpecialNumberPrintX", "10"}, {"textBoxSpecialNumberPrintY", "50"},
                 {"filenameTextBoxSpecialNumberFont", "tbfont"},
                 {"textBoxSpecialNumberFontSizeX", "8"}, {"textBoxSpecialNumberFontSizeY", "8"},
                 {"textBoxAddPicPrintFlag", "1"}, {"filenameTextBoxAddPic", "tbcells"},
                 {"textBoxAddPicPrintX", "10"}, {"textBoxAddPicPrintY", "70"},
                 {"textBoxAddPicSizeX", "8"}, {"textBoxAddPicSizeY", "8"},
                 {"textBoxAddPicMultiFlag", "1"}, {"textBoxAddPicMultiNumberX", "4"}},
                DialogButtons("2")));
  ClickSlot(0);
  ASSERT_EQ(save_->GetDialogState(), 2);
  Frame();
  // The colour in the middle of the glyph cell at (x, y) of the dialog.
  auto cell = [](int x, int y) {
    return CScreenBuffer::GetBuffer()[size_t(160 + y + 4) * CScreenBuffer::GetWidth() + 236 + x + 4] &
           0xFFFFFFu;
  };
  struct Glyph {
    const char* what;
    int x, y;
    uint32_t colour;
  } const glyphs[] = {
      // 2025/03/07 09:04 in steps of 9 (a blank step between date and time).
      {"year 2", 10, 10, 3}, {"year 0", 19, 10, 1}, {"year 2", 28, 10, 3}, {"year 5", 37, 10, 6},
      {"slash", 46, 10, 12}, {"month 0", 55, 10, 1}, {"month 3", 64, 10, 4}, {"slash", 73, 10, 12},
      {"day 0", 82, 10, 1}, {"day 7", 91, 10, 8}, {"hour 0", 109, 10, 1}, {"hour 9", 118, 10, 10},
      {"colon", 127, 10, 11}, {"minute 0", 136, 10, 1}, {"minute 4", 145, 10, 5},
      // In-game 2031 in steps of 10, its slash four steps on; month 12 and
      // day 24 from five year steps on, in steps of 11.
      {"game year 2", 10, 30, 3}, {"game year 0", 20, 30, 1}, {"game year 3", 30, 30, 4},
      {"game year 1", 40, 30, 2}, {"game year slash", 50, 30, 12}, {"game month 1", 60, 30, 2},
      {"game month 2", 71, 30, 3}, {"game date slash", 82, 30, 12}, {"game day 2", 93, 30, 3},
      {"game day 4", 104, 30, 5},
      // The special number 37, and its cell (row 9, column 1) of the extra picture.
      {"special 3", 10, 50, 4}, {"special 7", 18, 50, 8}, {"extra cell 37", 10, 70, 0x125},
  };
  for (const Glyph& g : glyphs) EXPECT_EQ(cell(g.x, g.y), g.colour) << g.what << " at " << g.x;
}

TEST_F(SaveLoadTest, QuickSaveWritesTheQuickSlotAndSetsTheLastSlotByItsFlag) {
  struct Case {
    const char* flag;
    int last;
  } const cases[] = {{"-1", -1}, {"0", 5}, {"1", 0}};
  for (const Case& c : cases) {
    Game().SetLastSaveSlot(5);
    CCommonSave& save = MakeSave({{"quickSetLastFlag", c.flag}});
    EXPECT_EQ(save.QuickSave(), 1);
    EXPECT_TRUE(platform::FileExists(CCommonDataFile::SlotPath(0)));
    EXPECT_EQ(Game().GetLastSaveSlot(), c.last) << c.flag;
    for (const std::string& s : Game().steps) EXPECT_NE(s, "system");
    platform::RemoveFile(CCommonDataFile::SlotPath(0));
  }
}

TEST_F(SaveLoadTest, ALoadSoundsBlinksFadesAndRestartsTheGame) {
  SaveSlot(2);
  CCommonLoad& load = MakeLoad();
  load.SetParameter(4);
  ClickSlot(2);
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"PlaySystemSe 0 0"}));
  for (int i = 0; i < 60 && Game().steps.empty(); ++i) Frame();
  EXPECT_EQ(Game().steps, (std::vector<std::string>{"restart"}));
  EXPECT_EQ(load.GetLoadChosen(), 0);
}

TEST_F(SaveLoadTest, AnEmptySlotPlaysOnlyTheCannotLoadSound) {
  MakeLoad();
  ClickSlot(1);
  EXPECT_TRUE(Sounds().empty());
  EXPECT_EQ(load_->IsWaiting(), 0);
  MakeLoad({{"cannotLoadSound", "3"}});
  ClickSlot(1);
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"PlaySystemSe 2 0"}));
}

TEST_F(SaveLoadTest, ASlotRemovedBeforeItsLoadRestartsNothingAndGoesBack) {
  SaveSlot(2);
  CCommonLoad& load = MakeLoad({{"cannotLoadSound", "3"}});
  load.SetParameter(4);
  ClickSlot(2);
  ASSERT_TRUE(platform::RemoveFile(CCommonDataFile::SlotPath(2)));
  Game().ClearSounds();
  for (int i = 0; i < 60 && Sounds().empty(); ++i) Frame();
  EXPECT_TRUE(Game().steps.empty()) << Game().steps.size();
  EXPECT_EQ(Game().GetNextMode(), 4);
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"PlaySystemSe 2 0"}));
}

TEST_F(SaveLoadTest, QuickLoadRefusesAnEmptySlotAndStopsSoundsBeforeLoading) {
  CCommonLoad& load = MakeLoad();
  Game().loadOrder.clear();
  EXPECT_EQ(load.HasQuickLoadData(), 0);
  EXPECT_EQ(load.QuickLoad(), 0);
  EXPECT_TRUE(Game().steps.empty());
  EXPECT_TRUE(Game().Calls().empty());
  EXPECT_TRUE(Game().loadOrder.empty());

  SaveSlot(0);
  EXPECT_EQ(load.HasQuickLoadData(), 1);
  EXPECT_EQ(load.GetSlot(0)->GetPeekedSlot(), 0);
  Game().ClearCalls();
  Game().loadOrder.clear();
  EXPECT_EQ(load.QuickLoad(), 1);
  EXPECT_EQ(Game().steps, (std::vector<std::string>{"restart"}));
  EXPECT_EQ(Game().loadOrder, (std::vector<std::string>{"stop sounds", "load"}));
}

TEST_F(SaveLoadTest, QuickLoadOfADamagedSlotNamesTheFileAndChangesNothing) {
  SaveSlot(0);
  const std::string damaged = FileBytes(0).substr(0, 500);
  dir_->Write("sav/data0.sav", damaged);
  CCommonLoad& load = MakeLoad({{"cannotLoadSound", "3"}});
  host_->ClearBoxes();
  Game().ClearSounds();
  Game().loadOrder.clear();
  // Offered, so that the player who asks is told why it cannot load.
  EXPECT_EQ(load.HasQuickLoadData(), 1);
  EXPECT_EQ(load.QuickLoad(), 0);
  const auto boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "ERROR");
  EXPECT_TRUE(boxes[0].text.starts_with("sav\\data0.sav\nThe quick save cannot be loaded: ")) << boxes[0].text;
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"PlaySystemSe 2 0"}));
  EXPECT_TRUE(Game().steps.empty());
  EXPECT_TRUE(Game().loadOrder.empty());
  EXPECT_EQ(FileBytes(0), damaged);
}

// A slot that holds a file it cannot load says why when clicked, as the
// quick load does; a slot grown to 3 GiB is one such, and the screen comes
// up without reading it.
TEST_F(SaveLoadTest, AClickOnASlotThatCannotLoadSaysWhy) {
  SaveSlot(2);
  const std::string good = FileBytes(2);
  const struct {
    const char* what;
    std::string bytes;
    uint64_t length;  // grown to this by a hole (0: as it is)
  } cases[] = {
      {"cut short", good.substr(0, 500), 0},
      {"grown to 3 GiB", good, testsupport::kThreeGiB},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (int slot : {0, 2}) {
      dir_->Write("sav/data" + std::to_string(slot) + ".sav", c.bytes);
      if (c.length) testsupport::MakeSparse(*dir_ / ("sav/data" + std::to_string(slot) + ".sav"), c.length);
    }
    const int64_t before = testsupport::BytesReadSoFar();
    CCommonLoad& load = MakeLoad({{"cannotLoadSound", "3"}});
    Frame();
    EXPECT_LT(testsupport::BytesReadSoFar() - before, 16 << 20);
    ASSERT_EQ(load.GetSlot(2)->IsDamaged(), 1);
    const std::string why = load.GetSlot(2)->GetRefusal();
    host_->ClearBoxes();
    ClickSlot(2);
    auto boxes = host_->Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_EQ(boxes[0].text, "sav\\data2.sav\nThe save cannot be loaded: " + why);
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"PlaySystemSe 2 0"}));
    EXPECT_EQ(load.IsWaiting(), 0);

    host_->ClearBoxes();
    EXPECT_EQ(load.QuickLoad(), 0);
    boxes = host_->Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "sav\\data0.sav\nThe quick save cannot be loaded: " + why);
    EXPECT_TRUE(Game().steps.empty());
  }
}

}  // namespace
