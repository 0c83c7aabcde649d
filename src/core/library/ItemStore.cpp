#include "core/library/ItemStore.h"

#include "core/library/ItemBasis.h"
#include "core/library/ItemCode.h"
#include "core/runtime/ManualCommit.h"
#include "core/runtime/Transaction.h"
#include "core/tariff/NotesStore.h"
#include "core/tariff/TariffStore.h"

#include <QVector>

namespace library {

namespace {

const char kColumns[] = "part_no, name, model, code, element_values, reason, basis, review_changes, "
                        "reviewed_by, reviewed_at, changed_at, changed_by, version";
constexpr int kColumnCount = 13;

Item readItem(const QVector<QVariant> &row)
{
    const auto text = [&row](int i) { return row.value(i).toString(); };
    Item it;
    it.partNumber = text(0);
    it.name = text(1);
    it.model = text(2);
    it.code = text(3).trimmed();
    it.elementValues = text(4);
    it.reason = text(5);
    it.basis = text(6);
    it.reviewChanges = text(7);
    it.reviewedBy = text(8);
    it.reviewedAt = QDateTime::fromString(text(9), Qt::ISODate);
    it.changedAt = QDateTime::fromString(text(10), Qt::ISODate);
    it.changedBy = text(11);
    it.version = row.value(12).toInt();
    return it;
}

QList<runtime::ColumnType> itemTypes()
{
    QList<runtime::ColumnType> types(kColumnCount, runtime::ColumnType::String);
    types[kColumnCount - 1] = runtime::ColumnType::Long;
    return types;
}

} // namespace

ItemStore::ItemStore(runtime::Transaction *sqlca)
    : m_sqlca(sqlca)
    , m_userName(tariff::NotesStore(nullptr).userName())
{
}

QString ItemStore::createStatement()
{
    return QStringLiteral(
        "CREATE TABLE item (part_no varchar(64) NOT NULL PRIMARY KEY, name varchar(200) NOT NULL, "
        "model varchar(500), code varchar(10) NOT NULL, element_values varchar(4000), reason varchar(2000), "
        "basis varchar(8000), review_changes varchar(8000), reviewed_by varchar(64), reviewed_at varchar(32), "
        "changed_at varchar(32) NOT NULL, changed_by varchar(64), version integer NOT NULL)");
}

bool ItemStore::ensureTable()
{
    m_lastError.clear();
    if (!m_sqlca || !m_sqlca->isConnected()) {
        m_lastError = QStringLiteral("not connected");
        return false;
    }
    return runtime::ensureTable(m_sqlca, table(), createStatement(), &m_lastError);
}

bool ItemStore::tableExists()
{
    m_lastError.clear();
    QStringList present;
    if (!m_sqlca || !m_sqlca->isConnected() || m_sqlca->tableNames(&present) != 0) {
        m_lastError = m_sqlca && m_sqlca->isConnected() ? m_sqlca->sqlErrText() : QStringLiteral("not connected");
        return false;
    }
    return present.contains(table(), Qt::CaseInsensitive);
}

QList<Item> ItemStore::all()
{
    QList<Item> items;
    if (!tableExists())
        return items; // no table yet: no items (reading never makes it)
    QVector<QVector<QVariant>> rows;
    if (m_sqlca->select(m_sqlca->adaptSql(QStringLiteral("SELECT %1 FROM item ORDER BY part_no")
                                              .arg(QLatin1String(kColumns))),
                        itemTypes(), &rows)
        != 0) {
        m_lastError = m_sqlca->sqlErrText();
        return items;
    }
    items.reserve(rows.size());
    for (const auto &row : rows)
        items.append(readItem(row));
    return items;
}

QList<Item> ItemStore::listed()
{
    return listedPage(QString(), -1);
}

QList<Item> ItemStore::listedPage(const QString &after, int limit)
{
    QList<Item> items;
    if (!tableExists())
        return items;
    QVector<QVector<QVariant>> rows;
    const QList<runtime::ColumnType> types(5, runtime::ColumnType::String);
    QString sql = QStringLiteral("SELECT part_no, name, model, code, review_changes, version FROM item");
    QVector<QVariant> params;
    if (!after.isEmpty()) {
        sql += QStringLiteral(" WHERE part_no > ?");
        params.append(after);
    }
    sql += QStringLiteral(" ORDER BY part_no");
    if (limit >= 0)
        sql += QStringLiteral(" LIMIT %1").arg(limit);
    if (m_sqlca->select(m_sqlca->adaptSql(sql), QList<runtime::ColumnType>(types) << runtime::ColumnType::Long,
                        &rows, params)
        != 0) {
        m_lastError = m_sqlca->sqlErrText();
        return items;
    }
    items.reserve(rows.size());
    for (const auto &row : std::as_const(rows)) {
        Item it;
        it.partNumber = row.value(0).toString();
        it.name = row.value(1).toString();
        it.model = row.value(2).toString();
        it.code = row.value(3).toString().trimmed();
        it.reviewChanges = row.value(4).toString();
        it.version = row.value(5).toInt();
        items.append(std::move(it));
    }
    return items;
}

std::optional<Item> ItemStore::item(const QString &partNumber)
{
    if (!tableExists())
        return std::nullopt;
    QVector<QVector<QVariant>> rows;
    if (m_sqlca->select(m_sqlca->adaptSql(QStringLiteral("SELECT %1 FROM item WHERE part_no = ?")
                                              .arg(QLatin1String(kColumns))),
                        itemTypes(), &rows, {partNumber})
        != 0) {
        m_lastError = m_sqlca->sqlErrText();
        return std::nullopt;
    }
    if (rows.isEmpty())
        return std::nullopt;
    return readItem(rows.first());
}

ItemStore::Result ItemStore::failed()
{
    m_lastError = m_sqlca->sqlErrText();
    return {Status::DatabaseError, QStringLiteral("数据库拒绝了修改，您的输入仍保留，可稍后再试: ") + m_lastError, {}, {}};
}

ItemStore::Result ItemStore::conflict(const QString &partNumber)
{
    m_sqlca->rollback();
    Result r{Status::Conflict, {}, item(partNumber), {}};
    r.message = r.current ? QStringLiteral("%1 已于 %2 修改了此商品。")
                                .arg(r.current->changedBy,
                                     r.current->changedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm")))
                          : QStringLiteral("此商品已被他人删除。");
    return r;
}

bool ItemStore::commitOrRollback(Result &result)
{
    if (result.ok() && m_sqlca->commit() != 0)
        result = failed();
    if (!result.ok())
        m_sqlca->rollback();
    return result.ok();
}

ItemStore::Result ItemStore::save(const Item &input, int baseVersion)
{
    Item it = input;
    it.partNumber = it.partNumber.trimmed();
    it.name = it.name.trimmed();
    if (it.partNumber.isEmpty() || it.name.isEmpty())
        return {Status::Refused, QStringLiteral("料号和品名不能为空。"), {}, {}};
    if (!ensureTable())
        return failed();
    const ItemCode code = ItemCode::resolve(m_sqlca, it.code);
    if (!code.problem.isEmpty())
        return {Status::Refused, code.problem, {}, {}};
    it.code = code.code;
    // The line the item is classified under now is what later editions are compared with;
    // a changed code starts from its own line, an unchanged one keeps what waits for review.
    const std::optional<Item> stored = baseVersion > 0 ? item(it.partNumber) : std::nullopt;
    if (!stored || stored->code != it.code) {
        const auto line = tariff::TariffStore(m_sqlca).record(it.code);
        it.basis = line ? ItemBasis::of(*line) : QString();
        it.reviewChanges.clear();
    } else {
        it.basis = stored->basis;
        it.reviewChanges = stored->reviewChanges;
    }
    runtime::ManualCommit manual(m_sqlca);
    const QString at = stampNow();
    Result result{Status::Saved, {}, {}, {}};
    if (baseVersion > 0) {
        if (m_sqlca->execute(m_sqlca->adaptSql(QStringLiteral(
                                 "UPDATE item SET name = ?, model = ?, code = ?, element_values = ?, reason = ?, "
                                 "basis = ?, review_changes = ?, changed_at = ?, changed_by = ?, version = version + 1 "
                                 "WHERE part_no = ? AND version = ?")),
                             {it.name, it.model, it.code, it.elementValues, it.reason, it.basis, it.reviewChanges, at,
                              m_userName, it.partNumber, baseVersion})
            != 0)
            result = failed();
        else if (m_sqlca->sqlNRows() == 0)
            return conflict(it.partNumber);
    } else if (item(it.partNumber)) {
        return {Status::Duplicate, QStringLiteral("料号“%1”已存在。").arg(it.partNumber), item(it.partNumber), {}};
    } else if (m_sqlca->execute(m_sqlca->adaptSql(QStringLiteral(
                                    "INSERT INTO item (part_no, name, model, code, element_values, reason, basis, "
                                    "review_changes, changed_at, changed_by, version) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)")),
                                {it.partNumber, it.name, it.model, it.code, it.elementValues, it.reason, it.basis,
                                 it.reviewChanges, at, m_userName})
               != 0) {
        result = failed();
    }
    if (!commitOrRollback(result))
        return result;
    if (const auto saved = item(it.partNumber))
        result.saved = *saved;
    return result;
}

ItemStore::Result ItemStore::remove(const QString &partNumber, int baseVersion)
{
    if (!ensureTable())
        return failed();
    runtime::ManualCommit manual(m_sqlca);
    Result result{Status::Deleted, {}, {}, {}};
    if (m_sqlca->execute(m_sqlca->adaptSql(QStringLiteral("DELETE FROM item WHERE part_no = ? AND version = ?")),
                         {partNumber, baseVersion})
        != 0)
        result = failed();
    else if (m_sqlca->sqlNRows() == 0)
        return conflict(partNumber);
    commitOrRollback(result);
    return result;
}

ItemStore::Result ItemStore::markReviewed(const QString &partNumber)
{
    const std::optional<Item> it = item(partNumber);
    if (!it)
        return {Status::Conflict, QStringLiteral("此商品已被他人删除。"), {}, {}};
    const auto line = tariff::TariffStore(m_sqlca).record(it->code);
    runtime::ManualCommit manual(m_sqlca);
    Result result{Status::Saved, {}, {}, {}};
    // A code the edition removed stays the basis's: the item keeps its mark until it is
    // classified anew, since reviewing cannot bring a removed line back.
    const QString basis = line ? ItemBasis::of(*line) : it->basis;
    const QString changes = line ? QString() : it->reviewChanges;
    if (m_sqlca->execute(m_sqlca->adaptSql(QStringLiteral(
                             "UPDATE item SET basis = ?, review_changes = ?, reviewed_by = ?, reviewed_at = ? "
                             "WHERE part_no = ?")),
                         {basis, changes, m_userName, stampNow(), partNumber})
        != 0)
        result = failed();
    commitOrRollback(result);
    if (result.ok()) {
        if (const auto saved = item(partNumber))
            result.saved = *saved;
    }
    return result;
}

} // namespace library
