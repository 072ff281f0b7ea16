// editor_idle_cost: how much of one core an open editor costs while nothing
// changes. Opens a plug-in's editor inside a host window of its own, then
// plays a host that calls effEditIdle every 20 ms (and runs the window
// system's queue) for a while, and prints the process's CPU time over that
// stretch as a share of one core.
//
//   editor_idle_cost PLUGIN [SECONDS]      (default 30 seconds)
//   editor_idle_cost --no-editor PLUGIN [SECONDS]
//
// --no-editor runs the same host loop without opening the editor: the host's
// own share, to subtract.
//
// A measurement, not a test: the figure depends on the machine.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "tests/editors/HostParentWindow.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace {

// CPU time of the whole process (user and system), in seconds.
double processCpuSeconds() {
#if defined(_WIN32)
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  const bool withEditor = !(argc > 1 && std::string(argv[1]) == "--no-editor");
  if (!withEditor) ++first;
  if (argc <= first) {
    std::fputs("usage: editor_idle_cost [--no-editor] PLUGIN [SECONDS]\n", stderr);
    return 2;
  }
  const char* path = argv[first];
  const double seconds = argc > first + 1 ? std::atof(argv[first + 1]) : 30.0;
  editortest::HostParentWindow parent;
  if (!parent.valid()) {
    std::fputs("editor_idle_cost: no display for the host window\n", stderr);
    return 1;
  }
  auto plugin = host::Plugin::load(path);
  if (!plugin) {
    std::fprintf(stderr, "editor_idle_cost: cannot load %s\n", path);
    return 1;
  }
  plugin->start();
  if (withEditor) plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle());
  auto idle = [&] {
    if (withEditor) plugin->dispatch(vst::effEditIdle);
  };
  // Let the first paint and the first timer ticks settle.
  parent.pump(idle, 500);

  using Clock = std::chrono::steady_clock;
  const double cpuStart = processCpuSeconds();
  const auto start = Clock::now();
  auto next = start;
  long calls = 0;
  while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
    next += std::chrono::milliseconds(20);
    parent.processPending();  // the host's message loop
    idle();
    ++calls;
    std::this_thread::sleep_until(next);
  }
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = processCpuSeconds() - cpuStart;
  if (withEditor) plugin->dispatch(vst::effEditClose);
  plugin->close();
  std::printf("%s%s: %ld idle calls in %.1f s, CPU %.3f s = %.3f %% of one core\n", path,
              withEditor ? "" : " (no editor)", calls, wall, cpu,
              100.0 * cpu / wall);
  return 0;
}
