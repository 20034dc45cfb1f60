#include "tools/check/listcheck.h"

namespace gamecheck {

void CheckLists(const CheckInput& /*input*/, Findings& /*findings*/) {}

}  // namespace gamecheck
