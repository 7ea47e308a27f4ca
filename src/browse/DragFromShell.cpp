#include "browse/DragFromShell.h"

#include "imaging/ByteCursor.h"
#include "platform/Guard.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <stdexcept>

namespace tintora {

namespace {

// Formats a Windows host hands over under their clipboard names.
const QString nativeDescriptor =
    QStringLiteral("application/x-qt-windows-mime;value=\"FileGroupDescriptor\"");
const QString nativeDescriptorW =
    QStringLiteral("application/x-qt-windows-mime;value=\"FileGroupDescriptorW\"");
const QString nativeAddress =
    QStringLiteral("application/x-qt-windows-mime;value=\"UniformResourceLocator\"");

// FILEGROUPDESCRIPTOR: a 4-byte count, then FILEDESCRIPTOR records whose
// 260-character file name starts 72 bytes in, so at offset 76 for the first one.
constexpr std::size_t descriptorNameOffset = 76;
constexpr std::size_t descriptorNameChars = 260;

// The first descriptor's file name, or a null text when the block holds none.
QString firstDescriptorName(const QByteArray& block, bool wide)
{
    try {
        ByteCursor cursor(
            {reinterpret_cast<const std::uint8_t*>(block.constData()), std::size_t(block.size())});
        if (cursor.u32() == 0)
            return {};
        cursor.seek(descriptorNameOffset);
        QString name(QLatin1String(""));
        if (wide) {
            for (std::size_t i = 0; i < descriptorNameChars && !cursor.atEnd(); ++i) {
                const char16_t c = cursor.u16();
                if (c == 0)
                    break;
                name.append(QChar(c));
            }
            return name;
        }
        QByteArray ansi;
        for (std::size_t i = 0; i < descriptorNameChars && !cursor.atEnd(); ++i) {
            const std::uint8_t c = cursor.u8();
            if (c == 0)
                break;
            ansi.append(char(c));
        }
        return QString::fromLocal8Bit(ansi);
    } catch (const ImageError&) {
        return {};
    }
}

// A shortcut file is named after its link plus ".url": the name keeps the rest.
QString withoutShortcutExtension(const QString& name) { return name.size() > 3 ? name.chopped(4) : name; }

QString nulTerminated(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromLocal8Bit(end < 0 ? bytes : bytes.left(end));
}

// "address\ntitle", as browsers offer a link; UTF-16 when it has zero bytes.
std::pair<QString, QString> addressAndTitle(const QByteArray& bytes)
{
    QString text;
    if (bytes.size() % 2 == 0 && bytes.contains('\0'))
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    else
        text = QString::fromUtf8(bytes);
    text.remove(QChar(0));
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QString address = lines.value(0).trimmed();
    return {address, lines.value(1).trimmed()};
}

QString nameFromAddress(const QString& address)
{
    const QUrl url(address);
    QString name = url.fileName();
    if (name.isEmpty())
        name = url.host();
    return name.isEmpty() ? address : name;
}

// The path of a file address. QUrl::toLocalFile reads the escapes as UTF-8 and
// loses other bytes ("lat%E9.bmp" from an old archive); the bytes are kept here.
QString localPath(const QUrl& url)
{
#ifdef Q_OS_WIN
    return url.toLocalFile();
#else
    if (!url.host().isEmpty())
        return url.toLocalFile();
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return pathFromNative(bytes.toStdString());
#endif
}

// A file address offered as a link is the file itself: one drop, not a file and a link.
bool takeAsFile(const QString& address, ShellDragOffer& offer)
{
    const QUrl url(address);
    if (!url.isLocalFile())
        return false;
    if (!offer.hasFileList) {
        offer.hasFileList = true;
        offer.firstFile = localPath(url);
    }
    return true;
}

void readLink(const QMimeData* data, ShellDragOffer& offer)
{
    QString address, title;
    for (const QString& format : {QStringLiteral("text/x-moz-url"), QStringLiteral("_NETSCAPE_URL")}) {
        if (address.isEmpty() && data->hasFormat(format))
            std::tie(address, title) = addressAndTitle(data->data(format));
    }
    if (address.isEmpty() && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (!url.isLocalFile() && url.isValid()) {
                address = url.toString();
                break;
            }
        }
    }
    if (address.isEmpty() && data->hasFormat(nativeAddress))
        address = nulTerminated(data->data(nativeAddress));
    if (takeAsFile(address, offer))
        return;
    if (!address.isEmpty()) {
        offer.hasLinkAddress = true;
        offer.address = address;
        offer.hasLinkName = true;
        offer.linkName = title.isEmpty() ? nameFromAddress(address) : title;
    }
    // A named shortcut, when the host hands one over, gives the name.
    for (const auto& [format, wide] :
         {std::pair{nativeDescriptorW, true}, std::pair{nativeDescriptor, false}}) {
        if (!data->hasFormat(format))
            continue;
        const QString name = firstDescriptorName(data->data(format), wide);
        if (!name.isNull()) {
            offer.hasLinkName = true;
            offer.linkName = withoutShortcutExtension(name);
            break;
        }
    }
}

QObject* checkedOwner(QObject* owner)
{
    if (!qobject_cast<QWidget*>(owner))
        throw std::runtime_error("Error installing component");
    return owner;
}

} // namespace

