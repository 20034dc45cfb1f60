/* A test aid preloaded into one program of a run (FAULT_PROGRAM, its short
   name; the programs it starts are left alone): it makes a rename fail, or
   sends the program a signal at a chosen point of its file writes, to show
   what a failed or interrupted program leaves behind.
     FAULT_RENAME_FAIL=TEXT  a rename whose source path holds TEXT fails (EACCES)
     FAULT_PATH=TEXT         the calls counted: mkstemp, fsync and rename on a
                             path that holds TEXT (every rename when unset)
     FAULT_AT=N              at the Nth point the signal is raised; each
                             counted call has two points, before it runs and
                             after it ran
     FAULT_SIGNAL=KILL|HUP|TERM|INT   the signal (KILL when unset)
   Each signal raised writes "faultshim: SIG... at point N (CALL PATH)" on
   stderr. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int Chosen(void) {
  const char* program = getenv("FAULT_PROGRAM");
  return program != NULL && strcmp(program, program_invocation_short_name) == 0;
}

static int Counted(const char* path) {
  const char* text = getenv("FAULT_PATH");
  return Chosen() && (text == NULL || *text == '\0' || (path != NULL && strstr(path, text) != NULL));
}

/* One point passed: raises the signal when it is the chosen one. */
static void Point(const char* call, const char* path) {
  static int count;
  const char* at = getenv("FAULT_AT");
  if (at == NULL || ++count != atoi(at)) return;
  const char* name = getenv("FAULT_SIGNAL");
  int sig = SIGKILL;
  if (name != NULL && strcmp(name, "HUP") == 0) sig = SIGHUP;
  if (name != NULL && strcmp(name, "TERM") == 0) sig = SIGTERM;
  if (name != NULL && strcmp(name, "INT") == 0) sig = SIGINT;
  fprintf(stderr, "faultshim: SIG%s at point %d (%s %s)\n", name != NULL ? name : "KILL", count, call,
          path != NULL ? path : "");
  fflush(stderr);
  raise(sig);
}

static void* Real(const char* name) { return dlsym(RTLD_NEXT, name); }

int rename(const char* from, const char* to) {
  static int (*real)(const char*, const char*);
  if (real == NULL) *(void**)&real = Real("rename");
  if (Chosen()) {
    const char* fail = getenv("FAULT_RENAME_FAIL");
    if (fail != NULL && *fail != '\0' && strstr(from, fail) != NULL) {
      errno = EACCES;
      return -1;
    }
  }
  const int counted = Counted(from);
  if (counted) Point("rename", from);
  const int result = real(from, to);
  const int saved = errno;
  if (counted) Point("renamed", from);
  errno = saved;
  return result;
}

static int MakeTemp(const char* call, char* pattern) {
  static int (*real)(char*);
  if (real == NULL) *(void**)&real = Real("mkstemp");
  const int counted = Counted(pattern);
  if (counted) Point(call, pattern);
  const int fd = real(pattern);
  const int saved = errno;
  if (counted) Point("made", pattern);
  errno = saved;
  return fd;
}

int mkstemp(char* pattern) { return MakeTemp("mkstemp", pattern); }
int mkstemp64(char* pattern) { return MakeTemp("mkstemp", pattern); }

int fsync(int fd) {
  static int (*real)(int);
  if (real == NULL) *(void**)&real = Real("fsync");
  char link[64], path[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, path, sizeof path - 1);
  path[n > 0 ? n : 0] = '\0';
  const int counted = Counted(path);
  if (counted) Point("fsync", path);
  const int result = real(fd);
  const int saved = errno;
  if (counted) Point("synced", path);
  errno = saved;
  return result;
}
