// Key-step lists; see key_steps.h.
#include "app/key_steps.h"

#include <algorithm>
#include <cstdlib>

#include "app/frame_pass.h"
#include "app/key_table.h"

namespace {

bool ParseKeys(const std::string& keys, HeldArrows* arrows, std::string* why) {
  if (keys.empty()) {
    *why = "no key named";
    return false;
  }
  size_t start = 0;
  while (true) {
    const size_t plus = keys.find('+', start);
    const std::string name = keys.substr(start, plus == std::string::npos ? plus : plus - start);
    if (name == "up") {
      arrows->up = true;
    } else if (name == "left") {
      arrows->left = true;
    } else if (name == "right") {
      arrows->right = true;
    } else if (name != "none") {
      *why = "unknown key '" + name + "' (keys: up, left, right, none)";
      return false;
    }
    if (plus == std::string::npos) return true;
    start = plus + 1;
  }
}

bool ParseCount(const std::string& digits, long* passes, std::string* why) {
  const bool allDigits = !digits.empty() && digits.size() <= 9 &&
                         digits.find_first_not_of("0123456789") == std::string::npos;
  const long value = allDigits ? std::strtol(digits.c_str(), nullptr, 10) : 0;
  if (!allDigits || value < 1 || value > kMaxPassesPerGroup) {
    *why = "pass count '" + digits + "' is not a whole number from 1 to " +
           std::to_string(kMaxPassesPerGroup);
    return false;
  }
  *passes = value;
  return true;
}

}  // namespace

bool ParseKeySteps(const std::string& text, std::vector<KeyGroup>* groups, std::string* error) {
  groups->clear();
  long total = 0;
  // Split by hand: <sstream> would bring the iostreams into the page's WebAssembly.
  for (size_t end = 0;;) {
    const size_t begin = text.find_first_not_of(" \t\n\r\f\v", end);
    if (begin == std::string::npos) break;
    end = text.find_first_of(" \t\n\r\f\v", begin);
    const std::string word = text.substr(begin, end == std::string::npos ? end : end - begin);
    KeyGroup group;
    const size_t star = word.find('*');
    std::string why;
    const bool ok =
        ParseKeys(word.substr(0, star), &group.arrows, &why) &&
        (star == std::string::npos || ParseCount(word.substr(star + 1), &group.passes, &why));
    if (!ok) {
      *error = "step " + std::to_string(groups->size() + 1) + " '" + word + "': " + why;
      return false;
    }
    if (group.passes > kMaxPasses - total) {
      *error = "step " + std::to_string(groups->size() + 1) + " '" + word +
               "': the list asks for more than " + std::to_string(kMaxPasses) + " passes";
      return false;
    }
    total += group.passes;
    groups->push_back(group);
  }
  return true;
}

KeyScript::KeyScript(const std::vector<KeyGroup>& groups) : groups_(groups) {
  long end = 0;
  for (const KeyGroup& group : groups_) ends_.push_back(end += group.passes);
}

Arrows KeyScript::At(long step) const {
  const auto group = std::upper_bound(ends_.begin(), ends_.end(), step);
  if (step < 0 || group == ends_.end()) return {};
  return groups_[static_cast<size_t>(group - ends_.begin())].arrows;
}
