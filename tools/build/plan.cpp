#include "tools/build/plan.h"

#include <fnmatch.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/codec.h"
#include "tools/common/hostfile.h"
#include "tools/common/names.h"

namespace fs = std::filesystem;

namespace gamebuild {
namespace {

using toolsupport::AsciiLower;

bool IEquals(const std::string& a, const std::string& b) { return AsciiLower(a) == AsciiLower(b); }

// Files every source folder may hold that are not part of the game: hidden
// files, editor backups and notes for the author.
bool Skipped(const std::string& name) {
  if (name.empty() || name[0] == '.') return true;
  if (name.back() == '~') return true;
  if (name.size() >= 2 && name.front() == '#' && name.back() == '#') return true;
  const std::string lower = AsciiLower(name);
  for (const char* ext : {".swp", ".swo", ".bak"}) {
    const size_t n = std::char_traits<char>::length(ext);
    if (lower.size() > n && lower.compare(lower.size() - n, n, ext) == 0) return true;
  }
  return lower == "readme" || lower.rfind("readme.", 0) == 0;
}

// "bg01.jpg" is stem "bg01" and extension ".jpg"; "var.fxf.txt" is "var"
// and ".fxf.txt": the stem ends at the first dot.
void SplitName(const std::string& name, std::string* stem, std::string* ext) {
  const size_t dot = name.find('.');
  *stem = dot == std::string::npos ? name : name.substr(0, dot);
  *ext = dot == std::string::npos ? "" : AsciiLower(name.substr(dot));
}

// Why the game cannot use `name` as a file or folder name, or "".
std::string NameProblem(const std::string& name) {
  if (name.empty()) return "the name is empty";
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return "the name holds a control character";
    if (c == ' ' || c == ',' || c == '\\') {
      return "the name holds a blank, a comma or a backslash, which split or end a name in the game's lists";
    }
  }
  if (platform::Cp932ToUtf8(platform::Utf8ToCp932(name, true)) != name) {
    return "the name holds a character the game's CP932 names cannot hold";
  }
  return "";
}

// The first two characters of a name (a CP932 name's first two letters,
// which pick the folder of a picture a script loads and of a voice).
std::string FirstTwo(const std::string& name) {
  size_t i = 0;
  for (int chars = 0; chars < 2 && i < name.size(); ++chars) {
    const auto c = static_cast<unsigned char>(name[i]);
    i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  }
  return name.substr(0, std::min(i, name.size()));
}

size_t CharCount(const std::string& name) {
  size_t n = 0;
  for (unsigned char c : name) n += (c & 0xC0) != 0x80;
  return n;
}

// One line of the options file: "PATTERN OPTION..." (options for the
// source files PATTERN matches).
struct Rule {
  std::string pattern;
  int line = 0;
  std::string fit, scale;
  int mask = -1;          // -1 not said, 0 nomask, 1 mask
  bool ogg = false;
  bool inplace = false;
  bool matched = false;
};

// The options a source file takes, with the line each came from.
struct FileOptions {
  std::string fit, scale;
  int fit_line = 0, scale_line = 0, mask_line = 0, ogg_line = 0, inplace_line = 0;
  int mask = -1;
  bool ogg = false;
  bool inplace = false;
};

bool IsWholeNumber(const std::string& s) {
  return !s.empty() && s.size() <= 5 &&
         std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool IsSize(const std::string& s) {
  const size_t x = s.find('x');
  return x != std::string::npos && IsWholeNumber(s.substr(0, x)) && IsWholeNumber(s.substr(x + 1));
}

class Planner {
 public:
  explicit Planner(const std::string& root) : root_(root) {}

  Plan Run() {
    ReadOptions();
    std::vector<std::string> files;
    Walk(files);
    for (const std::string& rel : files) TakeFile(rel);
    rules_.insert(rules_.end(), ignores_.begin(), ignores_.end());
    for (const Rule& rule : rules_) {
      if (!rule.matched) {
        Error(std::string(kOptionsFile) + ":" + std::to_string(rule.line),
              "\"" + rule.pattern + "\" matches no file of the source folder");
      }
    }
    CheckOutputs();
    CheckPacks();
    return std::move(plan_);
  }

 private:
  void Error(const std::string& where, const std::string& what) {
    plan_.errors.push_back(where + ": " + what);
  }

  void ReadOptions() {
    const fs::path path = fs::path(root_) / kOptionsFile;
    std::error_code ec;
    if (!fs::exists(path, ec)) return;
    std::string text;
    if (!toolsupport::ReadHostFile(path.string(), &text)) {
      Error(kOptionsFile, "cannot be read");
      return;
    }
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
      ++number;
      const std::string where = std::string(kOptionsFile) + ":" + std::to_string(number);
      if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
      std::istringstream words(line);
      std::vector<std::string> w;
      for (std::string word; words >> word;) w.push_back(word);
      if (w.empty()) continue;
      if (w[0] == "pack") {
        ReadPack(w, number, where);
        continue;
      }
      if (w[0] == "ignore") {
        if (w.size() != 2) {
          Error(where, "an ignore line is \"ignore PATTERN\": the files or folders PATTERN matches are left out");
        } else {
          Rule rule;
          rule.pattern = w[1];
          rule.line = number;
          ignores_.push_back(rule);
        }
        continue;
      }
      Rule rule;
      rule.pattern = w[0];
      rule.line = number;
      if (w.size() == 1) {
        Error(where, "\"" + w[0] + "\" names no option (fit WxH, scale N, mask, nomask, ogg or inplace)");
        continue;
      }
      bool ok = true;
      for (size_t i = 1; i < w.size() && ok; ++i) {
        if (w[i] == "fit" || w[i] == "scale") {
          if (i + 1 >= w.size()) {
            Error(where, "\"" + w[i] + "\" needs a value (fit 800x600, scale 4)");
            ok = false;
          } else if (w[i] == "fit") {
            rule.fit = w[++i];
            if (!IsSize(rule.fit)) {
              Error(where, "fit \"" + rule.fit + "\" is not a size WxH such as 800x600");
              ok = false;
            }
          } else {
            rule.scale = w[++i];
            if (!IsWholeNumber(rule.scale) || std::stoi(rule.scale) < 1 || std::stoi(rule.scale) > 64) {
              Error(where, "scale \"" + rule.scale + "\" is not a whole number from 1 to 64");
              ok = false;
            }
          }
        } else if (w[i] == "mask" || w[i] == "nomask") {
          rule.mask = w[i] == "mask" ? 1 : 0;
        } else if (w[i] == "ogg") {
          rule.ogg = true;
        } else if (w[i] == "inplace") {
          rule.inplace = true;
        } else {
          Error(where, "unknown option \"" + w[i] + "\" (fit WxH, scale N, mask, nomask, ogg or inplace)");
          ok = false;
        }
      }
      if (ok) rules_.push_back(rule);
    }
  }

  void ReadPack(const std::vector<std::string>& w, int number, const std::string& where) {
    Pack pack;
    pack.line = number;
    if (w.size() < 2 || w.size() > 3) {
      Error(where, "a pack line is \"pack dwq/FOLDER VOLUME\" or \"pack cdvaw/XY\"");
      return;
    }
    pack.folder = w[1];
    while (!pack.folder.empty() && pack.folder.back() == '/') pack.folder.pop_back();
    const std::string lower = AsciiLower(pack.folder);
    if (lower.rfind("dwq/", 0) == 0 && pack.folder.size() > 4) {
      if (w.size() != 3) {
        Error(where, "a picture pack needs its volume's name: \"pack " + pack.folder + " bg0\"");
        return;
      }
      const std::string& v = w[2];
      const size_t digits = v.find_first_of("0123456789");
      const bool letters_then_digits =
          digits != std::string::npos && digits > 0 &&
          std::all_of(v.begin(), v.begin() + static_cast<long>(digits), [](unsigned char c) { return std::isalpha(c); }) &&
          std::all_of(v.begin() + static_cast<long>(digits), v.end(), [](unsigned char c) { return std::isdigit(c); });
      if (!letters_then_digits) {
        Error(where, "volume \"" + v + "\" is not a prefix and a number such as bg0 or sys1");
        return;
      }
      pack.volume = "dwq/" + v + ".gtb";
    } else if (lower.rfind("cdvaw/", 0) == 0 && CharCount(pack.folder.substr(6)) == 2 &&
               pack.folder.find('/', 6) == std::string::npos) {
      if (w.size() != 2) {
        Error(where, "a voice pack takes no volume name: it is always cdvaw/XY.vpk");
        return;
      }
      pack.voices = true;
      pack.volume = pack.folder + ".vpk";
    } else {
      Error(where, "\"" + pack.folder + "\" cannot be packed: only a folder under dwq/ or a voice folder cdvaw/XY");
      return;
    }
    plan_.packs.push_back(pack);
  }

  void Walk(std::vector<std::string>& files) {
    std::error_code ec;
    fs::recursive_directory_iterator it(root_, fs::directory_options::follow_directory_symlink, ec);
    if (ec) {
      Error(root_, "cannot be read: " + ec.message());
      return;
    }
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
      const fs::path rel = it->path().lexically_relative(root_);
      const std::string name = it->path().filename().string();
      if (Skipped(name)) {
        if (it->is_directory(ec)) it.disable_recursion_pending();
        continue;
      }
      if (Ignored(rel.generic_string())) {
        if (it->is_directory(ec)) it.disable_recursion_pending();
        continue;
      }
      if (it->is_directory(ec)) continue;
      if (!it->is_regular_file(ec)) {
        Error(rel.generic_string(), "is not a regular file");
        continue;
      }
      files.push_back(rel.generic_string());
    }
    if (ec) Error(root_, "cannot be read whole: " + ec.message());
    std::sort(files.begin(), files.end());
  }

