// The main of every benchmark binary: Google Benchmark's own run, except
// that a benchmark ending with an error (its set-up failed and it called
// SkipWithError) is named on stderr and the binary exits with 1, so a broken
// benchmark fails whoever runs it instead of passing unseen. A benchmark
// whose optional input is missing (SkipUnavailable) is named too, but does
// not fail the run.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/support/unavailable.h"

namespace {

// Passes everything to the reporter the output format asks for and keeps
// the name and message of every run that ended with an error, apart from
// those whose input is unavailable.
class ErrorKeepingReporter : public benchmark::BenchmarkReporter {
 public:
  explicit ErrorKeepingReporter(std::unique_ptr<benchmark::BenchmarkReporter> shown)
      : shown_(std::move(shown)) {}

  bool ReportContext(const Context& context) override {
    shown_->SetOutputStream(&GetOutputStream());
    shown_->SetErrorStream(&GetErrorStream());
    return shown_->ReportContext(context);
  }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (!run.error_occurred) continue;
      const std::string line = run.benchmark_name() + ": " + run.error_message;
      const bool unavailable = run.error_message.rfind(benchsupport::kUnavailable, 0) == 0;
      (unavailable ? unavailable_ : errors_).push_back(line);
    }
    shown_->ReportRuns(runs);
  }
  void Finalize() override { shown_->Finalize(); }

  const std::vector<std::string>& Errors() const { return errors_; }
  const std::vector<std::string>& Unavailable() const { return unavailable_; }

 private:
  std::unique_ptr<benchmark::BenchmarkReporter> shown_;
  std::vector<std::string> errors_, unavailable_;
};

// The display reporter of --benchmark_format (console or json; none for
// another name).
std::unique_ptr<benchmark::BenchmarkReporter> ShownReporter(int argc, char** argv) {
  std::string format = "console";
  bool colour = isatty(STDOUT_FILENO) != 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strncmp(arg, "--benchmark_format=", 19) == 0) format = arg + 19;
    if (std::strcmp(arg, "--benchmark_color=false") == 0) colour = false;
  }
  if (format == "json") return std::make_unique<benchmark::JSONReporter>();
  if (format != "console") return nullptr;
  return std::make_unique<benchmark::ConsoleReporter>(
      colour ? benchmark::ConsoleReporter::OO_Color : benchmark::ConsoleReporter::OO_None);
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<benchmark::BenchmarkReporter> shown = ShownReporter(argc, argv);
  if (!shown) {
    std::fprintf(stderr, "%s: unknown --benchmark_format (console or json)\n", argv[0]);
    return 1;
  }
  ErrorKeepingReporter reporter(std::move(shown));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (const std::string& skipped : reporter.Unavailable())
    std::fprintf(stderr, "%s: benchmark skipped: %s\n", argv[0], skipped.c_str());
  for (const std::string& error : reporter.Errors())
    std::fprintf(stderr, "%s: benchmark failed: %s\n", argv[0], error.c_str());
  return reporter.Errors().empty() ? 0 : 1;
}
