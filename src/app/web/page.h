// The page around the canvas, as the web shell sees it: the state that chooses the message it
// shows, the note over the picture, window.vortalux for people and scripts, the address's query,
// and the release of the canvas's context. Emscripten only.
#pragma once

#include <string>

#include "app/timedemo.h"

// Sets up window.vortalux: the passes, the time of the first frame, the timedemo's figures, and
// the journal (steps), read from vortalux_journal whenever a script asks.
void PageBegin();
// The state, also the page's data-state; detail fills the message's blanks (what the address got
// wrong); nullptr leaves them as they are.
void PageSetState(const char* state, const char* detail = "");
void PageCountPass();
// Says what the demo goes on without, over the picture and in the console.
void PageNote(const std::string& text);
// Says what stopped the demo in the console, as an error (the state's message shows it on the
// page).
void PageConsoleError(const std::string& text);
// The timedemo's figures, for scripts and in the message's blanks, in the program's line
// (FiguresLine) and whether the browser held them to the display: displayMs is the display's
// frame interval where it did, else 0. Formatted by the page: printf's would cost the
// WebAssembly a third of its size.
void PageSetTimedemo(const FrameFigures& figures, double displayMs);
std::string PageQueryString();  // location.search
// Destroying Emscripten's handle leaves the canvas's context, and what it holds, alive until the
// page goes; losing the current context gives that back at once.
void PageLoseContext();
