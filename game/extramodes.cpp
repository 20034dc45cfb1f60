#include "game/extramodes.h"

namespace {

struct ExtraModeEntry {
  int number;
  char name[CExtraModeList::kNameSize];
};

// Ended by the number -1.
constexpr ExtraModeEntry kExtraModes[] = {
    {22, "selectplace"},  {31, "selectheroin"}, {27, "printmovie"}, {30, "printcalendar"},
    {33, "printresult"},  {34, "selectchart"},  {29, "nameinput"},  {35, "selectplace2"},
    {24, "selectzukan"},  {45, "cardsystem"},   {-1, ""},
};

}  // namespace

CExtraModeList::CExtraModeList() {
  while (count_ < kMaxEntries && kExtraModes[count_].number != -1) ++count_;
}

int CExtraModeList::GetNumber(int i) const {
  return i >= 0 && i < count_ ? kExtraModes[i].number : 0;
}

const char* CExtraModeList::GetName(int i) const {
  return i >= 0 && i < count_ ? kExtraModes[i].name : nullptr;
}
