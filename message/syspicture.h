// Pictures of the message folder's objects are loaded from "sys\<name>"; a
// name that does not load leaves an empty picture (which draws nothing),
// not the previous one.
#pragma once

#include <memory>

class CPicture;

// 1 when "sys\<name>" loaded into *picture (made when null), else 0 with
// *picture empty.
int LoadSysPicture(std::unique_ptr<CPicture>* picture, const char* name);
