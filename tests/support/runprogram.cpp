#include "support/runprogram.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QtGlobal>

QProcessEnvironment EnvironmentWith(const std::vector<std::string>& entries) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const std::string& entry : entries) {
    const auto equals = entry.find('=');
    if (equals == std::string::npos) {
      env.remove(QString::fromStdString(entry));
    } else {
      env.insert(QString::fromStdString(entry.substr(0, equals)),
                 QString::fromStdString(entry.substr(equals + 1)));
    }
  }
  return env;
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& workingDirectory, const std::string& input,
                     const std::vector<std::string>& environment, int timeoutMilliseconds) {
  QProcess process;
  process.setProcessEnvironment(EnvironmentWith(environment));
  process.setWorkingDirectory(QString::fromStdString(workingDirectory));
  QStringList list;
  for (const std::string& argument : arguments) list << QString::fromStdString(argument);
  process.start(QString::fromStdString(program), list);
  process.write(input.data(), qint64(input.size()));
  process.closeWriteChannel();
  RunResult result;
  result.finished = process.waitForFinished(timeoutMilliseconds);
  if (!result.finished) {
    process.kill();
    process.waitForFinished();
  }
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.standardError = process.readAllStandardError().toStdString();
  result.standardOutput = process.readAllStandardOutput().toStdString();
  return result;
}

RunResult RunTarvochart(const std::vector<std::string>& arguments,
                        const std::string& workingDirectory,
                        const std::vector<std::string>& environment, int timeoutMilliseconds,
                        const std::vector<std::string>& wrapper) {
  std::vector<std::string> entries{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  entries.insert(entries.end(), environment.begin(), environment.end());
  if (wrapper.empty()) {
    return RunProgram(TARVOCHART_PATH, arguments, workingDirectory, "", entries,
                      timeoutMilliseconds);
  }
  std::vector<std::string> command(wrapper.begin() + 1, wrapper.end());
  command.push_back(TARVOCHART_PATH);
  command.insert(command.end(), arguments.begin(), arguments.end());
  return RunProgram(wrapper.front(), command, workingDirectory, "", entries, timeoutMilliseconds);
}

std::string AsanOptionsUnderTrace() {
  const std::string asan = qEnvironmentVariable("ASAN_OPTIONS").toStdString();
  return "ASAN_OPTIONS=" + asan + (asan.empty() ? "" : ":") + "detect_leaks=0";
}
