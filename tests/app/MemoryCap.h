// Runs a piece of a test in a child process whose address space is capped a little
// above what it already holds, to see what the code does when memory runs out without
// taking the test process (or the machine) with it. The address sanitizer reserves far
// more address space than any such cap allows: tests that use this skip under it.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>
#include <functional>

namespace qm::testing {

// The exit code `body` returned in the child; minus the signal's number when a signal
// ended it; 124 when `body` threw (the child must not go on running the rest of the
// tests); 125 when the cap could not be set. -1 when there is no child at all.
inline int ExitWithMemoryCap(size_t headroom, const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t cap =
        static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + headroom;
    const rlimit limit{cap, cap};
    if (pages == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(125);
    try {
      ::_exit(body());
    } catch (...) {
      ::_exit(124);
    }
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

}  // namespace qm::testing
