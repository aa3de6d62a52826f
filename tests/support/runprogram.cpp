#include "runprogram.h"

#include <QProcess>
#include <QProcessEnvironment>

RunResult RunTarvochart(const std::vector<std::string>& arguments,
                        const std::string& workingDirectory,
                        const std::vector<std::string>& environment, int timeoutMilliseconds) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  for (const std::string& entry : environment) {
    const auto equals = entry.find('=');
    env.insert(QString::fromStdString(entry.substr(0, equals)),
               QString::fromStdString(entry.substr(equals + 1)));
  }
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(QString::fromStdString(workingDirectory));
  QStringList list;
  for (const std::string& argument : arguments) list << QString::fromStdString(argument);
  process.start(TARVOCHART_PATH, list);
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
