#include "platform/backend.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/codec.h"

namespace platform {
namespace {
std::unique_ptr<Backend>& Slot() {
  static std::unique_ptr<Backend> backend;
  return backend;
}
}  // namespace

Backend& Host() {
  auto& backend = Slot();
  if (!backend) {
    // Every program installs a backend before its first service call; getting
    // here is a programming error that must not turn into a null dereference.
    std::fputs("platform: no backend installed\n", stderr);
    std::abort();
  }
  return *backend;
}

std::string TraceLine(const std::string& cp932) {
  std::string line = Cp932ToUtf8(cp932);
  const size_t first = line.find_first_not_of("\r\n");
  if (first == std::string::npos) return "";
  const size_t last = line.find_last_not_of("\r\n");
  return line.substr(first, last - first + 1) + '\n';
}

void Backend::ErrorOutput(const std::string& text) {
  std::string line = Cp932ToUtf8(text);
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

bool Backend::WaitMessage(uint32_t ms) {
  Message waiting;
  for (uint32_t waited = 0;; ++waited) {
    if (PeekMessage(&waiting, false)) return true;
    if (waited == ms) return false;
    Sleep(1);
  }
}

void Install(std::unique_ptr<Backend> backend) {
  // A file-size limit must make a write fail (EFBIG), which the writers
  // report, instead of killing the program in the middle of a save.
  std::signal(SIGXFSZ, SIG_IGN);
  Slot() = std::move(backend);
}

std::unique_ptr<Backend> Uninstall() { return std::move(Slot()); }

bool IsInstalled() { return Slot() != nullptr; }

}  // namespace platform
