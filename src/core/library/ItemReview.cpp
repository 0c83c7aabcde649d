#include "core/library/ItemReview.h"

#include "core/library/ItemBasis.h"
#include "core/library/ItemStore.h"
#include "core/runtime/ManualCommit.h"
#include "core/runtime/Transaction.h"
#include "core/tariff/TariffStore.h"

#include <QVector>

#include <algorithm>

namespace library {

QStringList ItemReview::candidates(const QString &removedCode, const QHash<QString, tariff::TariffRecord> &lines,
                                   int limit)
{
    for (const int prefix : {8, 6, 4}) {
        QStringList found;
        const QString head = removedCode.left(prefix);
        for (auto it = lines.cbegin(); it != lines.cend(); ++it) {
            if (it.key().startsWith(head))
                found << it.key();
        }
        if (found.isEmpty())
            continue;
        std::sort(found.begin(), found.end());
        QStringList shown;
        for (const QString &code : found.mid(0, limit))
            shown << code + QStringLiteral(" ") + lines.value(code).name;
        return shown;
    }
    return {};
}

QString ItemReview::changesOf(const Item &item, const QHash<QString, tariff::TariffRecord> &lines)
{
    const auto line = lines.constFind(item.code);
    if (line == lines.cend()) {
        QString text = QStringLiteral("编码已删除: %1").arg(item.code);
        const QStringList near = candidates(item.code, lines);
        if (!near.isEmpty())
            text += QStringLiteral("\n可考虑: ") + near.join(QStringLiteral("；"));
        return text;
    }
    QStringList changed;
    for (const ItemBasis::Change &c : ItemBasis::changes(item.basis, *line))
        changed << c.text();
    return changed.join(u'\n');
}

QString ItemReview::afterEdition(runtime::Transaction *sqlca)
{
    const Outcome o = checkAll(sqlca);
    if (!o.ok)
        return QStringLiteral("商品归类库未能复核: %1").arg(o.error);
    if (o.checked == 0)
        return {};
    return QStringLiteral("商品归类库: %1 个商品中有 %2 个需要复核（待复核）。").arg(o.checked).arg(o.needReview);
}

ItemReview::Outcome ItemReview::checkAll(runtime::Transaction *sqlca)
{
    Outcome out;
    ItemStore store(sqlca);
    if (!store.tableExists()) {
        out.ok = store.lastError().isEmpty();
        out.error = store.lastError();
        return out; // no library yet: nothing to check
    }
    // Only what the check needs: reading every column of 100,000 items would take longer than
    // the check itself.
    QVector<QVector<QVariant>> rows;
    if (sqlca->select(sqlca->adaptSql(QStringLiteral("SELECT part_no, code, basis, review_changes FROM item")),
                      {runtime::ColumnType::String, runtime::ColumnType::String, runtime::ColumnType::String,
                       runtime::ColumnType::String},
                      &rows)
        != 0) {
        out.error = sqlca->sqlErrText();
        return out;
    }
    QList<Item> items;
    items.reserve(rows.size());
    for (const auto &row : rows) {
        Item it;
        it.partNumber = row.value(0).toString();
        it.code = row.value(1).toString().trimmed();
        it.basis = row.value(2).toString();
        it.reviewChanges = row.value(3).toString();
        items.append(std::move(it));
    }
    if (items.isEmpty()) {
        out.ok = true;
        return out; // nothing to compare: the lines are not read
    }
    tariff::TariffStore tariff(sqlca);
    const QHash<QString, tariff::TariffRecord> lines = tariff.lines();
    if (lines.isEmpty() && !tariff.lastError().isEmpty()) {
        out.error = tariff.lastError();
        return out;
    }
    runtime::ManualCommit manual(sqlca);
    bool ok = true;
    for (const Item &item : items) {
        const QString changes = changesOf(item, lines);
        out.needReview += changes.isEmpty() ? 0 : 1;
        if (changes == item.reviewChanges)
            continue; // only the rows whose worklist entry changes are written
        if (sqlca->execute(sqlca->adaptSql(QStringLiteral("UPDATE item SET review_changes = ? WHERE part_no = ?")),
                           {changes, item.partNumber})
            != 0) {
            ok = false;
            break;
        }
    }
    if (ok)
        ok = sqlca->commit() == 0;
    if (!ok) {
        out.error = sqlca->sqlErrText();
        sqlca->rollback();
        out.needReview = 0;
    }
    out.ok = ok;
    out.checked = ok ? int(items.size()) : 0;
    return out;
}

} // namespace library
