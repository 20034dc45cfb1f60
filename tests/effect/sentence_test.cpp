#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "effect/effectsentence.h"
#include "effect_fixture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "support/dwq_picture.h"

namespace effect_test {
namespace {

constexpr uint32_t kBack = 0x000000;
// Cell (c, r) of a 3 x 2 sheet of 4 x 4 cells has its own colour.
uint32_t CellColour(int x, int y) {
  return 0x101010u * static_cast<uint32_t>(1 + x / 4 + 3 * (y / 4));
}
uint8_t Opaque(int, int) { return 255; }

class SentenceTest : public EffectTest {
 protected:
  EffectChannel& Record(int channel) { return *manager_->GetChannel(channel); }
  void PrintAt(int channel, int counter) {
    Record(channel).Counter() = counter;
    manager_->GetEffect(Record(channel).EffectNumber())->Print(&Record(channel), channel);
  }
  // The cells of the sheet drawn whole at (10, 10): a 3 x 2 grid of flags.
  std::vector<int> WholeCells() const {
    std::vector<int> cells;
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c) {
        bool whole = true;
        for (int y = 0; y < 4; ++y)
          for (int x = 0; x < 4; ++x)
            whole = whole && At(10 + 4 * c + x, 10 + 4 * r + y) == CellColour(4 * c + x, 4 * r + y);
        cells.push_back(whole ? 1 : 0);
      }
    return cells;
  }
  int Changed() const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += At(x, y) != kBack;
    return n;
  }
  void Sheet(int channel) {
    ChannelPicture(channel, 12, 8, CellColour, Opaque);
    Record(channel).DrawRect()[0] = 10;
    Record(channel).DrawRect()[1] = 10;
  }
  // Writes a picture file "name" into the game's picture folder.
  void PictureFile(const std::string& name, int w, int h, uint32_t colour) {
    dwqtool::Picture picture{w, h, std::vector<uint32_t>(size_t(w) * h, colour), {}};
    picture.pixels[0] = 0x010101;  // the colour key
    testsupport::WriteDwq(*dir_, name, picture);
  }
};

// --- #133 ---

TEST_F(SentenceTest, RowsRevealOneCharacterEveryStep) {
  Sheet(3);
  // 3 x 2 cells, 4 frames a character, linear, 24 frames.
  ASSERT_EQ(Start(3, 133, {24, 4, 4, 0, 1, 4, 0, 0}), 1);
  Record(3).DrawRect()[0] = Record(3).DrawRect()[1] = 10;
  Clear(kBack);
  PrintAt(3, 10);
  EXPECT_EQ(WholeCells(), (std::vector<int>{1, 1, 0, 0, 0, 0}));
  // The third at 50 %: half its colour over black.
  const uint32_t third = At(10 + 8 + 1, 10 + 1);
  EXPECT_NE(third, kBack);
  EXPECT_LT(third, CellColour(9, 1));
  EXPECT_EQ(Changed(), 16 * 3);
  for (int counter : {4, 8, 12, 16}) {
    Clear(kBack);
    PrintAt(3, counter);
    int whole = 0;
    for (int c : WholeCells()) whole += c;
    EXPECT_EQ(whole, counter / 4);
    EXPECT_EQ(Changed(), 16 * (counter / 4));
  }
  Clear(kBack);
  PrintAt(3, 24);
  EXPECT_EQ(WholeCells(), (std::vector<int>(6, 1)));
}

TEST_F(SentenceTest, VerticalWritingFillsTheRightColumnFirst) {
  Sheet(3);
  ASSERT_EQ(Start(3, 133, {6, 4, 4, 1, 0, 1}), 1);
  Record(3).DrawRect()[0] = Record(3).DrawRect()[1] = 10;
  const std::vector<std::vector<int>> want = {{0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0},
                                              {0, 0, 1, 0, 0, 1}, {0, 1, 1, 0, 0, 1},
                                              {0, 1, 1, 0, 1, 1}, {1, 1, 1, 0, 1, 1},
                                              {1, 1, 1, 1, 1, 1}};
  for (int counter = 0; counter <= 6; ++counter) {
    Clear(kBack);
    PrintAt(3, counter);
    EXPECT_EQ(WholeCells(), want[counter]) << counter;
  }
}

