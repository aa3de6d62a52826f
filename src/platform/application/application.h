#pragma once
// The application object: the Qt application, the main window, message boxes and error
// reports, modal dialogs. Where no display can be reached it runs on Qt's offscreen platform,
// and then nothing ever waits for a user: messages go to standard error only and every dialog
// counts as declined (the window sends a page asked for through the print dialog to the
// default destination instead).

#include <QPointer>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>

class QDialog;
class QApplication;

class TApplication {
 public:
  TApplication();
  ~TApplication();

  // Takes the command line and creates the Qt application on the first display platform that
  // works (a display, else offscreen). Call once, before any window exists.
  void Initialize(int& argc, char** argv);

  // Constructs the window of `arguments`, makes it the main window and runs its creation handler.
  template <class Form, class... Arguments>
  void CreateForm(std::unique_ptr<Form>& form, Arguments&&... arguments) {
    form = std::make_unique<Form>(std::forward<Arguments>(arguments)...);
    mainForm_ = form.get();
    form->FormCreate();
  }

  // Shows the main window and processes events until it is closed. Without a display, says so
  // on standard error and returns at once.
  void Run();

  // A modal box with the text, the caption and one OK button. Also writes "caption: text" to
  // standard error.
  void MessageBox(const std::string& text, const std::string& caption);

  // Reports an error with its own text, captioned with the program's name.
  void ShowException(const std::exception& error);

  // True when no one can see the windows (the offscreen platform).
  bool Headless() const;

  // True when a dialog can be answered: there is a display (or a test stands in for the user).
  bool CanAskUser() const;

  // Shows the dialog modally; true when the user confirmed it. False at once when no one can
  // answer it.
  bool ExecuteDialog(QDialog& dialog);

  // Destroys the Qt application; windows must be gone by then.
  void Finalize();

  // For tests: stands in for the user. `message` sees each message instead of a modal box;
  // `dialog` answers each modal dialog instead of showing it (true: confirmed).
  struct UserStandIn {
    std::function<void(const std::string& caption, const std::string& text)> message;
    std::function<bool(QDialog& dialog)> dialog;
  };
  void SetUserStandIn(UserStandIn standIn);

  QWidget* MainForm() const { return mainForm_; }

 private:
  std::unique_ptr<QApplication> qtApplication_;
  QPointer<QWidget> mainForm_;
  UserStandIn standIn_;
};

extern TApplication Application;
