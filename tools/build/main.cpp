// zor-build SOURCE_DIR GAME_DIR: makes a whole game folder from an author's
// source folder with the tools found beside this program, ships the system
// file a first start writes, and runs zor-check over the result.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "savedata/systemfile.h"
#include "tools/build/plan.h"
#include "tools/common/hostfile.h"
#include "tools/common/names.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: zor-build [-j N] SOURCE_DIR GAME_DIR\n"
    "Makes the game folder GAME_DIR from the source folder SOURCE_DIR (see\n"
    "tools/build/README.md for its layout and the options file zor-build.txt),\n"
    "then checks it with zor-check. Exit status: 0 built and clean, 1 a\n"
    "problem (named on stderr), 2 a wrong command line. -j N runs N\n"
    "conversions at a time (by default one for each core); the game folder\n"
    "and the messages are the same for every N.\n";

void Say(const std::string& text) { std::fprintf(stderr, "zor-build: %s\n", text.c_str()); }

// Runs program with args and the given extra environment; stdout and stderr
// go to log_path when it is not empty. Returns the exit status, or -1 when
// the program could not be started or died of a signal (said on stderr).
int Run(const std::string& program, const std::vector<std::string>& args,
        const std::vector<std::string>& extra_env = {}, const std::string& log_path = "",
        const std::string& err_path = "", std::string* said = nullptr) {
  const auto say = [said](const std::string& text) {
    if (said) *said += "zor-build: " + text + "\n";
    else Say(text);
  };
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> env_store;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const std::string& extra : extra_env) {
      replaced |= entry.compare(0, extra.find('=') + 1, extra, 0, extra.find('=') + 1) == 0;
    }
    if (!replaced) env_store.push_back(entry);
  }
  env_store.insert(env_store.end(), extra_env.begin(), extra_env.end());
  std::vector<char*> envp;
  for (std::string& e : env_store) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!log_path.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err_path.empty()) posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  if (!err_path.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  pid_t pid = 0;
  const int err = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) {
    say(program + " cannot be started: " + std::strerror(err));
    return -1;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      say(program + ": lost track of the program: " + std::strerror(errno));
      return -1;
    }
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  say(program + " was ended by signal " + std::to_string(WTERMSIG(status)));
  return -1;
}

bool Executable(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec) && access(path.c_str(), X_OK) == 0;
}

// True when `inner` is `outer` or lies inside it.
bool Within(const fs::path& inner, const fs::path& outer) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // a trailing separator
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

// A folder that holds init, init2 or spt in any letter case: a game folder
// the build may replace.
bool LooksLikeGame(const fs::path& dir) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    const std::string name = toolsupport::AsciiLower(entry.path().filename().string());
    if (name == "init" || name == "init2" || name == "spt") return true;
  }
  return false;
}

// True when dir holds no file, only (empty) folders at most: a build tool
// may make GAME_DIR/sav before the build runs.
bool HoldsNoFiles(const fs::path& dir) {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_directory(ec)) return false;
  }
  return !ec;
}

