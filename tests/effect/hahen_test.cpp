// The shatter effect (#81) and its meshes.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>

#include "effect/effecthahen.h"
#include "effect/shattermesh.h"
#include "effect_fixture.h"
#include "setup/namelist.h"
#include "tools/common/hostfile.h"

namespace effect_test {
namespace {

uint32_t Coordinates(int x, int y) { return 0x010000u * static_cast<uint32_t>(x + 1) | static_cast<uint32_t>(y + 1); }

const char kNotFound[] = "\x95\xaa\x8a\x84" "File Not Found";
const char kFormatError[] = "\x95\xaa\x8a\x84" "File Format Error";

class ShatterEffectTest : public EffectTest {
 protected:
  CEffectHahen* Hahen() { return static_cast<CEffectHahen*>(manager_->GetEffect(81)); }
  void WriteMesh(int number, const std::string& text) {
    std::filesystem::create_directories(dir_->path() + "/mok");
    const std::string path = dir_->path() + "/mok/hahen" + std::to_string(number) + ".xtx";
    ASSERT_TRUE(toolsupport::WriteHostFile(path, text.data(), text.size()));
  }
  int CreatedLines() {
    int n = 0;
    for (const std::string& line : host_->DebugLines())
      n += line.find("Create New Bunkatus!!") != std::string::npos;
    return n;
  }
  const ShatterMesh& MeshOf(int channel) {
    const EffectChannel& r = *manager_->GetChannel(channel);
    const int i = Hahen()->FindMesh({r.Param(13), r.Param(14), r.Param(15), r.Param(16), r.Param(17)});
    EXPECT_GE(i, 0);
    return Hahen()->Mesh(std::max(i, 0));
  }
  // How many pixels show the picture where it was, how many are black.
  std::pair<int, int> InPlaceAndBlack() {
    int same = 0, black = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        same += At(x, y) == Coordinates(x, y);
        black += At(x, y) == 0;
      }
    return {same, black};
  }
};

TEST_F(ShatterEffectTest, DefaultsShatterAlongTheBuiltInMeshFromTheCentre) {
  ChannelPicture(5, kW, kH, Coordinates);
  ASSERT_EQ(Start(5, 81, {}), 1);
  const EffectChannel& record = *manager_->GetChannel(5);
  EXPECT_EQ(std::vector<int>(record.v + 29, record.v + 29 + 18),
            (std::vector<int>{20, 100, 100, kW / 2, kH / 2, 0, 20, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0, 0}));
  const ShatterMesh& mesh = MeshOf(5);
  EXPECT_EQ(mesh.VertexCount(), 66);
  EXPECT_EQ(mesh.PieceCount(), 32);
  EXPECT_EQ(mesh.xy[2 * 6], kW - 1);             // 639 scaled and held
  EXPECT_EQ(mesh.xy[2 * 11], 320 * kW / 640);    // vertex 11
  EXPECT_EQ(mesh.xy[2 * 11 + 1], 102 * kH / 480);
  // Frame 0: every piece in place, the picture covered but for seams.
  Frame();
  auto [same, black] = InPlaceAndBlack();
  EXPECT_EQ(same + black, kW * kH);
  EXPECT_GT(same, kW * kH * 85 / 100);
  // The top-left piece flies up and left, the bottom-right one down and right.
  EXPECT_LT(Hahen()->Pieces()[0].velocityX, 0);
  EXPECT_LT(Hahen()->Pieces()[0].velocityY, 0);
  EXPECT_GT(Hahen()->Pieces()[31].velocityX, 0);
  EXPECT_GT(Hahen()->Pieces()[31].velocityY, 0);
  for (int i = 0; i < 3; ++i) Frame();
  std::tie(same, black) = InPlaceAndBlack();
  EXPECT_LT(same, kW * kH / 2);
  EXPECT_EQ(manager_->GetEffect(81)->Finish(manager_->GetChannel(5), 5), 1);
  EXPECT_EQ(manager_->GetEffect(81)->Finish(manager_->GetChannel(5), 5), 1);
}

TEST_F(ShatterEffectTest, TheVelocitiesAreTheLastStarts) {
  ASSERT_EQ(Start(5, 81, {20, 100, 100, 0, 0}), 1);
  EXPECT_GT(Hahen()->Pieces()[0].velocityX, 0);  // away from the top-left corner
  ASSERT_EQ(Start(6, 81, {20, 100, 100, kW, kH}), 1);
  EXPECT_LT(Hahen()->Pieces()[0].velocityX, 0);  // both channels now fly from here
  EXPECT_LT(Hahen()->Pieces()[0].velocityY, 0);
}

TEST_F(ShatterEffectTest, PiecesCreepThenFlyAndFall) {
  ASSERT_EQ(Start(5, 81, {100, 100, 100, kW / 2, kH / 2, 10, 100}), 1);
  const EffectChannel& record = *manager_->GetChannel(5);
  const auto& s = Hahen()->Pieces()[0];
  double dx = 0, dy = 0;
  Hahen()->Flight(record, 0, 5, &dx, &dy);
  EXPECT_DOUBLE_EQ(dx, s.velocityX * 0.5);
  Hahen()->Flight(record, 0, 10, &dx, &dy);
  EXPECT_DOUBLE_EQ(dx, s.velocityX * 1.0);
  EXPECT_DOUBLE_EQ(dy, s.velocityY * 1.0);
  Hahen()->Flight(record, 0, 12, &dx, &dy);
  EXPECT_DOUBLE_EQ(dx, s.velocityX * 1.0 + s.velocityX * 2.0);
  EXPECT_DOUBLE_EQ(dy, s.velocityY * 1.0 + s.velocityY * 2.0 + 4 * s.gravity * 0.5);
  EXPECT_FLOAT_EQ(s.gravity, 1.0f);
  // The creep rate is held to the duration.
  ASSERT_EQ(Start(5, 81, {50, 100, 100, 0, 0, 10, 400}), 1);
  EXPECT_EQ(record.Param(6), 50);
}

TEST_F(ShatterEffectTest, TheOpacityCurveFadesThePieces) {
  ChannelPicture(5, kW, kH, Coordinates);
  // No speed, no gravity: the pieces stay in place while they fade.
  ASSERT_EQ(Start(5, 81, {20, 0, 0, kW / 2, kH / 2, 0, 100, 0, 0, 0, 100}), 1);
  Frame();
  EXPECT_EQ(At(20, 20), Coordinates(20, 20));
  for (int i = 0; i < 9; ++i) Frame();
  Clear(0);
  Frame();  // counter 10 of 20: opacity 128
  const uint32_t c = Coordinates(20, 20);
  const uint32_t half = ((c >> 16 & 255) * 128 >> 8) << 16 | ((c & 255) * 128 >> 8);
  EXPECT_EQ(At(20, 20), half);
  for (int i = 0; i < 10; ++i) Frame();
  EXPECT_TRUE(ScreenIs(0));
}

TEST_F(ShatterEffectTest, MeshesAreMadeOncePerKey) {
  host_->ClearDebugLines();
  ASSERT_EQ(Start(5, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 1, 1, 1, 0, 7}), 1);
  ASSERT_EQ(Start(6, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 1, 1, 1, 0, 7}), 1);
  EXPECT_EQ(CreatedLines(), 1);
  // The fourth value names another mesh.
  ASSERT_EQ(Start(6, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 1, 1, 1, 0, 8}), 1);
  EXPECT_EQ(CreatedLines(), 2);
  // Kind 0 clears its values and finds the built-in mesh.
  ASSERT_EQ(Start(6, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 0, 4, 4, 4, 4}), 1);
  EXPECT_EQ(CreatedLines(), 2);
  EXPECT_EQ(manager_->GetChannel(6)->Param(14), 0);
  for (int i = 0; i < 12; ++i)
    ASSERT_EQ(Start(6, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 1, 0, 1, 0, 100 + i}), 1);
  EXPECT_EQ(Hahen()->GetMeshCount(), 15);
  EXPECT_EQ(Hahen()->GetMeshCapacity(), 20);
  // A record naming a mesh never made draws nothing.
  ChannelPicture(7, kW, kH, Coordinates);
  ASSERT_EQ(Start(7, 81, {}), 1);
  manager_->GetChannel(7)->Param(17) = 999;
  Frame();
  EXPECT_TRUE(ScreenIs(0));
}

