// Snow (#14, #57), petals (#12) and rain (#13).
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <set>

#include "tools/common/hostfile.h"
#include "dwqwriter.h"
#include "effect/particleeffects.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

class ParticleTest : public EffectTest {
 protected:
  // A sheet in the game folder whose band b is coloured BandColour(b).
  void WriteSheet(const char* name, int w, int h, const std::vector<int>& bandTops) {
    dwqtool::Picture sheet{w, h, {}, {}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int band = 0;
        for (size_t b = 0; b < bandTops.size(); ++b)
          if (y >= bandTops[b]) band = static_cast<int>(b);
        sheet.pixels.push_back(BandColour(band));
        sheet.alpha.push_back(255);
      }
    dwqtool::Options options;
    options.mask = true;
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(dwqtool::MakeDwq(sheet, options, &bytes, &error)) << error;
    std::filesystem::create_directories(dir_->path() + "/dwq/sys");
    ASSERT_TRUE(toolsupport::WriteHostFile(dir_->path() + "/dwq/sys/" + name + ".dwq",
                                           bytes.data(), bytes.size()));
  }
  static uint32_t BandColour(int band) { return 0x100000u * static_cast<uint32_t>(band + 1) | 0x55; }
  // A new manager (the particle objects load their sheets when made).
  void Rebuild(uint32_t seed) {
    manager_.reset();
    crt::srand(seed);
    manager_ = std::make_unique<CEffectManager>(kExtra);
  }
  std::set<uint32_t> Colours() {
    std::set<uint32_t> colours;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (At(x, y) != 0) colours.insert(At(x, y));
    return colours;
  }
  CEffectSnowCommon* Snow() { return static_cast<CEffectSnowCommon*>(manager_->GetEffect(14)); }
};

TEST_F(ParticleTest, SnowSeedsEveryFlakeInTheDrawOrderAtEachStart) {
  crt::srand(7);
  ASSERT_EQ(Start(5, 14, {}), 1);
  crt::srand(7);
  const int r = crt::rand() % 25600;
  const int variant = crt::rand() % 4;
  const int fx = crt::rand() % (kW * 40), fy = crt::rand() % (kH * 40);
  const int sx = crt::rand() % 300 - 150, sy = crt::rand() % 200 + 500;
  const int period = crt::rand() % 10 + 20;
  const int sizeClass = r <= 0 ? 0 : r <= 9 ? 1 : r < 2000 ? 2 : r <= 5999 ? 3 : r > 13999 ? 5 : 4;
  static constexpr int kScale[6] = {64, 48, 32, 24, 16, 8};
  const auto& f = Snow()->GetFlake(0);
  EXPECT_EQ(f.sizeClass, sizeClass);
  EXPECT_EQ(f.variant, variant);
  EXPECT_EQ(f.fieldX, fx * 64 / kScale[sizeClass]);
  EXPECT_EQ(f.fieldY, fy * 64 / kScale[sizeClass]);
  EXPECT_EQ(f.screenY, f.fieldY * kScale[sizeClass] / 2560);
  EXPECT_EQ(f.speedX, sx);
  EXPECT_EQ(f.speedY, sy);
  EXPECT_EQ(f.period, period);
  EXPECT_EQ(Snow()->GetActiveCount(), 100);
}

TEST_F(ParticleTest, SnowDrawsTheClassesAskedForWithMinusOneNamingTheEnds) {
  WriteSheet("ta_eff_snow", 256, 192, {0, 64, 112, 144, 168, 184});
  Rebuild(3);
  ASSERT_EQ(Snow()->IsSheetLoaded(), 1);
  ASSERT_EQ(Start(5, 14, {20, 3, 3}), 1);
  Frame();
  EXPECT_EQ(Colours(), (std::set<uint32_t>{BandColour(3)}));
  manager_->ResetAll();
  ASSERT_EQ(Start(5, 14, {20, -1, -1}), 1);
  Frame();
  EXPECT_GE(Colours().size(), 3u);
  EXPECT_EQ(Colours().count(BandColour(3)), 1u);
}