// The system file a first start writes, run on a copy of the lists and
// scripts in a scratch folder with its own runtime folder. Its installation
// identifier is cleared, so every player's first start makes its own (an
// identifier already in the file is kept), and two builds of one source
// ship the same bytes: the headless clock is the same at every run.
bool MakeSysfile(const std::string& tools, const fs::path& stage) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zor-build.XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    Say("cannot make a scratch folder for the system file (" + pattern + "): " + std::strerror(errno));
    return false;
  }
  const fs::path scratch = pattern;
  std::error_code ec;
  fs::create_directories(scratch / "run", ec);
  fs::permissions(scratch / "run", fs::perms::owner_all, ec);
  fs::create_directories(scratch / "game", ec);
  for (const auto& entry : fs::directory_iterator(stage, ec)) {
    const std::string name = toolsupport::AsciiLower(entry.path().filename().string());
    if (name == "init" || name == "init2" || name == "spt" || name == "mok") {
      fs::copy(entry.path(), scratch / "game" / entry.path().filename(), fs::copy_options::recursive, ec);
      if (ec) break;
    }
  }
  const fs::path log = scratch / "first-start.txt";
  bool ok = !ec;
  if (!ok) Say("cannot copy the lists to " + scratch.string() + ": " + ec.message());
  if (ok) {
    const int status = Run(tools + "/zorgame", {(scratch / "game").string(), "--headless", "--frames", "1"},
                           {"XDG_RUNTIME_DIR=" + (scratch / "run").string()}, log.string());
    const fs::path written = scratch / "game" / "sav" / "sysfile.sav";
    if (status != 0 || !fs::is_regular_file(written, ec)) {
      Say("the first start that makes sav/sysfile.org failed (exit " + std::to_string(status) +
          "); what it printed is in " + log.string());
      return false;  // the scratch folder stays for the author to read
    }
    using Sys = CCommonSystemFile;
    constexpr size_t kId = Sys::kBlocks[Sys::kSystemData].offset + Sys::kUniqueIdOffset;
    std::string bytes;
    if (!toolsupport::ReadHostFile(written.string(), &bytes) || bytes.size() != Sys::kFileSize) {
      Say("the first start wrote " + written.string() + " without the system file's " +
          std::to_string(Sys::kFileSize) + " bytes");
      return false;  // the scratch folder stays for the author to read
    }
    std::fill_n(bytes.begin() + kId, 16, '\0');
    fs::create_directories(stage / "sav", ec);
    if (!toolsupport::WriteHostFile((stage / "sav" / "sysfile.org").string(), bytes.data(), bytes.size())) {
      Say("cannot write " + (stage / "sav" / "sysfile.org").string() + ": " + std::strerror(errno));
      ok = false;
    }
  }
  fs::remove_all(scratch, ec);
  return ok;
}

// The folder `name` of `game` in any letter case ("sav", "SAV"), or an
// empty path when it has none.
fs::path FolderIn(const fs::path& game, const std::string& name) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(game, ec)) {
    if (toolsupport::AsciiLower(entry.path().filename().string()) == name && entry.is_directory(ec)) {
      return entry.path();
    }
  }
  return {};
}

// Moves what `from_game`'s sav/ holds into `to_game`'s sav/ where that has
// no entry of the same name: the player's files (saves, the system file,
// the flow chart's folders), and, unless only_players, whatever else it
// holds that the new game does not ship. An entry of the same name on both
// sides is the player's twice when its name is one the game writes: then
// both stay and it is named. Returns false after naming, on stderr, the
// first entry that could not be moved or that stays for the author to
// choose; every entry not moved stays where it was.
bool MoveSaves(const fs::path& from_game, const fs::path& to_game, bool only_players) {
  const fs::path from = FolderIn(from_game, "sav");
  if (from.empty()) return true;
  std::error_code ec;
  fs::path to = FolderIn(to_game, "sav");
  if (to.empty()) to = to_game / "sav";
  std::vector<fs::path> entries;
  for (const auto& entry : fs::directory_iterator(from, ec)) entries.push_back(entry.path());
  if (ec) {
    Say("cannot read " + from.string() + ": " + ec.message());
    return false;
  }
  std::sort(entries.begin(), entries.end());
  for (const fs::path& entry : entries) {
    const std::string name = entry.filename().string();
    const bool players = gamebuild::IsPlayersSaveName(name) || fs::is_directory(entry, ec);
    if (only_players && !players) continue;
    const fs::path target = to / entry.filename();
    if (fs::exists(fs::symlink_status(target, ec))) {
      if (!players) continue;  // the new game ships its own
      Say(entry.string() + ": the player's file, and " + target.string() +
          " is one of the same name; both stay: keep the one you want in " + to.string() + ", then delete " +
          from_game.string());
      return false;
    }
    fs::create_directories(to, ec);
    fs::rename(entry, target, ec);
    if (ec) {
      Say("cannot keep " + entry.string() + " (to " + target.string() + "): " + ec.message() +
          "; the player's files not yet kept stay in " + from.string() + ", and the next zor-build moves them");
      return false;
    }
  }
  return true;
}

