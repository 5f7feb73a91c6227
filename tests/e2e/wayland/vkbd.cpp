// vortalux-vkbd: key presses for the Wayland end-to-end test. It plugs a keyboard into the
// compositor's seat through zwp_virtual_keyboard_v1 (sway offers it), uploads the keymap a
// physical US keyboard has there (xkbcommon's evdev rules, model pc105, layout us) and presses
// keys by their evdev codes with the hold times given, as a person's keyboard would; then it
// unplugs the keyboard. With "-" it stays plugged in, as a keyboard a session starts with, and
// takes its actions from standard input. Needs a Wayland display (WAYLAND_DISPLAY),
// libwayland-client and libxkbcommon.
//
// The session form is what a test wants. A keyboard plugged in only for its keys reaches a
// program once the program has seen the seat gain a keyboard and asked for it, which a program
// busy drawing a frame does after the first press has gone by; the compositor then reports the
// held key in wl_keyboard.enter, from which SDL 2.26 takes only modifiers, so a held Up is lost.
//
// A keymap generated for the keys to be sent, as some virtual-keyboard tools make, would not do:
// its layout has no name, and SDL 2.26 takes a keyboard with a nameless layout for an arbitrary
// virtual one and reads its keys by keysym on a path of its own (see the SDL shell's HandleEvent).
// The test must drive the program as a real keyboard does.
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "virtual-keyboard-unstable-v1-client-protocol.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr long kLongestHoldMs = 600000;

const char kUsage[] =
    "usage: vortalux-vkbd ACTION...\n"
    "       vortalux-vkbd -\n"
    "  hold KEY MS   press KEY, hold it for MS milliseconds (0..600000), release it\n"
    "  tap KEY       press and release KEY back to back\n"
    "KEY: up, down, left, right, escape, return, f11, or an evdev key code (1..767).\n"
    "The actions run in order on one keyboard with the keymap of a US keyboard, plugged into\n"
    "the seat of the Wayland display WAYLAND_DISPLAY names, and unplugged after the last.\n"
    "With -, the keyboard stays plugged in until standard input ends: \"ready\" is written\n"
    "once it is, then each line of actions read is played and answered with \"done\", or\n"
    "with \"error: <reason>\" when the line is not understood.\n";

// Evdev codes (linux/input-event-codes.h) of the keys the demo reads, by name.
struct NamedKey {
  const char* name;
  unsigned code;
};
constexpr NamedKey kKeys[] = {{"escape", 1}, {"return", 28}, {"f11", 87},  {"up", 103},
                              {"left", 105}, {"right", 106}, {"down", 108}};
constexpr unsigned kLastKeyCode = 767;  // KEY_MAX

struct Action {
  unsigned key;
  long holdMs;  // -1: a tap, released at once
};

bool ParseKey(const char* text, unsigned* key) {
  for (const NamedKey& named : kKeys) {
    if (std::strcmp(text, named.name) == 0) {
      *key = named.code;
      return true;
    }
  }
  char* end = nullptr;
  errno = 0;
  const unsigned long code = std::strtoul(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || text[0] == '-' || code == 0 ||
      code > kLastKeyCode) {
    return false;
  }
  *key = static_cast<unsigned>(code);
  return true;
}

bool ParseMs(const char* text, long* ms) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < 0 || value > kLongestHoldMs) {
    return false;
  }
  *ms = value;
  return true;
}

