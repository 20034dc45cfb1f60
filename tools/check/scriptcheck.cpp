// The scripts' checks. Every compiled script of spt/ is walked record by
// record in file order; each record that names a file, an effect, a wipe,
// a choice's labels or a page of text is checked the way the game would
// take it when it runs:
//
// - loaddwq / preloaddwq: the picture's folder rule (graphics/picturepath.h)
//   and the pack volumes of init/game's dwqPackLevel (graphics/packvolume.h);
// - the name a voice command plays (its notice record): cdvaw/XY.vpk, then
//   cdvaw/XY/NAME.vaw;
// - se N: pair N of spt/selist, then vaw/se/NAME.vaw;
// - bgm N (N > 0): pair N - 1 of spt/bgmlist, then wgq/NAME.mml or .wgq;
// - callscript / callscript2 / jumpscript: spt/NAME.spt, and the name in
//   spt/project (matched as the game matches it, letter case included);
// - effect CH N: the effect registry, and for the simple wipe its wipe;
//   wipe KIND: the wipe table;
// - choice: the label every answer (and a time limit's answer) goes on at,
//   and, from the source, an answer line without `-> label` that reaches a
//   label by its number alone;
// - text / fulltext / moretext: the print-message mode itself takes each
//   page and says whether it fits (CCommonPrintMessage::TakePageFitProblem).
//
// Names and numbers are those written in the record: commands take no
// expressions, so everything a script names is known here, except the
// variant pictures the game adds a suffix to at run time.
#include "tools/check/scriptcheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "effect/allwipe.h"
#include "effect/effectregistry.h"
#include "effect/effectwipe.h"
#include "game/settingkeys.h"
#include "graphics/dwqformat.h"
#include "graphics/packvolume.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/picturepath.h"
#include "graphics/screenbuffer.h"
#include "message/cutin.h"
#include "message/messagewindow.h"
#include "message/textprint.h"
#include "message/rendersettings.h"
#include "mode/printmessage.h"
#include "mode/screensetvars.h"
#include "platform/backend.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "script/codes.h"
#include "script/commandtable.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "setup/gamelistnames.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"
#include "sound/wavebuffer.h"
#include "tools/asm/assembler.h"
#include "tools/check/gamefolder.h"
#include "tools/common/hostfile.h"

namespace gamecheck {

namespace {

using namespace script;

constexpr int kDefaultScreenWidth = 800;
constexpr int kDefaultScreenHeight = 600;

// Engine path ("a\\b") as the author writes it ("a/b").
std::string Shown(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return platform::Cp932ToUtf8(path);
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && platform::EqualNoCase(text.substr(text.size() - tail.size()), tail);
}

// A data list read quietly; null when the file is missing (the lists'
// own checks report that).
std::unique_ptr<CNameList> ReadList(const char* path) {
  if (!platform::FileExists(path)) return nullptr;
  auto list = std::make_unique<CNameList>();
  if (!list->Load(path, false, true)) return nullptr;
  return list;
}

// A voice in its pack, found through the sound loader's own index reader
// (cdvaw\XY.vtb beside the pack cdvaw\XY.vpk).
bool VoiceInPack(const std::string& name) {
  if (!platform::FileExists(CWaveBuffer::VoicePackPath(name.c_str()))) return false;
  int length = 0;
  const std::string prefix = CWaveBuffer::VoicePrefix(name.c_str());
  return CWaveBuffer::FindPackEntry(CWaveBuffer::FindPackIndex(prefix.c_str()), name.c_str(), &length) >= 0;
}

// Whether a picture is in a pack volume the game reads.
bool PictureInPack(const std::string& path) {
  int bytes = 0;
  FILE* file = OpenPackEntry(path.c_str(), &bytes);
  if (!file) return false;
  std::fclose(file);
  return true;
}

// One compiled script, with the source it was assembled from when known.
struct Script {
  std::string name;   // as in spt/, without ".spt"
  std::string file;   // what findings name, relative to its folder
  bool fromSource = false;  // `file` is in the source folder, not the game's
  std::vector<uint32_t> words;
  std::map<int, int> lines;  // record word -> source line (empty: none known)
};

class Checker {
 public:
  Checker(const CheckInput& input, Findings& findings) : input_(input), findings_(findings) {}