  // A path the options file's "ignore" lines leave out.
  bool Ignored(const std::string& rel) {
    bool ignored = false;
    for (Rule& rule : ignores_) {
      if (fnmatch(rule.pattern.c_str(), rel.c_str(), FNM_PATHNAME) == 0) ignored = rule.matched = true;
    }
    return ignored;
  }

  FileOptions OptionsFor(const std::string& rel) {
    FileOptions o;
    for (Rule& rule : rules_) {
      if (fnmatch(rule.pattern.c_str(), rel.c_str(), FNM_PATHNAME) != 0) continue;
      rule.matched = true;
      // A line naming this one file refuses an option its kind does not
      // take; a pattern's options apply to the files they fit.
      const int line = rule.pattern.find_first_of("*?[") == std::string::npos ? rule.line : 0;
      if (!rule.fit.empty()) o.fit = rule.fit, o.fit_line = line;
      if (!rule.scale.empty()) o.scale = rule.scale, o.scale_line = line;
      if (rule.mask >= 0) o.mask = rule.mask, o.mask_line = line;
      if (rule.ogg) o.ogg = true, o.ogg_line = line;
      if (rule.inplace) o.inplace = true, o.inplace_line = line;
    }
    return o;
  }

  // An option the file's kind does not take names its line and the file.
  bool Refuse(int line, const std::string& option, const std::string& rel, const std::string& why) {
    if (line == 0) return false;
    Error(std::string(kOptionsFile) + ":" + std::to_string(line),
          option + " does not apply to " + rel + " (" + why + ")");
    return true;
  }

