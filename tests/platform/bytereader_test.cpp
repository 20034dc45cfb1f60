// ByteReader: the bounded little-endian reader of every binary parser.
#include "platform/bytereader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::vector<uint8_t> kBytes = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0xFF, 0xFF, 0x10, 0x20};

// The same checks over a span and over a file region holding the same bytes.
void ReadsFieldsAndStopsAtTheEnd(platform::ByteReader& r) {
  ASSERT_EQ(r.Size(), 10);
  uint32_t u = 0;
  int32_t i = 0;
  uint16_t s = 0;
  ASSERT_TRUE(r.U32(&u));
  EXPECT_EQ(u, 0x04030201u);
  ASSERT_TRUE(r.I32(&i));
  EXPECT_EQ(i, -2);
  // Four bytes are asked, two remain: false, nothing consumed.
  EXPECT_FALSE(r.U32(&u));
  EXPECT_EQ(r.Remaining(), 2);
  EXPECT_FALSE(r.Skip(3));
  EXPECT_EQ(r.Position(), 8);
  ASSERT_TRUE(r.U16(&s));
  EXPECT_EQ(s, 0x2010);
  EXPECT_TRUE(r.AtEnd());
  uint8_t b = 0;
  EXPECT_FALSE(r.U8(&b));
  EXPECT_EQ(r.Take(1), nullptr);
  EXPECT_NE(r.Take(0), nullptr);
  // Seeking stays inside; big-endian words for JPEG.
  EXPECT_FALSE(r.Seek(11));
  EXPECT_FALSE(r.Seek(-1));
  ASSERT_TRUE(r.Seek(8));
  ASSERT_TRUE(r.U16BE(&s));
  EXPECT_EQ(s, 0x1020);
  ASSERT_TRUE(r.Seek(2));
  const uint8_t* view = r.Take(3);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view[0], 0x03);
  EXPECT_EQ(view[2], 0xFE);
  std::vector<uint8_t> rest;
  ASSERT_TRUE(r.ReadRest(&rest));
  EXPECT_EQ(rest, std::vector<uint8_t>(kBytes.begin() + 5, kBytes.end()));
}

TEST(ByteReader, SpanFieldsStopAtTheEnd) {
  platform::ByteReader r(kBytes);
  ReadsFieldsAndStopsAtTheEnd(r);
  uint32_t v = 0;
  EXPECT_TRUE(platform::ByteReader::U32At(kBytes.data(), kBytes.size(), 6, &v));
  EXPECT_EQ(v, 0x2010FFFFu);
  EXPECT_FALSE(platform::ByteReader::U32At(kBytes.data(), kBytes.size(), 7, &v));
  EXPECT_FALSE(platform::ByteReader::U32At(kBytes.data(), kBytes.size(), 100, &v));
  platform::ByteReader empty;
  EXPECT_FALSE(empty.U8(reinterpret_cast<uint8_t*>(&v)));
}

TEST(ByteReader, FileRegionsEndAtTheirLimitOrTheFileEnd) {
  FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  // Three bytes before the region and three after it: a pack entry.
  std::fwrite("abc", 1, 3, f);
  std::fwrite(kBytes.data(), 1, kBytes.size(), f);
  std::fwrite("xyz", 1, 3, f);
  ASSERT_EQ(std::fseek(f, 3, SEEK_SET), 0);
  platform::ByteReader entry(f, 10);
  ReadsFieldsAndStopsAtTheEnd(entry);

  // Without a limit the region runs to the end of the file; a limit past
  // the end is cut to it.
  ASSERT_EQ(std::fseek(f, 3, SEEK_SET), 0);
  EXPECT_EQ(platform::ByteReader(f, -1).Size(), 13);
  ASSERT_EQ(std::fseek(f, 3, SEEK_SET), 0);
  EXPECT_EQ(platform::ByteReader(f, 1000).Size(), 13);

  // A file that shrinks under the reader gives false, not old bytes.
  ASSERT_EQ(std::fseek(f, 0, SEEK_SET), 0);
  platform::ByteReader whole(f, -1);
  ASSERT_EQ(whole.Size(), 16);
  std::fflush(f);
  ASSERT_EQ(::ftruncate(fileno(f), 4), 0);
  uint8_t buffer[8];
  EXPECT_FALSE(whole.Read(buffer, 8));
  EXPECT_FALSE(whole.Read(buffer, 1));
  std::fclose(f);
}

}  // namespace
