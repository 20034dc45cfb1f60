// CWheelMessage: maps the wheel message that old desktops registered under a
// name onto WM_MOUSEWHEEL. No such number exists on this host, so nothing is
// ever mapped; WM_MOUSEWHEEL arrives as it is.
#pragma once

#include <cstdint>

// The registered number, or 0 when none was registered.
uint32_t RegisterWheelMessage();
uint32_t GetWheelMessageNumber();

class CWheelMessage {
 public:
  CWheelMessage() = default;
  virtual ~CWheelMessage();
  CWheelMessage(const CWheelMessage&) = delete;
  CWheelMessage& operator=(const CWheelMessage&) = delete;

  virtual void Release();
  // WM_MOUSEWHEEL for the registered number, otherwise the message itself.
  uint32_t MapMessage(uint32_t message) const;
};

// The instance the window procedure uses (null when none).
CWheelMessage* GetWheelMessage();
void SetWheelMessage(CWheelMessage* wheel);
