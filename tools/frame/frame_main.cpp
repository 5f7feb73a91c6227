// vortalux-frame: renders the demo's frames offscreen with the real scene code, after a list of
// key steps played exactly as the program's main loop plays held keys, and writes them as PNGs.
// Needs Mesa's EGL (no display server) and the four pictures under gfx/.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/key_steps.h"
#include "offscreen_gl.h"
#include "opengl.h"
#include "png_file.h"
#include "scene/scene.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: vortalux-frame [options]\n"
    "Renders the demo offscreen after a list of key steps and writes PNG pictures.\n"
    "\n"
    "  --steps LIST    key steps, blank-separated: KEYS[*PASSES], KEYS being up, left, right\n"
    "                  or none, several joined by '+' to hold them together; each pass of the\n"
    "                  loop applies the held keys then draws, as the program does.\n"
    "                  Example: 'up*120 left*20 up+left*30'. Default: none (the start view).\n"
    "  --out FILE      the PNG to write (default frame.png)\n"
    "  --size WxH      picture size in pixels (default 1024x768)\n"
    "  --scale N       render at N times the size and average N x N blocks (1 to 4, default 1)\n"
    "  --each-group    write one picture after every group, FILE with -01, -02, ... added\n"
    "  --draw-every-pass  draw every pass, as the program does, not only each written\n"
    "                  frame and the one before it (the pictures are the same, only slower)\n"
    "  --gfx-dir DIR   the folder holding the four pictures (default gfx/ under the working\n"
    "                  directory)\n"
    "  --fill RRGGBB   the colour the picture holds before the first frame (default 000000, as a\n"
    "                  new window): a pixel of it left in a picture is one no frame drew\n"
    "  --help          this text\n";

struct Options {
  std::string steps;
  std::string out = "frame.png";
  int width = 1024;
  int height = 768;
  int scale = 1;
  bool eachGroup = false;
  bool everyPass = false;
  std::string gfxDir;
  unsigned char fill[3] = {0, 0, 0};
};

bool ParseSize(const std::string& text, int* width, int* height) {
  int w = 0, h = 0;
  char x = 0, extra = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || x != 'x') return false;
  if (w < 1 || h < 1 || w > 8192 || h > 8192) return false;
  *width = w;
  *height = h;
  return true;
}

bool ParseColour(const std::string& text, unsigned char* rgb) {
  const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  if (text.size() != 6 || !std::all_of(text.begin(), text.end(), hex)) return false;
  const unsigned long value = std::strtoul(text.c_str(), nullptr, 16);
  rgb[0] = static_cast<unsigned char>(value >> 16);
  rgb[1] = static_cast<unsigned char>(value >> 8);
  rgb[2] = static_cast<unsigned char>(value);
  return true;
}

// Returns 0 to go on, or the exit status to leave with.
int ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return -1;
    }
    if (arg == "--each-group") {
      options->eachGroup = true;
      continue;
    }
    if (arg == "--draw-every-pass") {
      options->everyPass = true;
      continue;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "vortalux-frame: %s needs a value (or is unknown)\n%s", arg.c_str(),
                   kUsage);
      return 2;
    }
    const std::string value = argv[++i];
    if (arg == "--steps") {
      options->steps = value;
    } else if (arg == "--out") {
      options->out = value;
    } else if (arg == "--gfx-dir") {
      options->gfxDir = value;
    } else if (arg == "--size") {
      if (!ParseSize(value, &options->width, &options->height)) {
        std::fprintf(stderr, "vortalux-frame: --size wants WxH from 1x1 to 8192x8192, not '%s'\n",
                     value.c_str());
        return 2;
      }
    } else if (arg == "--fill") {
      if (!ParseColour(value, options->fill)) {
        std::fprintf(stderr, "vortalux-frame: --fill wants six hex digits RRGGBB, not '%s'\n",
                     value.c_str());
        return 2;
      }
    } else if (arg == "--scale") {
      if (value.size() != 1 || value[0] < '1' || value[0] > '4') {
        std::fprintf(stderr, "vortalux-frame: --scale wants 1, 2, 3 or 4, not '%s'\n",
                     value.c_str());
        return 2;
      }
      options->scale = value[0] - '0';
    } else {
      std::fprintf(stderr, "vortalux-frame: unknown option %s\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  return 0;
}

// The scene reads "gfx/<name>.bmp" from the working directory, so a picture folder given by
// name is reached through a private working directory whose gfx/ links to it.
class PictureFolder {
 public:
  bool Use(const std::string& gfxDir) {
    char pattern[] = "/tmp/vortalux-frame-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return false;
    root_ = pattern;
    std::error_code error;
    fs::create_directory_symlink(fs::absolute(gfxDir), root_ / "gfx", error);
    return !error && chdir(root_.c_str()) == 0;
  }
  ~PictureFolder() {
    if (root_.empty()) return;
    std::error_code error;
    fs::remove(root_ / "gfx", error);  // the link only, never what it points to
    fs::remove(root_, error);
  }

 private:
  fs::path root_;
};

// LoadBMP's result is ignored by the scene, as in the program; a frame tool that silently drew
// untextured pictures would mislead, so each texture must hold an image.
bool PicturesLoaded() {
  const Texture* textures[] = {&g_track.surfaceTexture, &g_track.gateTexture, &g_track.flareTexture,
                               &g_sky.texture};
  bool all = true;
  for (const Texture* texture : textures) {
    GLint width = 0;
    texture->Bind();
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    if (texture->id == 0 || width == 0) {
      std::fprintf(stderr, "vortalux-frame: %s did not load\n", texture->name);
      all = false;
    }
  }
  return all;
}

std::string NumberedPath(const std::string& out, size_t number) {
  const fs::path path(out);
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, "-%02zu", number);
  return (path.parent_path() / (path.stem().string() + suffix + path.extension().string()))
      .string();
}

