// Three random settings lists ("gameMouse", "messageCursor", "notice",
// separated by '|'), then frames from the bytes after the third '|':
// mouse positions, cursor rows and kinds, design numbers, special modes,
// text ends and notices, each frame restored, drawn and advanced on a small
// screen as the game's frame does. Pictures for the default names exist, so
// every draw path runs.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "fuzz/support/fuzz_support.h"
#include "fuzz/widget/widget_fuzz.h"
#include "graphics/dwqformat.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "widget/floatinglayertable.h"
#include "widget/gamemouse.h"
#include "widget/messagecursor.h"
#include "widget/notice.h"

namespace {

using widgetfuzz::WritePicture;

// The next '|'-ended part of the input as a settings list.
bool LoadPart(const uint8_t* data, size_t size, size_t* at, const char* file, CNameList* list) {
  size_t end = *at;
  while (end < size && data[end] != '|') ++end;
  if (!platform::WriteWholeFile(file, data + *at, end - *at)) return false;
  *at = end < size ? end + 1 : end;
  return list->Load(file, false, true) != 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzsupport::EnterGameFolder("dwq/sys");
  InitPictureLoader(dwq::kDecodeMegabytes);
  WritePicture("ta_mouse", 48, 40);
  WritePicture("mes_cur", 24, 8);
  WritePicture("ta_notice", 40, 20);
  WritePicture("ta_notice2", 40, 20);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t at = 0;
  CNameList mouseList, cursorList, noticeList;
  if (!LoadPart(data, size, &at, "mouse.xtx", &mouseList)) return 0;
  if (!LoadPart(data, size, &at, "cursor.xtx", &cursorList)) return 0;
  if (!LoadPart(data, size, &at, "notice.xtx", &noticeList)) return 0;
  fuzzsupport::Reader in(data + at, size - at);

  CScreenBuffer screen(64, 48, 0);
  CFloatingLayerTable table;
  crt::srand(static_cast<uint32_t>(size));
  CGameMouse mouse(&table, 0, &mouseList);
  CMessageCursor cursor(&table, 2, &cursorList);
  CNotice notice(&table, 20, &noticeList);

  for (int frame = 0; frame < 300 && in.More(); ++frame) {
    const int op = in.Byte();
    if (op & 0x80)
      table.ResetSaveAll();
    else
      table.RestoreAll();
    switch (op & 7) {
      case 0: notice.SetNotice(in.Signed()); break;
      case 1: mouse.SetConfigNumber(in.Signed()); mouse.SetScriptNumber(in.Signed()); break;
      case 2: cursor.SetConfigNumber(in.Signed()); cursor.SetScriptNumber(in.Signed()); break;
      case 3: mouse.SetSpecialMode(in.Byte() % 4 - 1); break;
      case 4: cursor.SetPrintXY(in.Signed() * 3, in.Signed() * 3); break;
      case 5: notice.Clear(); break;
      default: break;
    }
    notice.CalcuPrint(op & 8);
    fuzzsupport::Check(notice.GetHead() < notice.GetNoticeCount(), "head inside the list");
    fuzzsupport::Check(notice.GetQueueLength() <= CNotice::kMaxNotices, "queue bounded");
    cursor.Print(in.Byte() % 6 - 1, op & 16);
    cursor.Calcu(in.Byte() % 4);
    mouse.Print(in.Signed(), in.Signed(), in.Byte() % 4 - 1, op & 32);
    mouse.Calcu(1);
    CScreenBuffer::ClearDirtyRects();
  }
  return 0;
}
