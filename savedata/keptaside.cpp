#include "savedata/keptaside.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/bytereader.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/savefolder.h"

namespace {

std::string CopyName(const std::string& path, int n) {
  return n == 1 ? path + ".bad" : path + ".bad." + std::to_string(n);
}

}  // namespace

bool KeepDamagedFile(const std::string& path, std::string* keptAs, std::string* error,
                     std::string* boxError) {
  std::string target;
  for (int n = 1; n <= kKeptAsideCopies && target.empty(); ++n)
    if (!platform::FileExists(CopyName(path, n))) target = CopyName(path, n);
  if (target.empty()) {
    // Every name is taken: the newest copy makes way. A rename replaces a
    // file by a file only, so a copy of the other kind goes first.
    target = CopyName(path, kKeptAsideCopies);
    const bool copyIsFolder = platform::IsDirectory(target);
    if (copyIsFolder != platform::IsDirectory(path)) {
      const bool removed =
          copyIsFolder ? platform::RemoveDirectory(target) : platform::RemoveFile(target);
      if (!removed) {
        if (error) *error = "the copy " + HostPath(target) + " cannot be replaced";
        if (boxError) *boxError = "the copy " + target + " cannot be replaced";
        return false;
      }
    }
  }
  std::string why;
  if (!platform::RenameFile(path, target, &why)) {
    if (error) *error = why;
    if (boxError) *boxError = why;
    return false;
  }
  if (keptAs) *keptAs = target;
  return true;
}

SaveFileState ReadFixedSizeFile(const std::string& path, size_t size, std::string* out,
                                std::string* reason) {
  if (!platform::FileExists(path)) return SaveFileState::kMissing;
  if (platform::IsDirectory(path)) {
    *reason = "it is a folder";
    return SaveFileState::kDamaged;
  }
  FILE* f = platform::FileOpen(path, "rb");
  if (!f) {
    *reason = std::string("it cannot be read: ") + std::strerror(errno);
    return SaveFileState::kDamaged;
  }
  // One byte past the format tells a longer file without reading it all.
  platform::ByteReader reader(f, static_cast<int64_t>(size) + 1);
  out->assign(static_cast<size_t>(reader.Remaining()), '\0');
  const bool read = reader.Read(out->data(), out->size());
  std::fclose(f);
  if (!read) {
    *reason = "it cannot be read";
    return SaveFileState::kDamaged;
  }
  if (out->size() != size) {
    const long long held = platform::FileSize(path);
    *reason = "it holds " + std::to_string(held >= 0 ? held : static_cast<long long>(out->size())) +
              " bytes, " + std::to_string(size) + " expected";
    return SaveFileState::kDamaged;
  }
  return SaveFileState::kSound;
}

bool SetDamagedFileAside(const char* what, const std::string& path, const std::string& reason,
                         const std::string& outcome) {
  std::string aside, error, boxError;
  const bool kept = KeepDamagedFile(path, &aside, &error, &boxError);
  // The line names the files on this host; the box as the save folder's
  // other boxes do ("sav\data0.sav").
  std::string line = std::string(what) + " " + HostPath(path) + " is damaged: " + reason;
  std::string box = path + "\nis damaged: " + reason + ".\n";
  if (kept) {
    line += "; kept as " + HostPath(aside);
    box += "It is kept as\n" + aside;
  } else {
    line += "; it cannot be kept aside (" + error + ") and is left in place, not written over";
    box += "It cannot be kept aside (" + boxError + ") and is left as it is.";
  }
  if (!outcome.empty()) line += "; " + outcome;
  platform::ErrorOutput(line.c_str());
  platform::MessageBox(nullptr, box.c_str(), "Error", MB_OK | MB_ICONWARNING);
  return kept;
}

void ReportUnsavedFile(const char* what, const std::string& path, const std::string& error, bool box) {
  platform::ErrorOutput((std::string(what) + " " + HostPath(path) + " cannot be saved: " + error).c_str());
  if (box)
    platform::MessageBox(nullptr, (path + "\ncannot be saved: " + error).c_str(), "Error",
                         MB_OK | MB_ICONWARNING);
}
