#include "runtime/scratchfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstdlib>

#include "runtime/atomicfile.h"

ScratchFile::ScratchFile() {
  const std::string temporaryFolder = QDir::tempPath().toStdString();
  fd_ = OpenNamelessFile(temporaryFolder, O_RDWR, path_);
  if (fd_ < 0 && !NamelessUnsupported(errno)) {
    throw FileError("no file in " + temporaryFolder + " (" + SystemReason(errno) + ")");
  }
  if (fd_ < 0) MakePrivateFolder(temporaryFolder);
}

void ScratchFile::MakePrivateFolder(const std::string& temporaryFolder) {
  std::string folder = temporaryFolder + "/tarvochart-XXXXXX";
  if (!mkdtemp(folder.data())) {
    throw FileError("no temporary folder in " + temporaryFolder + " (" + SystemReason(errno) + ")");
  }
  folder_ = folder;
  path_ = folder_ + "/page";
  folderOnSignal_ = std::make_unique<RemovedOnSignal>(folder_, RemovedOnSignal::Kind::Folder);
  fileOnSignal_ = std::make_unique<RemovedOnSignal>(path_);
}

ScratchFile::~ScratchFile() {
  if (fd_ >= 0) close(fd_);
  if (folder_.empty()) return;
  unlink(path_.c_str());
  rmdir(folder_.c_str());
}
