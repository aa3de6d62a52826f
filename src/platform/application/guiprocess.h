#pragma once
// What every run of the program and its tools sets up before Qt starts, and the Qt application
// of a run that shows no window: Qt's GUI part alone, on the offscreen platform. Needs Qt Gui
// only, so that a windowless run loads no widget or print library.

#include <memory>
#include <string>

class QGuiApplication;

// Takes the command line; failed writes (a reader of standard error that has gone, the file-size
// limit) are reported where they happen instead of ending the process; Qt's own notices stay
// off standard error; closed standard streams are kept from being taken over by files, and
// SIGINT, SIGTERM and SIGHUP remove the temporary files before they end the process.
void SetUpProcess(int argc, char** argv);

// Qt's notices (a missing runtime directory, a display that cannot be reached) are kept off
// standard error, which hosts take as empty on success; a fatal one still shows.
void KeepQtNoticesOffStandardError();

// The command line that Qt sees: the program's name only, so that no table name is ever taken
// as a Qt option. Lives as long as the process.
struct QtCommandLine {
  int argc = 1;
  char* argv[2] = {nullptr, nullptr};
};
QtCommandLine& QtArguments();

// The Qt application of a run without a window, on the offscreen platform. Its fonts are found
// through a configuration of the program's own, not the system's or FONTCONFIG_FILE's: the
// installed fonts, none of the rules.
std::unique_ptr<QGuiApplication> StartWindowlessApplication();

// Keeps the locale that Qt takes from the environment for everything but messages: the system's
// and the print service's reasons inside the program's messages are English, as the program's
// own texts are, so that a message reads in one language and a host finds the same words in
// every locale. Run once the Qt application is made (it sets the locale).
void KeepSystemMessagesInEnglish();

// True when the environment names a display (DISPLAY, WAYLAND_DISPLAY, or a platform other than
// offscreen in QT_QPA_PLATFORM): only then can a window be shown at all.
bool DisplayNamed();

// "caption: text" as one line of plain text on standard error, whatever the texts hold.
void WriteErrorLine(const std::string& caption, const std::string& text);

// The line of a run that would show its window where none can be shown.
void SayNoWindowCanBeShown();
