#include "game/extramodes.h"

#include <algorithm>
#include <iterator>

#include "modebase/modenames.h"
#include "modebase/modenumbers.h"

namespace {

// Each is registered under its name in the mode-name table.
constexpr int kExtraModes[] = {
    modenumber::kSelectPlace,   modenumber::kSelectHeroin, modenumber::kPrintMovie,
    modenumber::kPrintCalendar, modenumber::kPrintResult,  modenumber::kSelectChart,
    modenumber::kNameInput,     modenumber::kSelectPlace2, modenumber::kSelectZukan,
    modenumber::kCardSystem,
};

}  // namespace

CExtraModeList::CExtraModeList()
    : count_(std::min(static_cast<int>(std::size(kExtraModes)), kMaxEntries)) {}

int CExtraModeList::GetNumber(int i) const { return i >= 0 && i < count_ ? kExtraModes[i] : 0; }

const char* CExtraModeList::GetName(int i) const {
  return i >= 0 && i < count_ ? modenames::GetModeName(kExtraModes[i]) : nullptr;
}