// The actions the words give, or an empty list with the reason in *error.
std::vector<Action> ParseActions(const std::vector<std::string>& words, std::string* error) {
  std::vector<Action> actions;
  for (size_t i = 0; i < words.size();) {
    const std::string& verb = words[i];
    const size_t operands = verb == "hold" ? 2 : verb == "tap" ? 1 : 0;
    if (operands == 0) {
      *error = "unknown action '" + verb + "'";
      return {};
    }
    if (i + operands >= words.size()) {
      *error = "'" + verb + "' needs " + (operands == 2 ? "a key and a time" : "a key");
      return {};
    }
    Action action{0, -1};
    if (!ParseKey(words[i + 1].c_str(), &action.key)) {
      *error = "unknown key '" + words[i + 1] + "'";
      return {};
    }
    if (operands == 2 && !ParseMs(words[i + 2].c_str(), &action.holdMs)) {
      *error = "the time '" + words[i + 2] + "' is not 0..600000 milliseconds";
      return {};
    }
    actions.push_back(action);
    i += operands + 1;
  }
  if (actions.empty()) *error = "no action given";
  return actions;
}

struct Globals {
  wl_seat* seat = nullptr;
  zwp_virtual_keyboard_manager_v1* manager = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t /*version*/) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
    globals->manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
        wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
  }
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void Complain(const std::string& message) {
  std::fprintf(stderr, "vortalux-vkbd: %s\n", message.c_str());
}

// Waits until the compositor has handled every request sent so far; false, with the reason on
// standard error, when the connection failed (a protocol error ends it).
bool Sync(wl_display* display, const char* doing) {
  if (wl_display_roundtrip(display) >= 0) return true;
  const int error = wl_display_get_error(display);
  const wl_interface* interface = nullptr;
  uint32_t id = 0;
  const uint32_t code =
      error == EPROTO ? wl_display_get_protocol_error(display, &interface, &id) : 0;
  if (interface != nullptr) {
    Complain(std::string("the compositor refused ") + doing + ": protocol error " +
             std::to_string(code) + " on " + interface->name);
  } else {
    Complain(std::string("the connection to the compositor failed while ") + doing + ": " +
             std::strerror(error));
  }
  return false;
}

// The keymap text of a physical US keyboard, as the compositor would make it from its input
// configuration; empty on failure, with the reason on standard error.
std::string UsKeymap() {
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  if (context == nullptr) {
    Complain("xkbcommon could not make a context");
    return {};
  }
  const xkb_rule_names names = {"evdev", "pc105", "us", "", nullptr};
  xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  std::string text;
  if (keymap == nullptr) {
    Complain("xkbcommon could not compile the keymap evdev/pc105/us (is xkb-data installed?)");
  } else if (xkb_keymap_layout_get_name(keymap, 0) == nullptr) {
    Complain(
        "the keymap evdev/pc105/us names no layout; it would not read as a physical keyboard's");
  } else if (char* made = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1)) {
    text = made;
    std::free(made);
  } else {
    Complain("xkbcommon could not write the keymap out");
  }
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
  return text;
}

// The keymap in a file the compositor maps: the text with its terminating NUL, as
// wl_keyboard.keymap carries it. -1 on failure.
int KeymapFile(const std::string& keymap) {
  const int fd = memfd_create("vortalux-vkbd-keymap", MFD_CLOEXEC);
  if (fd < 0) {
    Complain(std::string("no memory file for the keymap: ") + std::strerror(errno));
    return -1;
  }
  const char* data = keymap.c_str();
  size_t left = keymap.size() + 1;
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Complain(std::string("cannot write the keymap: ") + std::strerror(errno));
      close(fd);
      return -1;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  return fd;
}

