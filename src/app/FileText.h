#pragma once
#include <QChar>
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace tintora {

// Size text of the information line: "1023 B", "1.5 KB", "1.02E3 KB", "1 MB";
// empty for a negative size. Three significant digits, trailing zeros dropped,
// the locale's decimal separator, scientific form from 1000 up.
QString FormatFileSize(std::int32_t size, QChar decimalPoint);
QString FormatFileSize(std::int32_t size);

// The last-write time as the information line shows it: local time at the
// 2-second resolution of DOS file times, the locale's short date, one space and
// its long time.
QDateTime dosResolution(const QDateTime& localTime);
QString formatFileTime(const QDateTime& lastWrite);

// The extension of a path from the last "." of its file name, with the dot; empty
// when the name has none.
QString extensionOf(const QString& path);
// The folder part of a path up to and including its last separator.
QString folderPartOf(const QString& path);

} // namespace tintora