  void Add(const std::string& rel, const std::string& out, const std::string& tool,
           std::vector<std::string> args) {
    plan_.steps.push_back(Step{rel, out, tool, std::move(args)});
  }

  void TakeFile(const std::string& rel) {
    std::vector<std::string> parts;
    for (const auto& p : fs::path(rel)) parts.push_back(p.string());
    const std::string& name = parts.back();
    const FileOptions o = OptionsFor(rel);
    // Files at the top (the options file, notes, the author's own build
    // files) are not part of the game: the game's files are all in folders.
    if (parts.size() == 1) return;
    for (const std::string& part : parts) {
      if (const std::string why = NameProblem(part); !why.empty()) {
        Error(rel, why);
        return;
      }
    }
    const std::string top = AsciiLower(parts[0]);
    std::string stem, ext;
    SplitName(name, &stem, &ext);
    if (stem.empty()) {
      Error(rel, "the name is empty before its first dot");
      return;
    }
    const std::string dir = rel.substr(0, rel.size() - name.size());  // with its '/'

    if (top == "init" || top == "init2" || top == "spt" || top == "mok" || top == "chart") {
      if (RefuseAll(o, rel, "lists and scripts take no options")) return;
      if (ext == ".spt.txt") {
        Add(rel, dir + stem + ".spt", "zor-asm", {"{in}", "{out}"});
      } else if (ext == ".fxf.txt") {
        Add(rel, dir + stem + ".fxf", "zor-list", {"--invert", "{in}", "{out}"});
      } else if (ext == ".scene.txt") {
        if (top != "spt") {
          Error(rel, "a scene table belongs in spt/ beside spt/project.txt");
        } else {
          Add(rel, dir + stem + ".dat", "zor-scene", {"{root}/" + parts[0] + "/project.txt", "{in}", "{out}"});
        }
      } else if (ext == ".txt") {
        Add(rel, dir + stem + ".xtx", "zor-list", {"{in}", "{out}"});
      } else if (ext == ".xtx" || ext == ".fxf" || ext == ".spt" || ext == ".dat" || ext == ".mft") {
        Add(rel, rel, "", {});
      } else {
        Error(rel, "unknown kind of file \"" + ext + "\" in " + parts[0] +
                       "/: a list is NAME.txt (NAME.fxf.txt inverted), a script NAME.spt.txt, a scene table NAME.scene.txt");
      }
      return;
    }
    if (top == "dwq") {
      TakePicture(rel, parts, stem, ext, o);
      return;
    }
    if (top == "wgq") {
      if (parts.size() != 2) {
        Error(rel, "music goes directly in wgq/ (the game finds music NAME as wgq/NAME)");
        return;
      }
      if (RefuseAll(o, rel, "music takes no options")) return;
      const std::string out = dir + stem + ".wgq";
      if (ext == ".ogg" || ext == ".oga" || ext == ".wav") {
        Add(rel, out, "zor-sound", {"music", "{in}", "{out}"});
      } else if (ext == ".txt") {
        Add(rel, out, "zor-sound", {"tune", "{in}", "{out}"});
      } else if (ext == ".mml" || ext == ".wgq") {
        Add(rel, rel, "", {});
      } else {
        Error(rel, "unknown kind of music \"" + ext +
                       "\": Ogg Vorbis (.ogg, .oga), WAV (.wav), a note list (.txt) or a playlist (.mml)");
      }
      return;
    }
    if (top == "cdvaw" || top == "vaw") {
      TakeSound(rel, parts, stem, ext, o);
      return;
    }
    if (top == "movie") {
      if (!RefuseAll(o, rel, "movies take no options")) Add(rel, rel, "", {});
      return;
    }
    if (top == "sav") {
      if (RefuseAll(o, rel, "shipped save files take no options")) return;
      if (parts.size() != 2) {
        Error(rel, "the game keeps the player's flow-chart slots in the folders of sav/, so a game ships only "
                   "files directly in sav/");
        return;
      }
      if (IsPlayersSaveName(name)) {
        Error(rel, "the game writes this file for the player, so a game never ships it (a shipped copy would "
                   "replace the player's own); ship a .org file (sysfile.org, result.org) for a starting state");
        return;
      }
      if (parts.size() == 2 && IEquals(name, "sysfile.org")) plan_.ship_own_sysfile = true;
      Add(rel, rel, "", {});
      return;
    }
    Error(rel, "unknown folder \"" + parts[0] +
                   "/\": a source folder holds init, init2, spt, mok, chart, dwq, wgq, cdvaw, vaw, movie and sav");
  }