TEST_F(ParticleTest, AFlakeReachingTheScreenHeightReentersAboveTheTop) {
  ASSERT_EQ(Start(5, 14, {}), 1);
  auto& f = Snow()->FlakeForTest(0);
  f.sizeClass = 0;  // screen y = field y / 40
  f.speedY = 500;
  f.fieldY = kH * 40 - 500;
  auto& g = Snow()->FlakeForTest(1);
  g.sizeClass = 0;
  g.speedY = 500;
  g.fieldY = kH * 40 - 501;
  Snow()->Move();
  EXPECT_EQ(Snow()->GetFlake(0).fieldY, -1000);
  EXPECT_LT(Snow()->GetFlake(0).screenY, 0);
  EXPECT_EQ(Snow()->GetFlake(1).screenY, kH - 1);
}

TEST_F(ParticleTest, TwoChannelsMoveTheFlakesOnceAFrame) {
  ASSERT_EQ(Start(5, 14, {}), 1);
  ASSERT_EQ(Start(6, 14, {}), 1);
  ASSERT_EQ(Start(7, 57, {}), 1);
  std::vector<int> before;
  for (int i = 0; i < 100; ++i) before.push_back(Snow()->GetFlake(i).fieldY);
  Frame();
  int moved = 0;
  for (int i = 0; i < 100; ++i) {
    const auto& f = Snow()->GetFlake(i);
    if (f.fieldY == -1000) continue;  // fell out and came back
    EXPECT_EQ(f.fieldY - before[i], f.speedY) << i;
    ++moved;
  }
  EXPECT_GT(moved, 50);
  EXPECT_EQ(manager_->GetChannel(7)->EffectNumber(), 57);
}

TEST_F(ParticleTest, PetalsAreSeededOnceByInitAndDrawnUpToTheirCount) {
  crt::srand(11);
  manager_.reset();
  manager_ = std::make_unique<CEffectManager>(kExtra);
  const auto* petals = static_cast<CEffectFlower*>(manager_->GetEffect(12));
  const CEffectFlower::Petal first = petals->GetPetal(0);
  EXPECT_EQ(first.sizeClass, 2);
  EXPECT_EQ(petals->GetPetal(60).sizeClass, 1);
  EXPECT_EQ(petals->GetPetal(150).sizeClass, 0);
  ASSERT_EQ(Start(5, 12, {7, 0, 2, 300}), 1);
  const EffectChannel& record = *manager_->GetChannel(5);
  EXPECT_EQ(record.Duration(), 99999);
  EXPECT_EQ(record.Param(0), 7);
  EXPECT_EQ(record.Param(3), 200);
  // A start reseeds nothing.
  EXPECT_EQ(petals->GetPetal(0).fieldX, first.fieldX);
  EXPECT_EQ(manager_->GetEffect(12)->Finish(manager_->GetChannel(5), 5), 1);
  EXPECT_EQ(manager_->GetEffect(12)->Finish(manager_->GetChannel(5), 5), 1);
  EXPECT_EQ(record.Param(3), 200);
  // A record from a save draws at most every petal.
  manager_->GetChannel(5)->Param(3) = INT_MAX;
  Frame();
}

TEST_F(ParticleTest, PetalsDrawTheirRotationFrames) {
  WriteSheet("ta_eff_saku", 160, 56, {0, 32, 48});
  Rebuild(5);
  // The 32-pixel petals come last and would cover this small screen.
  ASSERT_EQ(Start(5, 12, {20, 1, 2, 200}), 1);
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(Colours(), (std::set<uint32_t>{BandColour(1), BandColour(2)}));
  manager_->ResetAll();
  Clear(0);
  ASSERT_EQ(Start(5, 12, {20, 1, 1, 200}), 1);
  Frame();
  EXPECT_EQ(Colours(), (std::set<uint32_t>{BandColour(1)}));
}

