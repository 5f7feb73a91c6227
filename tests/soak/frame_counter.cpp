// A preload library for the soak: counts the real program's presented frames without changing
// the program. It wraps SDL_GL_SwapWindow, passes every call on, and about once a second appends
// "<seconds since the first frame> <frames so far>" to the file named by VORTALUX_SOAK_FRAMES.
// Built by soak.sh with the host compiler; Linux only.
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using SwapWindow = void (*)(void*);
using Clock = std::chrono::steady_clock;

SwapWindow g_next = nullptr;
std::FILE* g_log = nullptr;
long g_frames = 0;
Clock::time_point g_first;
Clock::time_point g_lastWrite;

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

}  // namespace

extern "C" void SDL_GL_SwapWindow(void* window) {
  if (g_next == nullptr)
    g_next = reinterpret_cast<SwapWindow>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
  Record();
  if (g_next != nullptr) g_next(window);
}