TEST_F(SentenceTest, EachAppearanceOfTheCellBeingWritten) {
  Sheet(3);
  // Frame 1 of 2 frames a character: the first cell at 50 %.
  struct Case {
    int appearance, changed;
  };
  const Case cases[] = {{0, 16}, {1, 16}, {2, 4}, {3, 4}, {4, 8}, {5, 36}, {6, 36}, {7, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(Start(3, 133, {12, 4, 4, 0, c.appearance, 2}), 1);
    Record(3).DrawRect()[0] = Record(3).DrawRect()[1] = 10;
    Clear(kBack);
    PrintAt(3, 1);
    EXPECT_EQ(Changed(), c.changed) << "appearance " << c.appearance;
  }
  // Vertical writing, appearance 4: the top half of the top right cell.
  ASSERT_EQ(Start(3, 133, {12, 4, 4, 1, 4, 2}), 1);
  Record(3).DrawRect()[0] = Record(3).DrawRect()[1] = 10;
  Clear(kBack);
  PrintAt(3, 1);
  EXPECT_EQ(Changed(), 8);
  EXPECT_EQ(At(18, 11), CellColour(8, 1));
  EXPECT_EQ(At(18, 12), kBack);
}

// Beyond the last whole cell (a 14 x 10 sheet of 4 x 4 cells): full rows
// show the picture's whole width, full columns its whole height.
TEST_F(SentenceTest, FullLinesShowWhatLiesBeyondTheCells) {
  ChannelPicture(3, 14, 10, CellColour, Opaque);
  struct Case {
    int vertical, counter;
    int x, y;  // in the sheet: shown once the first line is full
  };
  const Case cases[] = {{0, 3, 13, 1}, {1, 2, 9, 9}};
  for (const Case& c : cases) {
    ASSERT_EQ(Start(3, 133, {6, 4, 4, c.vertical, 0, 1}), 1);
    Record(3).DrawRect()[0] = Record(3).DrawRect()[1] = 10;
    Clear(kBack);
    PrintAt(3, c.counter - 1);
    EXPECT_EQ(At(10 + c.x, 10 + c.y), kBack) << c.vertical;
    PrintAt(3, c.counter);
    EXPECT_EQ(At(10 + c.x, 10 + c.y), CellColour(c.x, c.y)) << c.vertical;
  }
}

TEST_F(SentenceTest, CellsThatDoNotFitDrawNothing) {
  Sheet(3);
  const std::vector<std::vector<int>> cases = {
      {20, 0, 4}, {20, 4, -1}, {20, 13, 4}, {20, 4, 9}, {INT_MAX, INT_MAX, INT_MAX, 0, 6, INT_MAX}};
  for (const std::vector<int>& c : cases) {
    ASSERT_EQ(Start(3, 133, c), 1);
    Clear(kBack);
    PrintAt(3, 19);
    EXPECT_EQ(Changed(), 0) << c[1] << "x" << c[2];
  }
}

// --- #80 ---

TEST_F(SentenceTest, RollTableAndClamps) {
  ASSERT_EQ(Start(2, 80, {20, 1, 0, 50, 100, 100, 50, 0, 10, 20, 30, 40}), 1);
  auto& roll = *static_cast<CEffectStaffRoll*>(manager_->GetEffect(80));
  const std::vector<int>& t = roll.GetTable();
  ASSERT_EQ(t.size(), size_t{kH});
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[5], 64);
  EXPECT_EQ(t[10], 128);
  EXPECT_EQ(t[20], 256);
  EXPECT_EQ(t[30], 256);
  EXPECT_EQ(t[40], 128);
  EXPECT_EQ(t[44], 64);
  // Boundaries rise and stay on the screen; the piece channels follow the
  // pieces.
  struct Case {
    std::vector<int> values;
    std::vector<int> want;  // p8..p13
  };
  const Case cases[] = {
      {{20, 1, 0, 50, 100, 100, 50, 0, 30, 10, 40, 35, 4, 0}, {30, 30, 40, 40, 4, 2}},
      {{20, 1, 0, 50, 100, 100, 50, 0, -5, 100, 20, 20, 2, 7}, {0, kH, kH, kH, 2, 1}},
      {{20, 1, 0, 50, 100, 100, 50, 0, 1, 2, 3, 4, 0, 5}, {1, 2, 3, 4, 1, 5}},
      {{20, 1, 0, 50, 100, 100, 50, 0, 1, 2, 3, 4, 9, 5}, {1, 2, 3, 4, 9, 5}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(2, 80, c.values), 1);
    std::vector<int> got;
    for (int i = 8; i <= 13; ++i) got.push_back(Record(2).Param(i));
    EXPECT_EQ(got, c.want);
  }
  // Huge opacities and rows are held to 0..256.
  ASSERT_EQ(Start(2, 80, {20, 1, INT_MAX, INT_MIN, INT_MAX, 0, 0, 0, INT_MIN, 10, 20, 30}), 1);
  for (int v : roll.GetTable()) {
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 256);
  }
}

