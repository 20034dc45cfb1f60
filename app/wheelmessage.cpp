#include "app/wheelmessage.h"

#include "platform/types.h"

namespace {
// Taken once, before the program starts, as the desktop did.
const uint32_t g_wheelMessageNumber = RegisterWheelMessage();
CWheelMessage* g_wheelMessage = nullptr;
}  // namespace

uint32_t RegisterWheelMessage() {
  // Only two desktop versions of long ago registered the wheel message by
  // name; this host is neither, so no number exists.
  return 0;
}

uint32_t GetWheelMessageNumber() { return g_wheelMessageNumber; }

CWheelMessage::~CWheelMessage() { Release(); }

void CWheelMessage::Release() {}

uint32_t CWheelMessage::MapMessage(uint32_t message) const {
  if (g_wheelMessageNumber != 0 && message == g_wheelMessageNumber) return WM_MOUSEWHEEL;
  return message;
}

CWheelMessage* GetWheelMessage() { return g_wheelMessage; }

void SetWheelMessage(CWheelMessage* wheel) { g_wheelMessage = wheel; }