  void Run() {
    projects_ = ReadList(gamelists::kProjectList);
    bgms_ = ReadList(gamelists::kBgmList);
    ses_ = ReadList(gamelists::kSeList);
    CheckProjectList();
    if (!platform::IsDirectory("spt")) return;
    StartPageMode();
    // The picture loader's pack volumes, as the game reads them at its start.
    ResetPackVolumes();
    LoadPackVolumes();
    CWaveBuffer::ForgetPackIndexes();
    packsOn_ = GetDwqPackLevel() > 0;
    for (const std::string& entry : platform::ListFolder("spt")) {
      if (!EndsWithNoCase(entry, ".spt")) continue;
      std::optional<Script> script = Read(entry.substr(0, entry.size() - 4));
      if (script) Walk(*script);
    }
    CheckSpeakers();
    CheckUnsetVariables();
    page_.reset();
    screen_.reset();
    ResetRenderSettings();
    ResetPackVolumes();
    CWaveBuffer::ForgetPackIndexes();
  }

 private:
  // Findings name files by their place on disk, as the lists' checks do:
  // FILE is a game file or (with `source`) a source file, given relative.
  void Add(const std::string& file, int line, const std::string& text, Severity severity = Severity::kError,
           bool source = false) {
    findings_.push_back({severity, ((source ? input_.source : input_.game) / file).string(), line, text});
  }
  void Add(const Script& s, int at, const std::string& text) {
    const auto found = s.lines.find(at);
    Add(s.file, found != s.lines.end() ? found->second : 0, text, Severity::kError, s.fromSource);
  }

  // Every script the project list names must be there: line 1 is the one a
  // new game runs.
  void CheckProjectList() {
    if (!projects_) return;
    if (projects_->GetCount() == 0 || !projects_->GetName(0) || !*projects_->GetName(0)) {
      Add("spt/project.xtx", 0, "names no script on its first line, so a new game has no script to run");
      return;
    }
    for (int i = 0; i < projects_->GetCount(); ++i) {
      const char* name = projects_->GetName(i);
      if (!name || !*name) continue;
      const std::string path = std::string("spt\\") + name + ".spt";
      if (!platform::FileExists(path))
        Add("spt/project.xtx", 0,
            "script " + Quoted(name) + " is named by spt/project but is not in the game (looked for " + Shown(path) +
                ")");
    }
  }

  // The print-message mode without a game, on the screen the game's window
  // has and with the text settings of init/game: it lays pages out as the
  // game does.
  void StartPageMode() {
    int width = kDefaultScreenWidth, height = kDefaultScreenHeight;
    if (platform::FileExists("init\\mainControl.xtx")) {
      CSetupList main;
      if (main.LoadSetupFile("mainControl", 256)) {
        int v = 0;
        if (main.GetSetupInt(&v, "windowSizeX") && v > 0) width = v;
        if (main.GetSetupInt(&v, "windowSizeY") && v > 0) height = v;
      }
    }
    screen_ = std::make_unique<CScreenBuffer>(width, height, 1);
    ResetRenderSettings();
    if (platform::FileExists("init\\game.xtx")) {
      CSetupList game;
      if (game.LoadSetupFile("game", 256)) LoadRenderSettings(game, 0, nullptr);
    }
    if (platform::FileExists("init\\PrintMessage.xtx")) {
      page_ = std::make_unique<CCommonPrintMessage>(nullptr);
      // Which first lines the game takes for a speaker's name.
      CSetupList print;
      int v = 0;
      if (print.LoadSetupFile("PrintMessage", 256) && print.GetSetupInt(&v, "autoNameWindowFlag") && v) {
        const char* file = gamelists::kNameColourList;
        print.GetSetupString(&file, "nameColorFileName");
        nameColorFile_ = file;
        nameLengthMax_ = 5;
        print.GetSetupInt(&nameLengthMax_, "nameLengthMax");
        nameColors_ = std::make_unique<CNameColorList>();
        nameColors_->Load(file);
      }
    }
    // The message window picture's right edge, as the window draws it: at
    // its place, at most its size wide.
    const bool started = GetPictureDecodeBufferSize() == 0;
    if (started) InitPictureLoader(dwq::kDecodeMegabytes);
    {
      CQuietMissingPictures quiet;
      CCommonMessageWindow window;
      const CPicture* picture = window.GetWindowPicture();
      if (picture && picture->IsLoaded()) {
        windowName_ = window.GetWindowName(0, 0, 0);
        windowPictureWidth_ = std::min(window.GetSizeX(), picture->GetWidth());
        windowRight_ = window.GetPrintX() + windowPictureWidth_;
      }
    }
    if (started) ReleasePictureLoader();
  }

