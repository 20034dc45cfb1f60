#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

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

TEST(InstanceLock, OneHolderPerFolder) {
  using Result = platform::InstanceLock::Result;
  testsupport::TempDir dir;
  std::filesystem::create_directories(dir / "a");
  std::filesystem::create_directories(dir / "b");
  platform::InstanceLock first, second, other;
  EXPECT_EQ(first.Acquire(dir / "a"), Result::kTaken);
  EXPECT_TRUE(dir.Exists("a/zorgame.lock"));
  EXPECT_EQ(second.Acquire(dir / "a"), Result::kHeld);
  EXPECT_FALSE(second.Held());
  EXPECT_EQ(other.Acquire(dir / "b"), Result::kTaken);
  first.Release();
  EXPECT_EQ(second.Acquire(dir / "a"), Result::kTaken);

  // A link in the lock's place is not followed: nothing is made where it
  // points, and the error says why.
  std::filesystem::create_directories(dir / "d");
  std::filesystem::create_symlink(dir / "outside.lock", dir / "d/zorgame.lock");
  {
    std::string error;
    platform::InstanceLock lock;
    EXPECT_EQ(lock.Acquire(dir / "d", &error), Result::kUnavailable);
    EXPECT_FALSE(dir.Exists("outside.lock"));
    EXPECT_NE(error.find("is a symbolic link"), std::string::npos) << error;
  }

  // No lock file can be made: the error names it.
  std::filesystem::create_directories(dir / "c/zorgame.lock");
  for (const char* folder : {"c", "missing"}) {
    SCOPED_TRACE(folder);
    std::string error;
    platform::InstanceLock lock;
    EXPECT_EQ(lock.Acquire(dir / folder, &error), Result::kUnavailable);
    EXPECT_NE(error.find(dir / (std::string(folder) + "/zorgame.lock")), std::string::npos) << error;
  }
}

}  // namespace
