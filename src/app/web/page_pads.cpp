// The page's gamepads; see page_pads.h.
#include "app/web/page_pads.h"

#include <emscripten/html5.h>

#include <cmath>
#include <cstring>

bool PagePads::Poll() {
  PadState pad;
  if (emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS) {
    const int count = emscripten_get_num_gamepads();
    for (int i = 0; i < count; ++i) {
      EmscriptenGamepadEvent e;
      if (emscripten_get_gamepad_status(i, &e) != EMSCRIPTEN_RESULT_SUCCESS || !e.connected ||
          std::strcmp(e.mapping, "standard") != 0) {
        continue;
      }
      for (int b = 0; b < kPadButtonCount && b < e.numButtons; ++b) {
        pad.pressed[b] = pad.pressed[b] || e.digitalButton[b];
      }
      const float x = e.numAxes > 0 ? static_cast<float>(e.axis[0]) : 0;
      if (std::fabs(x) > std::fabs(pad.stickX)) pad.stickX = x;
    }
  }
  const PadKeys now = KeysOfPad(pad);
  ApplyPadKeys(held_, now);
  const bool started = now.start && !held_.start;
  held_ = now;
  return started;
}
