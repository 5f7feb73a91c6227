// Start-up probes; see startup.h.
#include "startup.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "frame_loops.h"
#include "scene/scene.h"

extern char** environ;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

long long MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

}  // namespace

int RunStartupProbe(ProbeKind probe, TargetKind target) {
  FrameTarget frameTarget(target, kWidth, kHeight);
  if (!frameTarget.ok()) {
    std::fprintf(stderr, "startup probe: %s\n", frameTarget.error());
    return 2;
  }
  FloorScene floor;
  if (probe == ProbeKind::kDemo) {
    InitScene();
    ResizeScene(kWidth, kHeight);
    g_vehicle.Advance();
    DrawScene();
  } else {
    floor.Load("gfx/Sky.bmp");
    floor.Begin();
    floor.DrawFrame();
  }
  frameTarget.Present();
  const long long presented = MonotonicNanoseconds();
  if (probe == ProbeKind::kFloor) floor.End();
  std::printf("%lld\n", presented);
  return std::fflush(stdout) == 0 ? 0 : 2;
}

double TimeStartup(const char* program, ProbeKind probe, TargetKind target) {
  int fds[2];
  if (pipe(fds) != 0) return -1.0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);

  std::string probeName = probe == ProbeKind::kDemo ? "demo" : "floor";
  std::string probeFlag = "--startup-probe";
  std::string windowFlag = "--window";
  std::string programPath = program;
  char* argv[] = {programPath.data(), probeFlag.data(), probeName.data(),
                  target == TargetKind::kWindow ? windowFlag.data() : nullptr, nullptr};

  pid_t child = 0;
  const long long started = MonotonicNanoseconds();
  const int spawned = posix_spawn(&child, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    close(fds[0]);
    return -1.0;
  }

  std::string output;
  char buffer[64];
  ssize_t n = 0;
  while ((n = read(fds[0], buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    output.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
  const long long presented = std::strtoll(output.c_str(), nullptr, 10);
  if (presented <= started) return -1.0;
  return static_cast<double>(presented - started) / 1e6;
}
