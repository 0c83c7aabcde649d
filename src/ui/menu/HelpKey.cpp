#include "ui/menu/HelpKey.h"

#include "ui/auxiliary/w_help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
// The help texts: 1 overview, 3 find dialog, 4 options dialog, 5 menus and the commands
// beyond the seed with their windows.
constexpr auto kOverview = "1";
constexpr auto kCommands = "5";
} // namespace

QString HelpKey::topicFor(const QString &windowName)
{
    if (windowName == QLatin1String("w_help"))
        return {};
    if (windowName == QLatin1String("w_findats"))
        return QStringLiteral("3");
    if (windowName == QLatin1String("w_sys_option"))
        return QStringLiteral("4");
    for (const char *window : {"w_sheet", "w_edition_import", "w_export", "w_datasource", "w_library"})
        if (windowName == QLatin1String(window))
            return QLatin1String(kCommands);
    return QLatin1String(kOverview);
}

void HelpKey::openFor(QWidget *window)
{
    if (!window)
        return;
    window = window->window();
    const QString topic = topicFor(window->objectName());
    if (!topic.isEmpty())
        w_help::openWithParm(topic, window);
}

HelpKey *HelpKey::install(QWidget *mainWindow)
{
    auto *key = new HelpKey(mainWindow);
    qApp->installEventFilter(key);
    return key;
}

HelpKey::HelpKey(QWidget *mainWindow)
    : QObject(mainWindow)
    , m_window(mainWindow)
{
    setObjectName(QStringLiteral("helpKey"));
}

bool HelpKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_window || !watched->isWidgetType())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || key->isAutoRepeat())
        return false;
    // In the main window and its sheet the 工具 item's shortcut takes F1 before any key press;
    // the main window's menus pass it to that item too.
    QWidget *window = static_cast<QWidget *>(watched)->window();
    if (window->windowType() == Qt::Popup)
        return false;
    openFor(window);
    return true;
}
