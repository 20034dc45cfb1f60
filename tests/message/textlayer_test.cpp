#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/picture.h"
#include "message/textlayer.h"
#include "message_fixture.h"
#include "support/text.h"

namespace message_test {
namespace {

class TextLayerTest : public MessageTest {
 protected:
  void SetUp() override {
    MessageTest::SetUp();
    work_ = std::make_unique<CPicture>(kW, 72, 1);
    std::fill_n(work_->GetPixelBuffer(), kW * 72, 0xFFFFFFu);
    std::fill_n(work_->GetMask(), kW * 72, uint8_t{255});
  }
  int Store(CTextLayer& layer, const std::string& text, int height, int outline = -1,
            int size = 24) {
    const LineKey key = MakeLineKey(text.c_str(), text.c_str(), static_cast<int>(text.size()));
    return layer.Store(key, size, 255, 255, 255, 0, outline, 40, height, work_.get(), nullptr);
  }
  int Find(const CTextLayer& layer, const std::string& text, int outline = -1) {
    const LineKey key = MakeLineKey(text.c_str(), text.c_str(), static_cast<int>(text.size()));
    return layer.Find(key, 24, 255, 255, 255, 0, outline);
  }
  static int Top(const CTextLayer& layer, int entry) {
    int x = 0, y = 0;
    layer.GetLinePos(entry, &x, &y);
    return y;
  }
  std::unique_ptr<CPicture> work_;
};

TEST_F(TextLayerTest, A600RowScreenHolds37LinesAndThe38thEvictsTheOldest) {
  MakeScreen(64, 600);
  CTextLayer layer(0);
  EXPECT_EQ(layer.GetCapacity(), 37);
  for (int i = 0; i < 37; ++i) ASSERT_GE(Store(layer, "line" + std::to_string(i), 12), 0);
  EXPECT_EQ(layer.GetCount(), 37);
  EXPECT_GE(Find(layer, "line0"), 0);
  EXPECT_GE(Store(layer, "line37", 12), 0);
  EXPECT_EQ(layer.GetCount(), 37);
  EXPECT_EQ(Find(layer, "line0"), -1);
  EXPECT_GE(Find(layer, "line1"), 0);
  EXPECT_GE(Find(layer, "line37"), 0);
}

TEST_F(TextLayerTest, BandsWrapToTheTopWhenTheBottomIsTooSmall) {
  MakeScreen(64, 100);
  CTextLayer layer(0);
  std::vector<int> tops;
  for (int i = 0; i < 6; ++i) tops.push_back(Top(layer, Store(layer, testsupport::Numbered("l", i), 24)));
  EXPECT_EQ(tops, (std::vector<int>{0, 24, 48, 72, 0, 24}));
  EXPECT_EQ(Find(layer, "l0"), -1);
  EXPECT_EQ(Find(layer, "l1"), -1);
  EXPECT_GE(Find(layer, "l2"), 0);
}

TEST_F(TextLayerTest, BandsFollowTheLineHeightWhateverTheSize) {
  // Free rows used to be compared with the font size: size 0 then put a
  // band at the bottom edge of the layer.
  MakeScreen(64, 100);
  CTextLayer layer(0);
  std::vector<int> tops;
  for (int i = 0; i < 6; ++i)
    tops.push_back(Top(layer, Store(layer, testsupport::Numbered("l", i), 24, -1, 0)));
  EXPECT_EQ(tops, (std::vector<int>{0, 24, 48, 72, 0, 24}));
  // A line taller than the layer fails after evicting everything.
  EXPECT_EQ(Store(layer, "tall", 101), -1);
  EXPECT_EQ(layer.GetCount(), 0);
}

TEST_F(TextLayerTest, KeysOf255BytesAreNeverStoredNorFound) {
  CTextLayer layer(0);
  const std::string k254(254, 'a'), k255(255, 'a');
  EXPECT_EQ(Store(layer, k255, 24), -1);
  EXPECT_EQ(Find(layer, k255), -1);
  EXPECT_GE(Store(layer, k254, 24), 0);
  EXPECT_GE(Find(layer, k254), 0);
}

TEST_F(TextLayerTest, LinesSharingTheirFirst254BytesStayApart) {
  CTextLayer layer(0);
  const std::string head(254, 'x');
  const std::string lineA = head + "A tail", lineB = head + "B tail";
  const LineKey a = MakeLineKey(head.c_str(), lineA.c_str(), static_cast<int>(lineA.size()));
  const LineKey b = MakeLineKey(head.c_str(), lineB.c_str(), static_cast<int>(lineB.size()));
  ASSERT_GE(layer.Store(a, 24, 1, 2, 3, 0, -1, 40, 24, work_.get(), nullptr), 0);
  EXPECT_GE(layer.Find(a, 24, 1, 2, 3, 0, -1), 0);
  EXPECT_EQ(layer.Find(b, 24, 1, 2, 3, 0, -1), -1);
}

TEST_F(TextLayerTest, OutlineColourIsPartOfTheKey) {
  CTextLayer layer(0);
  const int first = Store(layer, "same", 24, 0x000000);
  const int second = Store(layer, "same", 24, 0x000001);
  EXPECT_NE(first, second);
  EXPECT_EQ(Find(layer, "same", 0x000000), first);
  EXPECT_EQ(Find(layer, "same", 0x000001), second);
  EXPECT_EQ(Find(layer, "same", -1), -1);
}

TEST_F(TextLayerTest, SoftEdgesFadeInEightSteps) {
  CTextLayer layer(0);
  const LineKey key = MakeLineKey("w", "w", 1);
  const int entry = layer.Store(key, 24, 255, 255, 255, 0, -1, kW, 24, work_.get(), nullptr);
  FillScreen(0);
  layer.DrawLineSoft(100, 300, 16, 0, 10, 0, Top(layer, entry), kW, 24);
  auto at = [](int x) { return Screen(x, 12) & 0xFF; };
  EXPECT_EQ(at(99), 0u);
  EXPECT_EQ(at(300), 0u);
  EXPECT_EQ(at(100), at(101));
  EXPECT_NEAR(at(100), 255.0 * 11 / 100, 2.0);  // 11 %
  EXPECT_LT(at(101), at(102));
  EXPECT_EQ(at(114), at(115));
  EXPECT_NEAR(at(114), 255.0 * 88 / 100, 2.0);  // 88 %
  EXPECT_EQ(at(116), 255u);
  EXPECT_EQ(at(283), 255u);
  EXPECT_EQ(at(284), at(114));
  EXPECT_EQ(at(298), at(100));
  EXPECT_EQ(at(299), at(100));
}

TEST_F(TextLayerTest, ClearEmptiesTheRing) {
  CTextLayer layer(0);
  Store(layer, "a", 24);
  layer.Clear();
  EXPECT_EQ(layer.GetCount(), 0);
  EXPECT_EQ(layer.GetFreeRows(), kH);
  EXPECT_EQ(Find(layer, "a"), -1);
}

}  // namespace
}  // namespace message_test