  // Every option the file was given refused for `why`; true when there was one.
  bool RefuseAll(const FileOptions& o, const std::string& rel, const std::string& why) {
    bool refused = Refuse(o.fit_line, "fit", rel, why);
    refused |= Refuse(o.scale_line, "scale", rel, why);
    refused |= Refuse(o.mask_line, "mask", rel, why);
    refused |= Refuse(o.ogg_line, "ogg", rel, why);
    refused |= Refuse(o.inplace_line, "inplace", rel, why);
    return refused;
  }

  void TakePicture(const std::string& rel, const std::vector<std::string>& parts, const std::string& stem,
                   const std::string& ext, const FileOptions& o) {
    std::string out_dir;
    if (parts.size() == 2) {
      if (CharCount(stem) < 2) {
        Error(rel, "a picture directly in dwq/ is placed in dwq/XY/ by its first two letters; \"" + stem +
                       "\" has fewer than two");
        return;
      }
      out_dir = "dwq/" + FirstTwo(stem) + "/";
    } else {
      const std::string& folder = parts[1];
      // Only a list naming "ta\hr_mina" finds dwq/ta/hr_mina; a script's
      // loaddwq "hr_mina" looks in dwq/hr/.
      if (parts.size() == 3 && CharCount(folder) == 2 && !IEquals(FirstTwo(stem), folder) && !o.inplace) {
        plan_.warnings.push_back(rel + ": warning: a script loads \"" + stem + "\" from dwq/" + FirstTwo(stem) +
                                 "/, not dwq/" + folder + "/; only a list naming \"" + folder + "\\" + stem +
                                 "\" finds it here (the option inplace says it belongs there)");
      }
      out_dir = rel.substr(0, rel.size() - parts.back().size());
    }
    const std::string out = out_dir + stem + ".dwq";
    std::string data;
    const auto head = [&](size_t n) {
      std::ifstream in(fs::path(root_) / rel, std::ios::binary);
      data.assign(n, '\0');
      in.read(data.data(), static_cast<std::streamsize>(n));
      data.resize(static_cast<size_t>(in.gcount()));
    };
    if (ext == ".jpg" || ext == ".jpeg") {
      bool refused = Refuse(o.scale_line, "scale", rel, "scale is for text grids");
      refused |= Refuse(o.mask_line, "mask", rel, "a JPEG has no alpha; use a PNG");
      refused |= Refuse(o.ogg_line, "ogg", rel, "ogg is for sounds");
      if (refused) return;
      head(3);
      if (data != "\xFF\xD8\xFF") {
        Error(rel, "is not a JPEG file");
        return;
      }
      std::vector<std::string> args;
      if (!o.fit.empty()) args.insert(args.end(), {"--fit", o.fit});
      args.insert(args.end(), {"--body", "jpeg", "{in}", "{out}"});
      Add(rel, out, "zor-picture", args);
    } else if (ext == ".png") {
      bool refused = Refuse(o.scale_line, "scale", rel, "scale is for text grids");
      refused |= Refuse(o.ogg_line, "ogg", rel, "ogg is for sounds");
      if (refused) return;
      head(64 * 1024);
      if (data.size() < 33 || data.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0 || data.compare(12, 4, "IHDR") != 0) {
        Error(rel, "is not a PNG file");
        return;
      }
      // Colour types 4 and 6 carry alpha; a tRNS chunk gives the others one.
      const auto colour_type = static_cast<unsigned char>(data[25]);
      const bool alpha = colour_type == 4 || colour_type == 6 || data.find("tRNS") != std::string::npos;
      std::vector<std::string> args;
      if (o.mask == 1 || (o.mask == -1 && alpha)) args.push_back("--mask");
      if (!o.fit.empty()) args.insert(args.end(), {"--fit", o.fit});
      args.insert(args.end(), {"{in}", "{out}"});
      Add(rel, out, "zor-picture", args);
    } else if (ext == ".txt") {
      bool refused = Refuse(o.fit_line, "fit", rel, "fit is for photographs");
      refused |= Refuse(o.ogg_line, "ogg", rel, "ogg is for sounds");
      if (refused) return;
      std::vector<std::string> args;
      if (o.mask != 0) args.push_back("--mask");
      if (!o.scale.empty()) args.insert(args.end(), {"--scale", o.scale});
      args.insert(args.end(), {"{in}", "{out}"});
      Add(rel, out, "zor-picture", args);
    } else if (ext == ".sheet.txt") {
      if (!RefuseAll(o, rel, "a sheet description takes no options"))
        Add(rel, out, "zor-sheet", {"{in}", "{out}"});
    } else if (ext == ".spfont.txt") {
      if (!RefuseAll(o, rel, "a glyph font takes no options"))
        Add(rel, out, "zor-spfont", {"{in}", "{out}"});
    } else if (ext == ".dwq") {
      if (!RefuseAll(o, rel, "a finished picture takes no options")) Add(rel, out, "", {});
    } else {
      Error(rel, "unknown kind of picture \"" + ext +
                     "\": JPEG (.jpg), PNG (.png), a text grid (.txt), a sheet (.sheet.txt), glyphs (.spfont.txt) or a finished .dwq");
    }
  }

