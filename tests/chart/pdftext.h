// The text of a PDF file as poppler's pdftotext reads it.

#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

inline QString PdfText(const QString& pdf, const QStringList& options) {
  QProcess process;
  process.start("pdftotext", options + QStringList{pdf, "-"});
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}