// Shape, then vertex and piece counts for density 1 (4 rows, 5 columns).
TEST_F(ShatterEffectTest, GeneratedShapesHaveTheirCountsAndEdges) {
  struct Case {
    int shape, vertices, pieces;
  };
  for (const Case& c : {Case{0, 7 * 5, 4 * 11}, Case{1, 6 * 5, 20}, Case{2, 7 * 4 * 2, 11 * 4 / 2}})
    for (int jitter : {0, 4}) {
      ShatterMesh mesh;
      crt::srand(1);
      ASSERT_TRUE(GenerateShatterMesh(c.shape, 1, jitter, kW, kH, &mesh));
      EXPECT_EQ(mesh.VertexCount(), c.vertices) << c.shape;
      EXPECT_EQ(mesh.PieceCount(), c.pieces) << c.shape;
      // Sized once, to the counts it ends with.
      EXPECT_EQ(mesh.xy.capacity(), mesh.xy.size()) << c.shape;
      EXPECT_EQ(mesh.pieces.capacity(), mesh.pieces.size()) << c.shape;
      int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
      for (int v = 0; v < mesh.VertexCount(); ++v) {
        minX = std::min(minX, mesh.xy[2 * v]);
        maxX = std::max(maxX, mesh.xy[2 * v]);
        minY = std::min(minY, mesh.xy[2 * v + 1]);
        maxY = std::max(maxY, mesh.xy[2 * v + 1]);
      }
      EXPECT_EQ(minX, 0);
      EXPECT_EQ(maxX, kW - 1);
      EXPECT_EQ(minY, 0);
      EXPECT_EQ(maxY, kH - 1);
      for (const auto& piece : mesh.pieces)
        for (int k = 1; k <= piece[0]; ++k) {
          ASSERT_GE(piece[k], 0);
          ASSERT_LT(piece[k], mesh.VertexCount());
          if (jitter == 0) {
            EXPECT_LE(mesh.xy[2 * piece[1] + 1], mesh.xy[2 * piece[k] + 1]);
          }
        }
    }
  // Without jitter the grid is exact: quads at (w k / 5, h r / 4).
  ShatterMesh quads;
  ASSERT_TRUE(GenerateShatterMesh(1, 1, 0, kW, kH, &quads));
  EXPECT_EQ(quads.xy[2 * 7], kW * 1 / 5);
  EXPECT_EQ(quads.xy[2 * 7 + 1], kH * 1 / 4);
  // The top corners lie level: the quad starts at its top-right corner.
  EXPECT_EQ(quads.pieces[0], (ShatterMesh::Piece{4, 1, 0, 6, 7}));
  EXPECT_EQ(quads.pieces[5], (ShatterMesh::Piece{4, 7, 6, 12, 13}));
  // Bricks: odd rows start half a cell to the left.
  ShatterMesh bricks;
  ASSERT_TRUE(GenerateShatterMesh(2, 1, 0, kW, kH, &bricks));
  const int odd = 2 * 7;  // first vertex of row 1
  EXPECT_EQ(bricks.xy[2 * (odd + 2)], kW / 5 - kW / 5 / 2);
  EXPECT_EQ(bricks.xy[2 * (odd + 2) + 1], kH / 4);
}

