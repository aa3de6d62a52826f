#include "window/escapekey.h"

#include <QKeyEvent>

namespace {

// A repeat's release and press come together; this is ample for the press to follow.
constexpr int kRepeatPairWaitMs = 80;

}  // namespace

EscapeKey::EscapeKey(std::function<void()> released) : released_(std::move(released)) {
  waitForRepeat_.setSingleShot(true);
  waitForRepeat_.setInterval(kRepeatPairWaitMs);
  QObject::connect(&waitForRepeat_, &QTimer::timeout, [this] { Release(); });
}

void EscapeKey::See(const QKeyEvent& key) {
  if (key.key() != Qt::Key_Escape || key.isAutoRepeat()) return;
  if (key.type() == QEvent::KeyPress) Pressed(key.timestamp());
  if (key.type() == QEvent::KeyRelease) Released(key.timestamp());
}

void EscapeKey::Pressed(unsigned long time) {
  // The press of a repeat: the key is still down.
  if (time != 0 && time == lastRelease_) {
    waitForRepeat_.stop();
    return;
  }
  if (waitForRepeat_.isActive()) {
    waitForRepeat_.stop();
    Release();
  }
  pressedHere_ = true;
}

void EscapeKey::Released(unsigned long time) {
  lastRelease_ = time;
  if (!pressedHere_) return;
  if (time == 0) {
    Release();
  } else {
    waitForRepeat_.start();
  }
}

void EscapeKey::Release() {
  pressedHere_ = false;
  released_();
}
