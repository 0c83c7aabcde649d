#include "sheet/SheetSource.h"

#include "runtime/DataView.h"
#include "runtime/FindExpression.h"
#include "runtime/TreeModel.h"

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
