// A fresh game folder per test, with the headless host installed.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"

namespace setup_test {

// メモリー不足にゃ
inline const std::string kNoMemory = "\x83\x81\x83\x82\x83\x8A\x81\x5B\x95\x73\x91\xAB\x82\xC9\x82\xE1";
// 変数の長さに問題がありますにゃ
inline const std::string kTokenTooLong =
    "\x95\xCF\x90\x94\x82\xCC\x92\xB7\x82\xB3\x82\xC9\x96\xE2\x91\xE8\x82\xAA\x82\xA0\x82\xE8"
    "\x82\xDC\x82\xB7\x82\xC9\x82\xE1";

inline std::string Invert(std::string bytes) {
  for (char& c : bytes) c = static_cast<char>(~static_cast<unsigned char>(c));
  return bytes;
}

inline std::vector<std::string> Tokens(const CNameList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.GetCount(); ++i) out.emplace_back(list.GetName(i));
  return out;
}

inline void Fill(CNameList* list, const std::vector<std::string>& tokens) {
  for (size_t i = 0; i < tokens.size(); ++i) list->SetName(static_cast<int>(i), tokens[i].c_str());
}

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    const char* tmp = std::getenv("ZOR_TEST_TMP");
    std::filesystem::path base = tmp && *tmp ? tmp : "/tmp";
    std::filesystem::create_directories(base);
    std::string pattern = (base / "setup-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    platform::SetGameFolder(dir_);
    CNameList::ResetInit2Check();
    CNameList::ForgetSettingsKeys();
    CNameList::FailAllocations(0);
  }

  void TearDown() override {
    CNameList::FailAllocations(0);
    CNameList::ResetInit2Check();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // `relative` uses '/' and is taken under the game folder.
  void Write(const std::string& relative, const std::string& bytes) {
    const std::filesystem::path path = std::filesystem::path(dir_) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::string Read(const std::string& relative) {
    std::ifstream in(std::filesystem::path(dir_) / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::vector<platform::BoxRecord> Boxes() const { return host_->Boxes(); }

  platform::HeadlessBackend* host_ = nullptr;
  std::string dir_;
};

}  // namespace setup_test
