// Reads the input as a chart file, plainly and byte-inverted; checks that
// both read the same chart, that every query stays inside the tables and
// that a saved chart is stable.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "savedata/chartfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;

// Everything a chart answers, as text, so two reads can be compared.
std::string Describe(const CChartFile& chart) {
  std::string out = std::to_string(chart.GetChartHeight()) + "/" + std::to_string(chart.GetMaxNodeNumber()) +
                    "/" + std::to_string(chart.GetTotalNodeSize()) + "\n";
  for (int index = 0; index < chart.GetCount(); ++index) {
    const int number = chart.GetNodeNumber(index);
    const platform::Point pos = chart.GetNodePos(number);
    out += std::to_string(number) + ":" + std::to_string(chart.GetNodeIndex(number)) + " " +
           std::to_string(chart.GetNodeSize(number)) + " " + std::to_string(pos.x) + "," +
           std::to_string(pos.y);
    for (int i = -1; i <= chart.GetLinkCount(number); ++i) {
      const platform::Point target = chart.GetLinkTargetPos(number, i);
      out += " " + std::to_string(chart.GetLinkTarget(number, i)) + "@" + std::to_string(target.x) + "," +
             std::to_string(target.y);
    }
    const char* label = chart.GetNodeLabel(number);
    out += label ? std::string(" $") + label : std::string(" -");
    for (int column = 0; column < 2; ++column) {
      const int texts = chart.GetTextCount(number, column);
      fuzzsupport::Check(texts >= 0 && texts <= CChartFile::GetChartDescMax(), "text count");
      for (int i = -1; i <= texts; ++i) {
        const char* text = chart.GetText(number, i, column);
        fuzzsupport::Check((text != nullptr) == (i >= 0 && i < texts), "text presence");
        if (text) out += std::string(" ") + text;
      }
    }
    out += "\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("chart");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string inverted(reinterpret_cast<const char*>(data), size);
  for (char& c : inverted) c = static_cast<char>(~static_cast<unsigned char>(c));
  if (!platform::WriteWholeFile("chart\\chart2.xtx", data, size) ||
      !platform::WriteWholeFile("chart\\chart2.fxf", inverted.data(), inverted.size()))
    return 0;
  CChartFile::SetChartDescMax(size > 0 ? data[0] % 5 : CChartFile::kDefaultDescMax);

  CChartFile plain(1, 0, 1000);
  CChartFile fromInverted(1, 1, 1000);
  const std::string described = Describe(plain);
  fuzzsupport::Check(described == Describe(fromInverted), "the inverted form reads the same");
  fuzzsupport::Check(plain.GetChartHeight() >= CChartFile::kMinHeight, "height");

  // Saving twice over gives the same file (the first save may drop empty
  // texts).
  fuzzsupport::Check(plain.Save() == 1, "save");
  CChartFile saved(1, 0, 1000);
  fuzzsupport::Check(saved.Save() == 1, "second save");
  std::string once;
  fuzzsupport::Check(platform::ReadWholeFile("chart\\chart2.xtx", &once), "read back");
  CChartFile again(1, 0, 1000);
  fuzzsupport::Check(again.Save() == 1, "third save");
  std::string twice;
  fuzzsupport::Check(platform::ReadWholeFile("chart\\chart2.xtx", &twice), "read back again");
  fuzzsupport::Check(once == twice, "a saved chart saves the same");
  fuzzsupport::Check(Describe(saved) == Describe(again), "a saved chart reads back the same");
  g_host->ClearBoxes();
  return 0;
}
