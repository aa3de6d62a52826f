#pragma once
// The same chart makes the same PDF file, byte for byte. Qt's PDF writer stamps each file with
// the time it was written (the file's own time tells that already) and lays out its fonts in an
// order that changes from run to run unless the process's hash seed is fixed (see
// SetUpProcess).

#include <QByteArray>

namespace chart {

// The creation date as the Unix epoch, in the form and length that Qt wrote ("D:...Z" or
// "D:...+HH'mm'"), so that every byte offset of the file stays; a file without a creation date of
// those forms is returned as it is.
QByteArray WithFixedCreationDate(QByteArray pdf);

}  // namespace chart
