#include "setup/varnametable.h"

#include <cstring>

#include "platform/system.h"
#include "setup/namelist.h"

CVarNameTable::CVarNameTable(CNameList* list, const char* fileName)
    : list_(list), count_(list ? list->GetCount() : 0), fileName_(fileName ? fileName : "") {}

int CVarNameTable::SearchVar(const char* name) const {
  if (!name) name = "";
  for (int i = 0; list_ && i < count_; ++i) {
    // The list may have shrunk since the table was made: GetName then says so.
    const char* token = list_->GetName(i);
    if (token && token[0] != '\0' && std::strcmp(token, name) == 0) return i;
  }
  const std::string text = fileName_ + ": " + name;
  platform::ErrorOutput(("var not found: " + text).c_str());
  if (!boxShown_) {
    boxShown_ = true;
    platform::MessageBox(nullptr, text.c_str(), "var not found", MB_OK);
  }
  return -1;
}
