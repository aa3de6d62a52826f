#pragma once
// A small file system of its own (a 64 KiB tmpfs) on a folder, mounted while it lives, so that
// a test can fill a disk or make a folder read-only for real. Mounting needs root; where it
// cannot be done, Mount says so and the test skips that case.

#include <QDir>
#include <QProcess>
#include <QString>

class SmallFileSystem {
 public:
  SmallFileSystem() = default;
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  ~SmallFileSystem() {
    if (mounted_) QProcess::execute("umount", {folder_});
  }

  bool Mount(const QString& folder) {
    folder_ = folder;
    QDir().mkpath(folder);
    mounted_ = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder}) == 0;
    return mounted_;
  }
  bool MakeReadOnly() const {
    return QProcess::execute("mount", {"-o", "remount,ro", folder_}) == 0;
  }

 private:
  QString folder_;
  bool mounted_ = false;
};
