#pragma once

#include <QPixmap>
#include <QScrollBar>
#include <QStyle>

class QStyleOptionSlider;

namespace runtime {

// A scroll bar that paints from an image of itself kept between paints, and redraws into that
// image only what changed: where its handle was and is when only the handle moved, all of it
// when anything else changed.
//
// A tree view's bars are repainted whole at every jump of the view: opening branches relays
// the view out, and Qt raises both scroll bars' containers again, which marks them for
// repainting though nothing in them changed. Painted whole, a tall bar's groove is filled in
// strips handed to Qt's thread pool, and waiting for them took as long as painting the view's
// rows. Under the pointer, while a button is down, or in a style whose bars fade, the bar is
// painted as QScrollBar paints it: the pointer's highlight is not in what the image records.
class KeptImageScrollBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit KeptImageScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

    // How many paints drew the bar anew, whole or in part (the rest only copied the image).
    int drawings() const { return m_drawings; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Everything but the handle's place that the style draws from.
    struct Look {
        QSize size;
        qreal pixelRatio = 0;
        QStyle::State state;
        qint64 palette = 0;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        const QStyle *style = nullptr;
        bool operator==(const Look &other) const;
    };
    struct Handle {
        int minimum = 0;
        int maximum = 0;
        int position = 0;
        int pageStep = 0;
        bool operator==(const Handle &other) const;
        bool atAnEnd() const { return position <= minimum || position >= maximum; }
    };
    QRegion regionToDraw(const Look &look, const Handle &handle, const QRect &handleRect) const;
    void drawInto(const QStyleOptionSlider &option, const QRegion &region);

    QPixmap m_image;
    Look m_look;
    Handle m_handle;
    QRect m_handleRect;
    bool m_buttonDown = false;
    int m_drawings = 0;
};

} // namespace runtime
