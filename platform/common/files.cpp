#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>

#include "platform/codec.h"

namespace platform {
namespace {

std::mutex& Lock() {
  static std::mutex mutex;
  return mutex;
}

std::string& Root() {
  static std::string root;
  return root;
}

std::string& StartFolder() {
  static std::string folder;
  return folder;
}

// A folder entry: its host name and the CP932 spelling the engine would ask
// for (empty when the host name has none).
struct ListedName {
  std::string host;
  std::string cp932;
};

// Folder listings by host path, used only for the case-insensitive fall-back.
std::map<std::string, std::vector<ListedName>>& Listings() {
  static std::map<std::string, std::vector<ListedName>> listings;
  return listings;
}

std::atomic<int> g_failWrites{0};
std::atomic<int> g_failFolderSyncs{0};
std::vector<std::string>* g_callLog = nullptr;

void NoteCall(const std::string& call) {
  std::lock_guard<std::mutex> hold(Lock());
  if (g_callLog) g_callLog->push_back(call);
}

// Makes a rename in the folder durable; false with errno set.
bool SyncFolder(const std::string& folder) {
  NoteCall("sync folder " + folder);
  if (g_failFolderSyncs.load() > 0) {
    g_failFolderSyncs.fetch_sub(1);
    errno = EIO;
    return false;
  }
  const int fd = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  const int code = errno;
  ::close(fd);
  errno = code;
  return ok;
}

std::string CurrentFolder() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer)) return buffer;
  return ".";
}

std::string RootLocked() {
  if (Root().empty()) Root() = CurrentFolder();
  return Root();
}

std::vector<ListedName> ReadListing(const std::string& hostDir) {
  std::vector<std::string> names;
  DIR* dir = opendir(hostDir.empty() ? "/" : hostDir.c_str());
  if (!dir) return {};
  while (dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  std::vector<ListedName> listed;
  listed.reserve(names.size());
  for (std::string& name : names) {
    // ASCII spells itself; other names go through the codec, and a name CP932
    // cannot spell is never found by a case-blind match.
    const bool ascii = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::string cp932 = ascii ? name : Utf8ToCp932(name);
    if (!ascii && Cp932ToUtf8(cp932) != name) cp932.clear();
    listed.push_back({std::move(name), std::move(cp932)});
  }
  return listed;
}

const std::string* FindNoCase(const std::vector<ListedName>& names, const std::string& cp932) {
  for (const auto& entry : names)
    if (!entry.cp932.empty() && EqualNoCase(entry.cp932, cp932)) return &entry.host;
  return nullptr;
}

bool Exists(const std::string& hostPath) {
  struct stat st;
  return ::lstat(hostPath.c_str(), &st) == 0;
}

std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir == "/") return "/" + name;
  return dir + "/" + name;
}

// Splits an engine path on '\' and '/', minding CP932 trail bytes (which can
// be 0x5C). Leading '/' marks a host-absolute path.
std::vector<std::string> SplitPath(std::string_view path, bool* absolute) {
  std::vector<std::string> parts;
  *absolute = !path.empty() && path[0] == '/';
  std::string current;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsCp932LeadByte(c) && i + 1 < path.size()) {
      current += path[i];
      current += path[i + 1];
      ++i;
      continue;
    }
    if (c == '\\' || c == '/') {
      parts.push_back(current);
      current.clear();
      continue;
    }
    current += path[i];
  }
  parts.push_back(current);
  return parts;
}

std::string ParentOf(const std::string& hostPath) {
  size_t slash = hostPath.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return hostPath.substr(0, slash);
}

void ForgetListing(const std::string& hostDir) {
  std::lock_guard<std::mutex> lock(Lock());
  Listings().erase(hostDir);
}

bool IsWriteMode(const char* mode) {
  return std::strpbrk(mode, "wa+") != nullptr;
}

}  // namespace

void SetGameFolder(const std::string& hostPath) {
  std::lock_guard<std::mutex> lock(Lock());
  char* real = ::realpath(hostPath.c_str(), nullptr);
  Root() = real ? real : hostPath;
  std::free(real);
  Listings().clear();
}

const std::string& GameFolder() {
  std::lock_guard<std::mutex> lock(Lock());
  RootLocked();
  return Root();
}

bool EnterGameFolder(const std::string& hostPath) {
  std::string old = CurrentFolder();
  if (::chdir(hostPath.c_str()) != 0) return false;
  StartFolder() = old;
  SetGameFolder(CurrentFolder());
  return true;
}

void LeaveGameFolder() {
  if (!StartFolder().empty()) {
    if (::chdir(StartFolder().c_str()) != 0) {
      // The old folder is gone; nothing sensible is left to do.
    }
    StartFolder().clear();
  }
}

std::string ExecutableFolder() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return CurrentFolder();
  buffer[n] = 0;
  return ParentOf(buffer);
}

