// The SDL shell's gamepads: every game controller SDL reports is opened when it arrives and closed
// when it goes, and once per pass their buttons and sticks reach the key table as the kGamepad
// source, through the standard-mapping table of pad_keys.h. Needs SDL's game-controller subsystem;
// the header names SDL's event type only, so it drags in no SDL header.
#pragma once

union SDL_Event;

// Every event of a drain passes through here: hot-plug opens and closes controllers, a press of
// Back is kept until the next poll (a tap can begin and end within one drain), and the window's
// focus decides whether the pads may hold keys at all.
void HandlePadEvent(const SDL_Event& event);

// After the drain, once per pass: reads every open controller and presses or releases the keys
// that changed. Pads that went away hold nothing any more; while the window lacks the focus no pad
// holds a key, and a button still held when it returns is held again.
void PollPads();

// Closes every controller, before SDL_Quit.
void ClosePads();
