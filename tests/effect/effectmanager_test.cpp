#include "effect/effectmanager.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "effect/alleffect.h"
#include "effect/buffereffects.h"
#include "effect/effectchannel.h"
#include "effect/effectregistry.h"
#include "effect/effectstart.h"
#include "effect/overlayeffects.h"
#include "effect/wipetableaccess.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

uint32_t Red(int, int) { return 0xFF0000; }

// --- The record ---

TEST(EffectChannelRecord, FieldsSitAtTheirByteOffsets) {
  EffectChannel record;
  record.Active() = 1;
  record.PictureNumber() = -1;
  record.EffectNumber() = 113;
  for (int kind = 0; kind < EffectChannel::kRectKinds; ++kind)
    for (int i = 0; i < 4; ++i) record.v[EffectChannel::RectOffset(kind) + i] = 100 * kind + i;
  record.Counter() = 27;
  record.Duration() = 28;
  record.Param(0) = 0x01020304;
  record.Opaque() = 1;
  uint8_t bytes[EffectChannel::kBytes];
  record.Write(bytes);
  auto at = [&](int offset) {
    int32_t v;
    v = static_cast<int32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                             static_cast<uint32_t>(bytes[offset + 3]) << 24);
    return v;
  };
  EXPECT_EQ(at(0), 1);
  EXPECT_EQ(at(4), -1);
  EXPECT_EQ(at(8), 113);
  // Kinds: 4 source (12), 5 draw (28), 0 source start (44), 2 draw start
  // (60), 1 source end (76), 3 draw end (92).
  const int offsets[EffectChannel::kRectKinds] = {44, 76, 60, 92, 12, 28};
  for (int kind = 0; kind < EffectChannel::kRectKinds; ++kind)
    for (int i = 0; i < 4; ++i) EXPECT_EQ(at(offsets[kind] + 4 * i), 100 * kind + i) << kind;
  EXPECT_EQ(at(108), 27);
  EXPECT_EQ(at(112), 28);
  EXPECT_EQ(bytes[116], 4);
  EXPECT_EQ(bytes[119], 1);
  EXPECT_EQ(at(1012), 1);
  EXPECT_EQ(EffectChannel::RectOffset(6), -1);
  EXPECT_EQ(EffectChannel::RectOffset(-1), -1);

  EffectChannel back;
  back.Read(bytes);
  EXPECT_EQ(std::memcmp(back.v, record.v, sizeof record.v), 0);
}

// --- The table ---

TEST_F(EffectTest, TableHoldsOnlyDefinedNumbersAndThisFamily) {
  CEffectManager plain;
  size_t defined = 0;
  for (int n = 0; n < 256; ++n) {
    defined += IsEffectNumberDefined(n);
    EXPECT_EQ(IsEffectNumberDefined(n), plain.GetEffect(n) ? 1 : 0) << n;
  }
  EXPECT_EQ(defined, GetEffectEntries().size());
  for (int n : {-1, 256, INT_MIN, INT_MAX}) EXPECT_EQ(IsEffectNumberDefined(n), 0) << n;
  for (int n : {0, 1, 2, 66, 73, 75, 105, 113}) EXPECT_NE(plain.GetEffect(n), nullptr) << n;
  for (int n : {3, 16, 137}) {
    EXPECT_FALSE(IsEffectNumberDefined(n));
    EXPECT_EQ(plain.GetEffect(n), nullptr);
    EXPECT_EQ(plain.StartEffect(0, n, 0, nullptr), 0) << n;
  }
  EXPECT_EQ(plain.GetEffect(-1), nullptr);
  EXPECT_EQ(plain.GetEffect(256), nullptr);
  // Entries are in ascending number, each number once.
  int last = -1;
  for (const EffectEntry& entry : GetEffectEntries()) {
    EXPECT_GT(entry.number, last) << entry.className;
    last = entry.number;
  }
}