  std::optional<Script> Read(const std::string& name) {
    Script s;
    s.name = name;
    const std::string gameFile = "spt/" + platform::Cp932ToUtf8(name) + ".spt";
    s.file = gameFile;
    std::string bytes;
    const long long size = platform::FileSize("spt\\" + name + ".spt");
    if (size > CScript::kMaxFileBytes) {
      Add(gameFile, 0,
          "the script is " + toolsupport::SizeOverLimit(size, CScript::kMaxFileBytes, "a script") +
              "; the game refuses to run it");
      return std::nullopt;
    }
    if (!platform::ReadWholeFile("spt\\" + name + ".spt", &bytes)) {
      Add(gameFile, 0, "the script cannot be read");
      return std::nullopt;
    }
    const std::string why = zasm::CheckScriptFile(bytes);
    if (!why.empty()) {
      Add(gameFile, 0, "not a compiled script: " + why + "; the game refuses to run it");
      return std::nullopt;
    }
    s.words = zasm::DecodeFile(bytes);
    if (!input_.source.empty()) MapToSource(&s);
    return s;
  }

  // Findings name the source line when the source assembles to the very
  // words of the game's file.
  void MapToSource(Script* s) {
    const std::string text = "spt/" + platform::Cp932ToUtf8(s->name) + ".spt.txt";
    const std::filesystem::path path = input_.source / text;
    std::error_code sizeError;
    const auto size = static_cast<long long>(std::filesystem::file_size(path, sizeError));
    if (!sizeError && size > CScript::kMaxFileBytes) {
      Add(text, 0,
          "the source is " + toolsupport::SizeOverLimit(size, CScript::kMaxFileBytes, "a script") +
              "; it is not read, and the findings below name " + s->file,
          Severity::kWarning, true);
      return;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return;
    std::string source;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) source.append(buffer, n);
    std::fclose(file);
    const zasm::Assembly assembly = zasm::Assemble(source);
    if (!assembly.ok() || assembly.words != s->words) {
      Add(text, 0,
          "does not assemble to " + s->file + " (the game holds another build of it); the findings below name " +
              s->file,
          Severity::kWarning, true);
      return;
    }
    s->file = text;
    s->fromSource = true;
    s->lines = assembly.recordLines;
    // Only the source says which answers name no label: the game's file
    // holds the label numbers alone.
    for (const zasm::Assembly::LineNote& note : assembly.unlabelledAnswers)
      Add(text, note.line, note.text, Severity::kWarning, true);
  }

  // A NUL-terminated text of a table (the message or the string table).
  std::string Text(const Script& s, int tableWord, int i) const { return zasm::TableText(s.words, tableWord, i); }

