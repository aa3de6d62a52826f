#pragma once
// Temporary files that an interrupted program must not leave behind. Once
// RemoveTemporariesOnSignals has run, SIGINT, SIGTERM and SIGHUP remove every file and folder
// that is registered at that moment, then end the process as the signal would have ended it (a
// shell sees 128 + the signal's number). A signal that the program was started with ignored
// (nohup, a background job) stays ignored.
// A library with a registry of its own calls it too: its handler runs the program's after its own.
//
// SIGKILL cannot be caught: the atomic file writer keeps its bytes in a file without a name
// until they are complete (atomicfile.h), so there is nothing to remove.

#include <string>

void RemoveTemporariesOnSignals();

// Registers `path` for removal on a signal while this lives; a folder is removed with rmdir,
// after the files, so the files in it must be registered too. Best effort:
// when more temporary files are open at once than the registry holds, the rest is not removed.
class RemovedOnSignal {
 public:
  enum class Kind { File, Folder };
  explicit RemovedOnSignal(const std::string& path, Kind kind = Kind::File);
  ~RemovedOnSignal();
  RemovedOnSignal(const RemovedOnSignal&) = delete;
  RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;

  struct Entry;  // what the handler reads: the kind and the path

 private:
  Entry* entry_ = nullptr;
  int slot_ = -1;
};
