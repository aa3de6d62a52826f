#pragma once
// Stands in for the user while it lives: records every message the program shows, instead of a
// modal box, and answers every dialog with `dialogAnswer`, recording the dialog's caption; where
// set, `fillDialog` first fills the dialog in as the user would.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "platform/application/application.h"

class MessageRecorder {
 public:
  // Each message is recorded as caption + separator + text.
  explicit MessageRecorder(std::string separator = ": ") : separator_(std::move(separator)) {
    Application.SetUserStandIn({.message =
                                    [this](const std::string& caption, const std::string& text) {
                                      messages.push_back(caption + separator_ + text);
                                    },
                                .dialog =
                                    [this](QDialog& dialog) {
                                      dialogs.push_back(dialog.windowTitle().toStdString());
                                      if (fillDialog) fillDialog(dialog);
                                      return dialogAnswer;
                                    }});
  }
  ~MessageRecorder() { Application.SetUserStandIn({}); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  std::vector<std::string> messages;
  std::vector<std::string> dialogs;
  bool dialogAnswer = false;
  std::function<void(QDialog&)> fillDialog;

 private:
  std::string separator_;
};