TEST_F(SentenceTest, PieceChannels) {
  struct Case {
    int channel, piece, pieceChannels, want;
  };
  const Case cases[] = {{3, 1, 2, 4}, {3, 2, 2, 5}, {3, 3, 2, 4}, {3, 4, 0, 4},
                        {14, 1, 2, 15}, {14, 2, 2, 15},
                        {15, 1, 1, -1},  // would be the roll's own picture
                        {15, 2, 2, -1},  // channel 17
                        {0, INT_MAX, INT_MAX, -1}};  // channel 1 + INT_MAX - 1
  for (const Case& c : cases)
    EXPECT_EQ(CEffectStaffRoll::PieceChannel(c.channel, c.piece, c.pieceChannels), c.want)
        << c.channel << " piece " << c.piece;
}

// The roll's rows give the pixel loop's bytes: bands fading in and out,
// through the mask and through the colour key, the picture moved off the
// screen's edges.
TEST_F(SentenceTest, RollRowsMatchThePixelLoop) {
  auto noise = [](int x, int y) { return effect_test::NoisePixel(x, y); };
  ChannelPicture(
      3, kW + 10, kH, [&](int x, int y) { return (x + y) % 7 == 0 ? noise(0, 0) : noise(x, y); },
      [&](int x, int y) { return static_cast<uint8_t>(noise(y, x) >> 24); });
  auto* roll = static_cast<CEffectStaffRoll*>(manager_->GetEffect(80));
  const int places[][2] = {{0, 0}, {-6, 5}, {3, -9}};
  for (int mode : {0, 1, 2})
    for (const auto& at : places) {
      ASSERT_EQ(Start(3, 80, {20, mode, 0, 40, 100, 100, 70, 0, 8, 16, 30, 40, 1, 0}), 1);
      Record(3).DrawRect()[0] = at[0];
      Record(3).DrawRect()[1] = at[1];
      auto under = [&] {
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x) At(x, y) = noise(x + 1, y + 2);
      };
      under();
      roll->Print(&Record(3), 3);
      const std::vector<uint32_t> rows(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
      under();
      roll->PrintPlain(&Record(3), 3);
      const std::vector<uint32_t> plain(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
      ASSERT_EQ(rows, plain) << "mode " << mode << " at " << at[0] << "," << at[1];
    }
}

TEST_F(SentenceTest, FourPiecesOnTwoChannelsDrawStackedThroughTheTable) {
  PictureFile("roll", 8, 4, 0x111111);
  PictureFile("roll_2", 8, 4, 0x222222);
  PictureFile("roll_3", 8, 4, 0x333333);
  PictureFile("roll_4", 8, 4, 0x444444);
  ASSERT_EQ(manager_->GetPicture(3)->LoadDWQ("roll"), 1);
  manager_->SetPicture(3, 3);
  // Opaque rows from 0 on; 4 pieces, piece channels held to 2.
  ASSERT_EQ(Start(3, 80, {20, 1, 256, 100, 100, 100, 100, 100, 0, 0, 0, 0, 4, 0}), 1);
  Record(3).DrawRect()[0] = 2;
  Record(3).DrawRect()[1] = 1;
  Clear(kBack);
  PrintAt(3, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(At(4, 1 + 4 * i + 1), 0x111111u * (i + 1)) << i;
  // The colour key (each piece's first pixel) is left out.
  EXPECT_EQ(At(2, 1), kBack);
  // Pieces 1 and 3 share channel 4 and reload in turn.
  EXPECT_STREQ(manager_->GetPicture(4)->GetName(), "roll_4");
  EXPECT_STREQ(manager_->GetPicture(5)->GetName(), "roll_3");
  // Half opacity on the rows of piece 2.
  ASSERT_EQ(Start(3, 80, {20, 1, 100, 100, 100, 100, 50, 50, 9, 9, 9, 9, 4, 0}), 1);
  Record(3).DrawRect()[0] = 2;
  Record(3).DrawRect()[1] = 1;
  Clear(kBack);
  PrintAt(3, 0);
  EXPECT_EQ(At(4, 10), 0x191919u);  // 0x33 x 128 >> 8
}

TEST_F(SentenceTest, AMissingPieceIsReportedOnceAndSkipped) {
  PictureFile("roll", 8, 4, 0x111111);
  PictureFile("roll_3", 8, 4, 0x333333);
  ASSERT_EQ(manager_->GetPicture(3)->LoadDWQ("roll"), 1);
  manager_->SetPicture(3, 3);
  SetLoadDwqErrorFlag(1);
  ASSERT_EQ(Start(3, 80, {20, 1, 100, 100, 100, 100, 100, 100, 0, 0, 0, 0, 3, 2}), 1);
  host_->ClearBoxes();
  for (int frame = 0; frame < 3; ++frame) {
    Clear(kBack);
    PrintAt(3, frame);
    EXPECT_EQ(At(4, 2), 0x111111u);
    EXPECT_EQ(At(4, 6), kBack);  // roll_2 is missing
    EXPECT_EQ(At(4, 10), 0x333333u);
  }
  EXPECT_EQ(host_->Boxes().size(), 1u);
  // A new start tries again.
  ASSERT_EQ(Start(3, 80, {20, 1, 100, 100, 100, 100, 100, 100, 0, 0, 0, 0, 3, 2}), 1);
  PrintAt(3, 0);
  EXPECT_EQ(host_->Boxes().size(), 2u);
  SetLoadDwqErrorFlag(0);
}

// Pieces below the screen are not drawn but still load in turn, so each
// piece channel ends the frame holding its last piece, and a missing one is
// told on the first frame.
TEST_F(SentenceTest, PiecesOffTheScreenStillLoadIntoTheirChannels) {
  PictureFile("roll", 8, 4, 0x111111);
  PictureFile("roll_2", 8, 4, 0x222222);
  PictureFile("roll_3", 8, 4, 0x333333);
  PictureFile("roll_4", 8, 4, 0x444444);
  ASSERT_EQ(manager_->GetPicture(3)->LoadDWQ("roll"), 1);
  manager_->SetPicture(3, 3);
  SetLoadDwqErrorFlag(1);
  // Five pieces on channels 4 and 5; roll_5 (channel 5) is missing.
  ASSERT_EQ(Start(3, 80, {20, 1, 100, 100, 100, 100, 100, 100, 0, 0, 0, 0, 5, 0}), 1);
  host_->ClearBoxes();
  // Pieces 0 and 1 on the last eight rows, 2 to 4 below.
  Record(3).DrawRect()[1] = kH - 8;
  for (int frame = 0; frame < 3; ++frame) {
    Clear(kBack);
    PrintAt(3, frame);
    EXPECT_EQ(At(4, kH - 7), 0x111111u) << frame;
    EXPECT_EQ(At(4, kH - 3), 0x222222u) << frame;
    EXPECT_STREQ(manager_->GetPicture(4)->GetName(), "roll_4") << frame;
    EXPECT_STREQ(manager_->GetPicture(5)->GetName(), "roll_3") << frame;
    EXPECT_EQ(host_->Boxes().size(), 1u) << frame;
  }
  SetLoadDwqErrorFlag(0);
  // A huge count stops at the most pieces a roll has.
  CQuietMissingPictures quiet;
  ASSERT_EQ(Start(3, 80, {20, 1, 100, 100, 100, 100, 100, 100, 0, 0, 0, 0, INT_MAX, 3}), 1);
  Record(3).DrawRect()[1] = 0;
  Clear(kBack);
  PrintAt(3, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(At(4, 4 * i + 1), 0x111111u * (i + 1)) << i;
}

// A piece taller than the first, its top above the screen, shows its rows
// that reach onto it.
TEST_F(SentenceTest, ATallPieceAboveTheScreenShowsItsLowerRows) {
  PictureFile("roll", 8, 4, 0x111111);
  PictureFile("roll_2", 8, 20, 0x222222);
  ASSERT_EQ(manager_->GetPicture(3)->LoadDWQ("roll"), 1);
  manager_->SetPicture(3, 3);
  ASSERT_EQ(Start(3, 80, {20, 1, 100, 100, 100, 100, 100, 100, 0, 0, 0, 0, 2}), 1);
  // Piece 1 spans rows -10..9.
  Record(3).DrawRect()[1] = -14;
  for (int frame = 0; frame < 2; ++frame) {
    Clear(kBack);
    PrintAt(3, frame);
    EXPECT_EQ(At(4, 0), 0x222222u) << frame;
    EXPECT_EQ(At(4, 9), 0x222222u) << frame;
    EXPECT_EQ(At(4, 10), kBack) << frame;
  }
}

TEST_F(SentenceTest, ARollOnTheTopChannelKeepsItsOwnPicture) {
  PictureFile("roll", 8, 4, 0x111111);
  PictureFile("roll_2", 8, 4, 0x222222);
  ASSERT_EQ(manager_->GetPicture(15)->LoadDWQ("roll"), 1);
  manager_->SetPicture(15, 15);
  ASSERT_EQ(Start(15, 80, {20, 1, 100, 100, 100, 100, 100, 100, 0, 0, 0, 0, 2}), 1);
  Record(15).DrawRect()[0] = Record(15).DrawRect()[1] = 0;
  PrintAt(15, 0);
  EXPECT_STREQ(manager_->GetPicture(15)->GetName(), "roll");
  PrintAt(15, 1);
  EXPECT_EQ(At(4, 2), 0x111111u);
}

}  // namespace
}  // namespace effect_test
