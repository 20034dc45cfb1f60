#include "effect/animeeffects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dwqwriter.h"
#include "effect_fixture.h"
#include "platform/bytereader.h"
#include "platform/files.h"

namespace effect_test {
namespace {

uint32_t Solid(uint32_t colour, int, int) { return colour; }

class AnimeTest : public EffectTest {
 protected:
  EffectChannel* Channel(int c) { return manager_->GetChannel(c); }
  void PrintAt(int channel, int counter) {
    EffectChannel* record = Channel(channel);
    record->Counter() = counter;
    manager_->GetEffect(record->EffectNumber())->Print(record, channel);
  }
  void CalcuOnce(int channel) {
    EffectChannel* record = Channel(channel);
    manager_->GetEffect(record->EffectNumber())->Calcu(record, channel);
  }
  std::vector<int> Kept(int channel, int n) {
    return std::vector<int>(Channel(channel)->v + 29, Channel(channel)->v + 29 + n);
  }
  // A frame file of the screen's size in one colour, or as `bytes` say.
  void WriteFrame(int animation, int frame, uint32_t colour) {
    dwqtool::Picture picture{kW, kH, std::vector<uint32_t>(size_t{kW} * kH, colour), {}};
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(dwqtool::MakeAnimeFrame(picture, &bytes, &error)) << error;
    WriteBytes(animation, frame, bytes);
  }
  void WriteBytes(int animation, int frame, const std::vector<uint8_t>& bytes) {
    platform::CreateDirectory("dwq");
    platform::CreateDirectory("dwq/an");
    ASSERT_TRUE(platform::WriteWholeFile(AnimeFramePath(animation, frame), bytes.data(), bytes.size()));
  }
};

TEST_F(AnimeTest, DefaultsAndClamps) {
  struct Case {
    int number;
    std::vector<int> given, kept;
  };
  const std::vector<Case> cases = {
      {19, {}, {20, 4, 1, 0, 12, 0, 100, 100, 0, 10, 0}},
      {19, {5, 0, -2, 0, 3, 0, 40}, {5, 1, 1, 0, 3, 0, 40, 40}},
      {63, {}, {20, 64, 64, 1, 0, 0, 0, 0, 0, 0, 100, 100, 100, 0, 0}},
      {63, {9, 8, 8, 1, 30, 40}, {9, 8, 8, 1, 30, 40, 30, 40}},
      {98, {}, {9999, 32, 32, 2, -1, 0, 0, 1, 40, 80, 4, 80, 0}},
      {98, {7, 8, 8, 3, 2, 1, 0, 0}, {7, 8, 8, 3, 2, 1, 0, 1}},
      {79, {}, {20, 0, 1, 0}},
  };
  for (const Case& c : cases) {
    manager_->ResetAll();
    ASSERT_EQ(Start(5, c.number, c.given), 1);
    EXPECT_EQ(Kept(5, static_cast<int>(c.kept.size())), c.kept) << c.number;
    EXPECT_EQ(Channel(5)->Duration(), c.number == 98 ? 9999 : c.kept[0]) << c.number;
    EXPECT_EQ(manager_->GetEffect(c.number)->CheckPrintPicture(Channel(5), 5), 0);
    EXPECT_EQ(manager_->GetEffect(c.number)->Finish(Channel(5), 5), 0);
    EXPECT_EQ(manager_->GetEffect(c.number)->Finish(Channel(5), 5), 0);
  }
  EXPECT_EQ(manager_->GetEffect(19)->GetOption1(), 2);
}

// --- #19 ---

TEST_F(AnimeTest, FlipBookStopsOnItsLastChannelOrLoops) {
  ASSERT_EQ(Start(5, 19, {40, 3, 5, 0, 4}), 1);
  const std::vector<int> expected = {4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6};
  for (int counter = 0; counter < 20; ++counter) {
    Channel(5)->Counter() = counter;
    EXPECT_EQ(CEffectAnime::FrameChannel(*Channel(5)), expected[counter]) << counter;
  }
  Channel(5)->Param(3) = 1;
  Channel(5)->Counter() = 16;
  EXPECT_EQ(CEffectAnime::FrameChannel(*Channel(5)), 4);
  // The counter loop keeps the counter inside one cycle; counts from a save
  // are held as a start holds them.
  Channel(5)->Param(10) = 1;
  Channel(5)->Counter() = 17;
  CalcuOnce(5);
  EXPECT_EQ(Channel(5)->Counter(), 2);
  Channel(5)->Param(1) = 0;
  Channel(5)->Param(2) = -4;
  CalcuOnce(5);
  EXPECT_EQ(Channel(5)->Counter(), 0);
  EXPECT_EQ(CEffectAnime::FrameChannel(*Channel(5)), 4);
  // The channel is held to 0..15.
  Channel(5)->Param(4) = 40;
  EXPECT_EQ(CEffectAnime::FrameChannel(*Channel(5)), 15);
}

TEST_F(AnimeTest, FlipBookDrawsByTheModeOfItsFirstChannelNumber) {
  // Column 3 of each picture is see-through.
  auto hole = [](int x, int) -> uint8_t { return x == 3 ? 0 : 255; };
  ChannelPicture(0, 8, 8, [](int x, int y) { return Solid(0xFF0000, x, y); }, hole);
  ChannelPicture(1, 8, 8, [](int x, int y) { return Solid(0x00FF00, x, y); }, hole);
  ChannelPicture(2, 8, 8, [](int x, int y) { return Solid(0x0000FF, x, y); }, hole);
  struct Case {
    int first;
    uint32_t hole, solid;
  };
  // p4 = 0 opaque, 1 transparent.
  for (const Case& c : {Case{0, 0xFF0000, 0xFF0000}, Case{1, 0x101010, 0x00FF00}}) {
    Clear(0x101010);
    ASSERT_EQ(Start(9, 19, {20, 1, 1, 0, c.first, 0, 50, 50}), 1);
    PrintAt(9, 0);
    EXPECT_EQ(At(3, 1), c.hole) << c.first;
    EXPECT_EQ(At(6, 1), c.solid) << c.first;
    EXPECT_EQ(At(9, 1), 0x101010u);
  }
  // Any other first channel: translucent by the curve, here 50 %.
  Clear(0x101010);
  ASSERT_EQ(Start(9, 19, {20, 1, 1, 0, 2, 0, 50, 50}), 1);
  PrintAt(9, 0);
  EXPECT_EQ(At(3, 1), 0x101010u);
  EXPECT_NE(At(6, 1), 0x0000FFu);
  EXPECT_NE(At(6, 1), 0x101010u);
  EXPECT_GT(At(6, 1) & 0xFF, 0x60u);
}

// --- #63 ---

TEST_F(AnimeTest, SpriteSheetWalksItsCellsAlongTheLine) {
  // Four 4 x 4 cells, two a row, each its own colour.
  ChannelPicture(3, 8, 8, [](int x, int y) { return 0x100000u * (1 + x / 4 + 2 * (y / 4)); });
  // Duration 1: cell 0 at the start position.
  ASSERT_EQ(Start(3, 63, {1, 4, 4, 1, 30, 20, 5, 6}), 1);
  Clear(0);
  PrintAt(3, 0);
  EXPECT_EQ(At(5, 6), 0x100000u);
  EXPECT_EQ(At(8, 9), 0x100000u);
  EXPECT_EQ(At(9, 6), 0u);
  // Duration 11, counter 5: half way (D = 10), cell 5 / 2 = 2.
  ASSERT_EQ(Start(3, 63, {11, 4, 4, 2, 20, 10, 0, 0}), 1);
  Clear(0);
  PrintAt(3, 5);
  EXPECT_EQ(At(10, 5), 0x300000u);
  // With p9 = 2 the cells wrap: cell 2 % 2 = 0.
  Channel(3)->Param(9) = 2;
  PrintAt(3, 5);
  EXPECT_EQ(At(10, 5), 0x100000u);
  // Nothing once the counter reaches the duration.
  Clear(0);
  PrintAt(3, 11);
  EXPECT_TRUE(ScreenIs(0));
  // A still, opaque sprite is not busy; a moving one is.
  EXPECT_EQ(manager_->GetEffect(63)->CheckBusy(Channel(3), 3), 1);
  ASSERT_EQ(Start(3, 63, {11, 4, 4}), 1);
  EXPECT_EQ(manager_->GetEffect(63)->CheckBusy(Channel(3), 3), 0);
}

// --- #98 ---

TEST_F(AnimeTest, BlinkPlaysItsCellsThereAndBackThenWaits) {
  const std::vector<int> draws = Draws(5, 3);
  // Wait 3 without spread (one draw all the same), three cells, ping-pong,
  // two counts a cell.
  ASSERT_EQ(Start(6, 98, {0, 4, 4, 3, -1, 1, 0, 2, 3, 0}), 1);
  EXPECT_EQ(Channel(6)->Param(CEffectMePachiKuchiPaku::kWait), 3);
  std::vector<int> cells;
  for (int i = 0; i < 12; ++i) {
    CalcuOnce(6);
    cells.push_back(CEffectMePachiKuchiPaku::Cell(*Channel(6)));
  }
  EXPECT_EQ(cells, (std::vector<int>{-1, -1, 0, 0, 1, 1, 2, 2, 2, 2, -1, -1}));
  EXPECT_EQ(Channel(6)->Counter(), 0);
  // One draw per wait: at the start and at the end of the run.
  EXPECT_EQ(crt::rand(), draws[2]);
}

TEST_F(AnimeTest, BlinkDrawsItsCellAndCountsItsDraws) {
  ChannelPicture(6, 12, 4, [](int x, int) { return 0x100000u * (1 + x / 4); });
  ASSERT_EQ(Start(6, 98, {0, 4, 4, 3, -1, 0, 0, 1, 1, 0}), 1);
  Clear(0);
  CalcuOnce(6);  // timer 1 = wait: cell 0
  PrintAt(6, 0);
  EXPECT_EQ(At(0, 0), 0x100000u);
  CalcuOnce(6);
  PrintAt(6, 0);
  EXPECT_EQ(At(0, 0), 0x200000u);
  // Speech mode draws only while the game speaks.
  Channel(6)->Param(6) = 1;
  Clear(0);
  manager_->SetEffectSpeed(0);
  PrintAt(6, 0);
  EXPECT_TRUE(ScreenIs(0));
  // A record from a save with no counts per cell is held to one.
  Channel(6)->Param(7) = 0;
  EXPECT_EQ(CEffectMePachiKuchiPaku::Cell(*Channel(6)), 1);
  CalcuOnce(6);
}

TEST_F(AnimeTest, DoubleBlinkDrawsOnlyOnTheLastCell) {
  // p12 = 100 on the last cell: the run ends there (no ping-pong) or skips
  // two cells of the way back (ping-pong).
  struct Case {
    int pingPong;
    std::vector<int> cells;
  };
  for (const Case& c : {Case{0, {0, 1, 2, -1}}, Case{1, {0, 1, 2, 2, -1}}}) {
    const std::vector<int> draws = Draws(3, 4);
    ASSERT_EQ(Start(6, 98, {0, 4, 4, 4, -1, c.pingPong, 0, 1, 1, 0, 4, 80, 100}), 1);
    std::vector<int> cells;
    for (size_t i = 0; i < c.cells.size(); ++i) {
      CalcuOnce(6);
      cells.push_back(CEffectMePachiKuchiPaku::Cell(*Channel(6)));
    }
    EXPECT_EQ(cells, c.cells) << c.pingPong;
    // The wait at the start, the double-blink draw, the next wait.
    EXPECT_EQ(crt::rand(), draws[3]) << c.pingPong;
  }
}

// --- #79 ---

TEST_F(AnimeTest, FrameFileNames) {
  EXPECT_EQ(AnimeFramePath(7, 12), "dwq\\an\\an007012.dwq");
  EXPECT_EQ(AnimeFramePath(999, 999), "dwq\\an\\an999999.dwq");
  for (auto [a, f] : {std::pair{1000, 0}, std::pair{-1, 0}, std::pair{0, 1000}, std::pair{0, -1}})
    EXPECT_EQ(AnimeFramePath(a, f), "") << a << " " << f;
}

TEST_F(AnimeTest, FullAnimationDrawsFramesKeepsTheScreenForMissingOnesAndSkips) {
  WriteFrame(7, 0, 0xFF0000);
  WriteFrame(7, 2, 0x0000FF);
  ASSERT_EQ(Start(0, 79, {20, 7, 2}), 1);
  Clear(0x00FF00);
  PrintAt(0, 1);
  EXPECT_TRUE(ScreenIs(0xFF0000));
  Clear(0x00FF00);
  PrintAt(0, 2);  // frame 1: no file
  EXPECT_TRUE(ScreenIs(0x00FF00));
  PrintAt(0, 5);
  EXPECT_TRUE(ScreenIs(0x0000FF));
  // p3: a repeated frame is skipped, the screen keeps what it has.
  ASSERT_EQ(Start(0, 79, {20, 7, 1, 1}), 1);
  PrintAt(0, 0);
  Clear(0x00FF00);
  PrintAt(0, 0);
  EXPECT_TRUE(ScreenIs(0x00FF00));
  // After a restore nothing counts as drawn.
  manager_->GetEffect(79)->Restore(Channel(0), 0);
  PrintAt(0, 0);
  EXPECT_TRUE(ScreenIs(0xFF0000));
  // A broken frame file draws nothing and says so in the debug output.
  WriteBytes(7, 3, std::vector<uint8_t>(100, 0x42));
  host_->ClearDebugLines();
  Clear(0x00FF00);
  ASSERT_EQ(Start(0, 79, {20, 7, 1}), 1);
  PrintAt(0, 3);
  EXPECT_TRUE(ScreenIs(0x00FF00));
  const std::vector<std::string> lines = host_->DebugLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("an007003.dwq: not an 8-bit frame"), std::string::npos) << lines[0];
  // The frame pass leaves the screen alone under the animation: a missing
  // frame keeps the last one.
  ASSERT_EQ(Start(0, 79, {20, 8}), 1);
  Clear(0x00FF00);
  Frame();
  EXPECT_TRUE(ScreenIs(0x00FF00));
}

TEST_F(AnimeTest, TheLastFrameIsSharedByEveryChannel) {
  WriteFrame(7, 0, 0xFF0000);
  ASSERT_EQ(Start(0, 79, {20, 7, 1, 1}), 1);
  ASSERT_EQ(Start(1, 79, {20, 7, 1, 1}), 1);
  PrintAt(0, 0);
  EXPECT_EQ(static_cast<CEffectFullAnime*>(manager_->GetEffect(79))->GetLastFrame(), 0);
  // Channel 1 at frame 0 counts as drawn already.
  Clear(0x00FF00);
  PrintAt(1, 0);
  EXPECT_TRUE(ScreenIs(0x00FF00));
}

TEST_F(AnimeTest, BadFrameFilesAreDrawnWholeOrNotAtAll) {
  dwqtool::Picture picture{kW, kH, {}, {}};
  for (int i = 0; i < kW * kH; ++i) picture.pixels.push_back(i % 3 == 0 ? 0x123456 : 0xABCDEF);
  std::vector<uint8_t> good;
  std::string error;
  ASSERT_TRUE(dwqtool::MakeAnimeFrame(picture, &good, &error)) << error;
  constexpr size_t kInfo = 64 + 14;
  auto withColours = [&](uint32_t used) {
    std::vector<uint8_t> bytes = good;
    for (int i = 0; i < 4; ++i) bytes[kInfo + 32 + i] = static_cast<uint8_t>(used >> (8 * i));
    return bytes;
  };
  std::vector<uint8_t> row(kW);
  auto draw = [&](const std::vector<uint8_t>& bytes) {
    Clear(0x777777);
    platform::ByteReader in(bytes);
    return DrawAnimeFrame(in, CScreenBuffer::GetBuffer(), kW, kH, row.data());
  };
  EXPECT_EQ(draw(good), AnimeFrameResult::kDrawn);
  EXPECT_EQ(At(0, 0), 0x123456u);
  EXPECT_EQ(At(1, 0), 0xABCDEFu);
  for (uint32_t used : {257u, 0xFFFFFFFFu}) {
    EXPECT_EQ(draw(withColours(used)), AnimeFrameResult::kRefused) << used;
    EXPECT_TRUE(ScreenIs(0x777777)) << used;
  }
  // Colours used 0 reads 256 entries: the file is 254 entries short of its
  // rows, so the last rows are cut.
  EXPECT_EQ(draw(withColours(0)), AnimeFrameResult::kShort);
  // 16 colours: the two used colours come first, indices are within.
  std::vector<uint8_t> sixteen = withColours(16);
  sixteen.insert(sixteen.begin() + kInfo + 40 + 8, 14 * 4, 0);
  EXPECT_EQ(draw(sixteen), AnimeFrameResult::kDrawn);
  EXPECT_EQ(At(1, 0), 0xABCDEFu);
  // Indices beyond the colours used draw black.
  std::vector<uint8_t> beyond = good;
  beyond[kInfo + 40 + 8] = 200;
  EXPECT_EQ(draw(beyond), AnimeFrameResult::kDrawn);
  EXPECT_EQ(At(0, 0), 0u);
  // Other bit counts and cut headers draw nothing.
  std::vector<uint8_t> deep = good;
  deep[kInfo + 14] = 24;
  EXPECT_EQ(draw(deep), AnimeFrameResult::kRefused);
  EXPECT_TRUE(ScreenIs(0x777777));
  EXPECT_EQ(draw(std::vector<uint8_t>(good.begin(), good.begin() + 100)), AnimeFrameResult::kRefused);
  EXPECT_TRUE(ScreenIs(0x777777));
  // A short row: the rows before it are drawn, the rest keep the screen.
  std::vector<uint8_t> cut(good.begin(), good.end() - kW * 10 - 3);
  EXPECT_EQ(draw(cut), AnimeFrameResult::kShort);
  EXPECT_EQ(At(0, kH - 12), 0x123456u);
  EXPECT_EQ(At(0, kH - 11), 0x777777u);
  EXPECT_EQ(At(0, kH - 1), 0x777777u);
}

}  // namespace
}  // namespace effect_test