uint32_t NowMs() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void Key(zwp_virtual_keyboard_v1* keyboard, unsigned key, bool down) {
  zwp_virtual_keyboard_v1_key(
      keyboard, NowMs(), key,
      down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

// Presses and releases the keys of the actions; false, with the reason on standard error, when
// the compositor did not take them.
bool Play(wl_display* display, zwp_virtual_keyboard_v1* keyboard,
          const std::vector<Action>& actions) {
  for (const Action& action : actions) {
    Key(keyboard, action.key, true);
    if (action.holdMs >= 0) {
      wl_display_flush(display);
      std::this_thread::sleep_for(std::chrono::milliseconds(action.holdMs));
    }
    Key(keyboard, action.key, false);
    if (!Sync(display, "the keys")) return false;
  }
  return true;
}

void Answer(const std::string& line) {
  std::cout << line << std::endl;  // flushed: the test waits for it
}

// One line of the session form: played and answered. False when the compositor failed.
bool ServeLine(wl_display* display, zwp_virtual_keyboard_v1* keyboard, const std::string& line) {
  std::istringstream split(line);
  std::vector<std::string> words;
  for (std::string word; split >> word;) words.push_back(word);
  if (words.empty()) return true;
  std::string error;
  const std::vector<Action> actions = ParseActions(words, &error);
  if (actions.empty()) {
    Answer("error: " + error);
    return true;
  }
  if (!Play(display, keyboard, actions)) return false;
  Answer("done");
  return true;
}

// The session form: lines of actions from standard input until it ends, while the compositor's
// events are read as they come. False when the connection fails.
bool Serve(wl_display* display, zwp_virtual_keyboard_v1* keyboard) {
  Answer("ready");
  pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wl_display_get_fd(display), POLLIN, 0}};
  std::string pending;
  for (;;) {
    wl_display_flush(display);
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      Complain(std::string("cannot wait for input: ") + std::strerror(errno));
      return false;
    }
    if (fds[1].revents != 0 && wl_display_dispatch(display) < 0) {
      return Sync(display, "waiting for the next keys");  // says why
    }
    if (fds[0].revents == 0) continue;
    char chunk[4096];
    const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      Complain(std::string("cannot read standard input: ") + std::strerror(errno));
      return false;
    }
    if (got == 0) return ServeLine(display, keyboard, pending);  // the last line may lack its end
    pending.append(chunk, static_cast<size_t>(got));
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
      if (!ServeLine(display, keyboard, pending.substr(0, end))) return false;
      pending.erase(0, end + 1);
    }
  }
}

// Plugs the keyboard in with its keymap, plays the actions (or serves standard input when there
// are none) and unplugs it; false, with the reason on standard error, on any failure.
bool Plugged(wl_display* display, const Globals& globals, const std::string& keymap,
             const std::vector<Action>& actions) {
  if (globals.seat == nullptr) {
    Complain("the compositor has no seat");
    return false;
  }
  if (globals.manager == nullptr) {
    Complain("the compositor offers no virtual keyboards (zwp_virtual_keyboard_manager_v1)");
    return false;
  }
  const int fd = KeymapFile(keymap);
  if (fd < 0) return false;
  zwp_virtual_keyboard_v1* keyboard =
      zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(globals.manager, globals.seat);
  zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                 static_cast<uint32_t>(keymap.size() + 1));
  close(fd);  // sent: the compositor holds a descriptor of its own
  const bool played =
      Sync(display, "the keyboard and its keymap") &&
      (actions.empty() ? Serve(display, keyboard) : Play(display, keyboard, actions));
  zwp_virtual_keyboard_v1_destroy(keyboard);  // unplugged, every key up
  return played && Sync(display, "unplugging the keyboard");
}

// No actions: the session form.
int Run(const std::vector<Action>& actions) {
  const std::string keymap = UsKeymap();
  if (keymap.empty()) return kExitFailed;
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    Complain(std::string("cannot connect to the Wayland display '") +
             (name != nullptr ? name : "wayland-0") + "': " + std::strerror(errno));
    return kExitFailed;
  }
  Globals globals;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, &globals);
  const bool played =
      Sync(display, "listing its globals") && Plugged(display, globals, keymap, actions);
  if (globals.manager != nullptr) zwp_virtual_keyboard_manager_v1_destroy(globals.manager);
  if (globals.seat != nullptr) wl_seat_destroy(globals.seat);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return played ? 0 : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (words.size() == 1 && words[0] == "-") return Run({});
  std::string error;
  const std::vector<Action> actions = ParseActions(words, &error);
  if (actions.empty()) {
    std::fprintf(stderr, "vortalux-vkbd: %s\n%s", error.c_str(), kUsage);
    return kExitUsage;
  }
  return Run(actions);
}
