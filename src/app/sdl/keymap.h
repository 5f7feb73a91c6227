// The border between SDL's keys and the key table: an SDL key event becomes the Windows
// virtual-key code that the Win32 shell would have received for the same key. The header takes
// plain integers so that it drags in no SDL header.
#pragma once

#include <cstdint>

// keycode is the event's SDL_Keycode (the key as the layout names it) and scancode its
// SDL_Scancode (the key's position). Returns the Windows virtual-key code, or 0 when Windows has
// none for that key. As on Windows, letters follow the layout and the other keys their position;
// both Shift keys give VK_SHIFT, both Ctrl keys VK_CONTROL and both Alt keys VK_MENU, the codes a
// Windows key message carries.
int WindowsKeyFromSdl(std::int32_t keycode, int scancode);
