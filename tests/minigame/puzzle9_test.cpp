// Puzzle9: the place hit test, the seeded flights, catching and dropping
// pieces with their sounds, the clear, and the pixels of a frame.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <utility>

#include "minigame/puzzle9.h"
#include "puzzle_fixture.h"

namespace {

using namespace puzzle_test;
using Piece = Puzzle9Board::Piece;

TEST(Puzzle9Rules, PlaceHitTest) {
  Puzzle9Board b;
  b.SetScreen(800, 600);  // cells 100 x 75, grid offset (50, 37)
  struct Case {
    int x, y, place;
  };
  const Case cases[] = {
      {150, 112, 0},  {249, 186, 0},  {250, 112, -1}, {149, 112, -1}, {150, 111, -1},
      {350, 112, 1},  {550, 262, 5},  {550, 412, 8},  {649, 486, 8},  {750, 412, -1},
      {550, 562, -1}, {49, 112, -1},  {-50, -37, -1}, {-150, 112, -1}, {2147483647, 112, -1},
      {-2147483647 - 1, -2147483647 - 1, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(b.PlaceAt(c.x, c.y), c.place) << c.x << "," << c.y;
  for (int p = 0; p < 9; ++p) EXPECT_EQ(b.PlaceAt(b.PlaceX(p), b.PlaceY(p)), p);

  // A screen too small for the grid: every derived size counts as 1.
  b.SetScreen(5, 3);
  EXPECT_EQ((std::array<int, 4>{b.w, b.h, b.ox, b.oy}), (std::array<int, 4>{1, 1, 1, 1}));
  EXPECT_EQ(b.PlaceAt(2, 2), 0);
  EXPECT_EQ(b.PlaceAt(6, 6), 8);
  EXPECT_EQ(b.PlaceAt(3, 2), -1);
}

TEST(Puzzle9Rules, DealDrawsFlightsInOrderSourcesFirstForDecoys) {
  Puzzle9Board b;
  b.SetScreen(800, 600);
  crt::srand(11);
  // Piece 0: a flight only; piece 9: a source, then a flight.
  int d[7];
  for (int& v : d) v = crt::rand();
  for (int i = 1; i < 9; ++i)
    for (int k = 0; k < 7; ++k) crt::rand();
  const int srcCol = crt::rand() % 4, srcRow = crt::rand() % 4;
  crt::srand(11);
  b.Deal();
  const Piece& p = b.pieces[0];
  int x = d[1] % 1000 + 100, y = d[2] % 750 + 75;
  int vx = (d[4] % 7 + 3) * (d[3] % 2 ? 1 : -1), vy = (d[6] % 7 + 3) * (d[5] % 2 ? 1 : -1);
  switch (d[0] % 4) {
    case 0: y = -75; vy = std::abs(vy); break;
    case 1: y = 675; vy = -std::abs(vy); break;
    case 2: x = -100; vx = std::abs(vx); break;
    default: x = 900; vx = -std::abs(vx); break;
  }
  EXPECT_EQ((std::array<int, 4>{p.x, p.y, p.vx, p.vy}), (std::array<int, 4>{x, y, vx, vy}));
  EXPECT_EQ((std::array<int, 4>{p.target, p.picture, p.srcX, p.srcY}), (std::array<int, 4>{0, 0, 150, 112}));
  const Piece& decoy = b.pieces[9];
  EXPECT_EQ((std::array<int, 4>{decoy.target, decoy.picture, decoy.srcX, decoy.srcY}),
            (std::array<int, 4>{-1, 1, srcCol * 200 + 50, srcRow * 150 + 37}));
  for (const Piece& q : b.pieces) EXPECT_TRUE(q.active);
  EXPECT_EQ(b.FilledCount(), 0);
  EXPECT_EQ(b.held, -1);
}

TEST(Puzzle9Rules, APieceLeavingTheBoundsFliesAnewADecoyAlsoFromANewSource) {
  Puzzle9Board b;
  b.SetScreen(800, 600);
  b.Deal();
  for (Piece& p : b.pieces) p.vx = p.vy = 0, p.x = p.y = 0;
  // Piece 2 (a target) and piece 12 (a decoy) step out; piece 5 stays on
  // the edge of the bounds.
  b.pieces[2] = Piece{true, 2, 0, 150, 112, 900, 10, 1, 0};
  b.pieces[12] = Piece{true, -1, 1, 50, 37, 10, -149, 0, -2};
  b.pieces[5] = Piece{true, 5, 0, 350, 262, -199, 675, -1, 0};
  crt::srand(3);
  b.Move();
  EXPECT_NE(b.pieces[2].x, 901);
  EXPECT_EQ((std::array<int, 2>{b.pieces[2].srcX, b.pieces[2].srcY}), (std::array<int, 2>{150, 112}));
  EXPECT_EQ((std::array<int, 2>{b.pieces[5].x, b.pieces[5].y}), (std::array<int, 2>{-200, 675}));
  // 2 takes seven draws, then 12 seven for its flight and two for its source.
  crt::srand(3);
  for (int k = 0; k < 14; ++k) crt::rand();
  const int col = crt::rand() % 4, row = crt::rand() % 4;
  EXPECT_EQ((std::array<int, 2>{b.pieces[12].srcX, b.pieces[12].srcY}),
            (std::array<int, 2>{col * 200 + 50, row * 150 + 37}));
  const Piece& p = b.pieces[12];
  EXPECT_TRUE(p.x == -100 || p.x == 900 || p.y == -75 || p.y == 675);
}

// A board whose pieces all sit still at the top left corner of the bounds.
Puzzle9Board StillBoard() {
  Puzzle9Board b;
  b.SetScreen(800, 600);
  b.Deal();
  for (Piece& p : b.pieces) p.x = -200, p.y = -150, p.vx = p.vy = 0;
  return b;
}

TEST(Puzzle9Rules, TheTopmostPieceIsTakenAndDropsGiveTheirSounds) {
  Puzzle9Board b = StillBoard();
  b.pieces[3].x = b.pieces[12].x = 10;
  b.pieces[3].y = b.pieces[12].y = 20;
  // Far-off points hit nothing.
  for (int far : {2147483647, -2147483647 - 1}) EXPECT_EQ(b.PieceAt(far, far), -1);
  // Nothing under the mouse: a click, nothing held.
  EXPECT_EQ(b.Click(400, 300), CAllMiniGame::kClick);
  EXPECT_EQ(b.held, -1);
  EXPECT_EQ(b.Click(10 + 99, 20 + 74), CAllMiniGame::kClick);
  EXPECT_EQ(b.held, 12);
  EXPECT_FALSE(b.pieces[12].active);
  // A decoy over an unfilled place: bad, released where it was caught.
  EXPECT_EQ(b.Click(b.PlaceX(4) + 5, b.PlaceY(4) + 5), CAllMiniGame::kBad);
  EXPECT_EQ(b.held, -1);
  EXPECT_TRUE(b.pieces[12].active);
  EXPECT_EQ((std::array<int, 2>{b.pieces[12].x, b.pieces[12].y}), (std::array<int, 2>{10, 20}));
  // Piece 12 on top again; the decoy outside the places or over a filled one:
  // released without a sound.
  b.filled[4] = true;
  for (auto [x, y] : {std::pair{0, 0}, std::pair{b.PlaceX(4), b.PlaceY(4)}}) {
    b.Click(15, 25);
    ASSERT_EQ(b.held, 12);
    EXPECT_EQ(b.Click(x, y), -1);
    EXPECT_EQ(b.held, -1);
    EXPECT_TRUE(b.pieces[12].active);
  }
  // Piece 4 over its own place, already filled: simply released.
  b.pieces[12].x = -200;
  b.Click(15, 25);
  ASSERT_EQ(b.held, 3);
  b.pieces[3].target = 4;
  EXPECT_EQ(b.Click(b.PlaceX(4), b.PlaceY(4)), -1);
  EXPECT_EQ((std::array<int, 3>{b.pieces[3].active, b.pieces[3].target, b.FilledCount()}),
            (std::array<int, 3>{1, 4, 1}));
  // A target piece over the wrong unfilled place: bad; over its own: good,
  // the place filled, the piece a decoy of picture 0 flying anew.
  b.pieces[3].target = 3;
  b.Click(15, 25);
  EXPECT_EQ(b.Click(b.PlaceX(2) + 1, b.PlaceY(2) + 1), CAllMiniGame::kBad);
  b.Click(15, 25);
  EXPECT_EQ(b.Click(b.PlaceX(3) + 1, b.PlaceY(3) + 1), CAllMiniGame::kGood);
  EXPECT_TRUE(b.filled[3]);
  const Piece& p = b.pieces[3];
  EXPECT_EQ((std::array<int, 3>{p.active, p.target, p.picture}), (std::array<int, 3>{1, -1, 0}));
  EXPECT_NE(p.vx, 0);
}

class Puzzle9Test : public PuzzleTest {
 protected:
  Driven<CMiniGamePuzzle9> game_{&holder_};
  // Everything parked still at the top left of the bounds, piece i at (0, 0).
  void Park(int i) {
    for (Piece& p : game_.Board().pieces) p.x = -16, p.y = -12, p.vx = p.vy = 0;
    game_.Board().pieces[i].x = game_.Board().pieces[i].y = 0;
  }
};

TEST_F(Puzzle9Test, NinePlacesFilledClearTheGameAndStopInput) {
  game_.Begin();
  const Puzzle9Board& b = game_.GetBoard();
  EXPECT_EQ((std::array<int, 4>{b.w, b.h, b.ox, b.oy}), (std::array<int, 4>{8, 6, 4, 3}));
  for (int i = 0; i < 9; ++i) {
    Park(i);
    EXPECT_EQ(game_.Click(1, 1), CAllMiniGame::kClick) << i;
    ASSERT_EQ(b.held, i);
    const int sound = game_.Click(b.PlaceX(i) + 1, b.PlaceY(i) + 1);
    EXPECT_EQ(sound, i == 8 ? CAllMiniGame::kClear : CAllMiniGame::kGood) << i;
    EXPECT_EQ(game_.GetClearFlag(), i == 8 ? 1 : 0) << i;
  }
  // No input after the clear: nothing moves and nothing is taken.
  const Piece before = b.pieces[0];
  game_.Click(before.x + 1, before.y + 1);
  EXPECT_EQ(b.held, -1);
  EXPECT_EQ(b.pieces[0].x, before.x);
  // The clear shows picture 0 alone.
  game_.Print();
  for (auto [x, y] : {std::pair{0, 0}, std::pair{13, 10}, std::pair{kW - 1, kH - 1}})
    EXPECT_EQ(Screen(x, y), (uint32_t(y) << 8) | uint32_t(x));
}

TEST_F(Puzzle9Test, AFrameShowsHolesFlyingPiecesAndTheHeldOne) {
  game_.Begin();
  Park(10);
  Puzzle9Board& b = game_.Board();
  b.filled[0] = true;
  b.pieces[10].srcX = 20, b.pieces[10].srcY = 30;
  b.pieces[10].x = 40, b.pieces[10].y = 2;  // flying, over nothing but picture 0
  b.pieces[4].x = 0, b.pieces[4].y = 0;
  game_.Click(1, 1);  // piece 4 taken
  ASSERT_EQ(b.held, 4);
  game_.mouse.SetPos(30, 30);
  game_.Print();
  auto pic0 = [](int x, int y) { return (uint32_t(y) << 8) | uint32_t(x); };
  // A filled place shows picture 0; an unfilled one is tinted.
  EXPECT_EQ(Screen(b.PlaceX(0) + 1, b.PlaceY(0) + 1), pic0(b.PlaceX(0) + 1, b.PlaceY(0) + 1));
  const uint32_t tinted = Screen(b.PlaceX(2) + 1, b.PlaceY(2) + 1);
  EXPECT_GT(tinted & 0xFF, 96u);
  EXPECT_GE((tinted >> 16) & 0xFF, 20u);
  // The flying decoy at half strength over picture 0.
  const uint32_t half = Screen(41, 3);
  EXPECT_NEAR(double((half >> 16) & 0xFF), 0.5, 1.0);  // picture 1's tag bit
  EXPECT_NEAR(double(half & 0xFF), (41 + 21) / 2.0, 1.0);
  // The held piece opaque, centred on the mouse, from its place's rectangle.
  EXPECT_EQ(Screen(30 - 4, 30 - 3), pic0(b.PlaceX(4), b.PlaceY(4)));
  EXPECT_EQ(Screen(30 + 3, 30 + 2), pic0(b.PlaceX(4) + 7, b.PlaceY(4) + 5));
}

TEST_F(Puzzle9Test, MissingPicturesDrawNothingWhileRulesRun) {
  holder_.SetPicture(nullptr, 0);
  holder_.SetPicture(nullptr, 1);
  game_.Begin();
  for (int i = 0; i < 60; ++i) {
    game_.Click(i * 7 % 90 - 20, i * 13 % 70 - 10);
    game_.Print();
  }
  EXPECT_EQ(game_.GetBoard().filled, (std::array<bool, 9>{}));
}

TEST(Puzzle9Tiny, AScreenTooSmallForTheGridStillPlays) {
  CScreenBuffer tiny(5, 3, 0);
  CAllMiniGame holder(nullptr, nullptr, 1);
  auto pic0 = Gradient(0, 5, 3), pic1 = Gradient(1, 5, 3);
  holder.SetPicture(pic0.get(), 0);
  holder.SetPicture(pic1.get(), 1);
  Driven<CMiniGamePuzzle9> game(&holder);
  game.Begin();
  for (int i = 0; i < 200; ++i) {
    game.Click(i % 7 - 1, i % 5 - 1);
    game.Print();
    EXPECT_GE(game.GetBoard().held, -1);
    EXPECT_LT(game.GetBoard().held, Puzzle9Board::kPieces);
  }
}

}  // namespace
