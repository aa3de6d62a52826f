// Compresses the rows of each PNG file given, filtered as the PNG writer filters them ("Up",
// the difference to the row above), into the zlib stream of a PNG's IDAT chunks with each
// compressor at hand, and prints the median time and the size of each stream. Every stream is
// inflated by zlib and compared with the rows before it is counted.
//   Usage: png_bench [--runs N] FILE.png...

#include <libdeflate.h>
#include <zlib.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "chart/export/pngencoder.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr unsigned char kFilterUp = 2;

std::size_t RowBytes(const QImage& image) { return std::size_t(image.width()) * 3 + 1; }

using Checksum = uLong (*)(uLong adler, const unsigned char* data, std::size_t size);

// The Adler-32 checksum continued over a row that filters to zeros but for its filter byte: a
// zero leaves the sum of the bytes as it is and adds that sum to the sum of sums once more.
uLong AdlerOfZeroRow(uLong adler, std::size_t rowBytes) {
  constexpr std::uint64_t kModulus = 65521;
  const std::uint64_t sum = ((adler & 0xFFFF) + kFilterUp) % kModulus;
  return static_cast<uLong>(((adler >> 16) + sum * (rowBytes % kModulus)) % kModulus << 16 | sum);
}

// Rows [first, end) of an RGB32 image, each its filter byte and its RGB bytes less those of the
// row above (zeros above the first row), into `out`; returns `adler` continued over them with
// `checksum` (none: `adler` as it is). A row equal to the one above costs neither arithmetic nor
// a pass of the checksum, as in the PNG writer.
uLong FilterRows(const QImage& image, int first, int end, unsigned char* out, uLong adler = 1,
                 Checksum checksum = nullptr) {
  const auto width = static_cast<std::size_t>(image.width());
  for (int y = first; y < end; ++y, out += 3 * width + 1) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const auto* above = y > 0 ? reinterpret_cast<const QRgb*>(image.constScanLine(y - 1)) : nullptr;
    out[0] = kFilterUp;
    if (above && std::memcmp(row, above, width * sizeof(QRgb)) == 0) {
      std::memset(out + 1, 0, 3 * width);
      if (checksum) adler = AdlerOfZeroRow(adler, 3 * width + 1);
      continue;
    }
    for (std::size_t x = 0; x < width; ++x) {
      const QRgb up = above ? above[x] : 0;
      out[1 + 3 * x] = static_cast<unsigned char>(qRed(row[x]) - qRed(up));
      out[2 + 3 * x] = static_cast<unsigned char>(qGreen(row[x]) - qGreen(up));
      out[3 + 3 * x] = static_cast<unsigned char>(qBlue(row[x]) - qBlue(up));
    }
    if (checksum) adler = checksum(adler, out, 3 * width + 1);
  }
  return adler;
}

// A band of rows compressed on its own into raw deflate blocks that end on a byte boundary, so
// that the bands one after the other make one stream (as pigz joins them), and its checksum.
struct Band {
  int first = 0;
  int end = 0;
  bool last = false;
  Bytes deflated;
  uLong adler = 1;
};

// The PNG writer's bands: one per 4 MiB of filtered rows, at most four, each on a thread.
std::vector<Band> BandsOf(const QImage& image) {
  const std::size_t bytes = RowBytes(image) * std::size_t(image.height());
  const int count = static_cast<int>(std::clamp<std::size_t>(bytes / (4 << 20), 1, 4));
  std::vector<Band> bands(std::size_t(count), Band{});
  for (int i = 0; i < count; ++i) {
    bands[std::size_t(i)] = {
        image.height() * i / count, image.height() * (i + 1) / count, i + 1 == count, {}, 1};
  }
  return bands;
}

// The zlib stream of bands compressed by `compress`, the first on this thread and each other
// on one of its own.
Bytes JoinedBands(const QImage& image, const std::function<void(Band&)>& compress) {
  std::vector<Band> bands = BandsOf(image);
  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < bands.size(); ++i) threads.emplace_back(compress, std::ref(bands[i]));
  compress(bands[0]);
  for (std::thread& thread : threads) thread.join();
  Bytes stream = {0x78, 0x01};
  uLong adler = 1;
  for (const Band& band : bands) {
    stream.insert(stream.end(), band.deflated.begin(), band.deflated.end());
    const auto size = static_cast<z_off_t>(RowBytes(image) * std::size_t(band.end - band.first));
    adler = adler32_combine(adler, band.adler, size);
  }
  for (int shift : {24, 16, 8, 0}) stream.push_back(static_cast<unsigned char>(adler >> shift));
  return stream;
}

