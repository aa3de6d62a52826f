#include "support/printserver.h"

#include <signal.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <cmath>

#include "support/runprogram.h"

namespace {

constexpr const char* kQueue = "tarvo-pdf";

std::string Run(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& env, int* exitCode = nullptr) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(program, arguments);
  process.waitForFinished(60000);
  if (exitCode) *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return (process.readAllStandardOutput() + process.readAllStandardError()).toStdString();
}

}  // namespace

PrintServer::PrintServer() {
  std::string output;
  const int status = RunScript("start", output);
  ready_ = status == 0;
  if (status == 77) skipReason_ = "no CUPS server can run here: " + output;
  if (!ready_ && skipReason_.empty()) skipReason_ = "the print server did not start: " + output;
  const auto at = output.find("PDF_OUTPUT=");
  if (at != std::string::npos) {
    pdfOutput_ = output.substr(at + 11, output.find('\n', at) - at - 11);
  }
}

PrintServer::~PrintServer() { Stop(); }

int PrintServer::RunScript(const std::string& command, std::string& output) const {
  int status = -1;
  output = Run("bash", {TARVO_PRINTSERVER_SCRIPT, QString::fromStdString(command), folder_.path()},
               QProcessEnvironment::systemEnvironment(), &status);
  return status;
}

std::vector<std::string> PrintServer::ClientEnvironment() const {
  return {"CUPS_SERVER=" + Socket(), "CUPS_SERVERROOT=" + folder_.filePath("etc").toStdString(),
          "HOME=" + home_.path().toStdString(), "PRINTER", "LPDEST"};
}

void PrintServer::UseInThisProcess() const { ::UseInThisProcess(ClientEnvironment()); }

void UseInThisProcess(const std::vector<std::string>& environment) {
  for (const std::string& entry : environment) {
    const auto equals = entry.find('=');
    if (equals == std::string::npos) {
      qunsetenv(entry.c_str());
    } else {
      qputenv(entry.substr(0, equals).c_str(), QByteArray::fromStdString(entry.substr(equals + 1)));
    }
  }
}

void PrintServer::Stop() {
  Thaw();
  std::string output;
  RunScript("stop", output);
}

void PrintServer::Restart() {
  std::string output;
  ready_ = RunScript("start", output) == 0;
}

void PrintServer::Signal(int signal) const {
  QFile pid(folder_.filePath("cupsd.pid"));
  if (pid.open(QIODevice::ReadOnly)) ::kill(pid.readAll().trimmed().toInt(), signal);
}

void PrintServer::Crash() { Signal(SIGKILL); }
void PrintServer::Freeze() { Signal(SIGSTOP); }
void PrintServer::Thaw() { Signal(SIGCONT); }

void PrintServer::Admin(const std::vector<std::string>& command) const {
  QStringList arguments;
  for (std::size_t i = 1; i < command.size(); ++i) arguments << QString::fromStdString(command[i]);
  Run(QString::fromStdString(command.front()), arguments, EnvironmentWith(ClientEnvironment()));
}

std::vector<std::string> PrintServer::JobDocuments() const {
  std::vector<std::string> documents;
  const QDir spool(folder_.filePath("spool"));
  for (const QString& name : spool.entryList({"d*-001"}, QDir::Files, QDir::Name)) {
    documents.push_back(spool.filePath(name).toStdString());
  }
  return documents;
}

std::string PrintServer::OpenJobs() const {
  return Run("lpstat", {"-W", "not-completed", "-o"}, EnvironmentWith(ClientEnvironment()));
}

std::string PrintServer::WaitForPdfOutput(int job) const {
  if (pdfOutput_.empty()) return {};
  const QString finished = QString("%1-%2 ").arg(kQueue).arg(job);
  const QDeadlineTimer deadline(60000);
  while (!deadline.hasExpired()) {
    const std::string jobs =
        Run("lpstat", {"-W", "completed", "-o", kQueue}, EnvironmentWith(ClientEnvironment()));
    if (QString::fromStdString(jobs).contains(finished)) {
      const QStringList files = QDir(QString::fromStdString(pdfOutput_))
                                    .entryList({QString("*job_%1.pdf").arg(job)}, QDir::Files);
      if (!files.isEmpty()) return pdfOutput_ + "/" + files.front().toStdString();
    }
    QThread::msleep(200);
  }
  return {};
}

FaultyPrintServer::FaultyPrintServer(const PrintServer& server, int tcpPort)
    : server_(server), tcpPort_(tcpPort) {
  Misbehave(Fault::None);
}

std::string FaultyPrintServer::Address() const {
  return tcpPort_ == 0 ? Socket() : "localhost:" + std::to_string(tcpPort_);
}

FaultyPrintServer::~FaultyPrintServer() = default;

void FaultyPrintServer::Misbehave(Fault fault, Way way, long long at) {
  static const char* const kFaults[] = {"none",    "freeze", "trickle", "close",
                                        "garbage", "babble", "cut",     "stall"};
  const QString counts = folder_.filePath("counts");
  QFile::remove(counts);
  standIn_ = std::make_unique<QProcess>();
  standIn_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  standIn_->start(
      "/usr/bin/python3",
      {TARVO_FAULTPROXY_SCRIPT,
       tcpPort_ == 0 ? QString::fromStdString(Socket()) : QString("127.0.0.1:%1").arg(tcpPort_),
       QString::fromStdString(server_.Socket()), counts, kFaults[int(fault)],
       way == Way::Requests ? "requests" : "answers", QString::number(at)});
  // Listening once it has counted nothing yet.
  const QDeadlineTimer deadline(10000);
  while (!QFile::exists(counts) && !deadline.hasExpired()) QThread::msleep(10);
}

QList<QByteArray> FaultyPrintServer::Counts() const {
  QFile file(folder_.filePath("counts"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QList<QByteArray> fields = file.readAll().trimmed().split(' ');
  return fields.size() == 3 ? fields : QList<QByteArray>();
}

std::pair<long long, long long> FaultyPrintServer::Passed() const {
  const QList<QByteArray> fields = Counts();
  if (fields.isEmpty()) return {-1, -1};
  return {fields[0].toLongLong(), fields[1].toLongLong()};
}

long long FaultyPrintServer::FaultMoment() const {
  const QList<QByteArray> fields = Counts();
  if (fields.isEmpty() || fields[2].startsWith('-')) return -1;
  return std::llround(fields[2].toDouble() * 1000);
}

std::vector<std::string> FaultyPrintServer::ClientEnvironment() const {
  std::vector<std::string> environment = server_.ClientEnvironment();
  environment.front() = "CUPS_SERVER=" + Address();
  return environment;
}

PrintServer& ProcessPrintServer() {
  static PrintServer server;
  static const bool pointed = (server.UseInThisProcess(), true);
  (void)pointed;
  return server;
}

std::string PdfText(const std::string& pdf, bool boxes) {
  QStringList arguments;
  if (boxes) arguments << "-bbox";
  arguments << QString::fromStdString(pdf) << "-";
  QProcess process;
  process.start("pdftotext", arguments);
  process.waitForFinished(30000);
  return process.readAllStandardOutput().toStdString();
}
