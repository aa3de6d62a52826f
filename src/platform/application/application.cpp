#include "platform/application/application.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <csignal>
#include <cstdio>

#include "platform/application/guiprocess.h"
#include "runtime/errors.h"
#include "runtime/text.h"

TApplication Application;

namespace {

bool NamesOffscreen(const QByteArray& platforms) {
  for (const QByteArray& platform : platforms.split(';')) {
    if (platform.split(':').front().trimmed() == "offscreen") return true;
  }
  return false;
}

// Tries a display first and falls back to offscreen. Without any display named, offscreen at
// once. A platform the user chose comes first, but offscreen still follows it, so that one that
// cannot start does not end the run.
void ChooseDisplayPlatform() {
  const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
  if (!chosen.trimmed().isEmpty()) {
    if (!NamesOffscreen(chosen)) qputenv("QT_QPA_PLATFORM", chosen + ";offscreen");
    return;
  }
  qputenv("QT_QPA_PLATFORM", DisplayNamed() ? "xcb;offscreen" : "offscreen");
}

// The message box shows the text as it is, but a NUL must not end it early.
QString BoxText(const std::string& text) { return ToDisplayText(text).replace(QChar(0), "\\x00"); }

}  // namespace

TApplication::TApplication() = default;
TApplication::~TApplication() = default;

void TApplication::Initialize(int& argc, char** argv) {
  SetUpProcess(argc, argv);
  ChooseDisplayPlatform();
  QtCommandLine& line = QtArguments();
  qtApplication_ = std::make_unique<QApplication>(line.argc, line.argv);
  KeepSystemMessagesInEnglish();
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

void TApplication::MessageBox(const std::string& text, const std::string& caption) {
  WriteErrorLine(caption, text);
  if (standIn_.message) {
    standIn_.message(caption, text);
    return;
  }
  if (!qtApplication_ || Headless()) return;
  QMessageBox box(QMessageBox::NoIcon, BoxText(caption), BoxText(text), QMessageBox::Ok);
  box.exec();
}

void TApplication::ShowException(const std::exception& error) {
  const auto* own = dynamic_cast<const Exception*>(&error);
  MessageBox(own ? own->Text() : std::string(error.what()), kProgramName);
}

bool TApplication::CanAskUser() const { return standIn_.dialog || (qtApplication_ && !Headless()); }

bool TApplication::ExecuteDialog(QDialog& dialog) {
  if (standIn_.dialog) return standIn_.dialog(dialog);
  if (!CanAskUser()) return false;
  return dialog.exec() == QDialog::Accepted;
}

void TApplication::Finalize() { qtApplication_.reset(); }

void TApplication::SetUserStandIn(UserStandIn standIn) { standIn_ = std::move(standIn); }
