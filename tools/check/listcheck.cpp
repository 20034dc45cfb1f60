#include "tools/check/listcheck.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "graphics/dwqformat.h"
#include "graphics/packvolume.h"
#include "platform/bytes.h"
#include "platform/codec.h"
#include "setup/namelist.h"
#include "setup/text.h"
#include "tools/check/knownkeys.h"
#include "tools/common/hostfile.h"
#include "tools/common/names.h"

namespace fs = std::filesystem;

namespace gamecheck {

namespace {

constexpr int kDefaultScreenWidth = 800;
constexpr int kDefaultScreenHeight = 600;

bool HasExtension(const fs::path& path, const char* extension) {
  return toolsupport::AsciiLower(path.extension().string()) == extension;
}

bool ReadFile(const fs::path& path, std::string* bytes) {
  return toolsupport::ReadHostFile(path.string(), bytes);
}

std::string Words(const std::vector<std::string>& tokens, size_t first) {
  std::string out;
  for (size_t i = first; i < tokens.size(); ++i) {
    if (i > first) out += ' ';
    out += platform::Cp932ToUtf8(tokens[i]);
  }
  return "\"" + out + "\"";
}

// One line of a settings list as the game's reader splits it.
struct ListLine {
  int number = 0;
  std::vector<std::string> tokens;
};

struct SettingsList {
  fs::path gameFile;
  std::string shownFile;  // the name findings give
  std::vector<ListLine> lines;
};

bool CommaEndsLine(const std::string& text, size_t pos) {
  if (pos >= text.size() || text[pos] != ',') return false;
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '\r' || c == '\n') return true;
    if (c != ' ' && c != '\t' && c != '\0') return false;
  }
  return true;
}

// Splits a settings list into its lines' tokens by the list reader's rules
// (CNameList): separators are at most one comma and then blanks, a second
// comma starts an empty token, "key," at a line's end gives the key an
// empty value, and a token longer than CNameList::kMaxToken ends the list.
// Returns the line of that over-long token, or 0.
int SplitLines(const std::string& text, std::vector<ListLine>* lines) {
  size_t pos = 0;
  int line = 1;
  auto lineOf = [&lines, &line]() -> ListLine& {
    if (lines->empty() || lines->back().number != line) lines->push_back({line, {}});
    return lines->back();
  };
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; };
  while (pos < text.size()) {
    if (text[pos] == ',') ++pos;
    while (pos < text.size() && blank(text[pos])) {
      if (text[pos] == '\n') ++line;
      ++pos;
    }
    if (pos >= text.size()) break;
    size_t length = 0;
    while (pos + length < text.size() && !CNameList::EndsToken(static_cast<unsigned char>(text[pos + length])))
      ++length;
    if (length > static_cast<size_t>(CNameList::kMaxToken)) return line;
    ListLine& current = lineOf();
    current.tokens.push_back(text.substr(pos, length));
    pos += length;
    if (current.tokens.size() % 2 == 1 && CommaEndsLine(text, pos)) current.tokens.emplace_back();
  }
  return 0;
}

// The lists of one game folder with one extension, by lower-case name. With
// `shownBySource` a list is named by its source file when the source folder
// has one.
void AddSettingsLists(const CheckInput& input, const char* folder, const char* extension,
                      bool shownBySource, std::map<std::string, SettingsList>* byName) {
  std::error_code error;
  const fs::path dir = input.game / folder;
  if (!fs::is_directory(dir, error)) return;
  const bool hasSource = shownBySource && !input.source.empty();
  for (const fs::directory_entry& entry : fs::directory_iterator(dir, error)) {
    if (!entry.is_regular_file(error) || !HasExtension(entry.path(), extension)) continue;
    SettingsList list;
    list.gameFile = entry.path();
    const fs::path source = input.source / folder / entry.path().stem().concat(".txt");
    list.shownFile = hasSource && fs::exists(source, error) ? source.string() : entry.path().string();
    (*byName)[toolsupport::AsciiLower(entry.path().stem().string())] = std::move(list);
  }
}

// The settings lists the game reads: init2/NAME.fxf when the folder
// "init2" exists and holds the list, else init/NAME.xtx.
std::vector<SettingsList> FindSettingsLists(const CheckInput& input) {
  std::map<std::string, SettingsList> byName;
  AddSettingsLists(input, "init", ".xtx", true, &byName);
  AddSettingsLists(input, "init2", ".fxf", false, &byName);
  std::vector<SettingsList> lists;
  for (auto& [name, list] : byName) lists.push_back(std::move(list));
  return lists;
}

void Add(Findings& findings, Severity severity, const std::string& file, int line, std::string text) {
  findings.push_back({severity, file, line, std::move(text)});
}