// Averages scale x scale blocks of the rendered picture into one pixel.
std::vector<unsigned char> Shrink(const std::vector<unsigned char>& rgb, int width, int height,
                                  int scale) {
  if (scale == 1) return rgb;
  std::vector<unsigned char> small(static_cast<size_t>(width) * height * 3);
  const int bigWidth = width * scale;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int dy = 0; dy < scale; ++dy) {
          for (int dx = 0; dx < scale; ++dx) {
            sum += rgb[(static_cast<size_t>(y * scale + dy) * bigWidth + x * scale + dx) * 3 + c];
          }
        }
        small[(static_cast<size_t>(y) * width + x) * 3 + c] =
            static_cast<unsigned char>((sum + scale * scale / 2) / (scale * scale));
      }
    }
  }
  return small;
}

bool Write(const OffscreenGL& gl, const Options& options, const std::string& path) {
  const std::vector<unsigned char> rgb =
      Shrink(gl.ReadRGB(), options.width, options.height, options.scale);
  if (!WritePng(path.c_str(), options.width, options.height, rgb.data())) {
    std::fprintf(stderr, "vortalux-frame: could not write %s\n", path.c_str());
    return false;
  }
  std::printf("%s: progress %.2f, lateral %.3f, heading %.1f, pitch %.2f\n", path.c_str(),
              g_vehicle.progress, g_vehicle.lateral, g_vehicle.heading, g_vehicle.pitch);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int status = ParseOptions(argc, argv, &options)) return status < 0 ? 0 : status;
  std::vector<KeyGroup> groups;
  std::string error;
  if (!ParseKeySteps(options.steps, &groups, &error)) {
    std::fprintf(stderr, "vortalux-frame: --steps: %s\n", error.c_str());
    return 2;
  }
  options.out = fs::absolute(options.out).string();  // before any change of directory

  PictureFolder folder;
  if (!options.gfxDir.empty() && !folder.Use(options.gfxDir)) {
    std::fprintf(stderr, "vortalux-frame: cannot use %s as the picture folder\n",
                 options.gfxDir.c_str());
    return 1;
  }
  OffscreenGL gl(options.width * options.scale, options.height * options.scale);
  if (!gl.ok()) {
    std::fprintf(stderr, "vortalux-frame: %s\n", gl.error());
    return 1;
  }

  // As the program starts: set-up and the first step inside window creation, then a size report.
  InitScene();
  g_vehicle.Advance();
  ResizeScene(gl.width(), gl.height());
  if (!PicturesLoaded()) {
    std::fprintf(stderr,
                 "vortalux-frame: run from the folder holding gfx/ or name it with --gfx-dir\n");
    return 1;
  }
  glClearColor(options.fill[0] / 255.0f, options.fill[1] / 255.0f, options.fill[2] / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);  // the scene's own, as InitScene set it

  if (groups.empty()) {
    DrawScene();
    return Write(gl, options, options.out) ? 0 : 1;
  }
  // A frame's pixels depend on the state the frame before it left (the light kept in that
  // frame's eye coordinates, the list's last normal) and on nothing earlier: the sky overwrites
  // every pixel. So by default only a written frame and the one before it are drawn; the motion
  // is played in full either way.
  for (size_t g = 0; g < groups.size(); ++g) {
    const bool written = options.eachGroup || g + 1 == groups.size();
    for (long pass = 0; pass < groups[g].passes; ++pass) {
      ApplyArrows(groups[g].arrows, g_vehicle);
      const bool needed = written && pass + 2 >= groups[g].passes;
      const bool beforeNext = g + 1 < groups.size() && pass + 1 == groups[g].passes;
      if (options.everyPass || needed || beforeNext) {
        DrawScene();
        glFinish();  // the program's swap waits for the frame; so does this, to bound the queue
      }
    }
    if (options.eachGroup && !Write(gl, options, NumberedPath(options.out, g + 1))) return 1;
  }
  if (!options.eachGroup && !Write(gl, options, options.out)) return 1;
  return 0;
}
