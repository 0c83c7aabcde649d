#include "app/m_tools.h"

#include "core/catalog/NoteMarks.h"
#include "core/export/ResultSources.h"
#include "core/server/ServerConnection.h"
#include "core/server/ServerRegistration.h"
#include "core/session/globals.h"
#include "ui/edition/w_edition_import.h"
#include "ui/export/ExportCommands.h"
#include "ui/find/w_findats.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/menu/HelpKey.h"
#include "ui/quicksearch/QuickSearchController.h"
#include "ui/server/w_datasource.h"
#include "ui/sheet/TreeCommands.h"
#include "ui/sheet/w_sheet.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace {

QList<kivexport::ExportSource::Key> keysOf(const QList<QPair<QString, QString>> &codes)
{
    QList<kivexport::ExportSource::Key> keys;
    keys.reserve(codes.size());
    for (const auto &[list, code] : codes)
        keys.append({list, code});
    return keys;
}

QList<QPair<QString, QString>> findResults()
{
    const w_findats *find = w_findats::openInstance();
    return find ? find->foundCodes() : QList<QPair<QString, QString>>();
}

} // namespace

m_tools *m_tools::install(w_kiv *window)
{
    return new m_tools(window);
}

m_tools::m_tools(w_kiv *window)
    : QObject(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("m_tools"));
    QMenuBar *bar = window->menuBar();
    menu = new QMenu(QStringLiteral("工具[&T]"), bar);
    menu->setObjectName(QStringLiteral("m_tools"));
    menu->menuAction()->setObjectName(QStringLiteral("m_tools"));
    menu->menuAction()->setStatusTip(QStringLiteral("工具"));
    // Between 文件 and 帮助: before the last drop-down.
    const QList<QAction *> dropDowns = bar->actions();
    bar->insertMenu(dropDowns.isEmpty() ? nullptr : dropDowns.last(), menu);

    m_sheet = menu->addAction(QStringLiteral("申报信息[&S]\tF6"));
    m_sheet->setObjectName(QStringLiteral("m_sheet"));
    m_sheet->setStatusTip(QStringLiteral("显示所选编码的全部税则信息、监管条件、检验检疫和申报要素"));
    m_sheet->setShortcut(QKeySequence(Qt::Key_F6));
    m_sheet->setShortcutContext(Qt::WindowShortcut);
    window->addAction(m_sheet);
    connect(m_sheet, &QAction::triggered, this, &m_tools::m_sheet_clicked);

    QuickSearchController *search = QuickSearchController::install(window);
    m_search = menu->addAction(QStringLiteral("搜索[&Q]\tCtrl+F"));
    m_search->setObjectName(QStringLiteral("m_search"));
    m_search->setStatusTip(QStringLiteral("在两套目录中按编码、名称、拼音、英文、申报要素或备注边输入边搜索"));
    m_search->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_search->setShortcutContext(Qt::WindowShortcut);
    window->addAction(m_search);
    connect(m_search, &QAction::triggered, search, &QuickSearchController::focusField);
    // A note on a code an import removed has no tree item: the sheet shows it.
    connect(search, &QuickSearchController::removedCodeChosen, this, [this](const QString &list, const QString &code) {
        m_sheet_clicked();
        if (w_sheet *sheet = w_sheet::openInstance())
            sheet->showRemovedCode(list, code);
    });

    // The result lists export offers: the find dialog's and the search field's.
    auto *results = new kivexport::ResultSources(window);
    results->add(kivexport::What::FindResults, window, [] { return keysOf(findResults()); });
    results->add(kivexport::What::SearchResults, search, [search] { return keysOf(search->resultCodes()); });
    ExportCommands *exports = ExportCommands::install(window);
    menu->addSeparator();
    m_export = menu->addAction(QStringLiteral("导出[&E]...\tCtrl+S"));
    m_export->setObjectName(QStringLiteral("m_export"));
    m_export->setStatusTip(QStringLiteral("把所选节点、结果列表或整个目录导出为 Excel、CSV 或 PDF 文件"));
    m_export->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_export->setShortcutContext(Qt::WindowShortcut);
    window->addAction(m_export);
    connect(m_export, &QAction::triggered, exports, [exports] { exports->openExport(); });
    m_print = menu->addAction(QStringLiteral("打印[&P]...\tCtrl+P"));
    m_print->setObjectName(QStringLiteral("m_print"));
    m_print->setStatusTip(QStringLiteral("打印所选编码的申报信息或一个节点的编码清单"));
    m_print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_print->setShortcutContext(Qt::WindowShortcut);
    window->addAction(m_print);
    connect(m_print, &QAction::triggered, exports, [exports] { exports->openPrint(); });

    TreeCommands::install(window, m_sheet);
    catalog::NoteMarks::install(window->catalog(), sqlca);
    addEditionItems();
    addDataSourceItem();
    addHelpItem();
}

