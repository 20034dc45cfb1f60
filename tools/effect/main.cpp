// zor-effect [options] [OUT.png]
//   Runs effects on the effect channels and shows the frames. See README.md.
#include <iostream>
#include <string>
#include <vector>

#include "effectrunner.h"
#include "platform/headless/headless.h"

int main(int argc, char** argv) {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  return effecttool::RunEffectTool(args, std::cout, std::cerr, &host);
}