TEST_F(ShatterEffectTest, JitterDrawsVertexByVertexXBeforeY) {
  ShatterMesh mesh;
  crt::srand(3);
  ASSERT_TRUE(GenerateShatterMesh(1, 1, 4, kW, kH, &mesh));
  crt::srand(3);
  const int fx = (kW / 5) * 4 / 10, fy = (kH / 4) * 4 / 10;
  for (int v = 0; v < 8; ++v) {
    const int dx = crt::rand() % (2 * fx + 1) - fx, dy = crt::rand() % (2 * fy + 1) - fy;
    if (v == 7) {  // row 1, column 1: inside
      EXPECT_EQ(mesh.xy[2 * v], kW / 5 + dx);
      EXPECT_EQ(mesh.xy[2 * v + 1], kH / 4 + dy);
    }
  }
}

TEST_F(ShatterEffectTest, UnusableGeneratedMeshesCopyTheBuiltInOne) {
  ShatterMesh mesh;
  EXPECT_FALSE(GenerateShatterMesh(1, -1, 0, kW, kH, &mesh));
  EXPECT_FALSE(GenerateShatterMesh(3, 1, 0, kW, kH, &mesh));
  EXPECT_FALSE(GenerateShatterMesh(0, 30, 0, kW, kH, &mesh));  // cells under a pixel
  EXPECT_FALSE(GenerateShatterMesh(0, INT_MAX, 0, kW, kH, &mesh));
  EXPECT_TRUE(GenerateShatterMesh(0, kH / 2 - 1, 0, kW, kH, &mesh));
  // Cells of a pixel or three: the shifted rows' last columns and the
  // jitter stay on the screen.
  for (int shape : {0, 1, 2}) {
    ASSERT_TRUE(GenerateShatterMesh(shape, 0, 4, 3, 2, &mesh));
    ASSERT_TRUE(GenerateShatterMesh(shape, 1, 4, 16, 4, &mesh));
    for (int v = 0; v < mesh.VertexCount(); ++v) {
      EXPECT_LT(mesh.xy[2 * v], 16);
      EXPECT_LT(mesh.xy[2 * v + 1], 4);
      EXPECT_GE(mesh.xy[2 * v], 0);
    }
  }
  for (int density : {-1, 30, INT_MIN}) {
    ASSERT_EQ(Start(5, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 1, 0, density}), 1);
    EXPECT_EQ(MeshOf(5).xy, Hahen()->Mesh(0).xy);
  }
  ASSERT_EQ(Start(5, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 7, 1, 1}), 1);
  EXPECT_EQ(MeshOf(5).PieceCount(), 32);
}

