// What the layer tells the web shell when the browser's driver refuses one of its programs: the
// first shader that did not compile or program that did not link, named by its variant, with the
// driver's log. Emscripten only.
#pragma once

namespace gl11 {

// The first failure since the page loaded, as one line of text; "" while there is none. A program
// that failed draws nothing, so a pass after which this is not empty drew at most part of its
// picture. Compiles and links on a lost context are not failures: the browser reports every one
// of them as failed until it gives the context back.
const char* Failure();

}  // namespace gl11
