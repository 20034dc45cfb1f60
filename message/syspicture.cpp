#include "message/syspicture.h"

#include <string>

#include "graphics/picture.h"

int LoadSysPicture(std::unique_ptr<CPicture>* picture, const char* name) {
  if (!*picture) *picture = std::make_unique<CPicture>();
  if (name && (*picture)->LoadDWQ((std::string("sys\\") + name).c_str())) return 1;
  *picture = std::make_unique<CPicture>();
  return 0;
}
