#include "runtime/scratchfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstdlib>

#include "runtime/atomicfile.h"
#include "runtime/text.h"

ScratchFile::ScratchFile() {
  const std::string temporaryFolder = QDir::tempPath().toStdString();
  fd_ = OpenNamelessFile(temporaryFolder, O_RDWR, path_);
  if (fd_ < 0 && !NamelessUnsupported(errno)) {
    throw FileError("no file in " + temporaryFolder + " (" + SystemReason(errno) + ")");
  }
  if (fd_ < 0) MakePrivateFolder(temporaryFolder);
}

void ScratchFile::MakePrivateFolder(const std::string& temporaryFolder) {
  folder_ = CreateUnderFreeName(
      temporaryFolder + "/tarvochart-", folderOnSignal_,
      [](const std::string& name) { return mkdir(name.c_str(), 0700) == 0; },
      RemovedOnSignal::Kind::Folder);
  if (folder_.empty()) {
    throw FileError("no temporary folder in " + temporaryFolder + " (" + SystemReason(errno) + ")");
  }
  path_ = folder_ + "/page";
  // Registered before anything makes it: the page is written later, by name.
  fileOnSignal_ = std::make_unique<RemovedOnSignal>(path_);
}

ScratchFile::~ScratchFile() {
  if (fd_ >= 0) close(fd_);
  if (folder_.empty()) return;
  unlink(path_.c_str());
  rmdir(folder_.c_str());
}
