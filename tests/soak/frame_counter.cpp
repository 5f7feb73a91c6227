// A preload library for the end-to-end tests, the soak and the latency measure: watches the real
// program's presented frames without changing the program. It wraps SDL_GL_SwapWindow and passes
// every call on.
//   VORTALUX_SOAK_COUNT=<file>    after each swap, the frames shown so far, written over the
//                                 file's one line at a fixed width: the tests wait on it for the
//                                 frames that follow an event
//   VORTALUX_SOAK_FRAMES=<file>   about once a second, "<seconds since the first frame> <frames
//                                 so far>" is appended
//   VORTALUX_SOAK_SWAPS=<file>    each swap appends the wall-clock time it returned, in ns, and 1
//                                 when the frame's middle row of pixels differs from the frame
//                                 before's (the picture moved), else 0
// Built by soak.sh and latency.sh with the host compiler, and by the e2e tests; Linux only.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using SwapWindow = void (*)(void*);
using GetIntegerv = void (*)(unsigned, int*);
using ReadPixels = void (*)(int, int, int, int, unsigned, unsigned, void*);
using Clock = std::chrono::steady_clock;

SwapWindow g_next = nullptr;
std::FILE* g_log = nullptr;
std::FILE* g_swaps = nullptr;
long g_frames = 0;
Clock::time_point g_first;
Clock::time_point g_lastWrite;
std::vector<unsigned char> g_row;

void Record() {
  const Clock::time_point now = Clock::now();
  if (g_frames == 0) {
    g_first = g_lastWrite = now;
    const char* path = std::getenv("VORTALUX_SOAK_FRAMES");
    if (path != nullptr) g_log = std::fopen(path, "w");
  }
  ++g_frames;
  if (g_log == nullptr || now - g_lastWrite < std::chrono::seconds(1)) return;
  g_lastWrite = now;
  std::fprintf(g_log, "%.3f %ld\n", std::chrono::duration<double>(now - g_first).count(), g_frames);
  std::fflush(g_log);
}

// The middle row of the frame about to be shown, from the back buffer, against the last one's.
bool RowChanged() {
  static auto getIntegerv = reinterpret_cast<GetIntegerv>(dlsym(RTLD_DEFAULT, "glGetIntegerv"));
  static auto readPixels = reinterpret_cast<ReadPixels>(dlsym(RTLD_DEFAULT, "glReadPixels"));
  if (getIntegerv == nullptr || readPixels == nullptr) return false;
  int viewport[4] = {};
  getIntegerv(0x0BA2, viewport);  // GL_VIEWPORT
  std::vector<unsigned char> row(static_cast<size_t>(viewport[2]) * 4);
  readPixels(viewport[0], viewport[1] + viewport[3] / 2, viewport[2], 1, 0x1908, 0x1401,
             row.data());  // GL_RGBA, GL_UNSIGNED_BYTE
  const bool changed = row != g_row;
  g_row.swap(row);
  return changed;
}

// The count is written in place at a width no count outgrows, so that after the first frame the
// file always holds one whole number; a reader that meets a write half done reads again.
void WriteCount() {
  static int fd = -2;
  if (fd == -2) {
    const char* path = std::getenv("VORTALUX_SOAK_COUNT");
    fd = path == nullptr ? -1 : open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (path != nullptr && fd < 0) std::fprintf(stderr, "frame_counter: cannot open %s\n", path);
  }
  if (fd < 0) return;
  char line[32];
  const int length = std::snprintf(line, sizeof line, "%20ld\n", g_frames);
  if (pwrite(fd, line, static_cast<size_t>(length), 0) != length) {
    std::fprintf(stderr, "frame_counter: cannot write the count\n");
    close(fd);
    fd = -1;
  }
}

bool WatchingSwaps() {
  static const char* path = std::getenv("VORTALUX_SOAK_SWAPS");
  if (g_swaps == nullptr && path != nullptr) g_swaps = std::fopen(path, "w");
  return g_swaps != nullptr;
}

void RecordSwap(bool moved) {
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  std::fprintf(g_swaps, "%lld %d\n", static_cast<long long>(ns.count()), moved ? 1 : 0);
  std::fflush(g_swaps);
}

}  // namespace

extern "C" void SDL_GL_SwapWindow(void* window) {
  if (g_next == nullptr)
    g_next = reinterpret_cast<SwapWindow>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
  Record();
  const bool watching = WatchingSwaps();
  const bool moved = watching && RowChanged();
  if (g_next != nullptr) g_next(window);
  WriteCount();
  if (watching) RecordSwap(moved);
}
