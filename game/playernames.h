// The player's family and given name as the text layout shows them: two
// process-wide buffers of 16 bytes (at most 15 bytes of text, then a NUL).
// Until a name is set they hold the placeholders "《◆姓》" and "《◆名》",
// which are also the marks the text layout replaces by these buffers.
#pragma once

namespace playernames {

constexpr int kNameSize = 16;

const char* GetFamilyName();
const char* GetGivenName();
// Copies the longest start of whole characters that fits in 15 bytes (a
// double-byte character is never split); null changes nothing.
void SetFamilyName(const char* text);
void SetGivenName(const char* text);
// The placeholders (CP932).
const char* FamilyPlaceholder();
const char* GivenPlaceholder();
// Both buffers back to their placeholders (tests, a new process).
void Reset();

}  // namespace playernames
