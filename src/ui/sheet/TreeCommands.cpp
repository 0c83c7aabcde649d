#include "ui/sheet/TreeCommands.h"

#include "core/catalog/Catalog.h"
#include "core/catalog/Navigation.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "core/sheet/CopyFormats.h"
#include "core/sheet/SheetSource.h"
#include "ui/export/ExportCommands.h"
#include "ui/tree/u_tv.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

using sheet::SheetSource;

TreeCommands *TreeCommands::install(QWidget *window, QAction *sheetAction)
{
    return new TreeCommands(window, sheetAction);
}

TreeCommands::TreeCommands(QWidget *window, QAction *sheetAction)
    : QObject(window)
    , m_window(window)
    , m_navigation(catalog::Navigation::of(window))
    , m_sheetAction(sheetAction)
{
    setObjectName(QStringLiteral("treeCommands"));
    if (!m_navigation)
        return;
    for (u_tv *tree : window->findChildren<u_tv *>())
        if (tree->treeModel() == m_navigation->catalog()->customsTree()
            || tree->treeModel() == m_navigation->catalog()->tradeTree())
            tree->installEventFilter(this);
}

bool TreeCommands::selectedCode(u_tv *tree, QString *list, QString *code, QString *name) const
{
    if (!m_navigation)
        return false;
    runtime::TreeItem item;
    const long handle = tree->findItem(runtime::TreeNavigation::Current, 0);
    if (handle <= 0 || tree->getItem(handle, item) != 1 || item.data.typeId() != QMetaType::QString
        || tree->findItem(runtime::TreeNavigation::Parent, handle) <= 0) // the root holds no code
        return false;
    const catalog::Catalog *lists = m_navigation->catalog();
    const bool customs = tree->treeModel() == lists->customsTree();
    *list = customs ? QStringLiteral("hs") : QStringLiteral("jmw");
    *code = item.data.toString();
    const SheetSource::ListView view{*list, tree->treeModel(), lists->rows(*list), catalog::Catalog::codeColumn(*list)};
    *name = SheetSource::nameOf(view, *code);
    return true;
}

void TreeCommands::copyCode(u_tv *tree)
{
    QString list, code, name;
    if (selectedCode(tree, &list, &code, &name))
        QGuiApplication::clipboard()->setText(sheet::CopyFormats::code(code));
}

QMenu *TreeCommands::contextMenu(u_tv *tree)
{
    QString list, code, name;
    if (!selectedCode(tree, &list, &code, &name))
        return nullptr;
    auto *menu = new QMenu(tree);
    menu->setObjectName(QStringLiteral("treeContextMenu"));
    if (m_sheetAction)
        menu->addAction(m_sheetAction);
    QAction *copyCode = menu->addAction(QStringLiteral("复制编码[&C]\tCtrl+C"));
    copyCode->setObjectName(QStringLiteral("copyCode"));
    connect(copyCode, &QAction::triggered, menu,
            [code] { QGuiApplication::clipboard()->setText(sheet::CopyFormats::code(code)); });
    QAction *copyName = menu->addAction(QStringLiteral("复制\"编码 名称\"[&N]"));
    copyName->setObjectName(QStringLiteral("copyCodeAndName"));
    connect(copyName, &QAction::triggered, menu,
            [code, name] { QGuiApplication::clipboard()->setText(sheet::CopyFormats::codeAndName(code, name)); });
    QAction *copyTemplate = menu->addAction(QStringLiteral("复制申报要素模板[&T]"));
    copyTemplate->setObjectName(QStringLiteral("copyTemplate"));
    QString elements;
    if (list == QLatin1String("hs") && code.size() == 10)
        elements = sheet::CopyFormats::elementsTemplate(SheetSource(sqlca).declarationElementsOf(code));
    copyTemplate->setEnabled(!elements.isEmpty());
    connect(copyTemplate, &QAction::triggered, menu, [elements] { QGuiApplication::clipboard()->setText(elements); });
    QAction *exportNode = menu->addAction(QStringLiteral("导出此节点[&E]..."));
    exportNode->setObjectName(QStringLiteral("exportNode"));
    ExportCommands *exports = ExportCommands::of(m_window);
    exportNode->setEnabled(exports != nullptr);
    connect(exportNode, &QAction::triggered, menu, [exports] {
        if (exports)
            exports->openExport(kivexport::What::Node);
    });
    return menu;
}

void TreeCommands::openContextMenu(u_tv *tree)
{
    QMenu *menu = contextMenu(tree);
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QModelIndex current = tree->currentIndex();
    const QRect item = current.isValid() ? tree->visualRect(current) : QRect();
    const QPoint at = item.isValid() ? item.bottomLeft() + QPoint(item.height(), 0) : QPoint(0, 0);
    menu->popup(tree->viewport()->mapToGlobal(at));
}

bool TreeCommands::eventFilter(QObject *watched, QEvent *event)
{
    auto *tree = qobject_cast<u_tv *>(watched);
    if (!tree)
        return false;
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy)) {
            copyCode(tree);
            return true;
        }
        if (key->keyCombination() == QKeyCombination(Qt::ShiftModifier, Qt::Key_F10) || key->key() == Qt::Key_Menu) {
            if (!QApplication::activePopupWidget())
                openContextMenu(tree);
            return true;
        }
    } else if (event->type() == QEvent::ShortcutOverride) {
        // The tree takes Ctrl+C before any shortcut of the window could.
        if (static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::ContextMenu) {
        // A right click keeps the click modes; the keyboard's context menu key opens the menu.
        if (static_cast<QContextMenuEvent *>(event)->reason() != QContextMenuEvent::Mouse && !QApplication::activePopupWidget())
            openContextMenu(tree);
        return true;
    }
    return false;
}