TEST_F(ParticleTest, MissingSheetsShowABoxPerObjectOnlyWhileTheReportIsOn) {
  SetLoadDwqErrorFlag(1);
  host_->ClearBoxes();
  Rebuild(1);
  const auto boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 3u);  // #12, #14, #57
  std::multiset<std::string> texts;
  for (const auto& b : boxes) {
    EXPECT_EQ(b.caption, "Error");
    texts.insert(b.text.substr(0, 15));
  }
  EXPECT_EQ(texts, (std::multiset<std::string>{"ta_eff_saku.dwq", "ta_eff_snow.dwq",
                                              "ta_eff_snow.dwq"}));
  EXPECT_EQ(GetLoadDwqErrorFlag(), 1);
  SetLoadDwqErrorFlag(0);
  host_->ClearBoxes();
  Rebuild(1);
  EXPECT_TRUE(host_->Boxes().empty());
  EXPECT_EQ(GetLoadDwqErrorFlag(), 0);
  // Without sheets snow and petals draw nothing, and stderr says so once
  // for each effect drawn, however many frames it is drawn.
  ASSERT_EQ(Start(5, 14, {}), 1);
  ASSERT_EQ(Start(6, 12, {}), 1);
  Frame();
  Frame();
  EXPECT_TRUE(ScreenIs(0));
  std::multiset<std::string> told;
  for (const std::string& line : host_->ErrorLines()) told.insert(line.substr(0, 15));
  EXPECT_EQ(told, (std::multiset<std::string>{"ta_eff_saku.dwq", "ta_eff_snow.dwq"}));
}

TEST_F(ParticleTest, RainSpawnsEachDropThenScattersIt) {
  crt::srand(9);
  ASSERT_EQ(Start(5, 13, {20, 30, 2, 60, 80}), 1);
  auto* rain = static_cast<CEffectRain*>(manager_->GetEffect(13));
  crt::srand(9);
  const int g = crt::rand() % 16 + 30 - 8;
  const int h = std::abs(kH * g / 256);
  const int64_t x = (crt::rand() % (kW + 2 * h) - h) * 256;
  crt::rand();  // y, replaced by the scatter
  const int speed = 60 + crt::rand() % 30;
  const int length = 40 + crt::rand() % 80;
  const int64_t y = (crt::rand() % (kH + 80) - 80) * 256;
  const auto& d = rain->GetDrop(0);
  EXPECT_EQ(d.x, x);
  EXPECT_EQ(d.y, y);
  EXPECT_EQ(d.slant, g * 256);
  EXPECT_EQ(d.speed, speed);
  EXPECT_EQ(d.length, length);
  EXPECT_EQ(crt::rand() % 16 + 30 - 8, rain->GetDrop(1).slant / 256);
  // Calcu moves each drop by its speed.
  manager_->Calcu();
  EXPECT_EQ(rain->GetDrop(0).y, y + speed * 256);
  EXPECT_EQ(rain->GetDrop(0).x, x + g * 256 * speed / 256);
}

TEST_F(ParticleTest, RainHoldsItsCountsAndDrawsLines) {
  ASSERT_EQ(Start(5, 13, {20, 0, 500, 0, 0, 0, 255}), 1);
  auto* rain = static_cast<CEffectRain*>(manager_->GetEffect(13));
  const EffectChannel& record = *manager_->GetChannel(5);
  EXPECT_EQ(rain->GetDropCount(), 150);
  EXPECT_EQ(record.Param(2), 150);
  EXPECT_EQ(record.Param(3), 1);
  EXPECT_EQ(record.Param(7), 255);  // blue defaults to green
  for (int i = 0; i < 150; ++i) EXPECT_EQ(rain->GetDrop(i).speed, 1);
  for (int i = 0; i < 60; ++i) Frame();
  EXPECT_EQ(Colours(), (std::set<uint32_t>{0x00FFFFu}));
}

TEST_F(ParticleTest, ExtremeRainValuesStayInRange) {
  for (const std::vector<int>& v :
       {std::vector<int>{20, INT_MAX, 150, INT_MAX, INT_MAX}, {20, INT_MIN, 150, INT_MAX, 1},
        {20, INT_MAX / 2, 150, 1, INT_MAX}}) {
    ASSERT_EQ(Start(5, 13, v), 1);
    for (int i = 0; i < 3; ++i) Frame();
    // From a save: the stored values start again, held to their limits.
    manager_->GetChannel(5)->Param(2) = INT_MAX;
    manager_->GetEffect(13)->Restore(manager_->GetChannel(5), 5);
    EXPECT_EQ(manager_->GetChannel(5)->Param(2), 150);
    Frame();
  }
}

}  // namespace
}  // namespace effect_test
