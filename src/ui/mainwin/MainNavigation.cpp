#include "ui/mainwin/MainNavigation.h"

#include "core/runtime/NamedEvents.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/tree/u_tv.h"

MainNavigation::MainNavigation(w_kiv *window) : catalog::Navigation(window), m_window(window)
{
    setObjectName(QStringLiteral("navigation"));
    connect(window, &w_kiv::selectionFollowed, this, &Navigation::selectionFollowed);
    connect(window, &w_kiv::treesBuilt, this, &Navigation::treesBuilt);
}

catalog::Catalog *MainNavigation::catalog() const
{
    return m_window->catalog();
}

catalog::Navigation::Selection MainNavigation::selection() const
{
    const w_kiv::Selection s = m_window->selection();
    return {s.list, s.tree ? s.tree->treeModel() : nullptr, s.rows, s.codeColumn, s.handle};
}

bool MainNavigation::goToCode(const QString &list, const QString &code)
{
    return m_window->goToCode(list, code);
}

void MainNavigation::focusTree(const QString &list)
{
    tree(list)->setFocus(Qt::OtherFocusReason);
}

void MainNavigation::returnToTree()
{
    m_window->returnToTree();
}

void MainNavigation::addLeaveCheck(QObject *owner, std::function<bool()> check)
{
    m_window->addLeaveCheck(owner, std::move(check));
}

void MainNavigation::reload()
{
    runtime::triggerEvent(m_window, QStringLiteral("ue_postopen"));
}

u_tv *MainNavigation::tree(const QString &list) const
{
    return list == QLatin1String("jmw") ? m_window->tv_2 : m_window->tv_1;
}

runtime::DataView *MainNavigation::rows(const QString &list) const
{
    return list == QLatin1String("jmw") ? m_window->dw_2 : m_window->dw_1;
}

void MainNavigation::showPanel(runtime::DataView *rows, bool show)
{
    m_window->showPanel(rows, show);
}
