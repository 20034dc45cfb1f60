#include "message/facecontrol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message_fixture.h"
#include "setup/namelist.h"
#include "setup/random.h"

namespace message_test {
namespace {

constexpr uint32_t kGrey = 0x404040;

// Colour of sheet cell p.
uint32_t CellColour(int p) { return 0x100000u * static_cast<uint32_t>(p + 1) + 0x20; }

class FaceControlTest : public MessageTest {
 protected:
  void SetUp() override {
    MessageTest::SetUp();
    CNameList::ResetInit2Check();
    crt::ResetRandom();
  }
  // Five pairs, so five faces; the row is the face number and row 0 never
  // shows.
  void FaceList() {
    dir_.Write("spt/facelist.xtx", "no header\n1 Mika\n2 Ren\n3 Sora\n4 Yui\n");
    ASSERT_EQ(list_.Load("spt\\facelist.xtx", false, true), 1);
  }
  void Settings(const std::string& text) { dir_.Write("init/face.xtx", text); }
  // A sheet of columns x rows cells of 16 x 16, cell p in CellColour(p).
  void WriteSheet(const std::string& name, int columns, int rows) {
    dwqtool::Picture p{16 * columns, 16 * rows, {}, {}};
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) p.pixels.push_back(CellColour(y / 16 * columns + x / 16));
    testsupport::WriteDwq(dir_, "sys/" + name, p);
  }
  CNameList list_;
};

TEST_F(FaceControlTest, PictureNames) {
  FaceList();
  Settings("customFaceNameFlag 1\nfilenameFace3 sora_face\n");
  CFaceControl faces(&list_);
  EXPECT_EQ(faces.GetPictureName(2, 1), "ta_sys_face2");
  EXPECT_EQ(faces.GetPictureName(2, 3), "ta_sys_face2__3");
  EXPECT_EQ(faces.GetPictureName(3, 3), "sora_face__3");
  EXPECT_EQ(faces.GetPictureName(3, 1), "sora_face");
}

TEST_F(FaceControlTest, TypeCountsAndRecordsRepeatWhatCameBefore) {
  FaceList();
  Settings(
      "faceType2 3\nface4TypeNumber 0\n"
      "face2Type1animePattern 3\nface2Type1animeType 5\nface2Type1animeSpeed 4\n"
      "face2Type2animeSpeed 9\nface2Type3animePattern 1\n");
  CFaceControl faces(&list_);
  EXPECT_EQ(faces.GetTypeCount(1), 1);
  EXPECT_EQ(faces.GetTypeCount(2), 3);
  EXPECT_EQ(faces.GetTypeCount(3), 3);  // the previous face's count
  EXPECT_EQ(faces.GetTypeCount(4), 1);  // below 1 counts as 1
  const auto* r2 = faces.GetRecord(2, 2);
  ASSERT_NE(r2, nullptr);
  EXPECT_EQ(r2->patterns, 3);
  EXPECT_EQ(r2->type, 5);
  EXPECT_EQ(r2->speed, 9);
  const auto* r3 = faces.GetRecord(2, 3);
  EXPECT_EQ(r3->patterns, 1);
  EXPECT_EQ(r3->speed, 9);  // keys after a single pattern are not read
  EXPECT_EQ(faces.GetRecord(2, 4), nullptr);
  EXPECT_EQ(faces.GetRecord(0, 1), nullptr);
}

TEST_F(FaceControlTest, PauseFromTheWaitRange) {
  FaceList();
  Settings(
      "face1Type1animePattern 2\nface1Type1WaitMin 30\nface1Type1WaitMax 10\n"
      "face1Type2animePattern 2\nfaceType1 2\nface1Type2WaitMin 5\nface1Type2WaitMax 8\n");
  CFaceControl faces(&list_);
  faces.SetFaceType(1, 1);
  EXPECT_EQ(faces.GetPauseLength(), 30);
  for (int i = 0; i < 20; ++i) {
    faces.SetFaceType(1, 2);
    EXPECT_GE(faces.GetPauseLength(), 5);
    EXPECT_LE(faces.GetPauseLength(), 8);
  }
  faces.SetFaceType(1, 7);  // no such type: one pattern, no pause
  EXPECT_EQ(faces.GetPauseLength(), 0);
  EXPECT_EQ(faces.GetFaceType(1), 7);
}

TEST_F(FaceControlTest, DrawsTheSpeakersPatternsFromTheSheet) {
  FaceList();
  Settings(
      "printX 4\nprintY 8\nsizeX 16\nsizeY 16\n"
      "face2Type1animePattern 6\nface2Type1animeType 1\nface2Type1animeSpeed 1\n");
  WriteSheet("ta_sys_face2", 3, 2);
  CFaceControl faces(&list_);
  // No type yet, an unknown speaker, and the header row draw nothing.
  FillScreen(kGrey);
  faces.Print("ren");
  faces.SetFaceType(2, 1);
  faces.Print("nobody");
  faces.Print("no");
  EXPECT_EQ(Screen(5, 9), kGrey);
  // The speaker's name is found without regard to case; one pattern a frame.
  for (int frame = 0; frame < 6; ++frame) {
    faces.Print("REN");
    EXPECT_EQ(Screen(5, 9), CellColour(frame)) << frame;
    EXPECT_EQ(Screen(4 + 15, 8 + 15), CellColour(frame)) << frame;
  }
  faces.Print("Ren");
  EXPECT_EQ(Screen(5, 9), CellColour(0));
  // A forced face number wins over the name.
  faces.SetFaceNumber(2);
  faces.Print("Mika");
  EXPECT_EQ(Screen(5, 9), CellColour(1));
}

TEST_F(FaceControlTest, CrossFadeAndAZeroWidthPattern) {
  FaceList();
  Settings(
      "printX 4\nprintY 8\nsizeX 16\nsizeY 16\n"
      "face1Type1animePattern 2\nface1Type1animeType 5\nface1Type1animeSpeed 2\n");
  WriteSheet("ta_sys_face1", 2, 1);
  CFaceControl faces(&list_);
  faces.SetFaceType(1, 1);
  FillScreen(kGrey);
  faces.Print("Mika");  // percent 100: pattern 0 alone
  EXPECT_EQ(Screen(5, 9), CellColour(0));
  faces.Print("Mika");  // percent 50: halfway to pattern 1
  const uint32_t half = Screen(5, 9);
  EXPECT_NE(half, CellColour(0));
  EXPECT_NE(half, CellColour(1));

  Settings("sizeX 0\nsizeY -3\n");
  CFaceControl zero(&list_);
  zero.SetFaceType(1, 1);
  zero.Print("Mika");  // no division by zero, nothing outside the sheet read
}

TEST_F(FaceControlTest, SaveAndLoad) {
  FaceList();
  Settings("");
  CFaceControl faces(&list_);
  EXPECT_EQ(faces.GetDataSize(), 256 * 4);
  for (int f = 1; f <= 5; ++f) faces.SetFaceType(f, 10 + f);
  faces.SetFaceNumber(3);
  std::vector<uint8_t> chunk(faces.GetDataSize(), 0xEE);
  faces.SaveData(chunk.data(), chunk.size());
  EXPECT_EQ(chunk[24], 0xEE);  // 6 words written
  EXPECT_EQ(chunk[0], 3);
  EXPECT_EQ(chunk[4 * 5], 15);

  CFaceControl back(&list_);
  back.LoadData(chunk.data(), chunk.size());
  for (int f = 1; f <= 5; ++f) EXPECT_EQ(back.GetFaceType(f), 10 + f);
  EXPECT_EQ(back.GetFaceNumber("Mika"), 3);

  // A chunk shorter than the list: what it holds, 0 for the rest.
  back.LoadData(chunk.data(), 10);
  EXPECT_EQ(back.GetFaceType(1), 11);
  EXPECT_EQ(back.GetFaceType(2), 0);
  back.Reset();
  EXPECT_EQ(back.GetFaceType(1), 0);
  EXPECT_EQ(back.GetFaceNumber("Mika"), 1);
}

TEST_F(FaceControlTest, HugeSettingsStaySmall) {
  FaceList();
  Settings("faceType1 2000000000\nmaxSave 2000000000\n");
  CFaceControl faces(&list_);
  EXPECT_EQ(faces.GetTypeCount(1), 1);
  EXPECT_LE(faces.GetDataSize(), CFaceControl::kMaxSaveCapacity * 4);
  CFaceControl none(nullptr);
  none.SetFaceType(1, 1);
  none.Print("Mika");
  EXPECT_EQ(none.GetFaceCount(), 0);
}

}  // namespace
}  // namespace message_test