void m_tools::addHelpItem()
{
    menu->addSeparator();
    m_helpTopic = menu->addAction(QStringLiteral("使用帮助[&H]\tF1"));
    m_helpTopic->setObjectName(QStringLiteral("m_helptopic"));
    m_helpTopic->setStatusTip(QStringLiteral("打开当前窗口的使用帮助"));
    m_helpTopic->setShortcut(QKeySequence(Qt::Key_F1));
    m_helpTopic->setShortcutContext(Qt::WindowShortcut);
    m_window->addAction(m_helpTopic);
    // Pressed in the sheet, the key comes here with the sheet in front: its help is shown.
    connect(m_helpTopic, &QAction::triggered, this, [this] {
        QWidget *front = QApplication::activeWindow();
        HelpKey::openFor(front ? front : m_window);
    });
    HelpKey::install(m_window);
}

void m_tools::addEditionItems()
{
    menu->addSeparator();
    m_import = menu->addAction(QStringLiteral("导入商品编码表[&I]..."));
    m_import->setObjectName(QStringLiteral("m_import"));
    m_import->setStatusTip(QStringLiteral("读取新版商品编码表，查看变更后导入（导入前自动备份数据库）"));
    connect(m_import, &QAction::triggered, this, [this] { edition::w_edition_import::openFor(m_window); });
    m_undoImport = menu->addAction(QStringLiteral("恢复上一版本[&U]"));
    m_undoImport->setObjectName(QStringLiteral("m_undoimport"));
    m_undoImport->setStatusTip(QStringLiteral("恢复最近一次导入前的商品编码表，备注和章节选择保留"));
    connect(m_undoImport, &QAction::triggered, this, [this] { edition::w_edition_import::undoLast(m_window); });
}

void m_tools::addDataSourceItem()
{
    menu->addSeparator();
    m_datasource = menu->addAction(QStringLiteral("数据源设置[&D]..."));
    m_datasource->setObjectName(QStringLiteral("m_datasource"));
    m_datasource->setStatusTip(QStringLiteral("选择随程序附带的数据库文件或团队数据库服务器"));
    connect(m_datasource, &QAction::triggered, this, [this] {
        const auto storePassword = [](const server::ServerSettings &settings, const QString &password,
                                      QString *error) {
            if (server::ServerRegistration::registerServer(settings) == 1
                && server::ServerRegistration::setPassword(password) == 1)
                return 1;
            *error = QStringLiteral("无法把密码写入 ODBC 数据源 K-I-V。");
            return -1;
        };
        server::w_datasource dialog(gs_docname, &server::ServerConnection::test, storePassword, m_window);
        dialog.exec();
    });
}

void m_tools::m_sheet_clicked()
{
    if (w_sheet *shown = w_sheet::openInstance(); shown && shown->isVisible()) {
        shown->toggleKeyboard();
        return;
    }
    w_sheet::openFor(m_window);
}