  void Walk(const Script& s) {
    const std::vector<uint32_t>& w = s.words;
    const int count = static_cast<int>(w.size());
    const int labelCount = count > kHeaderLabelCount ? static_cast<int>(w[kHeaderLabelCount]) : 0;
    const int labelBase = count > kHeaderLabelBase ? static_cast<int32_t>(w[kHeaderLabelBase]) : 0;
    if (page_) page_->SetLineCount(0);
    for (int pc = static_cast<int>(w[0]); pc < count;) {
      const int len = static_cast<int>(w[static_cast<size_t>(pc)]);
      if (len <= 0 || len > count - pc) break;
      auto word = [&](int k) { return k < len ? static_cast<int32_t>(w[static_cast<size_t>(pc + k)]) : 0; };
      const int32_t cls = word(1), code = word(2);
      // kWordsN: the count at word 3, the numbers from word 4.
      const int n = std::clamp(word(3), 0, std::max(len - 4, 0));
      auto number = [&](int k, int missing) { return k < n ? word(4 + k) : missing; };
      const std::string string3 = Text(s, kHeaderStringTable, word(3));
      const std::string string4 = Text(s, kHeaderStringTable, word(4));
      NoteVariables(s, pc, len, cls, code);
      if (cls == kClassCommand) {
        if (code == CommandCode("loaddwq") || code == CommandCode("preloaddwq")) CheckPicture(s, pc, string4);
        else if (code == CommandCode("se") && number(0, -1) != -1) CheckSoundEffect(s, pc, number(0, -1));
        else if (code == CommandCode("bgm") && number(0, 0) > 0) CheckMusic(s, pc, number(0, 0));
        else if (code == CommandCode("effect")) CheckEffect(s, pc, n, number);
      } else if (cls == kClassNotice && code == CommandCode("voice") && len >= 5) {
        CheckVoice(s, pc, string4);
      } else if (cls == kClassControl && (code == kCallScript || code == kCallScript2 || code == kReplaceScript)) {
        CheckScriptName(s, pc, string3);
      } else if (cls == kClassText) {
        if (code == kTextWipe) {
          if (!WipeExists(number(0, 0)))
            Add(s, pc, "wipe " + std::to_string(number(0, 0)) + " does not exist; the transition shows no wipe");
          if (page_) page_->SetScreenWait(number(0, 0), number(1, 0));
        } else if (code == kTextWait) {
          if (page_) page_->SetWaitTime(word(4));
        } else if (code == kTextChoice) {
          CheckChoice(s, pc, len, word, labelCount, labelBase);
        } else if (code == kTextWindow || code == kTextFull || code == kTextAppend) {
          CheckPage(s, pc, code, Text(s, kHeaderMessageTable, word(3)), len >= 6 ? word(5) : 0);
        }
      }
      pc += len;
    }
  }

  void CheckPicture(const Script& s, int at, const std::string& name) {
    const std::string path = PicturePath(name.c_str());
    if (path.empty()) {
      Add(s, at, "picture " + Quoted(name) +
                     " cannot be found: a picture's name starts with the two letters of its folder (dwq/XY/NAME.dwq)");
      return;
    }
    const std::string file = "dwq\\" + path + ".dwq";
    if (platform::FileExists(file) && !platform::IsDirectory(file)) return;
    if (packsOn_ && PictureInPack(path)) return;
    Add(s, at, "picture " + Quoted(name) + " is not in the game (looked for " + Shown(file) +
                   (packsOn_ && PackPrefixFor(path.c_str()) >= 0 ? " and in its pack volumes" : "") + ")" +
                   UnreadVolumeNote(path.c_str()) + "; the game shows an error box and the channel shows nothing");
  }

  void CheckVoice(const Script& s, int at, const std::string& name) {
    if (name.empty()) return;
    const std::string file = CWaveBuffer::VoiceFilePath(name.c_str());
    if (VoiceInPack(name) || (platform::FileExists(file) && !platform::IsDirectory(file))) return;
    Add(s, at, "voice " + Quoted(name) + " is not in the game (looked in " + Shown(CWaveBuffer::VoicePackPath(name.c_str())) +
                   " and for " + Shown(file) + "); nothing plays");
  }

  void CheckSoundEffect(const Script& s, int at, int number) {
    const std::string said = "sound effect " + std::to_string(number);
    const char* name = ses_ && number >= 0 && number <= (INT32_MAX - 1) / 2 ? ses_->GetName(2 * number) : nullptr;
    if (!name) {
      const int pairs = ses_ ? ses_->GetCount() / 2 : 0;
      Add(s, at, said + " is not in spt/selist (it lists " + std::to_string(pairs) +
                     (pairs == 1 ? " sound, numbered from 0" : " sounds, numbered from 0") + "); nothing plays");
      return;
    }
    const std::string file = std::string("vaw\\se\\") + name + ".vaw";
    if (platform::FileExists(file) && !platform::IsDirectory(file)) return;
    Add(s, at, said + " plays " + Quoted(name) + ", which is not in the game (looked for " + Shown(file) +
                   "); nothing plays");
  }

