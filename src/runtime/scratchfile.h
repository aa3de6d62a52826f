#pragma once
// A file for the program's own use while it runs (a print job's page), in the temporary folder
// (TMPDIR). Where the file system allows it, the file has no name at all and is reached through
// /proc/self/fd, so that nothing is left behind whatever ends the program, SIGKILL included;
// elsewhere it is "page" in a private folder, which SIGINT, SIGTERM and SIGHUP remove.

#include <memory>
#include <string>

#include "runtime/signalcleanup.h"

class ScratchFile {
 public:
  // Throws FileError (atomicfile.h) with the system's reason when no file can be made.
  ScratchFile();
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // The name under which the file can be opened, written and read again.
  const std::string& Path() const { return path_; }

 private:
  void MakePrivateFolder(const std::string& temporaryFolder);

  int fd_ = -1;
  std::string folder_;  // the private folder, where the file has a name
  std::string path_;
  std::unique_ptr<RemovedOnSignal> folderOnSignal_;
  std::unique_ptr<RemovedOnSignal> fileOnSignal_;
};
