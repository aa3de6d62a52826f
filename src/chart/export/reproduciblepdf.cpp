#include "chart/export/reproduciblepdf.h"

namespace chart {

QByteArray WithFixedCreationDate(QByteArray pdf) {
  static const QByteArray kKey = "/CreationDate (";
  const qsizetype start = pdf.indexOf(kKey);
  if (start < 0) return pdf;
  const qsizetype value = start + kKey.size();
  const qsizetype end = pdf.indexOf(')', value);
  if (end < 0) return pdf;
  // The same instant in both of the forms that Qt writes, one for each length.
  for (const QByteArray& epoch :
       {QByteArray("D:19700101000000Z"), QByteArray("D:19700101000000+00'00'")}) {
    if (end - value == epoch.size()) return pdf.replace(value, epoch.size(), epoch);
  }
  return pdf;
}

}  // namespace chart
