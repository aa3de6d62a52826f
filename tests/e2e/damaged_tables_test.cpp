// The damaged-table corpus, end to end: tables cut short at every header offset, every version
// byte, impossible lengths and counts, random bytes, a sparse table over 4 GiB, NUL and high bytes
// in records; each used as the property table and as the data table. Whatever the table, a run
// ends in time with exit code 0 and either one message line or its chart, and the table is left
// exactly as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "dbfwrite/dbfwriter.h"
#include "support/runprogram.h"
#include "support/tablerows.h"

namespace {

enum class Role { Properties, Data };

struct Damage {
  std::string name;
  Role role;
  std::string bytes;
  std::uint64_t sparseSize = 0;  // the file is extended to this size with a hole
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

DbfTable SoundProperties() {
  return PropertyTable({Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "VERTBAR;1"), Row("NOSHOW"),
                        Row("BITMAPFILE", "chart.png;120;160")});
}

DbfTable SoundData() {
  return DataTable(
      2, {{"1", "Jan", {{"3", "RED"}, {"4", ""}}}, {"1", "Feb", {{"5.5", ""}, {"-1", "blue"}}}});
}

void PutNumber(std::string& bytes, std::size_t offset, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[offset + std::size_t(i)] = char((value >> (8 * i)) & 0xFF);
}

void AddDamages(Role role, const std::string& sound, std::vector<Damage>& out) {
  const std::string prefix = role == Role::Properties ? "Properties_" : "Data_";
  auto add = [&](const std::string& name, std::string bytes, std::uint64_t sparse = 0) {
    out.push_back({prefix + name, role, std::move(bytes), sparse});
  };
  const std::size_t headerLength = std::uint8_t(sound[8]) | std::uint8_t(sound[9]) << 8;
  for (std::size_t cut = 0; cut <= 33; ++cut)
    add("cut" + std::to_string(cut), sound.substr(0, cut));
  for (std::size_t cut : {headerLength - 1, headerLength, headerLength + 1, sound.size() - 2}) {
    add("cut" + std::to_string(cut), sound.substr(0, cut));
  }
  // Every version byte for the data table; the kinds of them for the property table.
  for (int version = 0; version < 256; ++version) {
    if (role == Role::Properties && version != 0 && version != 0x83 && version != 0xFF) continue;
    std::string bytes = sound;
    bytes[0] = char(version);
    add("version" + std::to_string(version), bytes);
  }
  for (std::uint32_t length : {0u, 1u, 2u, 3u, 65535u}) {
    std::string bytes = sound;
    PutNumber(bytes, 10, length, 2);
    add("recordLength" + std::to_string(length), bytes);
  }
  for (std::uint32_t count : {0u, 1u, 2147483647u, 4294967295u}) {
    std::string bytes = sound;
    PutNumber(bytes, 4, count, 4);
    add("count" + std::to_string(count), bytes);
  }
  for (std::uint32_t length : {0u, 31u, 32u, 65535u}) {
    std::string bytes = sound;
    PutNumber(bytes, 8, length, 2);
    add("headerLength" + std::to_string(length), bytes);
  }
  std::mt19937 random(role == Role::Properties ? 11 : 29);
  for (int i = 0; i < 8; ++i) {
    std::string bytes(random() % 2048, '\0');
    for (char& c : bytes) c = char(random());
    if (i % 2 == 1 && !bytes.empty()) bytes[0] = 3;  // past the version test
    add("random" + std::to_string(i), bytes);
  }
  for (char filler : {'\0', '\xFF'}) {
    std::string bytes = sound;
    for (std::size_t i = headerLength + 1; i + 1 < bytes.size(); ++i) {
      if ((i - headerLength) % std::size_t(std::uint8_t(sound[10]) | std::uint8_t(sound[11]) << 8))
        bytes[i] = filler;
    }
    add(filler ? "highBytesInRecords" : "nulInRecords", bytes);
  }
}

// Header of a table of 1000-byte records that fills 4.5 GiB, nearly all of it a hole.
Damage SparseData() {
  const std::uint32_t records = 4'831'838;  // 4.5 GiB / 1000
  DbfTable header = SoundData();
  header.records.clear();
  header.damage.recordCount = records;
  header.damage.recordLength = 1000;
  header.endOfFileMarker = false;
  const std::string bytes = EncodeDbf(header);
  const std::uint64_t size = bytes.size() + std::uint64_t{records} * 1000;
  return {"Data_sparseOver4GiB", Role::Data, bytes, size};
}

std::vector<Damage> Corpus() {
  std::vector<Damage> corpus;
  AddDamages(Role::Properties, EncodeDbf(SoundProperties()), corpus);
  AddDamages(Role::Data, EncodeDbf(SoundData()), corpus);
  corpus.push_back(SparseData());
  return corpus;
}

// The table's bytes (the first 64 MiB of a huge one, which is nearly all hole), size and time of
// last change: any write would change the time.
QByteArray Fingerprint(const std::string& path) {
  QFile file(QString::fromStdString(path));
  struct stat info {};
  if (!file.open(QIODevice::ReadOnly) || stat(path.c_str(), &info) != 0) return {};
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(file.read(qint64{64} << 20));
  return hash.result() + QByteArray::number(qint64(info.st_size)) +
         QByteArray::number(qint64(info.st_mtim.tv_sec)) +
         QByteArray::number(qint64(info.st_mtim.tv_nsec));
}

class DamagedTable : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedTable, EndsInTimeWithAMessageOrAChartAndLeavesTheTable) {
  const Damage& damage = GetParam();
  QTemporaryDir dir;
  const std::string damaged = dir.filePath("damaged.dbf").toStdString();
  {
    QFile file(QString::fromStdString(damaged));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damage.bytes.data(), qint64(damage.bytes.size()));
  }
  if (damage.sparseSize) {
    ASSERT_EQ(truncate(damaged.c_str(), off_t(damage.sparseSize)), 0);
  }
  const bool properties = damage.role == Role::Properties;
  const std::string sound = dir.filePath("sound.dbf").toStdString();
  WriteDbf(sound, properties ? SoundData() : SoundProperties());
  const QByteArray before = Fingerprint(damaged);

  const RunResult result =
      properties ? RunTarvochart({"damaged.dbf", "sound.dbf"}, dir.path().toStdString())
                 : RunTarvochart({"sound.dbf", "damaged.dbf"}, dir.path().toStdString());
  EXPECT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0);
  const std::string& error = result.standardError;
  if (error.empty()) {
    EXPECT_TRUE(QFile::exists(dir.filePath("chart.png"))) << "a silent run has its chart";
  } else {
    EXPECT_EQ(error.find('\n'), error.size() - 1) << "one line: " << error;
  }
  EXPECT_EQ(Fingerprint(damaged), before) << "the table is left as it was";
}

INSTANTIATE_TEST_SUITE_P(Corpus, DamagedTable, ::testing::ValuesIn(Corpus()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
