// Every file the game reads is read here as the game reads it: pictures by
// the picture loader (CPicture::LoadDWQ), also those of the pack volumes the
// game's pack level reads, sounds and voices by the sound loader
// (CWaveBuffer::ReadWave, CWaveBuffer::LoadVoicePack for each voice of a
// voice pack), music by the music decoder (COggStreamDecoder) and music
// lists by the playlist (CBgmPlayList). What a reader refuses is an error, with the reason
// the reader gives on its stderr line; the loaders' own lines are kept
// from stderr here, as the finding says the same.
#include "tools/check/filecheck.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "graphics/dwqformat.h"
#include "graphics/packformat.h"
#include "graphics/packvolume.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "sound/musicfile.h"
#include "sound/playlist.h"
#include "sound/wavebuffer.h"
#include "tools/check/gamefolder.h"
#include "tools/common/hostfile.h"
#include "tools/common/names.h"

namespace fs = std::filesystem;

namespace gamecheck {

namespace {

// The extensions of the files the game reads by name.
constexpr const char* kGameFileExtensions[] = {".dwq", ".gtb", ".gpk", ".xtx", ".fxf", ".spt", ".dat",
                                               ".vaw", ".vtb", ".vpk", ".wgq", ".mml", ".sav", ".org"};

// The loaders' stderr lines while the checks read, taken instead of printed.
class ErrorLines {
 public:
  ErrorLines() : headless_(dynamic_cast<platform::HeadlessBackend*>(&platform::Host())) {
    if (!headless_) return;
    headless_->SetErrorEcho(false);
    headless_->ClearErrorLines();
  }
  ~ErrorLines() {
    if (headless_) headless_->SetErrorEcho(true);
  }
  // The lines since the last call.
  std::vector<std::string> Take() {
    if (!headless_) return {};
    std::vector<std::string> lines = headless_->ErrorLines();
    headless_->ClearErrorLines();
    return lines;
  }

