// A small screen buffer per test, with pixel helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "graphics/screenbuffer.h"

namespace graphics_test {

class ScreenTest : public testing::Test {
 public:
  static constexpr int kW = 64;
  static constexpr int kH = 48;

  static uint32_t& At(int x, int y) {
    return CScreenBuffer::GetBuffer()[static_cast<size_t>(y) * CScreenBuffer::GetWidth() + x];
  }
  static void Clear(uint32_t colour) {
    uint32_t* p = CScreenBuffer::GetBuffer();
    for (int i = 0; i < CScreenBuffer::GetWidth() * CScreenBuffer::GetHeight(); ++i) p[i] = colour;
  }
  // Pixels of row y that differ from `background`: first column and count
  // (first -1 when none); the changed pixels must be one run.
  static std::pair<int, int> RowRun(int y, uint32_t background) {
    int first = -1, count = 0;
    for (int x = 0; x < CScreenBuffer::GetWidth(); ++x) {
      if (At(x, y) == background) continue;
      if (first < 0) first = x;
      EXPECT_EQ(x, first + count) << "row " << y << " is not one run";
      ++count;
    }
    return {first, count};
  }
  static int CountChanged(uint32_t background) {
    int n = 0;
    for (int y = 0; y < CScreenBuffer::GetHeight(); ++y)
      for (int x = 0; x < CScreenBuffer::GetWidth(); ++x) n += At(x, y) != background;
    return n;
  }


 protected:
  void SetUp() override { screen_ = std::make_unique<CScreenBuffer>(kW, kH, 0); }
  void TearDown() override { screen_.reset(); }

  std::unique_ptr<CScreenBuffer> screen_;
};

}  // namespace graphics_test
