// The text input box driven by random bytes: typed bytes, texts, styles,
// maximums and draws. The text must stay NUL-terminated within its buffer,
// end on a whole character, and what is typed must stay within the style's
// maximum; drawing must stay on the screen (the sanitizers watch).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "graphics/screenbuffer.h"
#include "platform/codec.h"
#include "widget/textinputbox.h"
#include "widget/textlineprinter.h"

namespace {

class CheckingPrinter : public ITextLinePrinter {
 public:
  int PrintLine(int, int, const char* text, int, int, int, int, int, int, int, int) override {
    fuzzsupport::Check(text && text[0] != 0, "only a text that is not empty is printed");
    return 0;
  }
};

platform::Window* g_window = nullptr;

void CheckText(const CTextInputBox& box) {
  const char* text = box.GetText();
  fuzzsupport::Check(text != nullptr, "a text buffer");
  const size_t room = static_cast<size_t>(box.GetCapacity()) + 1;
  fuzzsupport::Check(std::memchr(text, 0, room) != nullptr, "NUL inside the buffer");
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  for (size_t i = 0; p[i] != 0;) {
    if (platform::IsCp932LeadByte(p[i])) {
      fuzzsupport::Check(p[i + 1] != 0, "no lead byte cut off");
      i += 2;
    } else {
      ++i;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzsupport::EnterGameFolder();
  g_window = fuzzsupport::MakeWindow(64, 48);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::Reader in(data, size);
  CScreenBuffer screen(64, 48, 0);
  CheckingPrinter printer;
  CTextInputBox box(g_window, &printer);
  box.SetImeFlags(in.Byte() & 1, in.Byte() & 1);
  box.Start();
  while (in.More()) {
    const int op = in.Byte() % 12;
    const int style = in.Byte() % 5 - 1;
    if (op < 5) {
      const size_t before = std::strlen(box.GetText());
      box.PutChar(in.Byte());
      const size_t after = std::strlen(box.GetText());
      if (after > before)
        fuzzsupport::Check(after <= static_cast<size_t>(box.GetMaxBytes(box.GetStyle())),
                           "typed text within the maximum");
    } else if (op == 5) {
      std::string text;
      for (int n = in.Byte() % 24; n > 0; --n) text += static_cast<char>(in.Byte() | 1);
      box.SetText(text.c_str(), in.Byte() & 1);
      fuzzsupport::Check(std::strlen(box.GetText()) <=
                             static_cast<size_t>(box.GetMaxBytes(box.GetStyle())),
                         "a set text within the maximum");
    } else if (op == 6) {
      box.SetMaxBytes(in.Byte() & 1 ? in.Signed() : in.Int(), style);
    } else if (op == 7) {
      box.SetStyle(in.Signed());
    } else if (op == 8) {
      box.SetPrintXY(in.Int(), in.Int(), style);
      box.SetFontSize(in.Int(), style);
      box.SetSpacing(in.Int(), style);
      box.SetAlignMode(in.Signed(), style);
    } else if (op == 9) {
      box.SetCursorSize(in.Int(), in.Int(), style);
      box.SetCursorOffset(in.Signed() * 4, in.Signed() * 4, style);
      box.SetBlink(in.Int(), in.Signed(), style);
      box.SetCursorMode(in.Byte() % 3, style);
    } else if (op == 10) {
      box.Print();
    } else {
      switch (in.Byte() % 3) {
        case 0: box.Clear(); break;
        case 1: box.Stop(); break;
        default: box.Start(); break;
      }
    }
    CheckText(box);
  }
  box.Stop();
  return 0;
}
