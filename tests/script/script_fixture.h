// Script tests: a recording game behind CScriptCallBack, and a fixture that
// assembles a text into "spt\\test.spt" in a fresh game folder and loads it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "script/commandtable.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "support/temp_dir.h"
#include "support/text.h"
#include "tools/asm/assembler.h"

namespace script_test {

// One call the interpreter made to the game.
struct Call {
  std::string op;  // "command", "syscall", "function", "notice"
  int code = 0;
  int param = 0;
  int extra = 0;
  std::vector<int> words;  // words the data pointed at, or the arguments
  std::string text;        // the string the data pointed at (CP932)
};

// Records every command and call; variables live in a CGameVariables.
class RecordingGame : public CScriptCallBack, public CGameVarHost {
 public:
  RecordingGame() : vars(this) {}

  void SystemCommand(int code, int param, const void* data, int extra) override {
    Call call{"command", code, param, extra, {}, {}};
    const int32_t* words = static_cast<const int32_t*>(data);
    const script::CommandInfo* command = script::FindCommand(code);
    switch (command ? command->shape : script::CommandShape::kNone) {
      case script::CommandShape::kWords1: call.words.assign(words, words + 1); break;
      case script::CommandShape::kWordsN: call.words.assign(words, words + param); break;
      // The choice list holds one word more than the parameter counts.
      case script::CommandShape::kChoice: call.words.assign(words, words + param + 1); break;
      case script::CommandShape::kString:
      case script::CommandShape::kString1:
      case script::CommandShape::kMessage1:
      case script::CommandShape::kPage:
      case script::CommandShape::kScriptCall:
      case script::CommandShape::kScriptName:
        call.text = static_cast<const char*>(data);
        break;
      case script::CommandShape::kNone:
      case script::CommandShape::kValue:
        EXPECT_EQ(data, nullptr) << std::hex << code;
        break;
    }
    calls.push_back(call);
  }
  void CommandNotice(int code, int param, const char* text) override {
    calls.push_back({"notice", code, param, 0, {}, text ? text : ""});
  }
  void SystemCall(int code, int count, const int* values) override {
    calls.push_back({"syscall", code, count, 0, std::vector<int>(values, values + count), {}});
  }
  int SystemFunction(int code, int count, const int* values) override {
    calls.push_back({"function", code, count, 0, std::vector<int>(values, values + count), {}});
    return 0;
  }
  int GetVar(int number) override {
    ++varReads;
    return vars.GetVar(number);
  }
  int GetSystemVar(int number) override {
    ++systemVarReads;
    return vars.GetSystemVar(number);
  }
  void SetVar(int number, int value) override {
    sets.emplace_back(number, value);
    vars.SetVar(number, value);
  }

  // CGameVarHost
  int ReadSystemVar(SystemVar which) override {
    return which == SystemVar::kMouseX ? 123 : CGameVarHost::ReadSystemVar(which);
  }
  void SetEffectLayerHidden(int layer, bool hidden) override {
    layers.emplace_back(layer, hidden);
  }

  CGameVariables vars;
  std::vector<Call> calls;
  std::vector<std::pair<int, int>> sets;
  std::vector<std::pair<int, bool>> layers;
  int varReads = 0;
  int systemVarReads = 0;
};

class ScriptTest : public ::testing::Test {
 protected:
  ScriptTest() : host_(platform::InstallHeadless()) { host_.SetBoxEcho(false); }

  // Assembles `source` and writes it as spt\<name>.spt.
  zasm::Assembly Write(const std::string& source, const std::string& name = "test") {
    zasm::Assembly assembly = zasm::Assemble(source);
    EXPECT_TRUE(assembly.ok()) << assembly.ErrorText();
    dir_.Write("spt/" + name + ".spt", assembly.FileBytes());
    return assembly;
  }

  // Assembles and loads into a new script object kept by the fixture.
  CScript& Load(const std::string& source, int capacity = -1) {
    assembly_ = Write(source);
    script_ = std::make_unique<CScript>(&game_, capacity);
    EXPECT_EQ(script_->Load("spt\\test.spt"), 1) << script_->GetError();
    return *script_;
  }

  int Label(const std::string& name) const { return assembly_.LabelWord(name); }

  platform::HeadlessBackend& host_;
  testsupport::TempDir dir_;
  RecordingGame game_;
  zasm::Assembly assembly_;
  std::unique_ptr<CScript> script_;
};

}  // namespace script_test
