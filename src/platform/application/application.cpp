#include "application.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>

#include "runtime.h"

TApplication Application;

namespace {

// Hosts take an empty standard error as success, so Qt's own notices (a missing runtime
// directory, a display that cannot be reached) must not appear there.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Tries a display first and falls back to offscreen, unless the user chose a platform. Without
// any display named, offscreen at once: a batch run saves loading the display libraries.
void ChooseDisplayPlatform() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
  const bool displayNamed =
      !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  qputenv("QT_QPA_PLATFORM", displayNamed ? "xcb;offscreen" : "offscreen");
}

void WriteErrorLine(const std::string& caption, const std::string& text) {
  std::string line = caption + ": " + text;
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace

TApplication::TApplication() = default;
TApplication::~TApplication() = default;

void TApplication::Initialize(int& argc, char** argv) {
  SetCommandLine(argc, argv);
  qInstallMessageHandler(QuietQtMessages);
  ChooseDisplayPlatform();
  // Qt sees the program name only, so that no table name is ever taken as a Qt option.
  qtArgc_ = 1;
  qtArgv_[0] = argc > 0 ? argv[0] : const_cast<char*>(kProgramName);
  qtApplication_ = std::make_unique<QApplication>(qtArgc_, qtArgv_);
}

bool TApplication::Headless() const {
  const QString platform = QGuiApplication::platformName();
  return platform == "offscreen" || platform == "minimal";
}

void TApplication::Run() {
  if (!mainForm_) return;
  if (Headless()) {
    WriteErrorLine(kProgramName, "No display can be reached; the chart window cannot be shown.");
    return;
  }
  mainForm_->show();
  QApplication::exec();
}

void TApplication::MessageBox(const std::string& text, const std::string& caption) {
  WriteErrorLine(caption, text);
  if (standIn_.message) {
    standIn_.message(caption, text);
    return;
  }
  if (!qtApplication_ || Headless()) return;
  QMessageBox box(QMessageBox::NoIcon, ToDisplayText(caption), ToDisplayText(text),
                  QMessageBox::Ok);
  box.exec();
}

void TApplication::ShowException(const std::exception& error) {
  MessageBox(error.what(), kProgramName);
}

bool TApplication::CanAskUser() const { return standIn_.dialog || (qtApplication_ && !Headless()); }

bool TApplication::ExecuteDialog(QDialog& dialog) {
  if (standIn_.dialog) return standIn_.dialog(dialog);
  if (!CanAskUser()) return false;
  return dialog.exec() == QDialog::Accepted;
}

void TApplication::Finalize() { qtApplication_.reset(); }

void TApplication::SetUserStandIn(UserStandIn standIn) { standIn_ = std::move(standIn); }