// longLine: the line where the game stopped reading the list (0: none);
// its last key lost its value to that, not to a mistake of its own.
void CheckSettingsLines(const SettingsList& list, int longLine, Findings& findings) {
  const KnownKeys& keys = KnownKeys::Engine();
  std::map<std::string, int> firstLine;  // folded key -> its first line
  for (const ListLine& line : list.lines) {
    const std::vector<std::string>& t = line.tokens;
    if (t.empty() || t[0].empty()) continue;
    const std::string key = Quoted(t[0]);
    if (t.size() == 1 && line.number != longLine) {
      Add(findings, Severity::kError, list.shownFile, line.number,
          key + " has no value" +
              (&line == &list.lines.back()
                   ? std::string("")
                   : ", so the game takes the next word of the list for its value and every later key for a "
                     "value") +
              "; write " + key.substr(0, key.size() - 1) + ",VALUE\" (or " + key.substr(0, key.size() - 1) +
              ",\" for an empty value)");
    } else if (t.size() > 2) {
      Add(findings, Severity::kError, list.shownFile, line.number,
          "the value of " + key + " ends at a blank or comma: the game reads " + Quoted(t[1]) +
              " and takes " + Words(t, 2) + " for keys and values of their own" +
              (t.size() % 2 == 1 ? ", which puts every later key in the place of a value" : "") +
              "; a value cannot hold a blank or a comma (a full-width blank \"\u3000\" can stand in "
              "for a blank)");
    }
    if (!keys.IsKnown(t[0])) {
      std::string text = "the engine reads no key " + key;
      const std::string nearest = keys.Nearest(t[0]);
      if (!nearest.empty()) text += " (did you mean " + Quoted(nearest) + "?)";
      Add(findings, Severity::kError, list.shownFile, line.number, text);
      continue;
    }
    const auto [it, inserted] = firstLine.emplace(FoldNoCase(t[0]), line.number);
    if (!inserted) {
      Add(findings, Severity::kWarning, list.shownFile, line.number,
          key + " is set again; the game reads only its first value, on line " + std::to_string(it->second));
    }
  }
}

// The screen's size: "windowSizeX" and "windowSizeY" of the list
// "mainControl" when they are above 0, else 800 x 600.
void ScreenSize(const std::vector<SettingsList>& lists, int* width, int* height) {
  *width = kDefaultScreenWidth;
  *height = kDefaultScreenHeight;
  for (const SettingsList& list : lists) {
    if (toolsupport::AsciiLower(list.gameFile.stem().string()) != "maincontrol") continue;
    bool seenX = false, seenY = false;
    for (const ListLine& line : list.lines) {
      if (line.tokens.size() < 2) continue;
      const std::string key = FoldNoCase(line.tokens[0]);
      const int value = setup::ParseDecimal(line.tokens[1].c_str());
      if (key == "windowsizex" && !seenX) {
        seenX = true;
        if (value > 0) *width = value;
      } else if (key == "windowsizey" && !seenY) {
        seenY = true;
        if (value > 0) *height = value;
      }
    }
  }
}

