#include "core/sheet/SheetSource.h"

#include "core/runtime/DataView.h"
#include "core/runtime/FindExpression.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/tariff/HeadingNames.h"

namespace sheet {

namespace {

QString codeOf(const runtime::TreeModel &tree, long handle)
{
    runtime::TreeItem item;
    if (tree.getItem(handle, item) != 1 || item.data.typeId() != QMetaType::QString)
        return QString();
    return item.data.toString();
}

// Counts the items below an item, and among them the 10-digit lines.
void countBelow(const runtime::TreeModel &tree, long handle, int *codes, int *lines)
{
    for (long child = tree.findItem(runtime::TreeNavigation::Child, handle); child > 0;
         child = tree.findItem(runtime::TreeNavigation::Next, child)) {
        ++*codes;
        if (codeOf(tree, child).size() == 10)
            ++*lines;
        countBelow(tree, child, codes, lines);
    }
}

} // namespace

SheetSource::SheetSource(runtime::Transaction *sqlca)
    : m_sqlca(sqlca)
    , m_store(sqlca)
{
}

QString SheetSource::nameOf(const ListView &view, const QString &code)
{
    if (!view.rows || code.isEmpty())
        return QString();
    const long row = view.rows->find(view.codeColumn + QLatin1Char('=') + runtime::quotedLiteral(code), 1, view.rows->rowCount());
    return row > 0 ? view.rows->itemString(row, QStringLiteral("name")) : QString();
}

std::optional<SheetContent> SheetSource::contentFor(const ListView &view, long handle)
{
    if (!view.tree)
        return std::nullopt;
    runtime::TreeItem item;
    if (view.tree->getItem(handle, item) != 1 || item.data.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString code = item.data.toString();
    if (view.list == QLatin1String("hs") && code.size() == 10) {
        if (const auto record = m_store.record(code))
            return SheetContent::forTariffLine(*record, certificates(), categories());
    }
    QList<SheetContent::PathStep> path;
    for (long up = view.tree->findItem(runtime::TreeNavigation::Parent, handle); up > 0;
         up = view.tree->findItem(runtime::TreeNavigation::Parent, up)) {
        const QString upCode = codeOf(*view.tree, up);
        if (view.tree->findItem(runtime::TreeNavigation::Parent, up) <= 0)
            break; // the root holds the tree's name, not a code
        path.prepend({upCode, nameOf(view, upCode)});
    }
    int codes = 0, lines = 0;
    countBelow(*view.tree, handle, &codes, &lines);
    const bool isRoot = view.tree->findItem(runtime::TreeNavigation::Parent, handle) <= 0;
    const QString name = isRoot ? item.label : nameOf(view, code);
    return SheetContent::forCode(view.list, isRoot ? QString() : code, name, path, codes, lines);
}

std::optional<SheetContent> SheetSource::unloadedLineContent(const QString &code)
{
    const auto record = m_store.record(code);
    if (!record)
        return std::nullopt;
    SheetContent content = SheetContent::forTariffLine(*record, certificates(), categories());
    const QString outside = QStringLiteral("在未选择的章节中");
    content.missingNote = content.missingNote.isEmpty() ? outside : outside + QStringLiteral("；") + content.missingNote;
    return content;
}

SheetContent SheetSource::removedCodeContent(const QString &list, const QString &code)
{
    const bool customs = list == QLatin1String("hs");
    QVector<QVariant> prefixes;
    for (qsizetype length = code.size() - 2; length >= 2; length -= 2)
        prefixes.append(code.left(length));
    SheetContent::PathStep nearest;
    QString failure;
    if (!m_sqlca || !m_sqlca->isConnected())
        failure = QStringLiteral("未连接数据库");
    else if (!prefixes.isEmpty()) {
        const QString sql = QStringLiteral("SELECT %1, name FROM %2 WHERE %1 IN (%3)")
                                .arg(customs ? QStringLiteral("code") : QStringLiteral("jmw_code"),
                                     customs ? QStringLiteral("list_hscode") : QStringLiteral("list_jmwcode"),
                                     QStringList(prefixes.size(), QStringLiteral("?")).join(u','));
        QVector<QVector<QVariant>> rows;
        if (m_sqlca->select(m_sqlca->adaptSql(sql), {runtime::ColumnType::String, runtime::ColumnType::String},
                            &rows, prefixes)
            == 0) {
            for (const QVector<QVariant> &row : std::as_const(rows)) {
                const QString found = row.value(0).toString().trimmed();
                if (found.size() > nearest.code.size())
                    nearest = {found, row.value(1).toString()};
            }
        } else {
            failure = m_sqlca->sqlErrText();
        }
        QHash<QString, QString> names;
        if (customs && !nearest.code.isEmpty() && tariff::HeadingNames::read(m_sqlca, &names))
            nearest.name = tariff::HeadingNames::shown(names, nearest.code, nearest.name);
    }
    SheetContent content = SheetContent::forRemovedCode(list, code, nearest);
    if (!failure.isEmpty())
        content.missingNote = QStringLiteral("无法读取最接近的现有编码：") + failure;
    return content;
}

QString SheetSource::declarationElementsOf(const QString &code)
{
    const auto record = m_store.record(code);
    return record ? record->declarationElements : QString();
}

const tariff::CodeList &SheetSource::certificates()
{
    if (!m_certificates)
        m_certificates = tariff::CodeList::load(m_sqlca, tariff::CodeList::Kind::SupervisionCertificates);
    return *m_certificates;
}

const tariff::CodeList &SheetSource::categories()
{
    if (!m_categories)
        m_categories = tariff::CodeList::load(m_sqlca, tariff::CodeList::Kind::InspectionCategories);
    return *m_categories;
}

} // namespace sheet
