#include "browse/IconFileListBox.h"

#include "platform/Canvas.h"
#include "platform/Shell.h"
#include "platform/SystemColors.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace tintora {

namespace {

TIconFileListBox::IconProvider& iconProvider()
{
    static TIconFileListBox::IconProvider provider;
    return provider;
}

constexpr int iconSize = 16;

QString lowerAsciiExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    QString ext = name.mid(dot);
    for (QChar& c : ext) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return ext;
}

} // namespace

TIconFileListBox::TIconFileListBox(QWidget* owner) : TFileListBox(owner) {}

QImage TIconFileListBox::iconFor(const QString& path)
{
    return iconProvider() ? iconProvider()(path) : defaultIcon(path);
}

void TIconFileListBox::setIconProvider(IconProvider provider) { iconProvider() = std::move(provider); }

QImage TIconFileListBox::defaultIcon(const QString& path)
{
    static QFileIconProvider provider;
    const QIcon icon = provider.icon(QFileInfo(path));
    if (icon.isNull())
        return {};
    return icon.pixmap(iconSize, iconSize).toImage();
}

ColorValue TIconFileListBox::textColorFor(const QString& item, ColorValue fallback)
{
    const QString ext = lowerAsciiExtension(item);
    if (ext == QLatin1String(".bmp"))
        return clBlack;
    if (ext == QLatin1String(".ico"))
        return clRed;
    if (ext == QLatin1String(".jpg"))
        return clBlue;
    if (ext == QLatin1String(".gif"))
        return clGreen;
    return fallback;
}

void TIconFileListBox::paintRow(Canvas& canvas, const Rect& rect, int row, bool selected, bool focused) const
{
    const QString item = items().value(row);
    canvas.setFont(font());
    canvas.setBrushColor(selected ? clHighlight : Color());
    canvas.fillRect(rect);
    // Asked for at every paint and not kept: the icon follows the file as it is now.
    const QString path = joinPath(Directory(), item);
    QImage icon = iconFor(path);
    canvas.setFontColor(selected ? clHighlightText : textColorFor(item, clWindowText));
    canvas.textOut(rect.left + 22, rect.top + 5, displayName(item));
    if (!icon.isNull()) {
        if (icon.size() != QSize(iconSize, iconSize))
            icon = icon.scaled(iconSize, iconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        canvas.painter().drawImage(rect.left + 2, rect.top + 3, icon);
    }
    if (focused)
        drawFocusRect(canvas, rect);
}

} // namespace tintora
