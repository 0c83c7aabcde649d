#include "ui/runtime/KeptImageScrollBar.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionSlider>

namespace runtime {

bool KeptImageScrollBar::Look::operator==(const Look &other) const
{
    return size == other.size && pixelRatio == other.pixelRatio && state == other.state && palette == other.palette
           && direction == other.direction && style == other.style;
}

bool KeptImageScrollBar::Handle::operator==(const Handle &other) const
{
    return minimum == other.minimum && maximum == other.maximum && position == other.position
           && pageStep == other.pageStep;
}

KeptImageScrollBar::KeptImageScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
}

QRegion KeptImageScrollBar::regionToDraw(const Look &look, const Handle &handle, const QRect &handleRect) const
{
    if (m_image.isNull() || !(look == m_look))
        return QRegion(rect());
    if (handle == m_handle)
        return QRegion();
    // A style may draw the arrows otherwise at the ends; elsewhere the groove looks the same
    // along its length.
    if (handle.atAnEnd() || m_handle.atAnEnd())
        return QRegion(rect());
    // The style may draw the handle's outline a pixel or two beyond its rectangle.
    const QMargins outline(2, 2, 2, 2);
    return (QRegion(m_handleRect.marginsAdded(outline)) + handleRect.marginsAdded(outline)) & rect();
}

void KeptImageScrollBar::drawInto(const QStyleOptionSlider &option, const QRegion &region)
{
    // As QScrollBar paints itself with no part under the pointer or pressed, each rectangle on
    // a fresh piece as big as it is: a style may set clip rectangles of its own, which would
    // undo a clip of ours.
    QStyleOptionSlider drawn = option;
    drawn.subControls = QStyle::SC_All;
    drawn.activeSubControls = QStyle::SC_None;
    const qreal ratio = m_image.devicePixelRatio();
    QPainter image(&m_image);
    for (const QRect &rect : region) {
        QPixmap piece(rect.size() * ratio);
        piece.setDevicePixelRatio(ratio);
        piece.fill(palette().color(QPalette::Window));
        QPainter painter(&piece);
        painter.translate(-rect.topLeft());
        style()->drawComplexControl(QStyle::CC_ScrollBar, &drawn, &painter, this);
        painter.end();
        image.drawPixmap(rect.topLeft(), piece);
    }
}

void KeptImageScrollBar::paintEvent(QPaintEvent *event)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const bool fades = style()->styleHint(QStyle::SH_ScrollBar_Transient, &option, this);
    if (underMouse() || m_buttonDown || fades) {
        m_image = QPixmap();
        ++m_drawings;
        QScrollBar::paintEvent(event);
        return;
    }
    const Look look{size(), devicePixelRatioF(), option.state, option.palette.cacheKey(), option.direction, style()};
    const Handle handle{option.minimum, option.maximum, option.sliderPosition, option.pageStep};
    const QRect handleRect = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    const QRegion toDraw = regionToDraw(look, handle, handleRect);
    if (!toDraw.isEmpty()) {
        if (m_image.size() != size() * look.pixelRatio) {
            m_image = QPixmap(size() * look.pixelRatio);
            m_image.setDevicePixelRatio(look.pixelRatio);
        }
        drawInto(option, toDraw);
        ++m_drawings;
    }
    m_look = look;
    m_handle = handle;
    m_handleRect = handleRect;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_image); // within the paint event's region
}

void KeptImageScrollBar::mousePressEvent(QMouseEvent *event)
{
    m_buttonDown = true;
    QScrollBar::mousePressEvent(event);
}

void KeptImageScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    QScrollBar::mouseReleaseEvent(event);
    m_buttonDown = event->buttons() != Qt::NoButton;
    update(); // drawn as QScrollBar does while the button was down
}

} // namespace runtime