// True when `game`'s sav/ still holds a file the game writes for the player.
bool HoldsPlayersFiles(const fs::path& game) {
  const fs::path sav = FolderIn(game, "sav");
  if (sav.empty()) return false;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(sav, ec)) {
    if (gamebuild::IsPlayersSaveName(entry.path().filename().string()) || entry.is_directory(ec)) return true;
  }
  return static_cast<bool>(ec);  // unreadable: assume it does
}

// Finishes what an interrupted or failed build left beside the game folder,
// before anything there is replaced: the old game folder moved aside and
// not moved back (the player's saves in it), or player's files in the
// staging folder. Returns false, after naming where the player's files
// are, when they cannot be put back in the game folder.
bool Recover(const fs::path& game, const fs::path& old, const fs::path& stage) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(old, ec))) {
    if (!fs::exists(fs::symlink_status(game, ec))) {
      fs::rename(old, game, ec);
      if (ec) {
        Say("an earlier build was interrupted and left the last game in " + old.string() +
            "; it cannot be moved back to " + game.string() + ": " + ec.message());
        return false;
      }
      Say("an earlier build was interrupted: the last game, with the player's files, is back in " + game.string());
    } else {
      if (!MoveSaves(old, game, false)) return false;
      Say("an earlier build was interrupted: the player's files it left in " + old.string() + " are back in " +
          game.string());
      fs::remove_all(old, ec);
    }
  }
  if (fs::exists(fs::symlink_status(stage, ec)) && HoldsPlayersFiles(stage)) {
    if (!fs::exists(game, ec)) fs::create_directories(game, ec);
    if (!MoveSaves(stage, game, true)) return false;
    Say("an earlier build failed: the player's files it left in " + stage.string() + " are back in " +
        game.string());
  }
  return true;
}

// A file's whole content, or "" when it cannot be read.
std::string ReadAll(const fs::path& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return "";
  std::string text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  return text;
}

// What one conversion printed and whether it failed, kept until the steps
// before it have been told.
struct StepResult {
  std::string out, err;
  bool failed = false;
  bool done = false;
};

// Runs the plan's conversions into `stage`, up to `jobs` at a time. Each
// step's tool writes its stdout and stderr into files of a scratch folder;
// they are passed on in the plan's order once every step before has been
// passed on, so the messages and their order do not depend on `jobs`.
// Returns how many steps failed.
int RunSteps(const gamebuild::Plan& plan, const std::string& tools, const fs::path& source,
             const fs::path& source_abs, const fs::path& stage, int jobs) {
  std::error_code ec;
  for (const gamebuild::Step& step : plan.steps) fs::create_directories((stage / step.output).parent_path(), ec);
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zor-build-logs.XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    Say("cannot make a scratch folder for the tools' messages (" + pattern + "): " + std::strerror(errno));
    return 1;
  }
  const fs::path logs = pattern;
  std::vector<StepResult> results(plan.steps.size());
  std::mutex lock;
  std::condition_variable changed;
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < plan.steps.size();) {
      const gamebuild::Step& step = plan.steps[i];
      const fs::path in = source_abs / step.source;
      const fs::path out = stage / step.output;
      StepResult r;
      if (step.tool.empty()) {
        std::error_code copy;
        fs::copy_file(in, out, fs::copy_options::overwrite_existing, copy);
        if (copy) {
          r.err = source.string() + "/" + step.source + ": cannot be copied: " + copy.message() + "\n";
          r.failed = true;
        }
      } else {
        std::vector<std::string> args;
        for (const std::string& a : step.args) {
          if (a == "{in}") {
            args.push_back(in.string());
          } else if (a == "{out}") {
            args.push_back(out.string());
          } else if (a.rfind("{root}", 0) == 0) {
            args.push_back(source_abs.string() + a.substr(6));
          } else {
            args.push_back(a);
          }
        }
        const fs::path out_log = logs / (std::to_string(i) + ".out");
        const fs::path err_log = logs / (std::to_string(i) + ".err");
        std::string said;
        const int status = Run(tools + "/" + step.tool, args, {}, out_log.string(), err_log.string(), &said);
        r.out = ReadAll(out_log);
        r.err = ReadAll(err_log) + said;
        std::error_code gone;
        fs::remove(out_log, gone);
        fs::remove(err_log, gone);
        if (status != 0) {
          r.err += source.string() + "/" + step.source + ": refused by " + step.tool + " (its message is above)\n";
          r.failed = true;
        }
      }
      r.done = true;
      std::lock_guard<std::mutex> hold(lock);
      results[i] = std::move(r);
      changed.notify_all();
    }
  };
  const size_t workers = std::min(static_cast<size_t>(std::max(jobs, 1)), std::max<size_t>(plan.steps.size(), 1));
  std::vector<std::thread> threads;
  for (size_t w = 0; w < workers; ++w) threads.emplace_back(work);
  int failed = 0;
  for (size_t i = 0; i < results.size(); ++i) {
    StepResult r;
    {
      std::unique_lock<std::mutex> hold(lock);
      changed.wait(hold, [&] { return results[i].done; });
      r = std::move(results[i]);
    }
    std::fwrite(r.out.data(), 1, r.out.size(), stdout);
    std::fflush(stdout);
    std::fwrite(r.err.data(), 1, r.err.size(), stderr);
    if (r.failed) ++failed;
  }
  for (std::thread& t : threads) t.join();
  fs::remove_all(logs, ec);
  return failed;
}

