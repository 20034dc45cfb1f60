// The main of every benchmark binary: Google Benchmark's own run, except
// that a benchmark ending with an error (its set-up failed and it called
// SkipWithError) is named on stderr and the binary exits with 1, so a broken
// benchmark fails whoever runs it instead of passing unseen. A benchmark
// whose optional input is missing (SkipUnavailable) is named too, but does
// not fail the run.
//
// In console output, a table of ratios follows the runs: each benchmark's
// CPU time against the memcpy of one 800 x 600 screen of the same run
// (`Memcpy/1920000`), or against the benchmark its label names after
// "vs:" (a benchmark with its own reference). With repetitions the medians
// are compared; ratios over 20 against the memcpy, and over 3 against a
// named reference, are marked, except for benchmarks labelled "reference"
// (what another benchmark is read against). Where the run has the copies
// from memory not in cache (`ColdMemcpy/1920000` and `ColdMemcpy/8294400`),
// a second table reads each benchmark without a named reference against
// the copy of its own screen: 800 x 600, or 1920 x 1080 for the twins that
// ZOR_SCREEN_BENCHMARK registers (screen_twins.h), which stay out of the
// first table; ratios over 20 are marked.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/support/screen_twins.h"
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
      if (!run.error_occurred) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type == Run::RT_Iteration || median) {
          const double seconds =
              run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
          times_.push_back({run.run_name.str(), run.report_label, median, seconds});
          if (median) hasMedians_ = true;
        }
        continue;
      }
      const std::string line = run.benchmark_name() + ": " + run.error_message;
      const bool unavailable = run.error_message.rfind(benchsupport::kUnavailable, 0) == 0;
      (unavailable ? unavailable_ : errors_).push_back(line);
    }
    shown_->ReportRuns(runs);
  }
  void Finalize() override { shown_->Finalize(); }

  // The ratio tables, each printed where its references ran.
  void PrintRatios(std::FILE* out) const {
    std::map<std::string, double> byName;
    for (const Time& t : times_)
      if (t.median == hasMedians_) byName[t.base] = t.seconds;
    PrintWarmRatios(out, byName);
    PrintColdRatios(out, byName);
  }

  // Against the warm memcpy of one screen (nothing without it in the run).
  void PrintWarmRatios(std::FILE* out, const std::map<std::string, double>& byName) const {
    const auto memcpy = byName.find(kReference);
    if (memcpy == byName.end() || memcpy->second <= 0) return;
    std::fprintf(out, "\nCPU time against %s%s of the same run:\n", kReference,
                 hasMedians_ ? " (medians)" : "");
    for (const Time& t : times_) {
      if (t.median != hasMedians_ || t.base == kReference || IsCold(t.base) || IsLarge(t.base))
        continue;
      std::string reference = kReference;
      double against = memcpy->second;
      if (t.label.rfind("vs:", 0) == 0) {
        const auto found = byName.find(t.label.substr(3));
        if (found == byName.end() || found->second <= 0) continue;
        reference = found->first;
        against = found->second;
      }
      const double ratio = t.seconds / against;
      const bool named = reference != kReference;
      const char* mark = t.label == "reference" ? ""
                         : named                  ? (ratio > 3 ? "  (over 3x)" : "")
                                                  : (ratio > 20 ? "  (over 20x)" : "");
      std::fprintf(out, "%9.2fx  %s%s%s\n", ratio, t.base.c_str(),
                   named ? ("  against " + reference).c_str() : "", mark);
    }
  }

  // Against the copies from memory not in cache (nothing without both).
  void PrintColdRatios(std::FILE* out, const std::map<std::string, double>& byName) const {
    const auto small = byName.find(kColdSmall), large = byName.find(kColdLarge);
    if (small == byName.end() || large == byName.end() || small->second <= 0 ||
        large->second <= 0)
      return;
    std::fprintf(out,
                 "\nCPU time against the copy of the same screen from memory not in cache "
                 "(%s for 800 x 600, %s for the %s twins)%s of the same run:\n",
                 kColdSmall, kColdLarge, benchsupport::kLargeScreenPrefix,
                 hasMedians_ ? " (medians)" : "");
    for (const Time& t : times_) {
      if (t.median != hasMedians_ || IsCold(t.base) ||
          t.base.rfind("benchsupport::Memcpy/", 0) == 0 || t.label.rfind("vs:", 0) == 0 ||
          t.label == "reference")
        continue;
      const double ratio = t.seconds / (IsLarge(t.base) ? large : small)->second;
      std::fprintf(out, "%9.2fx  %s%s\n", ratio, t.base.c_str(), ratio > 20 ? "  (over 20x)" : "");
    }
  }

  const std::vector<std::string>& Errors() const { return errors_; }
  const std::vector<std::string>& Unavailable() const { return unavailable_; }

 private:
  std::unique_ptr<benchmark::BenchmarkReporter> shown_;
  struct Time {
    std::string base, label;
    bool median;
    double seconds;
  };
  static constexpr const char* kReference = "benchsupport::Memcpy/1920000";
  static constexpr const char* kColdSmall = "benchsupport::ColdMemcpy/1920000";
  static constexpr const char* kColdLarge = "benchsupport::ColdMemcpy/8294400";
  static bool IsLarge(const std::string& name) {
    return name.rfind(benchsupport::kLargeScreenPrefix, 0) == 0;
  }
  static bool IsCold(const std::string& name) {
    return name.rfind("benchsupport::ColdMemcpy/", 0) == 0;
  }
  std::vector<std::string> errors_, unavailable_;
  std::vector<Time> times_;
  bool hasMedians_ = false;
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
  bool console = true;
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--benchmark_format=", 19) == 0)
      console = std::strcmp(argv[i] + 19, "console") == 0;
  if (!shown) {
    std::fprintf(stderr, "%s: unknown --benchmark_format (console or json)\n", argv[0]);
    return 1;
  }
  ErrorKeepingReporter reporter(std::move(shown));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (console) reporter.PrintRatios(stdout);
  for (const std::string& skipped : reporter.Unavailable())
    std::fprintf(stderr, "%s: benchmark skipped: %s\n", argv[0], skipped.c_str());
  for (const std::string& error : reporter.Errors())
    std::fprintf(stderr, "%s: benchmark failed: %s\n", argv[0], error.c_str());
  return reporter.Errors().empty() ? 0 : 1;
}
