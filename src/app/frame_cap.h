// Keeps a loop whose buffer swaps do not wait for the display (no vertical sync: Xvfb, a driver
// told to ignore it) from drawing frames nobody sees and spinning the processor: frames then begin
// no closer together than the display's refresh interval. Portable: it sees the time after each
// swap and says how long to wait; the shell does the waiting.
#pragma once

class FrameCap {
 public:
  // From now on for a display of hz frames a second (60 when not known: 0 or less). vsync says
  // whether the swap interval was granted. Without it the cap holds at once; with it, a few
  // frames are timed first, and the cap holds only if they come far faster than the display
  // shows them (a driver can accept the interval and not keep it). Called again after anything
  // that can change the answer: the window's size or full screen, another display.
  void Start(double hz, bool vsync);

  // After a frame's swap, at ms on a monotonic clock: how many milliseconds to wait before the
  // next frame begins; 0 while the swaps keep the display's pace themselves. A frame that was
  // late is not made up for by shorter waits after it.
  double AfterSwap(double ms);

  bool Capping() const { return capping_; }

 private:
  double periodMs_ = 1000.0 / 60;
  bool capping_ = false;
  int timed_ = -1;  // swaps seen while timing them; -1 when not timing
  double timedFromMs_ = 0;
  bool begun_ = false;  // beginMs_ holds when the frame being drawn began
  double beginMs_ = 0;
};
