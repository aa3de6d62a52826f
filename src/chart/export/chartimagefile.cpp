#include "chart/export/chartimagefile.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "chart/export/pngencoder.h"
#include "chart/export/reproduciblepdf.h"
#include "chart/layout/chartfont.h"
#include "chart/render/chartpainter.h"
#include "runtime/atomicfile.h"
#include "runtime/errors.h"
#include "runtime/text.h"

namespace chart {

namespace {

// Logical chart pixels are 1/96 inch on every device, so a vector file of that resolution holds
// the same layout and the same text sizes as the bitmap.
constexpr int kVectorDpi = 96;

[[noreturn]] void Fail(const std::string& fileName, const QString& reason) {
  throw Exception("Cannot write " + fileName + ": " + reason.toStdString());
}

// Passes the writes on to the file and takes a failed one (a full disk, a size limit) as the
// failure it is: the SVG and PDF generators never look at what a write returns, and every later
// write is refused, so the failure is seen at the end with the system's reason.
class CheckedWrites : public QIODevice {
 public:
  explicit CheckedWrites(AtomicFile& file) : file_(file) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }
  bool Failed() const { return failed_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    if (failed_) return -1;
    try {
      file_.Write(std::string_view(data, std::size_t(size)));
      return size;
    } catch (const FileError& error) {
      setErrorString(QString::fromLocal8Bit(error.Text()));
      failed_ = true;
      return -1;
    }
  }

 private:
  AtomicFile& file_;
  bool failed_ = false;
};

void WriteRaster(const ChartModel& model, QSize size, ImageFileFormat format,
                 const std::string& fileName, CheckedWrites& file) {
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) {
    Fail(fileName,
         QString("not enough memory for %1 x %2 pixels").arg(size.width()).arg(size.height()));
  }
  image.setDevicePixelRatio(1);
  // The chart's own white background may end a fraction of a pixel short of the image's edge;
  // the pixels there must not show what the memory held before.
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    RenderChart(painter, model, QRectF(image.rect()), ImageTextScale(size));
  }
  const QString error = EncodeRasterImage(image, format, file);
  // The encoder's own text says little when the file refused the bytes: the file's says why.
  if (!error.isEmpty()) Fail(fileName, file.Failed() ? file.errorString() : error);
}

// XML holds no control character but tab, line feed and carriage return, and neither U+FFFE nor
// U+FFFF: each becomes U+FFFD, the character that stands in for one that cannot be shown. The
// SVG generator writes texts as they are, so a label with an escape character would make the
// whole file unreadable.
QByteArray WithCharactersXmlHolds(const QByteArray& utf8) {
  static const QByteArray kReplacement("\xEF\xBF\xBD");
  QByteArray held;
  held.reserve(utf8.size());
  for (qsizetype i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const bool control = byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
    const bool nonCharacter = byte == 0xEF && i + 2 < utf8.size() && utf8[i + 1] == '\xBF' &&
                              (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF');
    if (nonCharacter) i += 2;
    if (control || nonCharacter) {
      held += kReplacement;
    } else {
      held += char(byte);
    }
  }
  return held;
}

void WriteSvg(const ChartModel& model, QSize size, const std::string& fileName, QIODevice& file) {
  // Made in memory, at most the size of its picture, then cleaned as a whole.
  QBuffer svg;
  svg.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&svg);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setResolution(kVectorDpi);
  // The generator writes its title as it is given, unlike the texts.
  generator.setTitle(ToDisplayText(fileName).toHtmlEscaped());
  QPainter painter;
  if (!painter.begin(&generator)) Fail(fileName, "the SVG generator cannot start");
  // The generator names the painter's font on every shape too: the chart's own family, so that
  // the file names no family but the one its texts were measured with.
  painter.setFont(QFont(ChartFontFamily()));
  RenderChart(painter, model, QRectF(QPoint(0, 0), size), ImageTextScale(size));
  painter.end();
  file.write(WithCharactersXmlHolds(svg.data()));
}

// The page is the chart's size at 96 dpi, rounded up to whole points (Qt keeps page sizes in
// whole points): at most a white strip of 1/72 inch beside the chart, which is drawn at its
// exact size.
QPageLayout PdfPageOf(QSize size) {
  const auto points = [](int pixels) { return (pixels * 72 + kVectorDpi - 1) / kVectorDpi; };
  const QPageSize page(QSize(points(size.width()), points(size.height())), QString(),
                       QPageSize::ExactMatch);
  return QPageLayout(page, QPageLayout::Portrait, QMarginsF());
}

void WritePdf(const ChartModel& model, QSize size, const std::string& fileName, QIODevice& file) {
  QBuffer pdf;  // made in memory, then stamped with a fixed date
  pdf.open(QIODevice::WriteOnly);
  QPdfWriter writer(&pdf);
  writer.setResolution(kVectorDpi);
  writer.setPageLayout(PdfPageOf(size));
  writer.setTitle(ToDisplayText(fileName));
  QPainter painter;
  if (!painter.begin(&writer)) Fail(fileName, "the PDF writer cannot start");
  RenderChart(painter, model, QRectF(QPoint(0, 0), size), ImageTextScale(size));
  if (!painter.end()) Fail(fileName, "the PDF writer failed");
  file.write(WithFixedCreationDate(pdf.data()));
}

}  // namespace

QString EncodeRasterImage(const QImage& image, ImageFileFormat format, QIODevice& device) {
  if (format == ImageFileFormat::Png) return WritePng(image, device);
  QImageWriter writer(&device, format == ImageFileFormat::Jpeg ? "jpeg" : "bmp");
  // Lines and letters on flat colours ring visibly below this; above it the file grows fast.
  if (format == ImageFileFormat::Jpeg) writer.setQuality(kJpegQuality);
  return writer.write(image) ? QString() : writer.errorString();
}

void WriteChartImageFile(const ChartModel& model, QSize size, const std::string& fileName) {
  try {
    // Until the commit the data goes to a temporary file beside the target, removed on failure.
    AtomicFile file(fileName);
    CheckedWrites device(file);
    const ImageFileFormat format = ImageFormatOfFile(fileName).format;
    if (format == ImageFileFormat::Svg) {
      WriteSvg(model, size, fileName, device);
    } else if (format == ImageFileFormat::Pdf) {
      WritePdf(model, size, fileName, device);
    } else {
      WriteRaster(model, size, format, fileName, device);
    }
    if (device.Failed()) Fail(fileName, device.errorString());
    file.Commit(AtomicFile::Sync::BySystem);
  } catch (const FileError& error) {
    Fail(fileName, QString::fromLocal8Bit(error.Text()));
  }
}

}  // namespace chart