ShellDragOffer readShellDragOffer(const QMimeData* data)
{
    ShellDragOffer offer;
    if (!data)
        return offer;
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                offer.hasFileList = true;
                offer.firstFile = localPath(url);
                break;
            }
        }
    }
    readLink(data, offer);
    return offer;
}

TDragFromShell::TDragFromShell(QObject* owner) : QObject(checkedOwner(owner)), m_owner(owner)
{
    static_cast<QWidget*>(owner)->setAcceptDrops(true);
    // Watched at the application, so that the drops over the widgets inside
    // the owner that take drops of their own (edit boxes paste the text of a
    // file list) come here too: the whole owner is one drop target.
    qApp->installEventFilter(this);
}

// The application forgets a filter that is destroyed; nothing to undo here.
TDragFromShell::~TDragFromShell() = default;

void TDragFromShell::dragEnter(const QMimeData* data)
{
    const ShellDragOffer offer = readShellDragOffer(data);
    QString address;
    if (offer.hasFileList)
        fire(OnShellDragEnter, this, offer.firstFile, QString());
    else if (offer.hasLinkAddress)
        address = offer.address;
    if (offer.hasLinkName)
        fire(OnShellDragEnter, this, offer.linkName, address);
}

void TDragFromShell::drop(const QMimeData* data)
{
    const ShellDragOffer offer = readShellDragOffer(data);
    QString address;
    if (offer.hasFileList)
        fire(OnShellDragDrop, this, offer.firstFile, QString());
    else if (offer.hasLinkAddress)
        address = offer.address;
    if (offer.hasLinkName)
        fire(OnShellDragDrop, this, offer.linkName, address);
}

bool TDragFromShell::covers(QObject* watched) const
{
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* owner = static_cast<QWidget*>(m_owner);
    return widget && (widget == owner || owner->isAncestorOf(widget));
}

bool TDragFromShell::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool dragEvent = type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop ||
                           type == QEvent::DragLeave;
    if (!dragEvent || !covers(watched))
        return false;
    switch (type) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        // Whatever is offered, the pointer shows a link; a source that cannot
        // link keeps its own proposal, so that its drop still arrives.
        e->setDropAction((e->possibleActions() & Qt::LinkAction) ? Qt::LinkAction : e->proposedAction());
        e->accept();
        if (event->type() == QEvent::DragEnter)
            guarded([&] { dragEnter(e->mimeData()); });
        else if (event->type() == QEvent::Drop)
            guarded([&] { drop(e->mimeData()); });
        return true;
    }
    case QEvent::DragLeave:
        return true;
    default:
        return false;
    }
}

} // namespace tintora
