#pragma once
// When Escape closes the window: at the real release of a press that the window itself received,
// not at a press, and not at the release of a press that went to a menu or a dialog (which
// closed that). A key held down repeats. The system marks the repeats where it can; where it
// cannot (an X server without detectable repeat, or a repeat whose press Qt has not read yet
// when it reads the release), a repeat comes as a release and a press of one timestamp. So a
// release waits a moment for such a press before it counts. An event without a timestamp (0)
// cannot be paired and counts at once.

#include <QTimer>
#include <functional>

class QKeyEvent;

class EscapeKey {
 public:
  explicit EscapeKey(std::function<void()> released);

  // Takes each key event that reaches the window or one of its controls.
  void See(const QKeyEvent& key);

 private:
  void Pressed(unsigned long time);
  void Released(unsigned long time);
  void Release();

  std::function<void()> released_;
  bool pressedHere_ = false;
  unsigned long lastRelease_ = 0;
  QTimer waitForRepeat_;
};
