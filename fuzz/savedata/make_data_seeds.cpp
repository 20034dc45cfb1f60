// make_data_seeds CHART_DIR SCENE_DIR
// Writes seed chart files for fuzz_chart and seed scene tables for
// fuzz_scenedata: sound ones and the kinds of damage the readers meet.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool Write(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A scene table: the size word, then the body.
std::string Scenes(std::vector<int32_t> body, int32_t size = -1) {
  body.insert(body.begin(), size >= 0 ? size : static_cast<int32_t>(4 * (body.size() + 1)));
  std::string out;
  for (int32_t w : body) {
    const uint32_t v = static_cast<uint32_t>(w);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_data_seeds CHART_DIR SCENE_DIR\n");
    return 2;
  }
  const std::pair<const char*, std::string> charts[] = {
      {"example.xtx", "1200\r\n@1005 0 10 20 1006 - $start plain !note\r\n@1006 2 30 40 1005\r\n"},
      {"many.xtx",
       "2400\r\n@1001 1 50 60 1002 1003 $a t1 t2 t3 t4 !u1 !u2 !u3 !u4\r\n"
       "@1002 3 70 80 2001 -1 $b\r\n@1003 2 90 100\r\n@1001 1 1 1\r\n"},
      {"stray.xtx", "1800 loose 5 $x\r\n@999 1 2 3\r\n@2000 4 5 6\r\n@ , ,@1500\r\n"},
  };
  const std::pair<const char*, std::string> scenes[] = {
      {"two_charas.dat", Scenes({2, 3, 5, 2, 1, 2, -6, 2, -3, 4, 7, 2, -1, -2, 1, -8, 0})},
      {"unset_size.dat", Scenes({1, 1, 2, 1, 1}, 0)},
      {"past_size.dat", Scenes({1, 2, 4, 0, 5, 0}, 20)},
      {"broken_record.dat", Scenes({2, 2, 3, 1, 1, 4, 5, 1, 2, 3})},
      {"huge_counts.dat", Scenes({0x7FFFFFFF, 0x7FFFFFFF, 1, 0x7FFFFFFF})},
  };
  const std::filesystem::path chartDir = argv[1], sceneDir = argv[2];
  std::filesystem::create_directories(chartDir);
  std::filesystem::create_directories(sceneDir);
  for (const auto& [name, bytes] : charts) {
    if (!Write(chartDir / name, bytes)) return 1;
  }
  for (const auto& [name, bytes] : scenes) {
    if (!Write(sceneDir / name, bytes)) return 1;
  }
  return 0;
}
