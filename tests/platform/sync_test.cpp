#include <gtest/gtest.h>

#include <atomic>

#include "platform/sync.h"
#include "support/temp_dir.h"

namespace {

TEST(Events, AutoResetWakesOneWaitManualStaysSet) {
  platform::Event autoEvent(false);
  platform::Event manual(true);
  EXPECT_FALSE(autoEvent.Wait(0));
  autoEvent.Set();
  EXPECT_TRUE(autoEvent.Wait(0));
  EXPECT_FALSE(autoEvent.Wait(0));
  manual.Set();
  EXPECT_TRUE(manual.Wait(0));
  EXPECT_TRUE(manual.Wait(0));
  manual.Reset();
  EXPECT_FALSE(manual.Wait(0));
}

TEST(Events, WaitForAnyPicksLowestSignalledIndex) {
  platform::Event a(false), b(false), c(true);
  platform::Event* events[] = {&a, &b, &c};
  EXPECT_EQ(platform::WaitForAny(events, 3, 0), -1);
  c.Set();
  b.Set();
  EXPECT_EQ(platform::WaitForAny(events, 3, 0), 1);
  EXPECT_EQ(platform::WaitForAny(events, 3, 0), 2);
  EXPECT_EQ(platform::WaitForAny(events, 3, 0), 2);  // manual reset stays set
}

TEST(Events, SetOnAnotherThreadIsSeenWithItsData) {
  platform::Event command(false), ack(false);
  int shared = 0;
  platform::Thread worker;
  ASSERT_TRUE(worker.Start([&] {
    ASSERT_TRUE(command.Wait(platform::kInfinite));
    shared += 1;
    ack.Set();
  }));
  shared = 41;
  command.Set();
  ASSERT_TRUE(ack.Wait(10000));
  EXPECT_EQ(shared, 42);
  worker.Join();
  EXPECT_FALSE(worker.Running());
}

TEST(InstanceLock, SecondHolderOfTheSameNameIsRefused) {
  testsupport::TempDir dir;
  platform::SetLockFolder(dir.path());
  platform::InstanceLock first, second, other;
  EXPECT_TRUE(first.Acquire("ZORCommonGameByKelomi"));
  EXPECT_FALSE(second.Acquire("ZORCommonGameByKelomi"));
  EXPECT_TRUE(other.Acquire("AnotherGame"));
  first.Release();
  EXPECT_TRUE(second.Acquire("ZORCommonGameByKelomi"));
  platform::SetLockFolder("");
}

}  // namespace