std::string HostAbsolutePath(const std::string& hostPath) {
  if (hostPath.empty() || hostPath[0] == '/') return hostPath;
  return CurrentFolder() + "/" + hostPath;
}

bool HostIsDirectory(const std::string& hostPath) {
  struct stat st;
  return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ResolvePath(std::string_view path) {
  bool absolute = false;
  std::vector<std::string> parts = SplitPath(path, &absolute);
  std::lock_guard<std::mutex> lock(Lock());
  std::string host = absolute ? "/" : RootLocked();
  bool missing = false;  // once a component is missing, no listing can help
  for (const std::string& raw : parts) {
    if (raw.empty() || raw == ".") continue;
    if (raw == "..") {
      host = ParentOf(host);
      continue;
    }
    std::string name = Cp932ToUtf8(raw);
    std::string exact = Join(host, name);
    if (missing || Exists(exact)) {
      host = exact;
      continue;
    }
    auto& listings = Listings();
    auto it = listings.find(host);
    const std::string* found = nullptr;
    if (it != listings.end()) found = FindNoCase(it->second, raw);
    if (!found) {
      // The cached listing may be old; read it again before giving up.
      listings[host] = ReadListing(host);
      found = FindNoCase(listings[host], raw);
    }
    if (found) {
      host = Join(host, *found);
    } else {
      host = exact;
      missing = true;
    }
  }
  return host;
}

FILE* FileOpen(std::string_view path, const char* mode) {
  if (!mode) return nullptr;
  std::string host = ResolvePath(path);
  FILE* f = std::fopen(host.c_str(), mode);
  // Only a create ("w...") may make a read-only file writable: an append
  // or an update keeps what is there and must not lift the protection.
  if (!f && mode[0] == 'w' && errno == EACCES) {
    struct stat st;
    if (::stat(host.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) {
      ::chmod(host.c_str(), st.st_mode | S_IWUSR);
      f = std::fopen(host.c_str(), mode);
    }
  }
  if (f && IsWriteMode(mode)) ForgetListing(ParentOf(host));
  return f;
}

bool FileExists(std::string_view path) { return Exists(ResolvePath(path)); }

bool IsDirectory(std::string_view path) {
  struct stat st;
  return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDirectory(std::string_view path) {
  std::string host = ResolvePath(path);
  if (::mkdir(host.c_str(), 0755) == 0) {
    ForgetListing(ParentOf(host));
    return true;
  }
  struct stat st;
  return errno == EEXIST && ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(std::string_view path) {
  std::string host = ResolvePath(path);
  if (::unlink(host.c_str()) != 0) return false;
  ForgetListing(ParentOf(host));
  return true;
}

bool RemoveDirectory(std::string_view path) {
  std::string host = ResolvePath(path);
  if (::rmdir(host.c_str()) != 0) return false;
  ForgetListing(ParentOf(host));
  return true;
}

bool CopyFile(std::string_view from, std::string_view to) {
  std::string data;
  return ReadWholeFile(from, &data) && WriteWholeFile(to, data.data(), data.size());
}

bool RenameFile(std::string_view from, std::string_view to, std::string* error) {
  const std::string source = ResolvePath(from), target = ResolvePath(to);
  if (::rename(source.c_str(), target.c_str()) != 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  ForgetListing(ParentOf(source));
  ForgetListing(ParentOf(target));
  return true;
}

namespace {
// The name WholeFileWriter::Open gives its temporary file: the target's
// name, ".tmp." and mkstemp's six letters or digits.
constexpr std::string_view kTempMark = ".tmp.";
constexpr size_t kTempSuffix = 6;
bool IsWriterTemporary(const std::string& name) {
  if (name.size() <= kTempMark.size() + kTempSuffix) return false;
  const size_t mark = name.size() - kTempSuffix - kTempMark.size();
  if (name.compare(mark, kTempMark.size(), kTempMark) != 0) return false;
  return std::all_of(name.end() - kTempSuffix, name.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
}
constexpr time_t kStaleSeconds = 60;
}  // namespace

std::vector<StaleTemporary> RemoveStaleTemporaries(std::string_view folder) {
  std::vector<StaleTemporary> found;
  const std::string host = ResolvePath(folder);
  const time_t now = ::time(nullptr);
  for (const auto& entry : ReadListing(host)) {
    if (!IsWriterTemporary(entry.host)) continue;
    const std::string path = host + "/" + entry.host;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (st.st_mtime > now - kStaleSeconds) continue;
    StaleTemporary temp{entry.cp932.empty() ? Utf8ToCp932(entry.host) : entry.cp932, {}};
    if (::unlink(path.c_str()) != 0) temp.error = std::strerror(errno);
    found.push_back(std::move(temp));
  }
  if (!found.empty()) ForgetListing(host);
  return found;
}

std::vector<std::string> ListFolder(std::string_view path) {
  std::vector<std::string> names;
  for (const auto& name : ReadListing(ResolvePath(path)))
    names.push_back(name.cp932.empty() ? Utf8ToCp932(name.host) : name.cp932);
  return names;
}

long long FileSize(std::string_view path) {
  struct stat st;
  if (::stat(ResolvePath(path).c_str(), &st) != 0) return -1;
  return static_cast<long long>(st.st_size);
}

bool ReadWholeFile(std::string_view path, std::string* out) {
  FILE* f = FileOpen(path, "rb");
  if (!f) return false;
  out->clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out->append(buffer, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteWholeFile(std::string_view path, const void* data, size_t size, std::string* error) {
  WholeFileWriter writer;
  FILE* f = writer.Open(path);
  bool ok = f != nullptr;
  if (ok && size > 0 && std::fwrite(data, 1, size, f) != size) {
    const int code = errno;
    writer.Abort();
    if (error) *error = std::strerror(code);
    return false;
  }
  ok = ok && writer.Commit();
  if (!ok && error) *error = writer.Error();
  return ok;
}

void WholeFileWriter::Failed(int code) {
  if (error_.empty()) error_ = std::strerror(code ? code : errno);
}

WholeFileWriter::~WholeFileWriter() { Abort(); }

FILE* WholeFileWriter::Open(std::string_view path) {
  Abort();
  error_.clear();
  target_ = ResolvePath(path);
  std::string pattern = target_ + std::string(kTempMark) + std::string(kTempSuffix, 'X');
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back(0);
  int fd = ::mkstemp(name.data());
  if (fd < 0) {
    Failed();
    return nullptr;
  }
  // Keep the permissions of the file being replaced; new files get the usual ones.
  struct stat st;
  mode_t mode = ::stat(target_.c_str(), &st) == 0 ? (st.st_mode & 07777) | S_IWUSR : 0644;
  ::fchmod(fd, mode);
  temp_ = name.data();
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    Failed();
    ::close(fd);
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  return file_;
}

bool WholeFileWriter::Commit() {
  if (!file_) {
    Failed(EBADF);
    return false;
  }
  bool ok = std::fflush(file_) == 0;
  if (!ok) Failed();
  // An earlier stream error left no errno behind.
  if (ok && std::ferror(file_)) {
    Failed(EIO);
    ok = false;
  }
  if (ok) NoteCall("sync " + temp_);
  if (ok && ::fsync(::fileno(file_)) != 0) {
    Failed();
    ok = false;
  }
  if (std::fclose(file_) != 0) {
    Failed();
    ok = false;
  }
  file_ = nullptr;
  if (ok && g_failWrites.load() > 0) {
    g_failWrites.fetch_sub(1);
    Failed(ENOSPC);
    ok = false;
  }
  if (ok) NoteCall("rename " + temp_ + " " + target_);
  if (ok && ::rename(temp_.c_str(), target_.c_str()) != 0) {
    Failed();
    ok = false;
  }
  if (!ok) ::unlink(temp_.c_str());
  temp_.clear();
  ForgetListing(ParentOf(target_));
  // The new name is only durable once the folder holding it is synced.
  if (ok && !SyncFolder(ParentOf(target_))) {
    Failed();
    ok = false;
  }
  return ok;
}

void WholeFileWriter::Abort() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

namespace {
std::string Home() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : "/tmp";
}

// The documents folder as xdg-user-dir reports it: XDG_DOCUMENTS_DIR from
// user-dirs.dirs, with $HOME expanded.
std::string XdgDocuments() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string file = (config && *config ? std::string(config) : Home() + "/.config") +
                     "/user-dirs.dirs";
  FILE* f = std::fopen(file.c_str(), "r");
  if (!f) return {};
  char line[4096];
  std::string result;
  while (std::fgets(line, sizeof line, f)) {
    std::string s(line);
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    if (s.rfind(key, 0) != 0) continue;
    size_t end = s.find('"', key.size());
    if (end == std::string::npos) continue;
    std::string value = s.substr(key.size(), end - key.size());
    if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
    if (!value.empty() && value[0] == '/') result = value;
  }
  std::fclose(f);
  return result;
}

std::string Trimmed(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}
}  // namespace

std::string DocumentsFolder() {
  std::string dir = XdgDocuments();
  if (dir.empty()) dir = Home() + "/Documents";
  return Utf8ToCp932(Trimmed(dir));
}

std::string AppDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string dir = data && *data && data[0] == '/' ? data : Home() + "/.local/share";
  return Utf8ToCp932(Trimmed(dir));
}

void FailWholeFileWrites(int count) { g_failWrites.store(count < 0 ? 0 : count); }

void FailFolderSyncs(int count) { g_failFolderSyncs.store(count < 0 ? 0 : count); }

void RecordFileCalls(std::vector<std::string>* log) {
  std::lock_guard<std::mutex> hold(Lock());
  g_callLog = log;
}

}  // namespace platform
