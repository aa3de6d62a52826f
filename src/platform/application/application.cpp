#include "application.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <csignal>
#include <cstdio>

#include "runtime.h"

TApplication Application;

namespace {

// Hosts take an empty standard error as success, so Qt's own notices (a missing runtime
// directory, a display that cannot be reached) must not appear there.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

bool NamesOffscreen(const QByteArray& platforms) {
  for (const QByteArray& platform : platforms.split(';')) {
    if (platform.split(':').front().trimmed() == "offscreen") return true;
  }
  return false;
}

// Tries a display first and falls back to offscreen. Without any display named, offscreen at
// once: a batch run saves loading the display libraries. A platform the user chose comes first,
// but offscreen still follows it, so that one that cannot start does not end the run.
void ChooseDisplayPlatform() {
  const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
  if (!chosen.trimmed().isEmpty()) {
    if (!NamesOffscreen(chosen)) qputenv("QT_QPA_PLATFORM", chosen + ";offscreen");
    return;
  }
  const bool displayNamed =
      !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  qputenv("QT_QPA_PLATFORM", displayNamed ? "xcb;offscreen" : "offscreen");
}

// One line of plain text, whatever the tables hold: a table must not be able to cut the line
// short or drive the operator's terminal. A failed write (a reader that has gone) is ignored.
void WriteErrorLine(const std::string& caption, const std::string& text) {
  const std::string line = ToPlainLine(caption + ": " + text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

// The message box shows the text as it is, but a NUL must not end it early.
QString BoxText(const std::string& text) { return ToDisplayText(text).replace(QChar(0), "\\x00"); }

}  // namespace

TApplication::TApplication() = default;
TApplication::~TApplication() = default;

void TApplication::SetUpProcess(int& argc, char** argv) {
  // Standard error may be a pipe whose reader has gone, and an image may pass the file-size
  // limit: a failed write is reported where it happens and must not end the run.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  SetCommandLine(argc, argv);
  qInstallMessageHandler(QuietQtMessages);
  // Qt sees the program name only, so that no table name is ever taken as a Qt option.
  qtArgc_ = 1;
  qtArgv_[0] = argc > 0 ? argv[0] : const_cast<char*>(kProgramName);
}

void TApplication::Initialize(int& argc, char** argv) {
  SetUpProcess(argc, argv);
  ChooseDisplayPlatform();
  qtApplication_ = std::make_unique<QApplication>(qtArgc_, qtArgv_);
  widgets_ = true;
}

void TApplication::InitializeWithoutWindows(int& argc, char** argv) {
  SetUpProcess(argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qtApplication_ = std::make_unique<QGuiApplication>(qtArgc_, qtArgv_);
  widgets_ = false;
}

bool TApplication::DisplayNamed() {
  const QByteArray chosen = qgetenv("QT_QPA_PLATFORM").trimmed();
  if (!chosen.isEmpty()) {
    for (const QByteArray& platform : chosen.split(';')) {
      const QByteArray name = platform.split(':').front().trimmed();
      if (!name.isEmpty() && name != "offscreen") return true;
    }
    return false;
  }
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool TApplication::Headless() const {
  const QString platform = QGuiApplication::platformName();
  return platform == "offscreen" || platform == "minimal";
}

void TApplication::Run() {
  if (!mainForm_) return;
  if (Headless()) {
    SayNoWindowCanBeShown();
    return;
  }
  mainForm_->show();
  QApplication::exec();
}

void TApplication::SayNoWindowCanBeShown() {
  WriteErrorLine(kProgramName, "No display can be reached; the chart window cannot be shown.");
}

void TApplication::MessageBox(const std::string& text, const std::string& caption) {
  WriteErrorLine(caption, text);
  if (standIn_.message) {
    standIn_.message(caption, text);
    return;
  }
  if (!widgets_ || Headless()) return;
  QMessageBox box(QMessageBox::NoIcon, BoxText(caption), BoxText(text), QMessageBox::Ok);
  box.exec();
}

void TApplication::ShowException(const std::exception& error) {
  const auto* own = dynamic_cast<const Exception*>(&error);
  MessageBox(own ? own->Text() : std::string(error.what()), kProgramName);
}

bool TApplication::CanAskUser() const { return standIn_.dialog || (widgets_ && !Headless()); }

bool TApplication::ExecuteDialog(QDialog& dialog) {
  if (standIn_.dialog) return standIn_.dialog(dialog);
  if (!CanAskUser()) return false;
  return dialog.exec() == QDialog::Accepted;
}

void TApplication::Finalize() {
  qtApplication_.reset();
  widgets_ = false;
}

void TApplication::SetUserStandIn(UserStandIn standIn) { standIn_ = std::move(standIn); }