  void CheckMusic(const Script& s, int at, int number) {
    const std::string said = "bgm " + std::to_string(number);
    const int track = number - 1;
    const char* name = bgms_ && track <= (INT32_MAX - 1) / 2 ? bgms_->GetName(2 * track) : nullptr;
    if (!name) {
      const int pairs = bgms_ ? bgms_->GetCount() / 2 : 0;
      Add(s, at, said + " is not in spt/bgmlist (it lists " + std::to_string(pairs) +
                     (pairs == 1 ? " track, bgm 1" : " tracks, bgm 1 to " + std::to_string(pairs)) +
                     "); no music plays");
      return;
    }
    const std::string base = std::string("wgq\\") + name;
    if (platform::FileExists(base + ".mml") || platform::FileExists(base + ".wgq")) return;
    Add(s, at, said + " plays " + Quoted(name) + ", which is not in the game (looked for " + Shown(base + ".wgq") +
                   " and " + Shown(base + ".mml") + "); no music plays");
  }

  void CheckScriptName(const Script& s, int at, const std::string& name) {
    const std::string path = "spt\\" + name + ".spt";
    if (!platform::FileExists(path) || platform::IsDirectory(path)) {
      Add(s, at, "script " + Quoted(name) + " is not in the game (looked for " + Shown(path) +
                     "); the game shows an error box and the script stops");
      return;
    }
    if (!projects_ || projects_->Search(name.c_str(), 0) < 0)
      Add(s, at, "script " + Quoted(name) +
                     " is not named in spt/project (letter case counts there); the game then counts it as the "
                     "project's first script, so its saves and read-text marks go to the wrong script");
  }

  template <typename Number>
  void CheckEffect(const Script& s, int at, int n, Number number) {
    const int ch = number(0, 0), effect = number(1, -1);
    if (effect == -1) return;
    if (!IsEffectNumberDefined(effect)) {
      Add(s, at, "effect " + std::to_string(effect) + " does not exist; channel " + std::to_string(ch) +
                     " starts nothing");
      return;
    }
    // The simple wipe's second value is the wipe it draws.
    if (effect == CEffectSimpleWipe::kNumber && n > 2 + CEffectSimpleWipe::kWipeNumber) {
      const int wipe = number(2 + CEffectSimpleWipe::kWipeNumber, 0);
      if (!WipeExists(wipe))
        Add(s, at, "wipe " + std::to_string(wipe) + " of effect " + std::to_string(effect) +
                       " does not exist; channel " + std::to_string(ch) + " draws nothing");
    }
  }

  bool WipeExists(int n) {
    if (!wipes_) wipes_ = std::make_unique<CAllWipe>();
    return wipes_->GetWipe(n) != nullptr;
  }

  // A choice record: n, the n answers' strings, then either the key alone
  // or the question lines, the key, R, Q, P and their count m. The game
  // goes on at label (answer + label base); a time limit (P) also gives
  // its timeout answer Q, or n + 1 without one.
  template <typename Word>
  void CheckChoice(const Script& s, int at, int len, Word word, int labelCount, int labelBase) {
    const int n = word(3);
    if (n < 0 || n > len) return;
    std::vector<int> answers;
    for (int k = 1; k <= n; ++k) answers.push_back(k);
    if (len != n + 5) {
      const int p = word(len - 2), q = word(len - 3);
      if (p != 0) answers.push_back(q != 0 ? q : n + 1);
    }
    std::string missing;
    int missingCount = 0;
    for (size_t i = 0; i < answers.size(); ++i) {
      const long long label = static_cast<long long>(answers[i]) + labelBase;
      if (label >= 0 && label < labelCount) continue;
      if (!missing.empty()) missing += ", ";
      missing += std::to_string(answers[i]);
      if (i == static_cast<size_t>(n)) missing += " (the answer when the time runs out)";
      ++missingCount;
    }
    if (missing.empty()) return;
    Add(s, at, std::string(missingCount == 1 ? "answer " : "answers ") + missing + " of this choice " +
                   (missingCount == 1 ? "has" : "have") + " no label, so the run goes on after the choice (answer k "
                   "goes on at label k + " + std::to_string(labelBase) + ", the label base, of the script's " +
                   std::to_string(labelCount) + (labelCount == 1 ? " label" : " labels") +
                   " counted from 0; write `.labelbase -1` and the answers' labels first)");
  }