// Rows are filtered a block of about 1 MiB at a time, so that they are still in the cache when
// the compressor reads them.
int RowsPerBlock(const QImage& image) {
  return static_cast<int>(std::max<std::size_t>(1, (1 << 20) / RowBytes(image)));
}

uLong ZlibAdler32(uLong adler, const unsigned char* data, std::size_t size) {
  return adler32_z(adler, data, size);
}

// Deflates `size` bytes at `data` with `flush` into `out`, grown as needed.
void Deflate(z_stream& stream, const unsigned char* data, std::size_t size, int flush, Bytes& out) {
  stream.next_in = const_cast<unsigned char*>(data);
  stream.avail_in = static_cast<uInt>(size);
  do {
    if (out.size() - stream.total_out < 4096) out.resize(2 * out.size() + 65536);
    stream.next_out = out.data() + stream.total_out;
    stream.avail_out = static_cast<uInt>(out.size() - stream.total_out);
    deflate(&stream, flush);
  } while (stream.avail_out == 0 || stream.avail_in > 0);
}

// zlib's fastest level with `strategy`: a band ends with a full flush, which ends its data on a
// byte boundary and lets the next band's blocks follow.
Bytes ZlibStream(const QImage& image, int strategy) {
  return JoinedBands(image, [&image, strategy](Band& band) {
    z_stream stream{};
    deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, strategy);
    Bytes rows(std::size_t(RowsPerBlock(image)) * RowBytes(image));
    for (int y = band.first; y < band.end;) {
      const int count = std::min(RowsPerBlock(image), band.end - y);
      band.adler = FilterRows(image, y, y + count, rows.data(), band.adler, ZlibAdler32);
      y += count;
      Deflate(stream, rows.data(), std::size_t(count) * RowBytes(image),
              y < band.end ? Z_NO_FLUSH
              : band.last  ? Z_FINISH
                           : Z_FULL_FLUSH,
              band.deflated);
    }
    band.deflated.resize(stream.total_out);
    deflateEnd(&stream);
  });
}

Bytes ZlibRleStream(const QImage& image) { return ZlibStream(image, Z_RLE); }
Bytes ZlibDefaultStream(const QImage& image) { return ZlibStream(image, Z_DEFAULT_STRATEGY); }

// libdeflate's fastest level: the whole image at once, as its interface takes it (it cannot
// end a stream's data without ending the stream, so bands cannot be joined).
Bytes LibdeflateStream(const QImage& image) {
  const std::size_t size = RowBytes(image) * std::size_t(image.height());
  const auto rows = std::make_unique_for_overwrite<unsigned char[]>(size);
  FilterRows(image, 0, image.height(), rows.get());
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(1);
  const std::size_t bound = libdeflate_zlib_compress_bound(compressor, size);
  const auto out = std::make_unique_for_overwrite<unsigned char[]>(bound);
  const std::size_t written =
      libdeflate_zlib_compress(compressor, rows.get(), size, out.get(), bound);
  libdeflate_free_compressor(compressor);
  return Bytes(out.get(), out.get() + written);
}

// The program's PNG writer, the whole file: the filter, zlib, the checksums and the chunks.
Bytes PngFile(const QImage& image) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  chart::WritePng(image, buffer);
  return Bytes(buffer.data().begin(), buffer.data().end());
}

// Only the filter, for the share of the time that is not the compressor's.
Bytes FilterOnly(const QImage& image) {
  Bytes rows(std::size_t(RowsPerBlock(image)) * RowBytes(image));
  for (int y = 0; y < image.height(); y += RowsPerBlock(image)) {
    FilterRows(image, y, std::min(image.height(), y + RowsPerBlock(image)), rows.data());
  }
  return rows;
}