  void TakeSound(const std::string& rel, const std::vector<std::string>& parts, const std::string& stem,
                 const std::string& ext, const FileOptions& o) {
    const bool voice = AsciiLower(parts[0]) == "cdvaw";
    std::string out_dir;
    if (voice && parts.size() == 2) {
      if (CharCount(stem) < 2) {
        Error(rel, "a voice directly in cdvaw/ is placed in cdvaw/XY/ by its first two letters; \"" + stem +
                       "\" has fewer than two");
        return;
      }
      out_dir = parts[0] + "/" + FirstTwo(stem) + "/";
    } else if (voice && parts.size() == 3) {
      if (CharCount(parts[1]) != 2 || !IEquals(FirstTwo(stem), parts[1])) {
        Error(rel, "the game finds voice \"" + stem + "\" in cdvaw/" + FirstTwo(stem) +
                       "/ only (put it there, or directly in cdvaw/ to have it placed)");
        return;
      }
      out_dir = rel.substr(0, rel.size() - parts.back().size());
    } else if (!voice && parts.size() == 3) {
      out_dir = rel.substr(0, rel.size() - parts.back().size());
    } else {
      Error(rel, voice ? "a voice goes in cdvaw/ or cdvaw/XY/, XY its first two letters"
                       : "a sound goes in a folder of vaw/: vaw/se/ (sound effects) or vaw/sys/ (system sounds)");
      return;
    }
    const std::string out = out_dir + stem + ".vaw";
    bool refused = Refuse(o.fit_line, "fit", rel, "fit is for photographs");
    refused |= Refuse(o.scale_line, "scale", rel, "scale is for text grids");
    refused |= Refuse(o.mask_line, "mask", rel, "mask is for pictures");
    refused |= Refuse(o.inplace_line, "inplace", rel, "inplace is for pictures");
    if (refused) return;
    if (ext == ".ogg" || ext == ".oga") {
      Refuse(o.ogg_line, "ogg", rel, "an Ogg file is kept as it is anyway");
      Add(rel, out, "zor-sound", {"voice", "--ogg", "{in}", "{out}"});
    } else if (ext == ".wav" || ext == ".txt" || ext == ".tones.txt") {
      std::vector<std::string> args{"voice"};
      if (o.ogg) args.push_back("--ogg");
      args.insert(args.end(), {"{in}", "{out}"});
      Add(rel, out, "zor-sound", args);
    } else if (ext == ".vaw") {
      if (!RefuseAll(o, rel, "a finished sound takes no options")) Add(rel, out, "", {});
    } else {
      Error(rel, "unknown kind of sound \"" + ext +
                     "\": Ogg Vorbis (.ogg, .oga), WAV (.wav), tones (.txt, .tones.txt) or a finished .vaw");
    }
  }

