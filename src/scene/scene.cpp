// The scene: where the program's objects meet OpenGL. The three globals are defined here, in this
// order, so they are constructed vehicle, track, sky and destroyed in reverse.
#include "scene/scene.h"

#include "opengl.h"

Vehicle g_vehicle;
Track g_track;
Sky g_sky;
std::string g_pictureFolder = "gfx/";

namespace {

constexpr int kTrackList = 1;
constexpr GLfloat kLightAmbient[] = {0.7f, 0.7f, 0.7f, 1.0f};
constexpr GLfloat kLightDiffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr GLfloat kLightPositionAtSetUp[] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr GLfloat kMaterialAmbient[] = {1.75f, 1.75f, 1.75f, 1.0f};
constexpr GLfloat kLightDirection[] = {0.0f, 0.5f, 0.0f, 0.0f};  // along +y, w = 0: directional

double g_aspect = 4.0 / 3.0;  // the projection's, which the sky must fill

}  // namespace

std::vector<std::string> LoadTextures() {
  const struct {
    Texture& texture;
    const char* name;
  } pictures[] = {{g_track.surfaceTexture, "Track.bmp"},
                  {g_track.gateTexture, "StartEnd.bmp"},
                  {g_track.flareTexture, "Flare.bmp"},
                  {g_sky.texture, "Sky.bmp"}};
  std::vector<std::string> failed;
  for (const auto& picture : pictures) {
    const std::string path = g_pictureFolder + picture.name;
    if (!picture.texture.LoadBMP(path.c_str())) failed.push_back(path);
  }
  return failed;
}

// A picture that fails to load leaves its surface untextured; everything else goes on.
std::vector<std::string> InitScene() {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_LIGHTING);
  glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
  glLightfv(GL_LIGHT0, GL_POSITION, kLightPositionAtSetUp);
  glEnable(GL_LIGHT0);
  glMaterialfv(GL_FRONT, GL_AMBIENT, kMaterialAmbient);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);  // the current colour drives the material
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

  std::vector<std::string> failed = LoadTextures();
  g_track.Build(kTrackList);
  g_vehicle.track = g_track;  // surface queries only; the copy is never drawn
  return failed;
}

// The far plane at 6.0 matches the flares' cut-off distance.
void ResizeScene(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect = height == 0 ? width : static_cast<double>(width) / height;
  gluPerspective(120.0, aspect, 0.001, 6.0);
  g_aspect = aspect;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDrawBuffer(GL_BACK);
}

// Only depth is cleared: the sky quad paints the whole view every frame.
void DrawScene() {
  DrawScene(ViewOf(g_vehicle));
}

void DrawScene(const VehicleView& view) {
  glClear(GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  g_sky.Draw(view.pitch, view.heading, g_aspect);
  ApplyCamera(view);
  glLightfv(GL_LIGHT0, GL_POSITION, kLightDirection);  // fixed in track coordinates
  g_track.Draw(view.lateral, view.height, view.depth);
}
