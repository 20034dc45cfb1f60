// Host services the engine calls: time, message boxes, debug output, desktop
// facts, the window and its message pump. Each forwards to the installed
// backend (platform/backend.h).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/backend.h"
#include "platform/types.h"

namespace platform {

// Time.
uint32_t GetTicks();
void Sleep(uint32_t ms);
// Timer resolution for the main loop; the host's is always 1 ms.
int TimeBeginPeriod();
void TimeEndPeriod(int period);
LocalTime GetLocalTime();
LocalTime GetUtcTime();
int64_t EpochSeconds();

// Message box (CP932 texts); returns IDOK, IDYES or IDNO.
int MessageBox(Window* owner, const char* text, const char* caption, int style);

// Debug output (CP932).
void DebugOutput(const char* text);
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A line always shown on stderr (CP932): the reason behind a refusal.
void ErrorOutput(const char* text);

DesktopInfo GetDesktop();

// Window and messages.
Window* CreateWindow(const WindowDesc& desc);
void DestroyWindow(Window* window);
bool PeekMessage(Message* out, bool remove);
// Takes the next message; false for WM_QUIT. Waits when none is waiting.
bool GetMessage(Message* out);
// Returns once a message is waiting (true) or `ms` milliseconds have passed
// (false), whichever comes first; the message stays waiting.
bool WaitMessage(uint32_t ms);
// Lasting frame pixels given to Present (FrameView::lasting) are about to be
// freed or changed outside a frame. Nothing happens without a host.
void ForgetFrame(const uint32_t* pixels);
void PostMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void PostQuitMessage(int exitCode);
// Hands a message to its window's handler.
intptr_t DispatchMessage(const Message& message);
// What the host does with a message the engine does not handle: WM_CLOSE
// destroys the window; everything else gives 0.
intptr_t DefWindowProc(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Physical state of a key or mouse button, by virtual-key code.
bool IsKeyHeld(int vk);

// From now on the first SIGINT, SIGTERM or SIGHUP of the process asks the
// window to close, as the desktop's close request does (the game saves and
// ends); a second one ends the process at once. Process-wide: whichever
// backend is installed takes the request at its next message.
void CloseOnTerminationSignals();

// 16 bytes (or any count) from the system's random source.
bool RandomBytes(void* out, size_t size);

}  // namespace platform
