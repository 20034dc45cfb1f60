// A random settings list (the input up to its last '|'), then a button
// group, a multi-state button and a radio group inheriting from the group's
// first setup, driven by the bytes after it as clicks, wheel turns, keys and
// positions, and drawn on a small screen. Every code must be -1 or one of
// the button kinds with a number inside its container.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "fuzz/widget/widget_fuzz.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "setup/namelist.h"
#include "widget/buttoncode.h"
#include "widget/buttongroup.h"
#include "widget/commonbutton.h"
#include "widget/commonbuttonsetup.h"
#include "widget/multistatebutton.h"
#include "widget/radiobuttongroup.h"

namespace {

using widgetfuzz::CheckCode;
using widgetfuzz::MakePicture;
using Reader = fuzzsupport::Reader;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzsupport::EnterGameFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t split = size;
  while (split > 0 && data[split - 1] != '|') --split;
  const size_t listSize = split > 0 ? split - 1 : size;
  if (!platform::WriteWholeFile("buttons.xtx", data, listSize)) return 0;
  CNameList list;
  if (!list.Load("buttons.xtx", false, true)) return 0;
  Reader in(data + split, size - split);

  CScreenBuffer screen(64, 48, 0);
  auto picture = MakePicture(40, 30);
  auto back = MakePicture(64, 48);

  CCommonButtonGroup group(&list, in.Byte() % 12 - 1, back.get(), in.Byte() % 2 ? "b" : nullptr);
  CCommonMultiStateButton multi(&list, nullptr, "m", in.Byte() % 5);
  CCommonRadioButtonGroup radio(&list, "r", nullptr, in.Byte() % 6, group.GetSetup(0));
  for (int i = 0; i < group.GetCount(); ++i) group.SetPicture(i, picture.get());
  multi.SetPicture(picture.get(), -1);
  radio.SetPicture(picture.get(), -1, -1);
  group.Init();
  multi.Init();
  radio.SetSelect(in.Byte() % 7 - 1);

  CMouseStatus mouse;
  CMyKeyStatus keys;
  CInputStatus input;
  input.SetMouseStatus(&mouse);
  input.SetKeyStatus(&keys);
  for (int frame = 0; frame < 200 && in.More(); ++frame) {
    mouse.SetPos(in.Signed(), in.Signed());
    const int buttons = in.Byte();
    if (buttons & 1) mouse.SetButton(0, 1);
    if (buttons & 2) mouse.SetButton(1, 1);
    if (buttons & 4) mouse.SetButton(0, 0);
    mouse.SetWheel((buttons >> 3) % 3 - 1);
    if (buttons & 0x20) keys.SetKey(in.Byte(), 1);
    const bool idle = (buttons & 0xC0) == 0xC0;
    const CInputStatus* given = idle ? nullptr : &input;

    CheckCode(group.Calcu(given), group.GetCount());
    CheckCode(multi.Calcu(given), multi.GetStateCount());
    CheckCode(radio.Calcu(given), radio.GetCount());

    switch (in.Byte() % 8) {
      case 0: group.Init(); break;
      case 1: multi.SetState(in.Byte() % 6 - 1); multi.Init(); break;
      case 2: radio.SetSelect(in.Byte() % 7 - 1); break;
      case 3: group.SetEnable(in.Byte() % 4 - 1, in.Byte() % 2); break;
      case 4: multi.SetEnable(in.Byte() % 2); break;
      case 5: {
        if (CCommonButton* b = group.GetButton(in.Byte() % 12)) {
          const int p = in.Signed() * 2;
          b->PrintZoom(p, p + 10, in.Signed(), in.Signed(), p);
          b->PrintShift(in.Signed(), in.Signed(), p);
          b->PrintSlideFromRight(p);
          b->PrintSlideFromLeft(p);
          b->PrintSlideFromTop(p);
          b->PrintSlideFromBottom(p);
          b->PrintOpenFromCentreX(p);
          b->PrintOpenFromCentreY(p);
        }
        break;
      }
      default: break;
    }
    group.Print();
    multi.Print();
    radio.Print();
    CScreenBuffer::ClearDirtyRects();
    mouse.Calcu();
    keys.Clear();
  }
  group.Release();
  multi.Release();
  radio.Release();
  return 0;
}
