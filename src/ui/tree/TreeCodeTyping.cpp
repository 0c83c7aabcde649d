#include "ui/tree/TreeCodeTyping.h"

#include "core/catalog/TreeCodes.h"
#include "core/runtime/TreeModel.h"
#include "ui/runtime/MessageBox.h"
#include "ui/tree/u_tv.h"

#include <QApplication>
#include <QKeyEvent>

TreeCodeTyping *TreeCodeTyping::install(u_tv *tree)
{
    auto *typing = new TreeCodeTyping(tree);
    tree->installEventFilter(typing);
    return typing;
}

TreeCodeTyping::TreeCodeTyping(u_tv *tree)
    : QObject(tree)
    , m_tree(tree)
{
    setObjectName(QStringLiteral("treeCodeTyping"));
}

bool TreeCodeTyping::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_tree || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const QString text = key->text();
    const bool digit = modifiers == Qt::NoModifier && text.size() == 1 && text.at(0).isDigit()
                       && text.at(0).unicode() < 128;
    if (!digit) {
        m_typed.clear();
        return false;
    }
    if (!m_sinceLast.isValid() || m_sinceLast.hasExpired(QApplication::keyboardInputInterval()))
        m_typed.clear();
    m_sinceLast.start();
    m_typed += text;
    goTo(m_typed);
    return true;
}

void TreeCodeTyping::goTo(const QString &prefix)
{
    const long handle = TreeCodes::firstWithPrefix(*m_tree->treeModel(), prefix);
    if (handle <= 0) {
        runtime::beep(); // no code begins so: the selection stays where it is
        return;
    }
    QList<long> above;
    for (long up = m_tree->findItem(runtime::TreeNavigation::Parent, handle); up > 0;
         up = m_tree->findItem(runtime::TreeNavigation::Parent, up))
        above.prepend(up);
    for (long up : above)
        m_tree->expandItem(up);
    m_tree->selectItem(handle);
}
