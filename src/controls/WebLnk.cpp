#include "controls/WebLnk.h"

#include "controls/NextGrpBox.h"
#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/SystemColors.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QUrl>

namespace tintora {

namespace {

void openOnDesktop(const QString& target)
{
    // Whether a browser or mail program took it is not reported, as on the desktop.
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

TWebLnk::Opener& currentOpener()
{
    static TWebLnk::Opener opener = openOnDesktop;
    return opener;
}

} // namespace

TWebLnk::Opener TWebLnk::setOpener(Opener opener)
{
    Opener previous = currentOpener();
    currentOpener() = opener ? std::move(opener) : Opener(openOnDesktop);
    return previous;
}

TWebLnk::TWebLnk(QWidget* parent) : QWidget(parent), m_color(clWindowText)
{
    resize(20, 10);
    fitCaption();
}

void TWebLnk::setColor(ColorValue color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TWebLnk::setColorOn(ColorValue color)
{
    if (color == m_colorOn)
        return;
    m_colorOn = color;
    update();
}

void TWebLnk::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    fitCaption();
    update();
}

void TWebLnk::setTransparent(bool transparent)
{
    if (transparent == m_transparent)
        return;
    m_transparent = transparent;
    update();
}

// The label takes the size of its caption in its font.
void TWebLnk::fitCaption()
{
    const QSize size(QFontMetrics(font()).horizontalAdvance(m_caption), gdiTextMetrics(font()).height());
    if (size != this->size())
        resize(size);
}

QString TWebLnk::target() const
{
    return m_type == TLnkType::ltEmail ? QStringLiteral("mailto:") + m_link : m_link;
}

void TWebLnk::click()
{
    currentOpener()(target());
    fire(OnClick, this);
}

ColorValue TWebLnk::backgroundColor() const
{
    const QWidget* parent = parentWidget();
    if (const auto* box = dynamic_cast<const TNextGrpBox*>(parent))
        return box->Color();
    if (parent)
        return SystemColors::fromQColor(parent->palette().color(parent->backgroundRole()));
    return clBtnFace;
}

void TWebLnk::paint(Canvas& c, const Rect& r) const
{
    if (!m_transparent)
        c.fillRect(r, backgroundColor());
    QFont f = font();
    f.setUnderline(m_over);
    c.setFont(f);
    c.setFontColor(m_over ? m_colorOn : m_color);
    c.setBrushClear();
    c.painter().save();
    c.setClip(r);
    c.textOut(r.left, r.top, m_caption);
    c.painter().restore();
}

void TWebLnk::paintEvent(QPaintEvent*)
{
    guarded([&] {
        Canvas c(this);
        paint(c, Rect{0, 0, width(), height()});
    });
}

void TWebLnk::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        guarded([&] { fitCaption(); });
}

void TWebLnk::enterEvent(QEnterEvent*)
{
    guarded([&] {
        m_over = true;
        setCursor(Qt::PointingHandCursor);
        setToolTip(m_link);
        update();
        fire(OnMouseEnter, this);
    });
}

void TWebLnk::leaveEvent(QEvent*)
{
    guarded([&] {
        m_over = false;
        setCursor(Qt::ArrowCursor);
        update();
        fire(OnMouseLeave, this);
    });
}

void TWebLnk::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_clickArmed = e->button() == Qt::LeftButton;
    guarded([&] { fire(OnMouseDown, this, shiftState(e), pos.x(), pos.y()); });
}

void TWebLnk::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click =
        m_clickArmed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    m_clickArmed = false;
    if (click)
        guarded([&] { this->click(); });
}

} // namespace tintora
