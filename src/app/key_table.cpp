// The key-state table and its writers; see key_table.h.
#include "app/key_table.h"

#include <algorithm>

int g_keys[kKeyCount];

namespace {
bool g_escapePressed = false;  // a press of Escape the loop has not yet acted on
Arrows g_arrowsPressed;        // presses of the arrows since the last TakeArrows
}  // namespace

void SetKey(std::uint64_t code, int held) {
  SetKeyFrom(kKeyboard, code, held != 0);
}

void SetKeyFrom(KeySource source, std::uint64_t code, bool held) {
  if (code >= static_cast<std::uint64_t>(kKeyCount)) return;
  g_keys[code] = held ? g_keys[code] | source : g_keys[code] & ~source;
  if (!held) return;
  if (code == kKeyEscape) g_escapePressed = true;
  if (code == kKeyUp) g_arrowsPressed.up = true;
  if (code == kKeyLeft) g_arrowsPressed.left = true;
  if (code == kKeyRight) g_arrowsPressed.right = true;
}

Arrows TakeArrows() {
  const Arrows arrows = {g_arrowsPressed.up || g_keys[kKeyUp] != 0,
                         g_arrowsPressed.left || g_keys[kKeyLeft] != 0,
                         g_arrowsPressed.right || g_keys[kKeyRight] != 0};
  g_arrowsPressed = Arrows();
  return arrows;
}

bool TakeEscape() {
  const bool quit = g_escapePressed || g_keys[kKeyEscape] != 0;
  g_escapePressed = false;
  return quit;
}

void ClearKeys() {
  std::fill(g_keys, g_keys + kKeyCount, 0);
  g_arrowsPressed = Arrows();  // their releases went to another window, so may their presses
}

void ReleaseKeysFrom(KeySource source) {
  for (int& key : g_keys) key &= ~source;
}