// Every effect that takes values reads them through a start table of its
// own number; only the no-op, "leave alone" and the remembered scene take
// none.
TEST_F(EffectTest, EveryEffectWithValuesStartsFromATableOfItsNumber) {
  CEffectManager plain;
  for (int n = 0; n < 256; ++n) {
    CCommonEffect* effect = plain.GetEffect(n);
    if (!effect) continue;
    const auto* table = dynamic_cast<const CTableStartEffect*>(effect);
    if (n == CEffectNop::kNumber || n == CEffectMae::kNumber || n == CEffectRemember::kNumber) {
      EXPECT_EQ(table, nullptr) << n;
      continue;
    }
    ASSERT_NE(table, nullptr) << n;
    EXPECT_EQ(table->Table().number, n);
  }
}

// --- Starting ---

TEST_F(EffectTest, StartRefusalsAndEffectOneLeaveTheChannelAlone) {
  ChannelPicture(3, 8, 8, Red);
  ASSERT_EQ(Start(3, CRecordingEffect::kNumber, {10}), 1);
  const EffectChannel before = *manager_->GetChannel(3);
  EXPECT_EQ(Start(3, 1, {5, 6, 7}), 1);
  EXPECT_EQ(std::memcmp(before.v, manager_->GetChannel(3)->v, sizeof before.v), 0);
  EXPECT_EQ(Start(16, 10, {}), 0);
  EXPECT_EQ(Start(-1, 0, {}), 0);
  EXPECT_EQ(Start(0, -1, {}), 0);
  EXPECT_EQ(Start(0, 3, {}), 0);
  EXPECT_EQ(Start(0, 256, {}), 0);
  EXPECT_EQ(Start(0, INT_MIN, {}), 0);
  EXPECT_EQ(manager_->GetChannel(0)->Active(), 0);
}

TEST_F(EffectTest, StartWritesTheCommonFieldsAndKeepsTheRest) {
  EffectChannel* record = manager_->GetChannel(4);
  record->Param(10) = 77;
  ASSERT_EQ(Start(4, CRecordingEffect::kNumber, {12, 1, 2, 3, 4, 5}), 1);
  EXPECT_EQ(record->Active(), 1);
  EXPECT_EQ(record->EffectNumber(), CRecordingEffect::kNumber);
  EXPECT_EQ(record->Counter(), 0);
  EXPECT_EQ(record->Duration(), 12);
  EXPECT_EQ(record->Param(3), 3);
  EXPECT_EQ(record->Param(4), 0);  // beyond the effect's four
  EXPECT_EQ(record->Param(10), 77);
}

// --- Moving channels ---

TEST_F(EffectTest, DrawRectangleMovesWithHalfAwayFromZeroRounding) {
  struct Step {
    int endX, frames, x, w;
  };
  const Step steps[] = {{5, 1, 1, 10}, {5, 3, 2, 10}, {5, 9, 5, 10},
                        {5, 10, 5, 20}, {-5, 1, -1, 10}, {-5, 3, -2, 10}};
  for (const Step& s : steps) {
    manager_->ResetAll();
    ChannelPicture(5, 8, 8, Red);
    ASSERT_EQ(Start(5, CRecordingEffect::kNumber, {10}), 1);
    const int start[4] = {0, 7, 10, 11}, end[4] = {s.endX, 9, 20, 21};
    manager_->SetRect(5, 2, start);
    manager_->SetRect(5, 3, end);
    for (int i = 0; i < s.frames; ++i) manager_->AddFrame(1);
    manager_->Calcu();
    int x, y, w, h;
    EXPECT_EQ(manager_->GetDrawPos(5, &x, &y), 1);
    manager_->GetDrawSize(5, &w, &h);
    EXPECT_EQ(x, s.x) << s.endX << " after " << s.frames;
    EXPECT_EQ(w, s.w) << s.endX << " after " << s.frames;
    EXPECT_EQ(h, s.w + 1);
  }
}

TEST_F(EffectTest, FarMovesStayInRange) {
  ChannelPicture(5, 8, 8, Red);
  ASSERT_EQ(Start(5, CRecordingEffect::kNumber, {INT_MAX}), 1);
  const int start[4] = {INT_MIN, INT_MAX, 1, 1}, end[4] = {INT_MAX, INT_MIN, 1, 1};
  manager_->SetRect(5, 2, start);
  manager_->SetRect(5, 3, end);
  manager_->AddFrame(INT_MAX - 1);
  manager_->Calcu();
  int x, y;
  manager_->GetDrawPos(5, &x, &y);
  EXPECT_GT(x, INT_MAX - 4);
  EXPECT_LT(y, INT_MIN + 4);
  manager_->GetChannel(5)->Counter() = -INT_MAX;
  manager_->Calcu();
  manager_->GetDrawPos(5, &x, &y);
  EXPECT_EQ(x, INT_MIN);
}

