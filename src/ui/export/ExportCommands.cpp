#include "ui/export/ExportCommands.h"

#include "core/catalog/Navigation.h"
#include "core/export/ExportTable.h"
#include "core/export/PagePrinter.h"
#include "core/export/PrintDocument.h"
#include "core/export/ResultSources.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "core/sheet/SheetSource.h"
#include "ui/export/ExportJob.h"
#include "ui/runtime/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrinter>

using namespace kivexport;

namespace {

// The list, code and name of the item selected in the tree the user worked in last; the
// root holds the tree's name, no code.
bool selectedCode(const catalog::Navigation *navigation, QString *list, QString *code, QString *name)
{
    if (!navigation)
        return false;
    const catalog::Navigation::Selection s = navigation->selection();
    runtime::TreeItem item;
    if (s.handle <= 0 || s.tree->getItem(s.handle, item) != 1 || item.data.typeId() != QMetaType::QString
        || s.tree->findItem(runtime::TreeNavigation::Parent, s.handle) <= 0)
        return false;
    *list = s.list;
    *code = item.data.toString();
    *name = sheet::SheetSource::nameOf({s.list, s.tree, s.rows, s.codeColumn}, *code);
    return true;
}

} // namespace

ExportCommands *ExportCommands::install(QWidget *window)
{
    return new ExportCommands(window);
}

ExportCommands *ExportCommands::of(const QObject *window)
{
    return window ? window->findChild<ExportCommands *>(QStringLiteral("exportCommands"), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

ExportCommands::ExportCommands(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_navigation(catalog::Navigation::of(window))
    , m_sources(ResultSources::of(window))
{
    setObjectName(QStringLiteral("exportCommands"));
}

QList<ExportSource::Key> ExportCommands::findResults() const
{
    return m_sources ? m_sources->keys(What::FindResults) : QList<ExportSource::Key>();
}

QList<ExportSource::Key> ExportCommands::searchResults() const
{
    return m_sources ? m_sources->keys(What::SearchResults) : QList<ExportSource::Key>();
}

QDialog *ExportCommands::preview() const
{
    return m_preview;
}

w_export::Choices ExportCommands::choices() const
{
    w_export::Choices c;
    selectedCode(m_navigation, &c.nodeList, &c.nodeCode, &c.nodeName);
    c.findCount = int(findResults().size());
    c.searchCount = int(searchResults().size());
    return c;
}

w_export *ExportCommands::openExport(What preferred)
{
    return openDialog(w_export::Mode::Export, preferred);
}

w_export *ExportCommands::openPrint(What preferred)
{
    return openDialog(w_export::Mode::Print, preferred);
}

w_export *ExportCommands::openDialog(w_export::Mode mode, What preferred)
{
    auto *dialog = new w_export(mode, choices(), preferred, m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, mode] {
        if (mode == w_export::Mode::Export)
            runExport(dialog);
        else
            runPrint(dialog);
    });
    dialog->open();
    return dialog;
}

std::optional<QList<ExportRecord>> ExportCommands::records(What what, QString *list, QString *title)
{
    ExportSource source(sqlca);
    std::optional<QList<ExportRecord>> rows;
    QString code, name;
    *list = QStringLiteral("hs");
    switch (what) {
    case What::Node:
    case What::Sheet:
        if (selectedCode(m_navigation, list, &code, &name)) {
            rows = source.subtree(*list, code);
            *title = code + QLatin1Char(' ') + name;
        } else {
            rows = QList<ExportRecord>();
        }
        break;
    case What::FindResults:
        rows = source.codes(findResults());
        *title = QStringLiteral("查找结果");
        break;
    case What::SearchResults:
        rows = source.codes(searchResults());
        *title = QStringLiteral("搜索结果");
        break;
    case What::WholeCustoms:
        rows = source.wholeList(*list);
        *title = QStringLiteral("海关商品目录");
        break;
    case What::WholeForeign:
        *list = QStringLiteral("jmw");
        rows = source.wholeList(*list);
        *title = QStringLiteral("外经贸商品目录");
        break;
    }
    if (!rows)
        runtime::messageBox(QStringLiteral("导出"), QStringLiteral("读取数据库失败：%1").arg(source.lastError()),
                            runtime::MessageIcon::StopSign, runtime::MessageButtons::Ok, 1, m_window);
    return rows;
}

void ExportCommands::runExport(w_export *dialog)
{
    QString list, title;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto rows = records(dialog->what(), &list, &title);
    QApplication::restoreOverrideCursor();
    if (!rows)
        return;
    const QList<ExportSheet> sheets = ExportTable::build(*rows, dialog->columns(), list);
    const QString path = dialog->path();
    const qint64 count = ExportTable::rowCount(sheets);
    ExportJob *job = ExportJob::start(m_window, dialog->format(), path, sheets, title);
    connect(job, &ExportJob::finished, this,
            [this, count, path](const WriteResult &result) { reportExport(result, count, path); });
}

void ExportCommands::reportExport(const WriteResult &result, qint64 rows, const QString &path)
{
    if (result.status == WriteResult::Status::Written)
        runtime::messageBox(QStringLiteral("导出"),
                            QStringLiteral("已导出 %1 行到“%2”。").arg(rows).arg(QDir::toNativeSeparators(path)),
                            runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, m_window);
    else if (result.status == WriteResult::Status::Failed)
        runtime::messageBox(QStringLiteral("导出"), result.message, runtime::MessageIcon::StopSign,
                            runtime::MessageButtons::Ok, 1, m_window);
    emit exportFinished(result);
}

void ExportCommands::runPrint(w_export *dialog)
{
    PrintDocument document;
    if (dialog->what() == What::Sheet) {
        if (!m_navigation)
            return;
        const catalog::Navigation::Selection s = m_navigation->selection();
        sheet::SheetSource source(sqlca);
        const auto content = source.contentFor({s.list, s.tree, s.rows, s.codeColumn}, s.handle);
        if (!content)
            return;
        QStringList editions;
        const auto row = ExportSource(sqlca).codes({{content->list, content->code}});
        if (row && !row->isEmpty() && !row->first().opUser.isEmpty())
            editions.append(row->first().opUser + QLatin1Char(' ') + row->first().opDate);
        document = PrintDocument::forSheet(*content, editions);
    } else {
        QString list, title;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto rows = records(dialog->what(), &list, &title);
        QApplication::restoreOverrideCursor();
        if (!rows)
            return;
        document = PrintDocument::forSheets(title, ExportTable::build(*rows, dialog->columns(), list));
    }
    delete m_preview;
    auto *preview = new QPrintPreviewDialog(m_window);
    preview->setObjectName(QStringLiteral("printPreview"));
    preview->setWindowTitle(QStringLiteral("打印预览"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    PagePrinter::setUpPage(preview->printer());
    connect(preview, &QPrintPreviewDialog::paintRequested, this,
            [this, document](QPrinter *printer) { emit previewPainted(PagePrinter().paint(printer, document)); });
    m_preview = preview;
    m_preview->open();
}
