#include "platform/system.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace platform {

uint32_t GetTicks() { return Host().GetTicks(); }
void Sleep(uint32_t ms) { Host().Sleep(ms); }
int TimeBeginPeriod() { return 1; }
void TimeEndPeriod(int) {}
LocalTime GetLocalTime() { return Host().GetLocalTime(); }
LocalTime GetUtcTime() { return Host().GetUtcTime(); }
int64_t EpochSeconds() { return Host().EpochSeconds(); }

int MessageBox(Window* owner, const char* text, const char* caption, int style) {
  return Host().MessageBox(owner, text ? text : "", caption ? caption : "", style);
}

void DebugOutput(const char* text) {
  if (text) Host().DebugOutput(text);
}

void ErrorOutput(const char* text) {
  if (text) Host().ErrorOutput(text);
}

void DebugPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n >= 0) {
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    Host().DebugOutput(buffer.data());
  }
  va_end(args);
}

DesktopInfo GetDesktop() { return Host().GetDesktop(); }

Window* CreateWindow(const WindowDesc& desc) { return Host().CreateWindow(desc); }
void DestroyWindow(Window* window) {
  if (window) Host().DestroyWindow(window);
}

bool PeekMessage(Message* out, bool remove) { return Host().PeekMessage(out, remove); }

bool GetMessage(Message* out) {
  while (!Host().PeekMessage(out, true)) Host().WaitMessage(1000);
  return out->message != WM_QUIT;
}

bool WaitMessage(uint32_t ms) { return Host().WaitMessage(ms); }

void ForgetFrame(const uint32_t* pixels) {
  if (pixels && IsInstalled()) Host().ForgetFrame(pixels);
}

void PostMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Host().PostMessage(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  Host().PostMessage(nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0);
}

intptr_t DispatchMessage(const Message& message) {
  if (!message.window) return 0;
  return message.window->Call(message.message, message.wParam, message.lParam);
}

intptr_t DefWindowProc(Window* window, uint32_t message, uintptr_t, intptr_t) {
  if (message == WM_CLOSE && window) DestroyWindow(window);
  return 0;
}

bool IsKeyHeld(int vk) { return vk >= 0 && vk < 256 && Host().IsKeyHeld(vk); }

bool RandomBytes(void* out, size_t size) {
  auto* p = static_cast<unsigned char*>(out);
  while (size > 0) {
    ssize_t n = getrandom(p, size, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace platform
