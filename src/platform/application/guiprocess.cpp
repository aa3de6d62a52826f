#include "platform/application/guiprocess.h"

#include <fontconfig/fontconfig.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHashFunctions>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <string>

#include "runtime/commandline.h"
#include "runtime/errors.h"
#include "runtime/inputstream.h"
#include "runtime/signalcleanup.h"
#include "runtime/text.h"

namespace {

// Hosts take an empty standard error as success, so Qt's own notices (a missing runtime
// directory, a display that cannot be reached) must not appear there.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

// A windowless run draws only the chart, in the family it loads by path, and the printed page's
// texts in families named by the tables. It needs the installed fonts but none of the system's
// rules (aliases, preferred families, hinting), whose parsing is most of the start-up's cost
// and which would change the glyphs. User font folders count, so that a page text may name a
// family installed there.
constexpr const char* kWindowlessFontConfiguration = R"(<?xml version="1.0"?>
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <dir prefix="xdg">fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
</fontconfig>
)";

// Makes the configuration above fontconfig's current one, before Qt first asks for a font.
// Where it cannot be made, fontconfig reads the system's configuration as before.
void UseWindowlessFontConfiguration() {
  FcConfig* config = FcConfigCreate();
  if (!config) return;
  const auto* text = reinterpret_cast<const FcChar8*>(kWindowlessFontConfiguration);
  if (FcConfigParseAndLoadFromMemory(config, text, FcFalse)) FcConfigSetCurrent(config);
  FcConfigDestroy(config);  // the current configuration holds its own reference
}

// Qt asks for the user's runtime folder as it starts and warns on standard error where the
// environment names none, as under cron or a service: it is given the folder Qt would take
// itself, made as Qt wants it (the user's own, for the user alone).
void NameRuntimeFolder() {
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
  const passwd* user = getpwuid(geteuid());
  if (!user) return;
  const QByteArray folder = QFile::encodeName(QDir::tempPath()) + "/runtime-" + user->pw_name;
  mkdir(folder.constData(), 0700);
  struct stat status {};
  if (lstat(folder.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
      status.st_uid != geteuid() || (status.st_mode & 0777) != 0700)
    return;
  qputenv("XDG_RUNTIME_DIR", folder);
}

// fontconfig warns on standard error of a locale name it cannot read as a language
// ("bogus_XX.UTF-8"); where the C library does not know the locale either, the fonts are
// chosen as for English.
void NameFontLanguage() {
  if (!qEnvironmentVariableIsEmpty("FC_LANG")) return;
  const char* before = std::setlocale(LC_CTYPE, nullptr);
  const std::string kept = before ? before : "C";
  const bool known = std::setlocale(LC_CTYPE, "") != nullptr;
  std::setlocale(LC_CTYPE, kept.c_str());
  if (!known) qputenv("FC_LANG", "en");
}

}  // namespace

void SetUpProcess(int argc, char** argv) {
  NameRuntimeFolder();
  NameFontLanguage();
  KeepStandardStreamsOpen();
  RemoveTemporariesOnSignals();
  // Qt's PDF writer lays out its fonts in hash order: with a seed of its own each run, the same
  // chart would give another file each time. The tables' texts are too few to flood a hash.
  QHashSeed::setDeterministicGlobalSeed();
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  SetCommandLine(argc, argv);
  KeepQtNoticesOffStandardError();
  QtArguments().argv[0] = argc > 0 ? argv[0] : const_cast<char*>(kProgramName);
}

void KeepQtNoticesOffStandardError() { qInstallMessageHandler(QuietQtMessages); }

QtCommandLine& QtArguments() {
  static QtCommandLine arguments;
  return arguments;
}

std::unique_ptr<QGuiApplication> StartWindowlessApplication() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  UseWindowlessFontConfiguration();
  QtCommandLine& line = QtArguments();
  auto application = std::make_unique<QGuiApplication>(line.argc, line.argv);
  KeepSystemMessagesInEnglish();
  return application;
}

void KeepSystemMessagesInEnglish() {
  // "C" would not do: the print service's library takes it for "not set" and reads the
  // language from the environment again.
  if (!std::setlocale(LC_MESSAGES, "C.UTF-8")) std::setlocale(LC_MESSAGES, "C");
}

bool DisplayNamed() {
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

void WriteErrorLine(const std::string& caption, const std::string& text) {
  const std::string line = MessageLine(caption, text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void SayNoWindowCanBeShown() {
  WriteErrorLine(kProgramName, "No display can be reached; the chart window cannot be shown.");
}
