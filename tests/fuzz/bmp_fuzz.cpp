// libFuzzer target for the BMP loader: every input goes through the header parser, the read
// path over the real file seam (via a scratch file) and Texture::LoadBMP in an offscreen
// context, with the invariants of bmp_input_check.h. Built with VORTALUX_FUZZ=ON and clang;
// tests/fuzz/run.sh builds and runs it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bmp_input_check.h"
#include "offscreen_gl.h"

namespace {

std::string g_scratch;
OffscreenGL* g_gl = nullptr;

void RemoveScratch() {
  std::remove(g_scratch.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* tmp = std::getenv("TMPDIR");
  g_scratch = std::string(tmp != nullptr ? tmp : "/tmp") + "/vortalux_bmp_fuzz_" +
              std::to_string(static_cast<long>(getpid())) + ".bmp";
  std::atexit(RemoveScratch);
  // Kept for the whole run (never destroyed: the process ends with it current).
  g_gl = new OffscreenGL(16, 16);
  if (!g_gl->ok()) {
    std::fprintf(stderr, "bmp_fuzz: %s; LoadBMP is not exercised\n", g_gl->error());
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string broken = CheckBmpInput(data, size, g_scratch, g_gl != nullptr && g_gl->ok());
  if (!broken.empty()) {
    std::fprintf(stderr, "bmp_fuzz: invariant broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