TEST_F(EffectTest, EndMoveSettlesEveryChannelAtItsEnd) {
  ChannelPicture(6, 8, 8, Red);
  ASSERT_EQ(Start(6, CRecordingEffect::kNumber, {10}), 1);
  const int end[4] = {30, 20, 8, 8};
  manager_->SetRect(6, 3, end);
  manager_->EndMove();
  manager_->FinishEffects();
  int rect[4];
  manager_->GetRect(6, 5, rect);
  EXPECT_EQ(std::vector<int>(rect, rect + 4), std::vector<int>(end, end + 4));
  manager_->GetRect(6, 2, rect);
  EXPECT_EQ(std::vector<int>(rect, rect + 4), std::vector<int>(end, end + 4));
}

// --- Drawing ---

TEST_F(EffectTest, PassZeroClearsUnlessALowChannelCoversTheScreen) {
  struct Case {
    int effect;
    bool cleared;
  };
  for (const Case& c : {Case{66, true}, Case{0, false}, Case{113, false}}) {
    manager_->ResetAll();
    ChannelPicture(0, 8, 8, Red);
    ASSERT_EQ(Start(0, c.effect, {20, 0, 255, 0}), 1);
    Clear(0x123456);
    manager_->Print(0, 1);
    if (c.effect == 113) {
      EXPECT_EQ(At(40, 40), 0x00FF00u);
      continue;
    }
    EXPECT_EQ(At(40, 40), c.cleared ? 0u : 0x123456u) << c.effect;
    EXPECT_EQ(At(2, 2), c.effect == 0 ? 0xFF0000u : 0u) << c.effect;
  }
}

TEST_F(EffectTest, DrawEnableCountsOnlyWhenAsked) {
  ASSERT_EQ(Start(5, CRecordingEffect::kNumber, {10}), 1);
  manager_->SetPrintEnable(5, 0);
  manager_->SetPrintEnable(16, 0);
  manager_->Print(0, 0);
  EXPECT_EQ(Recorder()->Count("Print 5"), 1);
  manager_->Print(0, 1);
  EXPECT_EQ(Recorder()->Count("Print 5"), 1);
  manager_->SetPrintEnable(5, 1);
  manager_->Print(0, 1);
  EXPECT_EQ(Recorder()->Count("Print 5"), 2);
}

TEST_F(EffectTest, PassOneDrawsOnlyTheTopChannelAndPicturesGoFirst) {
  ChannelPicture(15, 4, 4, Red, [](int, int) { return uint8_t{255}; });
  ASSERT_EQ(Start(15, CRecordingEffect::kNumber, {10}), 1);
  ASSERT_EQ(Start(2, CRecordingEffect::kNumber, {10}), 1);
  Clear(0);
  manager_->Print(1, 1);
  EXPECT_EQ(Recorder()->calls, std::vector<std::string>{"Print 15"});
  EXPECT_EQ(At(3, 3), 0xFF0000u);
  EXPECT_EQ(At(4, 4), 0u);
  Recorder()->printPicture = 0;
  Clear(0);
  manager_->Print(1, 1);
  EXPECT_EQ(At(3, 3), 0u);
}

// --- Finishing ---

TEST_F(EffectTest, AddFrameFinishesOnceWhenTheCounterReachesTheDuration) {
  ASSERT_EQ(Start(7, CRecordingEffect::kNumber, {20}), 1);
  manager_->GetChannel(7)->Counter() = 18;
  manager_->AddFrame(5);
  EXPECT_EQ(manager_->GetChannel(7)->Counter(), 20);
  EXPECT_EQ(Recorder()->Count("Finish 7"), 1);
  manager_->AddFrame(5);
  EXPECT_EQ(Recorder()->Count("Finish 7"), 1);
}

