// The page's gamepads: every connected pad in the standard mapping, read through the Gamepad API
// once a pass, all of them as one, into the key table. Emscripten only.
#pragma once

#include "app/pad_keys.h"

class PagePads {
 public:
  // Gives the key table what changed since the last poll: a pad that is unplugged lets go of what
  // it held. True when Start has just been pressed.
  bool Poll();
  // Forgets what the pads held, as the key table does when every key is let go: the next poll
  // gives the table what they still hold.
  void Release() { held_ = PadKeys(); }

 private:
  PadKeys held_;  // what the pads held at the last poll, as the key table has it
};
