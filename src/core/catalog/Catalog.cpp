#include "core/catalog/Catalog.h"

#include "core/catalog/CommodityTreeBuilder.h"
#include "core/catalog/TreeCodes.h"
#include "core/data/dataviews.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/server/ConsistentRead.h"
#include "core/tariff/HeadingNames.h"
#include "core/tariff/ListKind.h"

#include <QHash>

namespace catalog {

namespace {
bool isTrade(const QString &list)
{
    return tariff::listFromKey(list) == tariff::ListKind::ForeignTrade;
}

tariff::ListKind kindOf(const QString &list)
{
    return isTrade(list) ? tariff::ListKind::ForeignTrade : tariff::ListKind::Customs;
}
} // namespace

Catalog::Catalog(QObject *parent)
    : QObject(parent)
    , m_customsRows(new runtime::DataView(this))
    , m_tradeRows(new runtime::DataView(this))
    , m_customsTree(new runtime::TreeModel(this))
    , m_tradeTree(new runtime::TreeModel(this))
{
    setObjectName(QStringLiteral("catalog"));
    m_customsRows->setObjectName(QStringLiteral("dw_1"));
    m_customsRows->setDefinition(d_detail_hgats());
    m_tradeRows->setObjectName(QStringLiteral("dw_2"));
    m_tradeRows->setDefinition(d_detail_wmats());
}

Catalog::~Catalog() = default;

runtime::DataView *Catalog::rows(const QString &list) const
{
    return isTrade(list) ? m_tradeRows : m_customsRows;
}

runtime::TreeModel *Catalog::tree(const QString &list) const
{
    return isTrade(list) ? m_tradeTree : m_customsTree;
}

QString Catalog::listOf(const runtime::DataView *rows) const
{
    if (rows == m_customsRows)
        return tariff::listKey(tariff::ListKind::Customs);
    if (rows == m_tradeRows)
        return tariff::listKey(tariff::ListKind::ForeignTrade);
    return QString();
}

QString Catalog::codeColumn(const QString &list)
{
    return tariff::listCodeColumn(kindOf(list));
}

int Catalog::retrieve(runtime::Transaction *trans)
{
    m_customsRows->setTransObject(trans);
    m_tradeRows->setTransObject(trans);
    // On a team database both lists come from one snapshot (an import may run meanwhile).
    const server::ConsistentRead snapshot(trans);
    if (m_customsRows->retrieve() < 0)
        return -1;
    if (m_tradeRows->retrieve() < 0)
        return -1;
    // Headings and subheadings show their Chinese names where the user imported them.
    QHash<QString, QString> names;
    QString error;
    if (tariff::HeadingNames::read(trans, &names, &error))
        tariff::HeadingNames::overlay(m_customsRows, names);
    else
        qWarning("Kivtree: the Chinese names of headings cannot be read: %s", qPrintable(error));
    return 1;
}

qint64 Catalog::rowsToRead(runtime::Transaction *trans)
{
    QVector<QVector<QVariant>> rows;
    if (!trans
        || trans->select(QStringLiteral("SELECT (SELECT count(*) FROM list_hscode) + (SELECT count(*) FROM list_jmwcode)"),
                         {runtime::ColumnType::Number}, &rows)
               != 0
        || rows.isEmpty() || rows.first().isEmpty())
        return 0;
    return qint64(rows.first().first().toDouble());
}

long Catalog::build(const QString &list)
{
    const auto variant = isTrade(list) ? CommodityTreeBuilder::foreignTrade() : CommodityTreeBuilder::customs();
    return CommodityTreeBuilder::build(*rows(list), *tree(list), variant);
}

long Catalog::handleOf(const QString &list, const QString &code) const
{
    return TreeCodes::find(*tree(list), code);
}

void Catalog::announceRebuilt()
{
    emit rebuilt();
}

} // namespace catalog
