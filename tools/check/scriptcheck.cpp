#include "tools/check/scriptcheck.h"

namespace gamecheck {

void CheckScripts(const CheckInput& /*input*/, Findings& /*findings*/) {}

}  // namespace gamecheck
