// A fresh game folder per test with the headless host, and the process-wide state of the start-up back at its initial values.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/sync.h"
#include "savedata/savefolder.h"
#include "savedata/systemfile.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "support/temp_dir.h"
#include "support/text.h"

namespace app_test {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    Fresh();
  }
  void TearDown() override {
    platform::FailWholeFileWrites(0);
    ResetSaveFolder();
    ResetSystemFileSettings();
    dir_.reset();
  }

  void Fresh() {
    dir_ = std::make_unique<testsupport::TempDir>();
    ResetSaveFolder();
    ResetSystemFileSettings();
    CNameList::ResetInit2Check();
    crt::ResetRandom();
    platform::FailWholeFileWrites(0);
  }

  // A settings list "init\\<name>.xtx" from UTF-8 keys and values.
  void WriteList(const std::string& name, const Pairs& pairs) const {
    std::string text;
    for (const auto& [key, value] : pairs) text += testsupport::Sjis(key) + "," + testsupport::Sjis(value) + "\r\n";
    Dir().Write("init/" + name + ".xtx", text);
  }

  std::vector<platform::BoxRecord> Boxes() const { return host_->Boxes(); }
  // Boxes other than those of missing data: the "file not found" ones of
  // lists, the "var not found" ones of names a missing variable list
  // lacks, and the scene table's.
  std::vector<platform::BoxRecord> CheckBoxes() const {
    std::vector<platform::BoxRecord> out;
    for (const auto& b : host_->Boxes()) {
      if (b.caption == "file not found" || b.caption == "var not found") continue;
      if (b.caption == "Error" && b.text.find("sysfile.sav") != std::string::npos) continue;
      if (b.caption == "ERROR" && b.text.find("scene.dat") != std::string::npos) continue;
      out.push_back(b);
    }
    return out;
  }
  const testsupport::TempDir& Dir() const { return *dir_; }

  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<testsupport::TempDir> dir_;
};

}  // namespace app_test
