#include "script/codes.h"

namespace script {

CommandShape EngineCommandShape(int32_t code) {
  switch (code) {
    case 0x33330011:
    case 0x33330012:
    case 0x33330017:
    case 0x33330029:
      return CommandShape::kNone;
    case 0x33330014:
    case 0x33330019:
    case 0x3333001A:
    case 0x33330028:
      return CommandShape::kWords1;
    case 0x33330007:
    case 0x33330008:
    case 0x33330009:
    case 0x33330013:
    case 0x33330016:
    case 0x33330018:
    case 0x3333001B:
    case 0x3333001C:
    case 0x33330061:
    case 0x33330062:
    case 0x33330063:
    case 0x33330064:
    case 0x33330065:
    case 0x33330066:
    case 0x33330067:
    case 0x33330068:
    case 0x33330069:
    case 0x3333006A:
      return CommandShape::kWordsN;
    case 0x33330015:
    case 0x3333001F:
      return CommandShape::kString;
    case 0x3333001E:
    case 0x33330052:
    case 0x33330053:
    case 0x33330054:
    case 0x33330055:
    case 0x33330056:
    case 0x33330057:
    case 0x33330058:
    case 0x33330059:
    case 0x3333005A:
    case 0x3333005B:
    case 0x3333005C:
    case 0x3333005D:
    case 0x3333005E:
    case 0x3333005F:
    case 0x33330060:
      return CommandShape::kValue;
    case 0x33330050:
    case 0x33330051:
      return CommandShape::kString1;
    case 0x33330042:
      return CommandShape::kMessage1;
    default:
      return CommandShape::kUnknown;
  }
}

}  // namespace script