  // Two sources that make the same game file (names match without regard
  // to letter case in the game).
  void CheckOutputs() {
    std::map<std::string, const Step*> seen;
    for (const Step& step : plan_.steps) {
      auto [it, fresh] = seen.emplace(AsciiLower(step.output), &step);
      if (!fresh) {
        Error(step.source, "makes " + step.output + ", as " + it->second->source +
                               " does (the game matches names without regard to letter case)");
      }
    }
  }

  void CheckPacks() {
    std::set<std::string> volumes;
    for (const Pack& pack : plan_.packs) {
      const std::string where = std::string(kOptionsFile) + ":" + std::to_string(pack.line);
      const std::string prefix = AsciiLower(pack.folder) + "/";
      const bool has = std::any_of(plan_.steps.begin(), plan_.steps.end(), [&](const Step& s) {
        const std::string out = AsciiLower(s.output);
        return out.rfind(prefix, 0) == 0 && out.find('/', prefix.size()) == std::string::npos &&
               out.size() > 4 && out.compare(out.size() - 4, 4, pack.voices ? ".vaw" : ".dwq") == 0;
      });
      if (!has) Error(where, "the game folder gets no " + std::string(pack.voices ? "voice" : "picture") +
                                 " in " + pack.folder + "/ to pack");
      if (!volumes.insert(AsciiLower(pack.volume)).second) Error(where, pack.volume + " is packed twice");
      if (!pack.voices) CheckPackLevel(pack, where);
    }
  }

