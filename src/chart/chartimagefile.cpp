#include "chart/chartimagefile.h"

#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cerrno>
#include <cstring>

#include "chart/chartpainter.h"
#include "chart/pngencoder.h"
#include "runtime.h"

namespace chart {

namespace {

// Logical chart pixels are 1/96 inch on every device, so a vector file of that resolution holds
// the same layout and the same text sizes as the bitmap.
constexpr int kVectorDpi = 96;

[[noreturn]] void Fail(const std::string& fileName, const QString& reason) {
  throw Exception("Cannot write " + fileName + ": " + reason.toStdString());
}

// Passes the writes on to the file and takes one that writes only part of its bytes (a full
// disk, a size limit) as the failure it is: the SVG and PDF generators never look at what a
// write returns, and every later write is refused, so the failure is seen at the end.
// The system's reason where it gave one (Qt's own text is "Unknown error" for some of them).
QString WhyNotWritten(int error) {
  if (error != 0) return QString::fromLocal8Bit(std::strerror(error));
  return "only part of the data could be written (is the disk full?)";
}

class CheckedWrites : public QIODevice {
 public:
  explicit CheckedWrites(QFileDevice& file) : file_(file) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }
  bool Failed() const { return failed_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    errno = 0;
    if (!failed_ && file_.write(data, size) == size) return size;
    if (!failed_) setErrorString(WhyNotWritten(errno));
    failed_ = true;
    return -1;
  }

 private:
  QFileDevice& file_;
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

void WriteSvg(const ChartModel& model, QSize size, const std::string& fileName, QIODevice& file) {
  QSvgGenerator generator;
  generator.setOutputDevice(&file);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setResolution(kVectorDpi);
  generator.setTitle(QString::fromLocal8Bit(fileName.c_str()));
  QPainter painter;
  if (!painter.begin(&generator)) Fail(fileName, "the SVG generator cannot start");
  RenderChart(painter, model, QRectF(QPoint(0, 0), size), ImageTextScale(size));
  painter.end();
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
  QPdfWriter writer(&file);
  writer.setResolution(kVectorDpi);
  writer.setPageLayout(PdfPageOf(size));
  writer.setTitle(QString::fromLocal8Bit(fileName.c_str()));
  QPainter painter;
  if (!painter.begin(&writer)) Fail(fileName, "the PDF writer cannot start");
  RenderChart(painter, model, QRectF(QPoint(0, 0), size), ImageTextScale(size));
  if (!painter.end()) Fail(fileName, "the PDF writer failed");
}

}  // namespace

QString EncodeRasterImage(const QImage& image, ImageFileFormat format, QIODevice& device) {
  if (format == ImageFileFormat::Png) return WritePng(image, device);
  QImageWriter writer(&device, "bmp");
  return writer.write(image) ? QString() : writer.errorString();
}

void WriteChartImageFile(const ChartModel& model, QSize size, const std::string& fileName) {
  // Until the commit the data goes to a temporary file beside the target, removed on failure.
  QSaveFile file(QString::fromLocal8Bit(fileName.c_str()));
  if (!file.open(QIODevice::WriteOnly)) Fail(fileName, file.errorString());
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
  // Flushed apart: QSaveFile::commit does not report a failure to write its last bytes.
  errno = 0;
  if (!file.flush() || !file.commit()) {
    Fail(fileName, errno != 0 ? WhyNotWritten(errno) : file.errorString());
  }
}

}  // namespace chart
