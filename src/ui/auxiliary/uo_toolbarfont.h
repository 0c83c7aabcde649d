#pragma once

#include <QList>
#include <QString>

class QToolBar;
class QWidget;

// Sets the font of a frame window's toolbars. The frame is a QMainWindow whose toolbars are
// its direct QToolBar children; the toolbars' buttons take the font and are made at least as
// wide as a button whose text is the extent text, so buttons with short texts keep one width.
class uo_toolbarfont
{
public:
    // The frame's first toolbar, or null when there is no frame or it has no toolbar.
    QToolBar *of_gettoolbarhandle(QWidget *aw_frame) const;
    // All toolbars of the frame, in the order they were added.
    QList<QToolBar *> of_gettoolbars(QWidget *aw_frame) const;

    // Draws the toolbars' texts in as_fontname at ai_fontsize (negative: points, as everywhere in
    // the system, so -12 is 12 points; positive: pixels; 0 keeps the size) and takes as_extent as
    // the extent text that sets the buttons' least width. A missing frame or a frame without a
    // toolbar changes nothing, silently.
    //
    // The application asks for "宋体" (SimSun), which Linux does not have: Qt's font matching
    // (fontconfig) falls back to the nearest installed face, and the Chinese glyphs come from
    // the CJK fonts (Noto CJK on Debian), so the texts keep the size asked for.
    void of_settoolbarfont(QWidget *aw_frame, const QString &as_fontname, int ai_fontsize,
                           const QString &as_extent) const;
};
