// The key-state table and its writers; see key_table.h.
#include "app/key_table.h"

#include <algorithm>

int g_keys[kKeyCount];

namespace {
bool g_escapePressed = false;  // a press of Escape the loop has not yet acted on
}  // namespace

void SetKey(std::uint64_t code, int held) {
  SetKeyFrom(kKeyboard, code, held != 0);
}

void SetKeyFrom(KeySource source, std::uint64_t code, bool held) {
  if (code >= static_cast<std::uint64_t>(kKeyCount)) return;
  g_keys[code] = held ? g_keys[code] | source : g_keys[code] & ~source;
  if (code == kKeyEscape && held) g_escapePressed = true;
}

bool TakeEscape() {
  const bool quit = g_escapePressed || g_keys[kKeyEscape] != 0;
  g_escapePressed = false;
  return quit;
}

void ClearKeys() {
  std::fill(g_keys, g_keys + kKeyCount, 0);
}

void ReleaseKeysFrom(KeySource source) {
  for (int& key : g_keys) key &= ~source;
}