TEST_F(ShatterEffectTest, MeshFilesAreCheckedBeforeUse) {
  // Three vertices and one triangle, then the same with problems.
  const std::string good = "0 3  0 0  10 20  20 20  1  3 0 1 2";
  struct Case {
    const char* name;
    std::string text;
    bool valid;
  };
  const Case cases[] = {
      {"valid", good, true},
      {"trailing junk", good + " 7", true},
      {"one polygon too many", "0 3 0 0 10 20 20 20 1 3 0 1 2 3 0 2 1", false},
      {"P - 1 polygons", "0 3 0 0 10 20 20 20 2 3 0 1 2", false},
      {"V too large", "0 2000000000 0 0 10 20 20 20 1 3 0 1 2", false},
      {"vertex off the screen", "0 3 0 0 64 20 20 20 1 3 0 1 2", false},
      {"negative vertex", "0 3 0 -1 10 20 20 20 1 3 0 1 2", false},
      {"n = 2", "0 3 0 0 10 20 20 20 1 2 0 1", false},
      {"n = 16", "0 3 0 0 10 20 20 20 1 16 0 1 2 0 1 2 0 1 2 0 1 2 0 1 2 0", false},
      {"index of V", "0 3 0 0 10 20 20 20 1 3 0 1 3", false},
      {"P too large", "0 3 0 0 10 20 20 20 99999999 3 0 1 2", false},
      {"non-numeric", "0 3 0 0 x 20 20 20 1 3 0 1 2", true},  // read as 0
      {"no P", "0 3 0 0 10 20 20 20", false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    CNameList list;
    std::string token;
    for (char ch : c.text + " ") {
      if (ch != ' ') {
        token += ch;
      } else if (!token.empty()) {
        list.Add(token.c_str(), true);
        token.clear();
      }
    }
    ShatterMesh mesh;
    EXPECT_EQ(ReadShatterMesh(list, kW, kH, &mesh), c.valid) << c.name;
  }
}

TEST_F(ShatterEffectTest, BadOrMissingFilesGetTheirBoxesAndTheBuiltInMesh) {
  WriteMesh(5, "0 3  0 0  10 20  20 20  1  3 0 1 2  3 0 1 2");
  WriteMesh(6, "0,3,0,0,10,20,20,20,1,3,0,1,2");
  host_->ClearBoxes();
  ASSERT_EQ(Start(5, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 2, 5, 9, 9, 9}), 1);
  EXPECT_EQ(manager_->GetChannel(5)->Param(15), 0);
  ASSERT_EQ(host_->Boxes().size(), 1u);
  EXPECT_EQ(host_->Boxes()[0].caption, kFormatError);
  EXPECT_EQ(host_->Boxes()[0].text, "mok\\hahen5.xtx");
  EXPECT_EQ(MeshOf(5).xy, Hahen()->Mesh(0).xy);

  host_->ClearBoxes();
  ASSERT_EQ(Start(5, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 2, 77}), 1);
  const auto boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "file not found");  // the list reader's own
  EXPECT_EQ(boxes[1].caption, kNotFound);
  EXPECT_EQ(boxes[1].text, "mok\\hahen77.xtx");
  EXPECT_EQ(MeshOf(5).PieceCount(), 32);

  host_->ClearBoxes();
  ASSERT_EQ(Start(5, 81, {20, 100, 100, 0, 0, 0, 0, 0, 0, 100, 100, 0, 0, 2, 6}), 1);
  EXPECT_TRUE(host_->Boxes().empty());
  EXPECT_EQ(MeshOf(5).PieceCount(), 1);
  EXPECT_EQ(MeshOf(5).xy, (std::vector<int>{0, 0, 10, 20, 20, 20}));
}

