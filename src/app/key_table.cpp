// The key-state table and its two writers; see key_table.h.
#include "app/key_table.h"

#include <algorithm>

int g_keys[kKeyCount];

void SetKey(std::uint64_t code, int held) {
  if (code >= static_cast<std::uint64_t>(kKeyCount)) return;
  g_keys[code] = held;
}

void ClearKeys() {
  std::fill(g_keys, g_keys + kKeyCount, 0);
}
