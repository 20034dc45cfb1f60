// Checks of the game's settings and data lists and of its pictures.
#pragma once

#include "tools/check/finding.h"

namespace gamecheck {

void CheckLists(const CheckInput& input, Findings& findings);

}  // namespace gamecheck