// What a codec's bytes are: a zlib stream of the rows (checked by inflating it), a whole PNG
// file, or nothing to count.
enum class Output { Stream, File, Nothing };

struct Codec {
  const char* name;
  Bytes (*stream)(const QImage&);
  Output output = Output::Stream;
};

const Codec kCodecs[] = {{"filter only", FilterOnly, Output::Nothing},
                         {"zlib 1 rle", ZlibRleStream},
                         {"zlib 1", ZlibDefaultStream},
                         {"libdeflate 1", LibdeflateStream},
                         {"PNG writer (file)", PngFile, Output::File}};

bool InflatesToTheRows(const QImage& image, const Bytes& stream) {
  const std::size_t size = RowBytes(image) * std::size_t(image.height());
  Bytes rows(size), inflated(size + 1);
  FilterRows(image, 0, image.height(), rows.data());
  uLongf length = static_cast<uLongf>(inflated.size());
  return uncompress(inflated.data(), &length, stream.data(), uLong(stream.size())) == Z_OK &&
         length == size && std::equal(rows.begin(), rows.end(), inflated.begin());
}

double CpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Timing {
  double wall = 0;  // median milliseconds
  double cpu = 0;
  std::size_t bytes = 0;
};

Timing Measure(const Codec& codec, const QImage& image, int runs) {
  std::vector<double> walls, cpus;
  Timing timing;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuMilliseconds();
    const Bytes stream = codec.stream(image);
    cpus.push_back(CpuMilliseconds() - cpuStart);
    walls.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    timing.bytes = stream.size();
  }
  std::sort(walls.begin(), walls.end());
  std::sort(cpus.begin(), cpus.end());
  timing.wall = walls[walls.size() / 2];
  timing.cpu = cpus[cpus.size() / 2];
  return timing;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

void PrintHeader() {
  std::printf("%-36s %9s", "", "");
  for (const Codec& codec : kCodecs) std::printf(" | %-23s", codec.name);
  std::printf("\n%-36s %9s", "image", "pixels");
  for (std::size_t i = 0; i < std::size(kCodecs); ++i)
    std::printf(" | %7s %7s %7s", "ms", "cpu ms", "bytes");
  std::printf("\n");
}

void PrintRow(const std::string& name, QSize size, const std::vector<Timing>& timings) {
  const std::string pixels =
      size.isEmpty() ? "" : std::to_string(size.width()) + "x" + std::to_string(size.height());
  std::printf("%-36s %9s", name.c_str(), pixels.c_str());
  for (const Timing& timing : timings) {
    std::printf(" | %7.3f %7.3f %7zu", timing.wall, timing.cpu, timing.bytes);
  }
  std::printf("\n");
  std::fflush(stdout);
}

// The timings of each compressor on `image`, after checking what each writes.
std::optional<std::vector<Timing>> MeasureAll(const QImage& image, int runs) {
  std::vector<Timing> timings;
  for (const Codec& codec : kCodecs) {
    if (codec.output == Output::Stream && !InflatesToTheRows(image, codec.stream(image))) {
      std::fprintf(stderr, "%s wrote a stream that does not inflate to the rows\n", codec.name);
      return std::nullopt;
    }
    timings.push_back(Measure(codec, image, runs));
    if (codec.output == Output::Nothing) timings.back().bytes = 0;
  }
  return timings;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  int runs = 21;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      files.emplace_back(argv[i]);
    }
  }
  PrintHeader();
  std::vector<Timing> total(std::size(kCodecs));
  for (const std::string& file : files) {
    const QImage image = QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
    const auto timings = image.isNull() ? std::nullopt : MeasureAll(image, runs);
    if (!timings) {
      std::fprintf(stderr, "%s: not measured\n", file.c_str());
      return 1;
    }
    PrintRow(BaseName(file), image.size(), *timings);
    for (std::size_t i = 0; i < total.size(); ++i) {
      total[i] = {total[i].wall + (*timings)[i].wall, total[i].cpu + (*timings)[i].cpu,
                  total[i].bytes + (*timings)[i].bytes};
    }
  }
  PrintRow("all " + std::to_string(files.size()) + " images", QSize(), total);
  return 0;
}