TEST_F(EffectTest, FinishEffectsFinishesAgainEachCallAndRestsTheChannel) {
  ChannelPicture(7, 8, 8, Red);
  ASSERT_EQ(Start(7, CRecordingEffect::kNumber, {2}), 1);
  const int end[4] = {9, 9, 8, 8};
  manager_->SetRect(7, 3, end);
  manager_->FinishEffects();
  EXPECT_EQ(Recorder()->Count("Finish 7"), 0);
  manager_->AddFrame(2);
  EXPECT_EQ(Recorder()->Count("Finish 7"), 1);
  for (int i = 0; i < 3; ++i) manager_->FinishEffects();
  EXPECT_EQ(Recorder()->Count("Finish 7"), 4);
  int rect[4];
  manager_->GetRect(7, 2, rect);
  EXPECT_EQ(rect[0], 9);

  // A free channel holding the recorder's number at its end finishes too.
  manager_->GetChannel(7)->Active() = 0;
  manager_->FinishEffects();
  EXPECT_EQ(Recorder()->Count("Finish 7"), 5);
}

TEST_F(EffectTest, FinishAskingForARedrawPresentsWhole) {
  ASSERT_EQ(Start(7, CRecordingEffect::kNumber, {1}), 1);
  Recorder()->finishResult = 1;
  for (int i = 0; i < 4; ++i) CScreenBuffer::StartFrame();
  ASSERT_EQ(CScreenBuffer::CheckFullRedraw(), 0);
  manager_->AddFrame(1);
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
}

// An effect that never gets the repeated finish step.
class CEndFlagEffect : public CRecordingEffect {
 public:
  static constexpr int kNumber = 251;
  explicit CEndFlagEffect(CEffectManager* manager) : CRecordingEffect(manager) { endFlag_ = 1; }
  int SetParam(EffectChannel* record, int, const int*, int) override {
    return StartRecord(record, kNumber, 1, nullptr, 0);
  }
};

TEST_F(EffectTest, EndFlagStopsTheRepeatedFinish) {
  static constexpr EffectEntry kEnd[] = {MakeEffectEntry<CEndFlagEffect>()};
  CEffectManager manager(kEnd);
  EXPECT_EQ(manager.GetEndFlag(251), 1);
  EXPECT_EQ(manager.GetEndFlag(0), 0);
  ASSERT_EQ(manager.StartEffect(2, 251, 0, nullptr), 1);
  auto* effect = static_cast<CEndFlagEffect*>(manager.GetEffect(251));
  manager.AddFrame(1);
  manager.FinishEffects();
  manager.FinishEffects();
  EXPECT_EQ(effect->Count("Finish 2"), 1);
}

// --- Redraw test ---

TEST_F(EffectTest, RestingStaticChannelsLetDirtyRectanglesThrough) {
  for (int i = 0; i < 4; ++i) CScreenBuffer::StartFrame();
  ChannelPicture(0, 8, 8, Red);
  ASSERT_EQ(Start(0, 0, {}), 1);
  manager_->CheckRedraw();
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 0);
  const int end[4] = {1, 0, 8, 8};
  manager_->SetRect(0, 3, end);
  manager_->CheckRedraw();
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
  CScreenBuffer::StartFrame();
  manager_->SetRect(0, 2, end);
  ASSERT_EQ(Start(3, CRecordingEffect::kNumber, {}), 1);
  manager_->CheckRedraw();
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
}

// --- Per-frame calls ---

TEST_F(EffectTest, TickAndCalcuReachOnlyActiveChannels) {
  ASSERT_EQ(Start(9, CRecordingEffect::kNumber, {}), 1);
  ASSERT_EQ(Start(8, CRecordingEffect::kNumber, {}), 1);
  manager_->GetChannel(8)->Active() = 0;
  manager_->Tick();
  manager_->Calcu();
  EXPECT_EQ(Recorder()->calls, (std::vector<std::string>{"Tick 9", "Calcu 9"}));
  int x, y;
  manager_->SetMousePos(12, 34);
  manager_->GetMousePos(&x, &y);
  EXPECT_EQ(x * 100 + y, 1234);
}

