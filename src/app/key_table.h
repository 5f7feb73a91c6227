// The key-state table: one entry per Windows virtual-key code, non-zero while the key is held (1
// while the keyboard alone holds it). The shells write it (Win32 straight from its key messages,
// SDL through sdl_keymap, the page from its keys, touches and pads) and the main loop reads it.
// Portable: no window-system type appears here.
#pragma once

#include <cstdint>

constexpr int kKeyCount = 256;

// The Windows virtual-key codes the loop reads (VK_ESCAPE, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN).
constexpr int kKeyEscape = 27;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

extern int g_keys[kKeyCount];

// What can hold a key: each is one bit of an entry, so a key stays held while any source holds it
// and a source lets go only of its own holds (a pad unplugged keeps the keyboard's arrow held).
enum KeySource : int { kKeyboard = 1, kTouch = 2, kGamepad = 4 };

// Records a press (held = 1) or a release (held = 0) by the keyboard. A code of 256 or more has no
// entry in the table and is ignored rather than written past its end.
void SetKey(std::uint64_t code, int held);
// The same for any source.
void SetKeyFrom(KeySource source, std::uint64_t code, bool held);

// The three arrows a step of the vehicle is taken with.
struct Arrows {
  bool up = false;
  bool left = false;
  bool right = false;
};

// The arrows held now, with those pressed since the last call though let go again, and forgets
// those presses. A paced loop takes a step only every few frames on a fast display; stepping with
// these, a tap between its steps still moves the vehicle.
Arrows TakeArrows();

// True when Escape is held now or was pressed since the last call, which forgets that press. A
// quick tap can bring its press and its release in the same drain of events, after which the table
// alone shows Escape up again; the arrows keep their "held" meaning, but a quit is never lost.
bool TakeEscape();

// Releases every key and forgets the arrows' presses. Called when the window loses the keyboard:
// the key-up messages of keys held at that moment go to another window, so without this an arrow
// would stay "held".
void ClearKeys();
// Releases what one source holds, as when a pad is unplugged.
void ReleaseKeysFrom(KeySource source);
