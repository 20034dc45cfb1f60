#include "minigame/puzzle9.h"

#include "input/inputstatus.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/puzzlecommon.h"
#include "setup/random.h"

void Puzzle9Board::SetScreen(int width, int height) {
  screenW = width;
  screenH = height;
  w = puzzle::Cell(width, 8);
  h = puzzle::Cell(height, 8);
  ox = puzzle::Cell(width, 16);
  oy = puzzle::Cell(height, 16);
}

int Puzzle9Board::PlaceAt(int x, int y) const {
  // Compared before subtracting, so a far-off point cannot overflow.
  if (x < ox || y < oy) return -1;
  const int dx = x - ox, dy = y - oy;
  if (dx % (2 * w) < w || dy % (2 * h) < h) return -1;
  const int col = dx / (2 * w), row = dy / (2 * h);
  if (col >= 3 || row >= 3) return -1;
  return row * 3 + col;
}

int Puzzle9Board::PieceAt(int x, int y) const {
  for (int i = kPieces - 1; i >= 0; --i) {
    const Piece& p = pieces[i];
    if (p.active && x >= p.x && x < p.x + w && y >= p.y && y < p.y + h) return i;
  }
  return -1;
}

int Puzzle9Board::FilledCount() const {
  int n = 0;
  for (bool f : filled) n += f ? 1 : 0;
  return n;
}

void Puzzle9Board::NewFlight(Piece& p) const {
  const int side = crt::rand() % 4;
  p.x = crt::rand() % (screenW + 2 * w) + w;
  p.y = crt::rand() % (screenH + 2 * h) + h;
  const int signX = crt::rand() % 2;
  p.vx = crt::rand() % 7 + 3;
  if (signX == 0) p.vx = -p.vx;
  const int signY = crt::rand() % 2;
  p.vy = crt::rand() % 7 + 3;
  if (signY == 0) p.vy = -p.vy;
  auto positive = [](int v) { return v < 0 ? -v : v; };
  switch (side) {
    case 0: p.y = -h; p.vy = positive(p.vy); break;
    case 1: p.y = screenH + h; p.vy = -positive(p.vy); break;
    case 2: p.x = -w; p.vx = positive(p.vx); break;
    default: p.x = screenW + w; p.vx = -positive(p.vx); break;
  }
}

void Puzzle9Board::NewSource(Piece& p) const {
  p.srcX = crt::rand() % 4 * 2 * w + ox;
  p.srcY = crt::rand() % 4 * 2 * h + oy;
}

void Puzzle9Board::Deal() {
  filled.fill(false);
  held = -1;
  cleared = false;
  for (int i = 0; i < kPieces; ++i) {
    Piece& p = pieces[i];
    p = Piece{};
    p.active = true;
    if (i < kPlaces) {
      p.target = i;
      p.picture = 0;
      p.srcX = PlaceX(i);
      p.srcY = PlaceY(i);
    } else {
      p.picture = 1;
      NewSource(p);
    }
    NewFlight(p);
  }
}

void Puzzle9Board::Move() {
  for (Piece& p : pieces) {
    if (!p.active) continue;
    p.x += p.vx;
    p.y += p.vy;
    if (p.x < -2 * w || p.x > screenW + w || p.y < -2 * h || p.y > screenH + h) {
      NewFlight(p);
      if (p.target < 0) NewSource(p);
    }
  }
}

int Puzzle9Board::Click(int x, int y) {
  if (held < 0) {
    held = PieceAt(x, y);
    if (held >= 0) pieces[held].active = false;
    return CAllMiniGame::kClick;
  }
  Piece& p = pieces[held];
  const int place = PlaceAt(x, y);
  held = -1;
  if (place >= 0 && !filled[place] && place == p.target) {
    filled[place] = true;
    p.active = true;
    p.target = -1;
    NewSource(p);
    NewFlight(p);
    if (FilledCount() == kPlaces) {
      cleared = true;
      return CAllMiniGame::kClear;
    }
    return CAllMiniGame::kGood;
  }
  // Released where it was caught; only a wrong hole complains.
  p.active = true;
  return place >= 0 && !filled[place] ? CAllMiniGame::kBad : -1;
}

CMiniGamePuzzle9::CMiniGamePuzzle9(CAllMiniGame* holder) : CMiniGameBase(holder) {}

CMiniGamePuzzle9::~CMiniGamePuzzle9() { Release(); }

int CMiniGamePuzzle9::Init() {
  board_.SetScreen(CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight());
  board_.Deal();
  clearFlag_ = 0;
  CScreenBuffer::SetFullRedraw(0);
  return -1;
}

int CMiniGamePuzzle9::Calcu() {
  if (clearFlag_) return -1;
  board_.Move();
  const puzzle::Click click = puzzle::LeftClick(mouseStatus_);
  if (!click.down) return -1;
  const int sound = board_.Click(click.x, click.y);
  if (sound >= 0) puzzle::RequestSound(holder_, sound);
  if (board_.cleared) clearFlag_ = 1;
  return -1;
}

int CMiniGamePuzzle9::Print() {
  CScreenBuffer::SetFullRedraw(0);
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  puzzle::CopyCell(picture_[0], 0, 0, 0, 0, W, H);
  if (clearFlag_) return -1;
  const Puzzle9Board& b = board_;
  for (int i = 0; i < Puzzle9Board::kPlaces; ++i)
    if (!b.filled[i]) CAllGeo::TransBoxFill(b.PlaceX(i), b.PlaceY(i), b.w, b.h, 32, 64, 128, 80);
  for (const Puzzle9Board::Piece& p : b.pieces) {
    CPicture* picture = picture_[p.picture];
    if (p.active && picture) picture->TransLucentBlt0(p.x, p.y, p.srcX, p.srcY, b.w, b.h, 50);
  }
  if (b.held >= 0 && mouseStatus_) {
    const Puzzle9Board::Piece& p = b.pieces[b.held];
    CPicture* picture = picture_[p.picture];
    if (picture) {
      const platform::Point m = puzzle::MousePos(mouseStatus_);
      picture->Blt(m.x - b.w / 2, m.y - b.h / 2, p.srcX, p.srcY, b.w, b.h, 0);
    }
  }
  return -1;
}
