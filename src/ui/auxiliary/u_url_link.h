#pragma once

#include <QLabel>

// A text control that looks like a web link: blue, underlined from the start, the hand cursor
// over it, no focus rectangle, and no hover or click effect on its own appearance. Each window
// gives it its own text and place, and handles clicked() itself, usually with
// uf_url_link(kiv::kWebAddress).
class u_url_link : public QLabel
{
    Q_OBJECT
public:
    explicit u_url_link(QWidget *parent = nullptr);

    // Opens as_url with the desktop's default action (the user's browser). The outcome is not
    // reported: no browser or no network shows nothing. Always returns 1.
    int uf_url_link(const QString &as_url);

    // Presses the label as a click would; screen readers reach it through this too.
    void click();

    // Widens (never narrows) the label so that its whole text shows: the windows give widths
    // in layout units that a 12-point text in a fallback face can outgrow. Also done when the
    // label is shown.
    void fitToText();

signals:
    void clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
