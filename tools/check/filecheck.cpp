// Every file the game reads is read here as the game reads it: pictures by
// the picture loader (CPicture::LoadDWQ), sounds and voices by the sound
// loader (CWaveBuffer::ReadWave), music by the music decoder
// (COggStreamDecoder). What a reader refuses is an error, with the reason
// the reader gives on its stderr line; the loaders' own lines are kept
// from stderr here, as the finding says the same.
#include "tools/check/filecheck.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "graphics/dwqformat.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "sound/musicfile.h"
#include "sound/wavebuffer.h"
#include "tools/check/gamefolder.h"
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
    const bool started = GetPictureDecodeBufferSize() == 0;
    if (started) InitPictureLoader(dwq::kDecodeMegabytes);
    for (const fs::path& file : files) {
      const std::string top = TopFolder(file);
      const std::string extension = toolsupport::AsciiLower(file.extension().string());
      if (top == "dwq" && extension == ".dwq") CheckPicture(file);
      else if ((top == "vaw" || top == "cdvaw") && extension == ".vaw") CheckSound(file);
      else if (top == "wgq" && extension == ".wgq") CheckMusic(file);
    }
    if (started) ReleasePictureLoader();
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

  // A file shorter than a picture header is reported by the lists' checks.
  void CheckPicture(const fs::path& file) {
    std::error_code error;
    if (fs::file_size(file, error) < static_cast<uintmax_t>(dwq::kHeaderSize)) return;
    const std::string name = EngineName(file, input_.game / "dwq");
    CPicture picture;
    CQuietMissingPictures quiet;
    if (picture.LoadDWQ(name.c_str(), 0, "dwq")) {
      lines_.Take();
      return;
    }
    const std::string why = Reason(lines_.Take(), "LOAD DWQ ERROR(Bad File) ", name);
    Add(file, "the game cannot load this picture" + (why.empty() ? std::string() : ": " + why) +
                  "; it shows an error box and draws nothing in its place");
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
};

}  // namespace

void CheckFiles(const CheckInput& input, Findings& findings) {
  // The lint names what the game's boxes would show in its own lines.
  if (!platform::IsInstalled()) platform::InstallHeadless().SetBoxEcho(false);
  const GameFolderScope folder(input.game.string());
  FileChecker(input, findings).Run();
}

}  // namespace gamecheck
