#include "app/FileText.h"

#include <QLocale>
#include <QRegularExpression>

namespace tintora {

namespace {

// Rounds numerator / denominator half away from zero (both positive).
std::int64_t roundRatio(std::int64_t numerator, std::int64_t denominator)
{
    return (2 * numerator + denominator) / (2 * denominator);
}

std::int64_t power10(int k)
{
    std::int64_t p = 1;
    while (k-- > 0)
        p *= 10;
    return p;
}

// size / unit with three significant digits, in the general number format.
QString generalFormat3(std::int64_t size, std::int64_t unit, QChar decimalPoint)
{
    // Exponent of the leading digit of size / unit, which is at least 1.
    int exponent = 0;
    while (size >= unit * power10(exponent + 1))
        ++exponent;
    auto digitsAt = [&](int e) {
        const int k = 2 - e; // decimal places that keep three significant digits
        return k >= 0 ? roundRatio(size * power10(k), unit) : roundRatio(size, unit * power10(-k));
    };
    std::int64_t digits = digitsAt(exponent);
    if (digits >= 1000) { // rounding carried into a new digit
        ++exponent;
        digits = digitsAt(exponent);
    }
    QString text = QString::number(digits); // three digits: d.dd x 10^exponent
    QString integerPart, fraction;
    if (exponent >= 3) {
        integerPart = text.left(1);
        fraction = text.mid(1);
    } else {
        integerPart = text.left(exponent + 1);
        fraction = text.mid(exponent + 1);
    }
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString result = fraction.isEmpty() ? integerPart : integerPart + decimalPoint + fraction;
    if (exponent >= 3)
        result += QLatin1Char('E') + QString::number(exponent);
    return result;
}

} // namespace

QString FormatFileSize(std::int32_t size, QChar decimalPoint)
{
    if (size < 0)
        return {};
    if (size < 1024)
        return QString::number(size) + QStringLiteral(" B");
    if (size < 1048576)
        return generalFormat3(size, 1024, decimalPoint) + QStringLiteral(" KB");
    return generalFormat3(size, 1048576, decimalPoint) + QStringLiteral(" MB");
}

QString FormatFileSize(std::int32_t size)
{
    const QString point = QLocale().decimalPoint();
    return FormatFileSize(size, point.isEmpty() ? QChar('.') : point.at(0));
}

QDateTime dosResolution(const QDateTime& localTime)
{
    QDateTime t = localTime;
    const QTime time = t.time();
    t.setTime(QTime(time.hour(), time.minute(), time.second() & ~1));
    return t;
}

QString formatFileTime(const QDateTime& lastWrite)
{
    const QLocale locale;
    const QDateTime t = dosResolution(lastWrite.toLocalTime());
    // The long time format without a time-zone name.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    if (!timeFormat.contains(QLatin1Char('s')))
        timeFormat = QStringLiteral("HH:mm:ss");
    return locale.toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(t.time(), timeFormat.trimmed());
}

QString extensionOf(const QString& path)
{
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    const int dot = int(path.lastIndexOf(QLatin1Char('.')));
    return dot > slash ? path.mid(dot) : QString();
}

QString folderPartOf(const QString& path)
{
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace tintora
