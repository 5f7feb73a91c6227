// The per-frame track pass: the compiled mesh blended onto the sky, then every flare within reach
// of the camera point drawn over everything. Needs a current context and the built track.
#include "opengl.h"
#include "track/track.h"

// The first screen blend comes before the attribute push on purpose: blending stays on after the
// pass, for the rest of the run. The push then brackets only the flares' state.
void Track::Draw(float cx, float cy, float cz) const {
  surfaceTexture.EnableScreenBlend();
  glCallList(static_cast<GLuint>(listId));

  flareTexture.PushState();
  glDisable(GL_DEPTH_TEST);  // flares lie over the track and write no depth
  flareTexture.Bind();
  flareTexture.EnableScreenBlend();
  const int last = segmentCount < kFlareCapacity ? segmentCount : kFlareCapacity - 1;
  for (int i = 0; i <= last; ++i) flares[i].Draw(cx, cy, cz);
  flareTexture.PopState();
}