  // The game reads picture volume N only when dwqPackLevel in init/game is
  // N + 1 or more; a pack it would not read makes every packed picture
  // missing, so the rule is refused with the line to add.
  void CheckPackLevel(const Pack& pack, const std::string& where) {
    const std::string name = fs::path(pack.volume).stem().string();
    const int volume = std::atoi(name.c_str() + name.find_first_of("0123456789"));
    const int needed = volume + 1;
    int level = 0;
    std::string said = "init/game.txt does not set dwqPackLevel";
    std::ifstream in(fs::path(root_) / "init" / "game.txt", std::ios::binary);
    if (!in) said = "the source folder has no init/game.txt";
    std::string word, key;
    const auto take = [&] {
      if (word.empty()) return;
      if (IEquals(key, "dwqPackLevel")) {
        level = std::atoi(word.c_str());
        said = "init/game.txt sets dwqPackLevel to " + word;
        key.clear();
      } else {
        key = word;
      }
      word.clear();
    };
    for (char c; in.get(c);) {
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',') take();
      else word += c;
    }
    take();
    if (level >= needed) return;
    Error(where, "the game reads pack " + name + " only with dwqPackLevel " + std::to_string(needed) +
                     " or more, and " + said + "; add the line \"dwqPackLevel," + std::to_string(needed) +
                     "\" to init/game.txt");
  }

  std::string root_;
  std::vector<Rule> rules_;
  std::vector<Rule> ignores_;
  Plan plan_;
};

}  // namespace

Plan MakePlan(const std::string& source_dir) { return Planner(source_dir).Run(); }

bool IsPlayersSaveName(const std::string& name) {
  const std::string lower = AsciiLower(name);
  const auto ends = [&lower](const std::string& tail) {
    return lower.size() >= tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
  };
  if (ends(".sav") || ends(".dat") || ends(".lock") || ends(".bad")) return true;
  const size_t bad = lower.rfind(".bad.");
  return bad != std::string::npos && bad + 5 < lower.size() &&
         lower.find_first_not_of("0123456789", bad + 5) == std::string::npos;
}

std::vector<std::string> ToolsNeeded(const Plan& plan) {
  std::set<std::string> tools;
  for (const Step& step : plan.steps) {
    if (!step.tool.empty()) tools.insert(step.tool);
  }
  for (const Pack& pack : plan.packs) tools.insert(pack.voices ? "zor-sound" : "zor-pack");
  return {tools.begin(), tools.end()};
}

}  // namespace gamebuild