std::string SizeText(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

void CheckPictureHeader(const unsigned char* header, size_t bytes, const std::string& file,
                        const std::string& what, int screenWidth, int screenHeight, Findings& findings) {
  if (bytes < static_cast<size_t>(dwq::kHeaderSize)) {
    Add(findings, Severity::kError, file, 0,
        what + "is shorter than a picture file's " + std::to_string(dwq::kHeaderSize) +
            "-byte header; the game cannot load it");
    return;
  }
  const int64_t width = static_cast<int32_t>(platform::GetLE32(header + dwq::kWidth));
  const int64_t height = std::llabs(static_cast<int32_t>(platform::GetLE32(header + dwq::kHeight)));
  if (width <= screenWidth && height <= screenHeight) return;
  Add(findings, Severity::kWarning, file, 0,
      what + "is " + std::to_string(width) + " x " + std::to_string(height) + ", larger than the " +
          SizeText(screenWidth, screenHeight) +
          " screen; pictures are drawn pixel for pixel, so the part beyond the screen shows only where "
          "the game moves the picture (gallery scrolling, effects); \"zor-picture --fit " +
          std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "\" makes it fit");
}

void CheckPackVolume(const fs::path& index, int screenWidth, int screenHeight, Findings& findings) {
  std::error_code error;
  fs::path data = index;
  data.replace_extension(".gpk");
  if (!fs::exists(data, error)) {
    data.replace_extension(".GPK");
    if (!fs::exists(data, error)) {
      Add(findings, Severity::kError, index.string(), 0,
          "the pack index has no data file " + index.stem().string() + ".gpk beside it; the game reads none of "
          "its pictures");
      return;
    }
  }
  std::string bytes;
  if (!ReadFile(index, &bytes)) {
    Add(findings, Severity::kError, index.string(), 0, "the pack index cannot be read");
    return;
  }
  const int64_t volumeSize = static_cast<int64_t>(fs::file_size(data, error));
  std::string why;
  const std::unique_ptr<DwqPackIndex> parsed = DwqPackIndex::Parse(std::move(bytes), error ? -1 : volumeSize, &why);
  if (!parsed) {
    Add(findings, Severity::kError, index.string(), 0,
        "the pack index is damaged (" + why + "); the game reads none of its pictures");
    return;
  }
  std::ifstream in(data, std::ios::binary);
  for (int i = 0; i < parsed->GetCount(); ++i) {
    unsigned char header[dwq::kHeaderSize] = {};
    in.clear();
    in.seekg(parsed->GetDataOffset(i));
    in.read(reinterpret_cast<char*>(header), sizeof header);
    CheckPictureHeader(header, static_cast<size_t>(in.gcount()), data.string(),
                       "the picture " + Quoted(parsed->GetName(i)) + " ", screenWidth, screenHeight, findings);
  }
}

void CheckPictures(const CheckInput& input, int screenWidth, int screenHeight, Findings& findings) {
  std::error_code error;
  const fs::path dwqFolder = input.game / "dwq";
  if (!fs::is_directory(dwqFolder, error)) return;
  // dwq/sys holds the screens' pictures, many of them sheets cut into
  // cells (a button's looks side by side, cards, glyphs, bars), so their
  // size says nothing about the screen; so does the "sys" pack volume.
  std::vector<std::pair<fs::path, bool>> files;  // the file, whether it holds sheets
  for (fs::recursive_directory_iterator it(dwqFolder, error), end; !error && it != end; it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    const fs::path rel = it->path().lexically_relative(dwqFolder);
    const bool sheets = std::distance(rel.begin(), rel.end()) > 1
                            ? toolsupport::AsciiLower(rel.begin()->string()) == "sys"
                            : toolsupport::AsciiLower(rel.stem().string()).starts_with("sys");
    files.emplace_back(it->path(), sheets);
  }
  std::sort(files.begin(), files.end());
  for (const auto& [file, sheets] : files) {
    const int width = sheets ? INT_MAX : screenWidth, height = sheets ? INT_MAX : screenHeight;
    if (HasExtension(file, ".dwq")) {
      std::ifstream in(file, std::ios::binary);
      unsigned char header[dwq::kHeaderSize] = {};
      in.read(reinterpret_cast<char*>(header), sizeof header);
      CheckPictureHeader(header, static_cast<size_t>(in.gcount()), file.string(), "the picture ", width, height,
                         findings);
    } else if (HasExtension(file, ".gtb")) {
      CheckPackVolume(file, width, height, findings);
    }
  }
}

}  // namespace

void CheckLists(const CheckInput& input, Findings& findings) {
  std::vector<SettingsList> lists = FindSettingsLists(input);
  for (SettingsList& list : lists) {
    std::string text;
    std::error_code sizeError;
    const auto size = static_cast<long long>(fs::file_size(list.gameFile, sizeError));
    if (!sizeError && size > CNameList::kMaxFileBytes) {
      Add(findings, Severity::kError, list.gameFile.string(), 0,
          "the list is " + toolsupport::SizeOverLimit(size, CNameList::kMaxFileBytes, "a list") +
              "; the game refuses it");
      continue;
    }
    if (!ReadFile(list.gameFile, &text)) {
      Add(findings, Severity::kError, list.gameFile.string(), 0, "the settings list cannot be read");
      continue;
    }
    if (HasExtension(list.gameFile, ".fxf")) {
      for (char& c : text) c = static_cast<char>(~static_cast<unsigned char>(c));
    }
    // The engine asks for its lists by name ("title", "SelectPlace2"), so
    // a list's name is checked against the same catalogue as keys.
    const std::string name = platform::Utf8ToCp932(list.gameFile.stem().string());
    if (!KnownKeys::Engine().IsKnown(name)) {
      std::string message = "the engine reads no settings list named " + Quoted(name);
      const std::string nearest = KnownKeys::Engine().Nearest(name);
      if (!nearest.empty()) message += " (did you mean " + Quoted(nearest) + "?)";
      Add(findings, Severity::kWarning, list.shownFile, 0, message + "; its keys are checked all the same");
    }
    const int longLine = SplitLines(text, &list.lines);
    if (longLine > 0) {
      Add(findings, Severity::kError, list.shownFile, longLine,
          "a word longer than " + std::to_string(CNameList::kMaxToken) +
              " bytes: the game stops reading the list before it");
    }
    CheckSettingsLines(list, longLine, findings);
  }
  int screenWidth = 0, screenHeight = 0;
  ScreenSize(lists, &screenWidth, &screenHeight);
  CheckPictures(input, screenWidth, screenHeight, findings);
}

}  // namespace gamecheck