TEST_F(EffectTest, ChangeEffectSwitchesOnlyToNumbersWithAnEffect) {
  ASSERT_EQ(Start(9, CRecordingEffect::kNumber, {30}), 1);
  manager_->AddFrame(4);
  EXPECT_EQ(manager_->ChangeEffect(9, 66), 1);
  EXPECT_EQ(manager_->GetChannel(9)->EffectNumber(), 66);
  EXPECT_EQ(manager_->GetChannel(9)->Counter(), 4);
  EXPECT_EQ(manager_->GetChannel(9)->Duration(), 30);
  EXPECT_EQ(manager_->ChangeEffect(9, 3), 1);
  EXPECT_EQ(manager_->ChangeEffect(9, 999), 1);
  EXPECT_EQ(manager_->ChangeEffect(99, 0), 1);
  EXPECT_EQ(manager_->GetChannel(9)->EffectNumber(), 66);
}

// --- Channel queries and set-up ---

TEST_F(EffectTest, ChannelArgumentsOutsideTheRangeAnswerNoChannel) {
  int x = 5, y = 5;
  for (int channel : {-1, 16, INT_MIN}) {
    EXPECT_EQ(manager_->GetDrawPos(channel, &x, &y), 0);
    EXPECT_EQ(x | y, 0);
    EXPECT_EQ(manager_->GetDrawSize(channel, &x, &y), 0);
    EXPECT_EQ(manager_->GetPictureNumber(channel), -1);
    EXPECT_EQ(manager_->GetChannel(channel), nullptr);
    EXPECT_EQ(manager_->ResetChannel(channel), 0);
    manager_->SetPicture(channel, 0);
  }
  EXPECT_EQ(manager_->GetPicture(-5), manager_->GetPicture(0));
  EXPECT_EQ(manager_->GetPicture(99), manager_->GetPicture(15));
  for (int n : {-2, 16, 1000}) {
    manager_->SetPicture(4, n);
    EXPECT_EQ(manager_->GetChannel(4)->Active(), 0) << n;
    EXPECT_EQ(manager_->GetPictureNumber(4), -1) << n;
  }
  int rect[4] = {1, 2, 3, 4};
  manager_->SetRect(4, 6, rect);
  manager_->GetRect(4, -1, rect);
  EXPECT_EQ(rect[3], 4);
}

TEST_F(EffectTest, SetPictureTakesItsSizeAndMinusOneFrees) {
  ChannelPicture(4, 12, 10, Red);
  int rect[4];
  for (int kind = 0; kind < 6; ++kind) {
    manager_->GetRect(4, kind, rect);
    EXPECT_EQ(std::vector<int>(rect, rect + 4), (std::vector<int>{0, 0, 12, 10})) << kind;
  }
  EXPECT_EQ(manager_->GetChannel(4)->Active(), 1);
  manager_->SetPicture(4, -1);
  EXPECT_EQ(manager_->GetChannel(4)->Active(), 0);
  manager_->GetRect(4, 5, rect);
  EXPECT_EQ(std::vector<int>(rect, rect + 4), (std::vector<int>{0, 0, kW, kH}));
  EXPECT_EQ(manager_->GetChannel(14)->Opaque(), 1);
  EXPECT_EQ(manager_->GetChannel(13)->Opaque(), 0);
  EXPECT_EQ(manager_->GetChannel(3)->Opaque(), 1);
}

// --- The saved screen ---

TEST_F(EffectTest, SavedScreenCopiesBothWays) {
  Clear(0x445566);
  ASSERT_NE(manager_->GetScreen(), nullptr);
  Clear(0);
  EXPECT_EQ(manager_->PutScreen(), manager_->GetScreenPicture());
  EXPECT_TRUE(ScreenIs(0x445566));
}

// --- Transitions ---

class CRecordingWipes : public CWipeTableAccess {
 public:
  int HasWipe(int kind) override { return kind == 3 ? 1 : 0; }
  void DrawWipe(int kind, CPicture*, CPicture*, int progress, int max) override {
    calls.push_back(std::to_string(kind) + " " + std::to_string(progress) + "/" +
                    std::to_string(max));
  }
  std::vector<std::string> calls;
};