int Build(const fs::path& source, const fs::path& game, int jobs) {
  std::error_code ec;
  if (!fs::is_directory(source, ec)) {
    Say(source.string() + ": not a folder");
    return 1;
  }
  const fs::path source_abs = fs::weakly_canonical(fs::absolute(source), ec);
  const fs::path game_abs = fs::weakly_canonical(fs::absolute(game), ec);
  if (Within(game_abs, source_abs) || Within(source_abs, game_abs)) {
    Say(game.string() + ": the game folder and the source folder must lie apart (neither inside the other)");
    return 1;
  }
  if (fs::exists(game_abs, ec)) {
    if (!fs::is_directory(game_abs, ec)) {
      Say(game.string() + ": exists and is not a folder");
      return 1;
    }
    if (!HoldsNoFiles(game_abs) && !LooksLikeGame(game_abs)) {
      Say(game.string() + ": not empty and not a game folder (no init or spt); zor-build replaces the "
                          "folder it writes, so name a new or empty folder");
      return 1;
    }
  }

  const std::string tools = platform::ExecutableFolder();
  const gamebuild::Plan plan = gamebuild::MakePlan(source_abs.string());
  for (const std::string& warning : plan.warnings) {
    std::fprintf(stderr, "%s/%s\n", source.string().c_str(), warning.c_str());
  }
  int problems = 0;
  for (const std::string& error : plan.errors) {
    std::fprintf(stderr, "%s/%s\n", source.string().c_str(), error.c_str());
    ++problems;
  }
  std::vector<std::string> needed = gamebuild::ToolsNeeded(plan);
  if (!plan.ship_own_sysfile) needed.push_back("zorgame");
  needed.push_back("zor-check");
  for (const std::string& tool : needed) {
    if (!Executable(fs::path(tools) / tool)) {
      Say(tool + " is not beside zor-build (in " + tools + "): build it or copy it there");
      ++problems;
    }
  }
  if (problems > 0) {
    Say(std::to_string(problems) + (problems == 1 ? " problem" : " problems") + "; nothing was written");
    return 1;
  }

  // Everything is made in a folder beside GAME_DIR and replaces it only when
  // whole, so a failed build leaves the last good game folder as it was.
  fs::path stage = game_abs;
  stage += ".zor-build-new";
  fs::path old = game_abs;
  old += ".zor-build-old";
  if (!Recover(game_abs, old, stage)) return 1;
  fs::remove_all(stage, ec);
  fs::create_directories(stage, ec);
  if (ec) {
    Say("cannot make " + stage.string() + ": " + ec.message());
    return 1;
  }
  int failed = RunSteps(plan, tools, source, source_abs, stage, jobs);
  for (const gamebuild::Pack& pack : plan.packs) {
    if (failed > 0) break;
    const fs::path folder = stage / pack.folder;
    const fs::path volume = stage / pack.volume;
    std::vector<fs::path> members;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      if (entry.path().extension() == (pack.voices ? ".vaw" : ".dwq")) members.push_back(entry.path());
    }
    std::sort(members.begin(), members.end());
    int status = 0;
    if (pack.voices) {
      std::vector<std::string> args{"pack", volume.string()};
      for (const fs::path& m : members) args.push_back(m.string());
      status = Run(tools + "/zor-sound", args);
    } else {
      status = Run(tools + "/zor-pack", {folder.string(), volume.string()});
    }
    if (status != 0) {
      std::fprintf(stderr, "%s/%s:%d: pack %s was refused (the message is above)\n", source.string().c_str(),
                   gamebuild::kOptionsFile, pack.line, pack.folder.c_str());
      ++failed;
      continue;
    }
    for (const fs::path& m : members) fs::remove(m, ec);
    if (fs::is_empty(folder, ec)) fs::remove(folder, ec);
  }
  if (failed == 0 && !plan.ship_own_sysfile && !MakeSysfile(tools, stage)) ++failed;
  if (failed > 0) {
    fs::remove_all(stage, ec);
    Say(std::to_string(failed) + (failed == 1 ? " file" : " files") + " could not be made; " + game.string() +
        " was left as it was");
    return 1;
  }

  // The swap: the old game aside, the new one in its place, then the
  // player's files from the old one into it. Interrupted at any point, the
  // next build's Recover finishes it; no step deletes a player's file.
  if (fs::exists(game_abs, ec)) {
    fs::rename(game_abs, old, ec);
    if (ec) {
      Say("cannot move the old " + game.string() + " aside: " + ec.message() + "; the new game is in " +
          stage.string());
      return 1;
    }
    fs::rename(stage, game_abs, ec);
    if (ec) {
      const std::string why = ec.message();
      fs::rename(old, game_abs, ec);
      Say("cannot move " + stage.string() + " to " + game.string() + ": " + why +
          (ec ? "; the last game, with the player's files, is in " + old.string() : "; the last game stays"));
      return 1;
    }
    if (!MoveSaves(old, game_abs, false)) return 1;
    fs::remove_all(old, ec);
  } else {
    fs::rename(stage, game_abs, ec);
    if (ec) {
      Say("cannot move " + stage.string() + " to " + game.string() + ": " + ec.message());
      return 1;
    }
  }
  std::printf("zor-build: %s: %zu files from %s\n", game.string().c_str(), plan.steps.size(),
              source.string().c_str());
  std::fflush(stdout);

  const int check = Run(tools + "/zor-check", {game.string(), "--source", source.string()});
  if (check != 0) {
    Say("zor-check found " + std::string(check == 1 ? "an error" : "a problem") + " in " + game.string() +
        " (named above)");
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  // -j N: conversions at a time; by default one for each core the machine has.
  const long cores = sysconf(_SC_NPROCESSORS_ONLN);
  int jobs = cores > 0 ? static_cast<int>(std::min(cores, 256L)) : 1;
  int first = 1;
  if (argc >= 2 && std::strncmp(argv[1], "-j", 2) == 0) {
    const char* value = argv[1][2] != '\0' ? argv[1] + 2 : (argc >= 3 ? argv[2] : "");
    first = argv[1][2] != '\0' ? 2 : 3;
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    if (*value == '\0' || *end != '\0' || n < 1 || n > 256) {
      std::fprintf(stderr, "zor-build: -j takes a number of conversions at a time from 1 to 256, not \"%s\"\n",
                   value);
      return 2;
    }
    jobs = static_cast<int>(n);
  }
  if (argc != first + 2 || argv[first][0] == '-' || argv[first + 1][0] == '-') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return Build(argv[first], argv[first + 1], jobs);
}