TEST_F(ShatterEffectTest, PiecesReadOnlyInsideASmallerPicture) {
  ChannelPicture(5, 8, 8, Coordinates);
  ASSERT_EQ(Start(5, 81, {20, 0, 0}), 1);
  Frame();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (x >= 8 || y >= 8) {
        ASSERT_EQ(At(x, y), 0u) << x << "," << y;
      }
  EXPECT_EQ(At(3, 3), Coordinates(3, 3));
}

TEST_F(ShatterEffectTest, PiecesFarBeyondThePicturesSizeAreSkipped) {
  ChannelPicture(5, 8, 8, Coordinates);
  ASSERT_EQ(Start(5, 81, {20, 60, 0, 0, 0}), 1);
  Frame();
  EXPECT_EQ(At(3, 3), Coordinates(3, 3));
  Frame();
  Frame();  // counter 2
  double dx = 0, dy = 0;
  for (int i = 0; i < 32; ++i) {
    Hahen()->Flight(*manager_->GetChannel(5), i, 2, &dx, &dy);
    // On a screen-sized test the top-left piece would still show.
    if (i == 0) {
      EXPECT_TRUE(dx > 16 && dx < kW && dy < kH) << dx << "," << dy;
    }
    ASSERT_FALSE(dx >= -8 && dx <= 16 && dy >= -8 && dy <= 16) << "piece " << i << " stays near";
  }
  EXPECT_TRUE(ScreenIs(0));
}

TEST_F(ShatterEffectTest, PiecesAgainstTheConventionStayInTheirCorners) {
  std::vector<uint32_t> picture(size_t{kW} * kH, 0xABCDEFu);
  // Each: corners (the first repeated by the test), moved by (ox, oy).
  const std::vector<std::vector<int>> pieces = {
      {0, 0, 30, 0, 30, 30, 0, 30},              // clockwise
      {10, 40, 0, 0, 40, 0},                     // first vertex at the bottom
      {20, 0, 0, 40, 40, 10, 0, 10, 40, 40},     // crossing itself
      {5, 5, 5, 5, 5, 5},                        // one point
      {0, 0, 63, 47, 0, 47, 63, 0, 30, 20},      // a bow tie
  };
  for (const auto& corners : pieces)
    for (int shift : {-100, -5, 0, 7, 100}) {
      std::vector<int> ring = corners;
      ring.push_back(corners[0]);
      ring.push_back(corners[1]);
      const int n = static_cast<int>(corners.size() / 2);
      int minY = INT_MAX, maxY = INT_MIN;
      for (int i = 0; i < n; ++i) {
        minY = std::min(minY, corners[2 * i + 1]);
        maxY = std::max(maxY, corners[2 * i + 1]);
      }
      int minX = INT_MAX, maxX = INT_MIN;
      for (int i = 0; i < n; ++i) {
        minX = std::min(minX, corners[2 * i]);
        maxX = std::max(maxX, corners[2 * i]);
      }
      Clear(0);
      FillShatterPiece(picture.data(), kW, kH, n, shift, shift / 2, maxY - minY + 1, ring.data(), 256);
      // Nothing outside the piece's box moved by the offset.
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
          if (At(x, y) != 0) {
            ASSERT_GE(x - shift, minX);
            ASSERT_LE(x - shift, maxX);
            ASSERT_GE(y - shift / 2, minY);
            ASSERT_LE(y - shift / 2, maxY);
          }
      FillShatterPiece(picture.data(), kW, kH, n, shift, shift, maxY - minY + 1, ring.data(), 100);
    }
}

}  // namespace
}  // namespace effect_test
