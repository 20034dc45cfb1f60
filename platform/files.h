// Files and folders. Engine paths are relative to the game folder, CP932,
// separated by '\' or '/', and written without regard to letter case; the
// resolver turns them into host paths. Absolute host paths (starting with
// '/') are resolved the same way from the root.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The folder engine paths are relative to. EnterGameFolder also makes it the
// current folder and remembers the old one for LeaveGameFolder.
void SetGameFolder(const std::string& hostPath);
const std::string& GameFolder();
bool EnterGameFolder(const std::string& hostPath);
void LeaveGameFolder();
// Folder of the running executable (host path).
std::string ExecutableFolder();
// Paths the user gave on the command line, which are the host's and relative
// to the folder the program started in, not the game's: the path made
// absolute, and whether it names a folder.
std::string HostAbsolutePath(const std::string& hostPath);
bool HostIsDirectory(const std::string& hostPath);

// Host path (UTF-8) for an engine path: components matched against the
// folder entries without regard to ASCII case, exact spelling first;
// components that do not exist keep their converted spelling.
std::string ResolvePath(std::string_view path);

// The one opener of data files, stdio modes ("rb", "wb", "ab", "r+b").
// A write open refused on a read-only file adds the owner's write bit and
// tries once more.
FILE* FileOpen(std::string_view path, const char* mode);

bool FileExists(std::string_view path);   // a file or a folder
bool IsDirectory(std::string_view path);
bool CreateDirectory(std::string_view path);  // an existing folder is success
bool RemoveFile(std::string_view path);
bool RemoveDirectory(std::string_view path);  // empty folders only
bool CopyFile(std::string_view from, std::string_view to);  // overwrites
// Entry names of a folder (CP932), without "." and "..", sorted.
std::vector<std::string> ListFolder(std::string_view path);
// Size in bytes, or -1.
long long FileSize(std::string_view path);
// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(std::string_view path, std::string* out);

// Whole-file writes: the bytes go to a temporary file in the same folder,
// which is synced to the disk and replaces the old file only when every
// write succeeded; the folder is synced after the rename, so the new name
// outlives a power loss. A failed write leaves the previous file as it
// was; error (when given) then holds the system's text for what went
// wrong. A failed sync of the folder fails the write too, although the new
// file then already stands under its name.
bool WriteWholeFile(std::string_view path, const void* data, size_t size,
                    std::string* error = nullptr);

// For writers that produce a file piece by piece through stdio.
class WholeFileWriter {
 public:
  WholeFileWriter() = default;
  ~WholeFileWriter();
  WholeFileWriter(const WholeFileWriter&) = delete;
  WholeFileWriter& operator=(const WholeFileWriter&) = delete;

  // The stream to write to, or null when the temporary file cannot be made.
  FILE* Open(std::string_view path);
  // Flushes, checks and renames over the target; false leaves the old file.
  bool Commit();
  // Drops the temporary file.
  void Abort();
  // The system's text for the step that failed (empty while none has).
  const std::string& Error() const { return error_; }

 private:
  // Keeps the text of errno (or of code) for Error().
  void Failed(int code = 0);

  FILE* file_ = nullptr;
  std::string target_;
  std::string temp_;
  std::string error_;
};

// Moves a file or folder to a new name, replacing a file of that name;
// false with the system's text in error (when given).
bool RenameFile(std::string_view from, std::string_view to, std::string* error = nullptr);

// Removes what interrupted whole-file writes left in a folder: files named
// "<name>.tmp.XXXXXX" (six letters or digits, as the writers make them)
// that were not written to for a minute, so another program's write in
// progress is left alone. Answers each one found, with the system's text
// when it could not be removed.
struct StaleTemporary {
  std::string name;   // CP932, within the folder
  std::string error;  // empty when removed
};
std::vector<StaleTemporary> RemoveStaleTemporaries(std::string_view folder);

// User folders (host paths converted to CP932, without trailing separator).
std::string DocumentsFolder();
std::string AppDataFolder();

// Test aid: the next `count` whole-file writes fail as if the disk were full
// (ENOSPC).
void FailWholeFileWrites(int count);
// Test aid: the next `count` syncs of a folder after a rename fail (EIO).
void FailFolderSyncs(int count);
// Test aid: while a log is given (null stops), each whole-file write notes
// its durable steps in it: "sync <temporary>", "rename <temporary> <target>",
// "sync folder <folder>", host paths.
void RecordFileCalls(std::vector<std::string>* log);

}  // namespace platform