TEST_F(EffectTest, PrintWipeClampsAndRefuses) {
  CRecordingWipes wipes;
  CPicture from(kW, kH, 0), to(kW + 4, kH, 0), small(kW, kH - 1, 0);
  manager_->PrintWipe(3, &from, &to, 2, 4);
  manager_->SetWipeTable(&wipes);
  manager_->PrintWipe(3, &from, &to, 0, 0);
  manager_->PrintWipe(3, &from, &to, 7, 5);
  manager_->PrintWipe(3, &from, &to, -3, 5);
  manager_->PrintWipe(4, &from, &to, 1, 5);
  manager_->PrintWipe(-1, &from, &to, 1, 5);
  manager_->PrintWipe(3, &from, &small, 1, 5);
  manager_->PrintWipe(3, nullptr, &to, 1, 5);
  EXPECT_EQ(wipes.calls, (std::vector<std::string>{"3 0/1", "3 5/5", "3 0/5"}));
}

// --- Save and restore ---

TEST_F(EffectTest, LoadChannelsRestoresRunningEffects) {
  ASSERT_EQ(Start(3, CRecordingEffect::kNumber, {20}), 1);
  manager_->AddFrame(6);
  manager_->SaveChannels();
  manager_->ResetAll();
  EXPECT_EQ(manager_->GetSaveChannel(3)->Counter(), 6);
  manager_->LoadChannels();
  EXPECT_EQ(manager_->GetChannel(3)->Counter(), 6);
  EXPECT_EQ(Recorder()->Count("Restore 3"), 1);
  EXPECT_EQ(Recorder()->Count("Restore 4"), 0);
}

TEST_F(EffectTest, RestoreResetsRecordsASaveCannotHold) {
  struct Case {
    const char* what;
    int effect, picture, counter, duration;
    bool reset;
    int counterAfter;
  };
  const Case cases[] = {
      {"fine", CRecordingEffect::kNumber, 2, 5, 10, false, 5},
      {"effect -1", -1, -1, 0, 0, false, 0},
      {"effect 256", 256, -1, 0, 10, true, 0},
      {"effect -2", -2, -1, 0, 10, true, 0},
      {"effect without object", 3, -1, 0, 10, true, 0},
      {"picture 16", 0, 16, 0, 10, true, 0},
      {"picture -2", 0, -2, 0, 10, true, 0},
      {"negative duration", 0, 2, 0, -1, true, 0},
      {"counter past the end", 0, 2, 50, 10, false, 10},
      {"negative counter", 0, 2, -7, 10, false, 0},
  };
  for (const Case& c : cases) {
    host_->ClearDebugLines();
    EffectChannel* record = manager_->GetChannel(2);
    record->Active() = 1;
    record->EffectNumber() = c.effect;
    record->PictureNumber() = c.picture;
    record->Counter() = c.counter;
    record->Duration() = c.duration;
    manager_->RestoreEffects();
    EXPECT_EQ(record->Active(), c.reset ? 0 : 1) << c.what;
    EXPECT_EQ(host_->DebugLines().size(), c.reset ? 1u : 0u) << c.what;
    EXPECT_EQ(record->Counter(), c.counterAfter) << c.what;
  }
}

TEST_F(EffectTest, PassesTreatUnknownNumbersAsNoEffect) {
  for (int channel = 0; channel < 16; ++channel) {
    EffectChannel* record = manager_->GetChannel(channel);
    record->Active() = 1;
    record->EffectNumber() = channel % 2 ? 4000 : -77;
    record->PictureNumber() = channel % 3 ? 99 : channel;
    record->Duration() = -3;
  }
  Clear(0x010101);
  Frame();
  manager_->EndMove();
  // Channel 0 names its own picture, so it covers the screen; nothing draws.
  EXPECT_TRUE(ScreenIs(0x010101));
}

TEST_F(EffectTest, HolderForwardsAndSurvivesRelease) {
  CAllEffect all;
  const int colour[] = {20, 1, 2, 3};
  EXPECT_EQ(all.StartEffect(2, 113, 4, colour), 1);
  all.Print(0, 1);
  EXPECT_TRUE(ScreenIs(0x010203));
  all.Release();
  EXPECT_EQ(all.StartEffect(2, 113, 0, nullptr), 0);
  all.Calcu();
  EXPECT_EQ(all.GetChannel(2), nullptr);
}

}  // namespace
}  // namespace effect_test
