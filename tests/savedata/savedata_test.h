// A fresh game folder per test with the headless host, and the save folder
// and the flag-table counts back at their start-up values.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "savedata/savefolder.h"
#include "savedata/systemfile.h"
#include "support/temp_dir.h"
#include "support/text.h"

namespace savedata_test {

inline int32_t Word(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return static_cast<int32_t>(v);
}

inline void PutWord(std::string* bytes, size_t offset, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) (*bytes)[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

class SaveDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    dir_ = std::make_unique<testsupport::TempDir>();
    ResetSaveFolder();
    ResetSystemFileSettings();
    platform::FailWholeFileWrites(0);
  }
  void TearDown() override {
    platform::FailWholeFileWrites(0);
    ResetSaveFolder();
    ResetSystemFileSettings();
    dir_.reset();
  }

  std::vector<platform::BoxRecord> Boxes() const { return host_->Boxes(); }
  const testsupport::TempDir& Dir() const { return *dir_; }

  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<testsupport::TempDir> dir_;
};

}  // namespace savedata_test
