#include "ui/auxiliary/uo_toolbarfont.h"

#include <QChildEvent>
#include <QEvent>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolBar>
#include <QToolButton>

namespace {

// The width a tool button needs to show the extent text in its own font and style: the same
// sum that QToolButton's size hint makes for its own text. 0 for buttons that show no text.
int extentWidth(QToolButton *button, const QString &extent)
{
    QStyle *style = button->style();
    QStyleOptionToolButton option;
    option.initFrom(button);
    option.toolButtonStyle = button->toolButtonStyle();
    if (option.toolButtonStyle == Qt::ToolButtonFollowStyle)
        option.toolButtonStyle =
            Qt::ToolButtonStyle(style->styleHint(QStyle::SH_ToolButtonStyle, &option, button));
    if (option.toolButtonStyle == Qt::ToolButtonIconOnly)
        return 0;
    option.text = extent;
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    option.subControls = QStyle::SC_ToolButton;
    option.features = QStyleOptionToolButton::None;

    const QFontMetrics metrics(button->font());
    QSize text = metrics.size(Qt::TextShowMnemonic, extent);
    text.rwidth() += 2 * metrics.horizontalAdvance(QLatin1Char(' '));
    int width = 0;
    int height = 0;
    if (option.toolButtonStyle != Qt::ToolButtonTextOnly) {
        width = option.iconSize.width();
        height = option.iconSize.height();
    }
    if (option.toolButtonStyle == Qt::ToolButtonTextUnderIcon) {
        height += 4 + text.height();
        width = qMax(width, text.width());
    } else if (option.toolButtonStyle == Qt::ToolButtonTextBesideIcon) {
        width += 4 + text.width();
        height = qMax(height, text.height());
    } else {
        width = text.width();
        height = text.height();
    }
    option.rect.setSize(QSize(width, height));
    return style->sizeFromContents(QStyle::CT_ToolButton, &option, QSize(width, height), button).width();
}

// Lives on a toolbar and keeps its buttons at least as wide as the extent text: the buttons
// present when the font is set, and those that come later (they are sized when first polished).
class ToolBarExtent : public QObject
{
public:
    static constexpr const char *kName = "kiv_toolbar_extent";

    ToolBarExtent(QToolBar *toolBar, const QString &extent)
        : QObject(toolBar)
        , m_toolBar(toolBar)
        , m_extent(extent)
    {
        setObjectName(QLatin1String(kName));
        toolBar->installEventFilter(this);
    }

    void setExtent(const QString &extent)
    {
        m_extent = extent;
        resizeButtons();
    }

    void resizeButtons()
    {
        const auto buttons = m_toolBar->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly);
        for (QToolButton *button : buttons)
            resizeButton(button);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Compared as plain objects: while the toolbar is being destroyed it is no QToolBar any more.
        if (event->type() == QEvent::ChildPolished && watched == static_cast<QObject *>(m_toolBar)) {
            if (auto *button = qobject_cast<QToolButton *>(static_cast<QChildEvent *>(event)->child()))
                resizeButton(button);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void resizeButton(QToolButton *button)
    {
        // The toolbar's extension button (the arrow shown when buttons overflow) keeps its size.
        if (button->objectName() == QLatin1String("qt_toolbar_ext_button"))
            return;
        button->setMinimumWidth(m_extent.isEmpty() ? 0 : extentWidth(button, m_extent));
    }

    QToolBar *m_toolBar; // the parent: it outlives this object
    QString m_extent;
};

} // namespace

QList<QToolBar *> uo_toolbarfont::of_gettoolbars(QWidget *aw_frame) const
{
    if (!aw_frame)
        return {};
    return aw_frame->findChildren<QToolBar *>(Qt::FindDirectChildrenOnly);
}

QToolBar *uo_toolbarfont::of_gettoolbarhandle(QWidget *aw_frame) const
{
    const QList<QToolBar *> toolBars = of_gettoolbars(aw_frame);
    return toolBars.isEmpty() ? nullptr : toolBars.first();
}

void uo_toolbarfont::of_settoolbarfont(QWidget *aw_frame, const QString &as_fontname, int ai_fontsize,
                                       const QString &as_extent) const
{
    const QList<QToolBar *> toolBars = of_gettoolbars(aw_frame);
    for (QToolBar *toolBar : toolBars) {
        QFont font = toolBar->font();
        if (!as_fontname.isEmpty())
            font.setFamily(as_fontname);
        if (ai_fontsize < 0)
            font.setPointSize(-ai_fontsize);
        else if (ai_fontsize > 0)
            font.setPixelSize(ai_fontsize);
        toolBar->setFont(font);

        // One extent keeper per toolbar; setting the font again replaces its extent text.
        auto *keeper = dynamic_cast<ToolBarExtent *>(
            toolBar->findChild<QObject *>(QLatin1String(ToolBarExtent::kName), Qt::FindDirectChildrenOnly));
        if (keeper)
            keeper->setExtent(as_extent);
        else
            (new ToolBarExtent(toolBar, as_extent))->resizeButtons();
    }
}
