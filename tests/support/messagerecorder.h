#pragma once
// Sees every message the program shows, instead of a modal box, while it lives.

#include <string>
#include <vector>

#include "application.h"

class MessageRecorder {
 public:
  // Each message is recorded as caption + separator + text.
  explicit MessageRecorder(std::string separator = ": ") : separator_(std::move(separator)) {
    Application.SetMessageObserver([this](const std::string& caption, const std::string& text) {
      messages.push_back(caption + separator_ + text);
    });
  }
  ~MessageRecorder() { Application.SetMessageObserver(nullptr); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  std::vector<std::string> messages;

 private:
  std::string separator_;
};