  // With "autoNameWindowFlag", a page's first line is a speaker's name only
  // when the name colour list holds it. A short first line over more lines
  // that begins several pages and is not listed reads as a forgotten
  // speaker: the game draws it as narration.
  void NoteSpeaker(const Script& s, int at, const std::string& text) {
    if (!nameColors_) return;
    const size_t end = text.find("\r\n");
    if (end == std::string::npos || end == 0 || end + 2 >= text.size()) return;
    const std::string first = text.substr(0, end);
    if (CTextPrint::GetTextLength(first.c_str()) > nameLengthMax_ || nameColors_->Find(first.c_str()) >= 0) return;
    Speaker& speaker = speakers_[first];
    if (speaker.pages++ == 0) {
      const auto found = s.lines.find(at);
      speaker.place = {s.file, found != s.lines.end() ? found->second : 0, s.fromSource};
    }
  }

  // Which variables a record sets and which its condition reads. An
  // expression's assignments set; a condition's variables are read; a
  // variable handed to anything else (a system call, a function, a
  // command) may be written by it, so it counts as set.
  void NoteVariables(const Script& s, int pc, int len, int32_t cls, int32_t code) {
    const std::vector<uint32_t>& w = s.words;
    const int first = pc + 3, end = pc + len;
    auto isVar = [](uint32_t word) { return (word >> 28) == 8 && (word & kVarLiteralBit) == 0; };
    auto number = [](uint32_t word) { return static_cast<int>(word & 0x7FFF); };
    const bool condition = cls == kClassControl && (code == kIf || code == kElsif || code == kIfOnly);
    if (!condition && cls != kClassExpression) {
      if (cls == kClassControl) return;
      for (int i = first; i < end; ++i)
        if (isVar(w[static_cast<size_t>(i)])) setVars_.insert(number(w[static_cast<size_t>(i)]));
      return;
    }
    if (first >= end) return;
    std::vector<uint32_t> rpn;
    if (w[static_cast<size_t>(first)] != kListMark) {
      rpn.push_back(w[static_cast<size_t>(first)]);
    } else if (first + 1 < end) {
      const int n = std::clamp(static_cast<int>(w[static_cast<size_t>(first + 1)]), 0, end - first - 2);
      rpn.assign(w.begin() + first + 2, w.begin() + first + 2 + n);
    }
    // The operand stack as the interpreter keeps it: an assignment's target
    // is the operand below the value ("!" alone sets a variable it is
    // applied to).
    std::vector<uint32_t> stack;
    for (const uint32_t token : rpn) {
      if ((token >> 28) != 0xA) {
        stack.push_back(token);
        if (condition && isVar(token)) {
          const auto line = s.lines.find(pc);
          reads_.push_back({s.file, line != s.lines.end() ? line->second : 0, s.fromSource, number(token)});
        }
        continue;
      }
      const uint32_t group = token >> 24, c = token & 0xFF;
      if (group == kGroupArith && c == '!') {
        if (!stack.empty() && isVar(stack.back())) setVars_.insert(number(stack.back()));
        continue;
      }
      if (stack.size() < 2) break;
      const uint32_t target = stack[stack.size() - 2];
      const bool assigns = (group == kGroupArith && c == '=') || (group == kGroupAssign && c != '=');
      stack.pop_back();
      if (assigns) {
        if (isVar(target)) setVars_.insert(number(target));
      } else {
        stack.back() = kLiteral;
      }
    }
  }

