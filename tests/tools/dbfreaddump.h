#pragma once
// Tables as Debian's dbfread reads them, so that tests check what our writer makes with a reader
// that is not ours (tests/support/dbfdump.py).

#include <gtest/gtest.h>

#include <QProcess>
#include <string>
#include <string_view>

inline std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char byte : bytes) {
    hex += kDigits[static_cast<unsigned char>(byte) >> 4];
    hex += kDigits[static_cast<unsigned char>(byte) & 0xF];
  }
  return hex;
}

// The version, the fields and the records of the table as dbfread reads them (see dbfdump.py).
inline std::string DbfreadDump(const std::string& path) {
  QProcess dump;
  dump.start("/usr/bin/python3", {DBFDUMP_SCRIPT, QString::fromStdString(path)});
  dump.waitForFinished(30000);
  EXPECT_EQ(dump.exitCode(), 0) << dump.readAllStandardError().toStdString();
  return dump.readAllStandardOutput().toStdString();
}
