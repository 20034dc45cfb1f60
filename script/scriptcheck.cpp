#include "script/scriptcheck.h"

#include "script/codes.h"

namespace script {

std::string CheckScriptSize(uint64_t bytes) {
  if (bytes == 0) return "the file is empty";
  if (bytes % 4 != 0) return "the file is not a whole number of 4-byte words";
  return "";
}

std::string CheckScriptWords(const uint32_t* words, size_t count) {
  if (count == 0) return "the file is empty";
  const uint32_t header = words[0];
  if (header < static_cast<uint32_t>(kMinHeaderLength) ||
      header > static_cast<uint32_t>(kMaxHeaderLength) || header > count)
    return "the header length " + std::to_string(header) + " is not " +
           std::to_string(kMinHeaderLength) + ".." + std::to_string(kMaxHeaderLength) +
           " words within the file's " + std::to_string(count);
  size_t pc = header;
  while (true) {
    if (pc >= count) return "the code has no end word";
    const uint32_t len = words[pc];
    if (len == 0) break;
    if (len > count - pc)
      return "the record at word " + std::to_string(pc) + " runs past the end of the file";
    pc += len;
  }
  // Each table lies inside the file (0: none); the label table's count is known.
  const struct {
    int word;
    const char* name;
  } tables[] = {{kHeaderMessageTable, "message"},     {kHeaderStringTable, "string"},
                {kHeaderLabelTable, "label"},         {kHeaderConstantTable, "constant"},
                {kHeaderCallSiteTable, "call site"},  {kHeaderSystemCallEntries, "system call"},
                {kHeaderStopEntries, "stop"}};
  for (const auto& table : tables) {
    if (static_cast<uint32_t>(table.word) >= header) continue;
    const uint64_t at = words[static_cast<size_t>(table.word)];
    const uint64_t entries = table.word == kHeaderLabelTable ? words[kHeaderLabelCount] : 0;
    if (at != 0 && (at < header || at + entries > count))
      return std::string("the ") + table.name + " table at word " + std::to_string(at) +
             " lies outside the file";
  }
  return "";
}

}  // namespace script