 private:
  platform::HeadlessBackend* headless_;
};

// The reason after "NAME: " in a loader's line that starts with `start`.
std::string Reason(const std::vector<std::string>& lines, const std::string& start, const std::string& name) {
  const std::string head = start + name + ": ";
  for (const std::string& line : lines)
    if (line.starts_with(head)) return line.substr(head.size());
  return "";
}

// Engine name of a file below a folder of the game: "bg\\bg01" for
// dwq/bg/bg01.dwq below dwq.
std::string EngineName(const fs::path& file, const fs::path& below) {
  std::string name = file.lexically_relative(below).replace_extension().string();
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

class FileChecker {
 public:
  FileChecker(const CheckInput& input, Findings& findings) : input_(input), findings_(findings) {}

  void Run() {
    std::error_code error;
    std::vector<fs::path> files, folders;
    for (fs::recursive_directory_iterator it(input_.game, error), end; !error && it != end; it.increment(error)) {
      const fs::path& path = it->path();
      if (it->is_directory(error)) {
        if (IsGameFileName(path)) {
          folders.push_back(path);
          it.disable_recursion_pending();
        }
      } else if (it->is_regular_file(error)) {
        files.push_back(path);
      }
    }
    std::sort(folders.begin(), folders.end());
    for (const fs::path& folder : folders)
      Add(folder, "is a folder where the game reads a file of that name; the game cannot read it");
    std::sort(files.begin(), files.end());
    // The pack volumes as the game reads them at its start.
    ResetPackVolumes();
    CWaveBuffer::ForgetPackIndexes();
    const bool started = GetPictureDecodeBufferSize() == 0;
    if (started) InitPictureLoader(dwq::kDecodeMegabytes);
    else LoadPackVolumes();
    lines_.Take();  // a broken index is told by its own check
    // Volumes from the highest down, as a lookup finds them.
    std::vector<fs::path> volumes;
    for (const fs::path& file : files) {
      const std::string top = TopFolder(file);
      const std::string extension = toolsupport::AsciiLower(file.extension().string());
      const fs::path rel = file.lexically_relative(input_.game);
      const bool atTop = std::distance(rel.begin(), rel.end()) == 2;  // dwq/bg0.gtb, not dwq/bg/x.gtb
      if (top == "dwq" && extension == ".dwq") CheckPicture(file);
      else if (top == "dwq" && extension == ".gtb" && atTop) volumes.push_back(file);
      else if ((top == "vaw" || top == "cdvaw") && extension == ".vaw") CheckSound(file);
      else if (top == "cdvaw" && extension == ".vtb" && atTop) CheckVoicePack(file);
      else if (top == "wgq" && extension == ".wgq") CheckMusic(file);
      else if (top == "wgq" && extension == ".mml") CheckMusicList(file);
    }
    std::sort(volumes.begin(), volumes.end(), [](const fs::path& a, const fs::path& b) {
      return VolumeNumber(a) > VolumeNumber(b) || (VolumeNumber(a) == VolumeNumber(b) && a < b);
    });
    for (const fs::path& file : volumes) CheckPictureVolume(file);
    if (started) ReleasePictureLoader();
    ResetPackVolumes();
    CWaveBuffer::ForgetPackIndexes();
  }

 private:
  void Add(const fs::path& file, const std::string& text) {
    findings_.push_back({Severity::kError, file.string(), 0, text});
  }

  static bool IsGameFileName(const fs::path& path) {
    const std::string extension = toolsupport::AsciiLower(path.extension().string());
    return std::any_of(std::begin(kGameFileExtensions), std::end(kGameFileExtensions),
                       [&](const char* e) { return extension == e; });
  }

  std::string TopFolder(const fs::path& file) const {
    const fs::path rel = file.lexically_relative(input_.game);
    return rel.empty() ? "" : toolsupport::AsciiLower(rel.begin()->string());
  }

  // The volume number of "bg12.gtb": 12 (-1 without digits).
  static int VolumeNumber(const fs::path& file) {
    const std::string stem = file.stem().string();
    size_t digits = stem.size();
    while (digits > 0 && stem[digits - 1] >= '0' && stem[digits - 1] <= '9') --digits;
    if (digits == stem.size() || stem.size() - digits > 6) return -1;
    return std::stoi(stem.substr(digits));
  }

  // The volume prefix entry of "bg0.gtb", or -1.
  static int VolumePrefix(const fs::path& file) {
    const std::string stem = toolsupport::AsciiLower(file.stem().string());
    const std::string prefix = stem.substr(0, stem.find_first_of("0123456789"));
    for (int k = 0; k < dwqpack::kPrefixCount; ++k)
      if (*dwqpack::kPrefixes[k] && prefix == dwqpack::kPrefixes[k]) return k;
    return -1;
  }

  // A pack volume the game's pack level reads: every picture it serves
  // through the picture loader (the highest volume that lists a picture
  // serves it). The index itself is checked with the lists.
  void CheckPictureVolume(const fs::path& index) {
    const int k = VolumePrefix(index), v = VolumeNumber(index);
    if (k < 0 || v < 0 || v >= GetDwqPackLevel()) return;
    fs::path data = index;
    data.replace_extension(index.extension() == ".GTB" ? ".GPK" : ".gpk");
    std::string bytes;
    std::error_code error;
    if (!fs::is_regular_file(data, error) || !toolsupport::ReadHostFile(index.string(), &bytes)) return;
    const auto parsed = DwqPackIndex::Parse(std::move(bytes), static_cast<int64_t>(fs::file_size(data, error)));
    if (!parsed) return;
    for (int i = 0; i < parsed->GetCount(); ++i) {
      const std::string key = parsed->GetName(i);
      const std::string name =
          std::string(dwqpack::PrefixInSys(k) ? "sys\\" : "") + dwqpack::kPrefixes[k] + "\\" + key;
      if (PackPrefixFor(name.c_str()) != k || !packed_.insert(name).second) continue;
      std::string why;
      if (!LoadPicture(name, &why))
        Add(data, "the game cannot load the picture \"" + key + "\" of this pack" + why + kNoPicture);
    }
  }

  // A voice pack: its index and every voice it lists through the voice
  // loader, as a script's voice line reads them.
  void CheckVoicePack(const fs::path& index) {
    const std::string prefix = index.stem().string();
    fs::path data = index;
    data.replace_extension(index.extension() == ".VTB" ? ".VPK" : ".vpk");
    const std::string enginePack = "cdvaw\\" + prefix;
    CWaveBuffer voice;  // the loaders keep the pack index while one lives
    CWaveBuffer::FindPackIndex(prefix.c_str());
    for (const std::string& line : lines_.Take()) AddEngineLine(line, enginePack, index, data);
    std::string bytes;
    if (!toolsupport::ReadHostFile(index.string(), &bytes)) return;
    const size_t records = bytes.size() / VoicePackIndexEntry::kSize;
    std::error_code error;
    if (records > 1 && !fs::is_regular_file(data, error)) {
      Add(index, "its data file " + data.filename().string() + " is missing; the game finds none of its " +
                     std::to_string(records - 1) + " voices there");
      return;
    }
    for (size_t i = 0; i + 1 < records; ++i) {
      const char* record = bytes.data() + i * VoicePackIndexEntry::kSize;
      const std::string name(record, strnlen(record, VoicePackIndexEntry::kNameSize));
      if (name.size() < 2 || toolsupport::AsciiLower(name.substr(0, 2)) != toolsupport::AsciiLower(prefix)) continue;
      if (voice.LoadVoicePack(name.c_str())) {
        lines_.Take();
        continue;
      }
      const std::vector<std::string> lines = lines_.Take();
      if (lines.empty()) Add(data, "the game cannot read the voice \"" + name + "\" of this pack; nothing plays");
      for (const std::string& line : lines) AddEngineLine(line, enginePack, index, data);
    }
  }

  // A loader's line about a voice pack ("cdvaw\\mi.vtb: TEXT",
  // "cdvaw\\mi.vpk (entry NAME): TEXT", "cdvaw\\mi.vpk: TEXT") as a finding
  // on the file it names.
  void AddEngineLine(const std::string& line, const std::string& enginePack, const fs::path& index,
                     const fs::path& data) {
    const size_t colon = line.find(": ");
    const std::string head = line.substr(0, colon);
    const std::string text = colon == std::string::npos ? line : line.substr(colon + 2);
    if (toolsupport::AsciiLower(head) == toolsupport::AsciiLower(enginePack + ".vtb")) {
      Add(index, text);
      return;
    }
    const size_t entry = head.find(" (entry ");
    Add(data, entry == std::string::npos ? text
                                          : "the voice \"" + head.substr(entry + 8, head.size() - entry - 9) + "\": " + text);
  }

  // A music list: the playlist reads it as the music stream does, and every
  // name it plays must open as music.
  void CheckMusicList(const fs::path& file) {
    const std::string name = EngineName(file, input_.game / "wgq");
    CBgmPlayList list;
    if (!list.Load(name.c_str())) {
      std::string why;
      for (const std::string& line : lines_.Take())
        if (line.starts_with("wgq\\" + name + ".mml: ")) why = line.substr(name.size() + 10);
      Add(file, why.empty() ? std::string("the game cannot read this music list; the music is not played") : why);
      return;
    }
    lines_.Take();
    std::set<std::string> named;
    // Endless repeats end after a round without sound; the bound keeps a
    // huge counted repeat short.
    for (int step = 0; step < 100000; ++step) {
      const char* next = list.Next();
      if (!next) break;
      if (!named.insert(next).second) continue;
      std::FILE* in = OpenMusicFile(next);
      if (in) {
        std::fclose(in);
        continue;
      }
      Add(file, "names the music \"" + std::string(next) + "\", which is not in wgq (looked for wgq/" + next +
                    ".wgq); that part of the list plays nothing");
    }
    lines_.Take();
  }

  // A file shorter than a picture header is reported by the lists' checks.
  void CheckPicture(const fs::path& file) {
    std::error_code error;
    if (fs::file_size(file, error) < static_cast<uintmax_t>(dwq::kHeaderSize)) return;
    const std::string name = EngineName(file, input_.game / "dwq");
    // A picture a read pack volume lists is read from there: the volume's
    // check reads it.
    int left = 0;
    if (std::FILE* packed = OpenPackEntry(name.c_str(), &left)) {
      std::fclose(packed);
      return;
    }
    std::string why;
    if (!LoadPicture(name, &why)) Add(file, "the game cannot load this picture" + why + kNoPicture);
  }

  static constexpr const char* kNoPicture = "; it shows an error box and draws nothing in its place";

  // Loads a picture as a script does; false with ": REASON" (or "") in why
  // when the loader refuses it.
  bool LoadPicture(const std::string& name, std::string* why) {
    CPicture picture;
    CQuietMissingPictures quiet;
    const bool loaded = picture.LoadDWQ(name.c_str(), 0, "dwq");
    const std::string reason = Reason(lines_.Take(), "LOAD DWQ ERROR(Bad File) ", name);
    *why = loaded || reason.empty() ? "" : ": " + reason;
    return loaded;
  }

  void CheckSound(const fs::path& file) {
    std::string path = file.lexically_relative(input_.game).string();
    std::replace(path.begin(), path.end(), '/', '\\');
    std::FILE* in = platform::FileOpen(path, "rb");
    if (!in) {
      Add(file, "the sound file cannot be opened; nothing plays");
      return;
    }
    CWaveBuffer wave;
    const int ok = wave.ReadWave(in, 0);
    std::fclose(in);
    lines_.Take();
    if (!ok) Add(file, "the game cannot play this sound: " + wave.GetProblem() + "; nothing plays");
  }

  void CheckMusic(const fs::path& file) {
    const std::string name = EngineName(file, input_.game / "wgq");
    std::FILE* in = OpenMusicFile(name.c_str());
    if (!in) {
      Add(file, "the music file cannot be opened; no music plays");
      return;
    }
    std::vector<uint8_t> output(COggStreamDecoder::kOutputSize);
    COggStreamDecoder decoder(output.data());
    const int ok = decoder.Open(in);
    const std::string why = ok ? "" : decoder.GetProblem();
    decoder.Close();
    std::fclose(in);
    lines_.Take();
    if (!ok) Add(file, "the game cannot play this music: " + why + "; no music plays");
  }

  const CheckInput& input_;
  Findings& findings_;
  ErrorLines lines_;
  std::set<std::string> packed_;  // picture names a checked volume serves
};

}  // namespace

void CheckFiles(const CheckInput& input, Findings& findings) {
  // The lint names what the game's boxes would show in its own lines.
  if (!platform::IsInstalled()) platform::InstallHeadless().SetBoxEcho(false);
  const GameFolderScope folder(input.game.string());
  FileChecker(input, findings).Run();
}

}  // namespace gamecheck