  // A variable a condition reads that nothing sets: no script's expression
  // or call, no screen (the settings keys of mode/screensetvars.h), not the
  // system file (the kept variables) and not the engine's computed system
  // variables. The condition always sees 0 there.
  void CheckUnsetVariables() {
    if (reads_.empty()) return;
    // The variable names, inverted as the game reads them.
    std::unique_ptr<CNameList> names;
    if (platform::FileExists(gamelists::kVarNameList)) {
      names = std::make_unique<CNameList>();
      if (!names->Load(gamelists::kVarNameList, true, true)) names.reset();
    }
    auto numberOf = [&](const char* name) {
      for (int i = 0; names && name && i < names->GetCount(); ++i) {
        const char* token = names->GetName(i);
        if (token && *token && std::strcmp(token, name) == 0) return i;
      }
      return -1;
    };
    for (int k = 0; k < static_cast<int>(SystemVar::kCount); ++k)
      setVars_.insert(numberOf(CGameVariables::SystemVarName(static_cast<SystemVar>(k))));
    for (const screensetvars::SetVarKey& key : screensetvars::kSetVarKeys) {
      if (!platform::FileExists(std::string("init\\") + key.list + ".xtx")) continue;
      CSetupList list;
      if (!list.LoadSetupFile(key.list, 256)) continue;
      const char* name = key.defaultName;
      list.GetSetupString(&name, key.key);
      if (name) setVars_.insert(numberOf(name));
      for (int n = 1; key.numbered && n <= kMaxKeyedEntries; ++n) {
        const char* numbered = nullptr;
        if (list.GetSetupString(&numbered, (key.key + std::to_string(n)).c_str()) && numbered)
          setVars_.insert(numberOf(numbered));
      }
    }
    std::set<std::pair<std::string, int>> told;  // (script, variable)
    for (const VarRead& read : reads_) {
      const int v = read.var;
      if (setVars_.count(v) || CGameVariables::IsKeptVar(v)) continue;
      if (!told.insert({read.file, v}).second) continue;
      const char* name = names && v < names->GetCount() ? names->GetName(v) : nullptr;
      Add(read.file, read.line,
          "variable " + std::to_string(v) + (name && *name ? " (" + Quoted(name) + ")" : "") +
              " is read in a condition, but no script sets it and no screen's settings name it; the condition "
              "always sees 0",
          Severity::kWarning, read.fromSource);
    }
  }

  void CheckSpeakers() {
    for (const auto& [name, speaker] : speakers_) {
      if (speaker.pages < 2) continue;
      const std::string list = Shown(nameColorFile_);
      Add(speaker.place.file, speaker.place.line,
          Quoted(name) + " begins " + std::to_string(speaker.pages) + " pages like a speaker's name, but " + list +
              " does not list it, so the game draws it as a white first line of narration; add " +
              Quoted(name + ",R,G,B") + " to " + list + " if it is a speaker",
          Severity::kWarning, speaker.place.fromSource);
    }
  }

  void CheckPage(const Script& s, int at, int code, const std::string& text, int extra) {
    if (!page_) return;
    if (code == kTextWindow) NoteSpeaker(s, at, text);
    page_->SetMessage(code, 0x00010001, text.c_str(), extra);
    const std::string problem = page_->TakePageFitProblem();
    if (!problem.empty()) {
      Add(s, at, "this page does not fit the message window of init/PrintMessage: " + problem);
      return;
    }
    if (code != kTextWindow || windowRight_ <= 0 || page_->GetPageReach() <= windowRight_) return;
    const auto found = s.lines.find(at);
    Add(s.file, found != s.lines.end() ? found->second : 0,
        "line " + std::to_string(page_->GetPageReachLine()) + " of this page reaches x " +
            std::to_string(page_->GetPageReach()) + ", past the message window picture " + Quoted(windowName_) +
            ", which ends at x " + std::to_string(windowRight_) + " (" + std::to_string(windowPictureWidth_) +
            " wide from x " + std::to_string(windowRight_ - windowPictureWidth_) +
            " of init/messageWindow); the text runs over the window's frame",
        Severity::kWarning, s.fromSource);
  }

  const CheckInput& input_;
  Findings& findings_;
  std::unique_ptr<CNameList> projects_, bgms_, ses_;
  struct VarRead {
    std::string file;
    int line;
    bool fromSource;
    int var;
  };
  std::vector<VarRead> reads_;  // the variables conditions read, in file order
  std::set<int> setVars_;
  bool packsOn_ = false;
  std::unique_ptr<CScreenBuffer> screen_;
  std::unique_ptr<CCommonPrintMessage> page_;
  std::unique_ptr<CAllWipe> wipes_;
  struct Place {
    std::string file;
    int line = 0;
    bool fromSource = false;
  };
  struct Speaker {
    int pages = 0;
    Place place;  // the first page it begins
  };
  std::unique_ptr<CNameColorList> nameColors_;
  std::string nameColorFile_;
  int nameLengthMax_ = 5;
  std::map<std::string, Speaker> speakers_;
  std::string windowName_;
  int windowPictureWidth_ = 0, windowRight_ = 0;  // 0: no window picture
};

}  // namespace

void CheckScripts(const CheckInput& input, Findings& findings) {
  if (!platform::IsInstalled()) platform::InstallHeadless().SetBoxEcho(false);
  const GameFolderScope folder(input.game.string());
  Checker(input, findings).Run();
}

}  // namespace gamecheck
