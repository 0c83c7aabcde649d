#pragma once

#include <QObject>
#include <QString>

namespace runtime {
class DataView;
class Transaction;
class TreeModel;
}

namespace catalog {

// The loaded lists: the rows of both code lists (the detail views d_detail_hgats and
// d_detail_wmats), the commodity tree built from each, and each tree's code → item lookup.
// The windows show them; nothing here knows a window.
class Catalog : public QObject
{
    Q_OBJECT
public:
    explicit Catalog(QObject *parent = nullptr);
    ~Catalog() override;

    // "hs" (customs) or "jmw" (foreign trade); any other name is the customs list.
    runtime::DataView *rows(const QString &list) const;
    runtime::TreeModel *tree(const QString &list) const;
    runtime::DataView *customsRows() const { return m_customsRows; }
    runtime::DataView *tradeRows() const { return m_tradeRows; }
    runtime::TreeModel *customsTree() const { return m_customsTree; }
    runtime::TreeModel *tradeTree() const { return m_tradeTree; }
    // Which list a view's rows are: "hs" or "jmw"; empty for a view of neither.
    QString listOf(const runtime::DataView *rows) const;
    static QString codeColumn(const QString &list);

    // Reads both lists' rows through the connection, from one snapshot on a team database,
    // with the Chinese names of headings the user imported. -1 when a list cannot be read.
    int retrieve(runtime::Transaction *trans);
    // How many rows both lists' tables hold, at most what retrieve() reads; 0 when unknown.
    static qint64 rowsToRead(runtime::Transaction *trans);
    // Builds a list's tree anew from its rows: the root's handle, or -1.
    long build(const QString &list);
    // The item of a code in a list's tree; 0 when the tree has none.
    long handleOf(const QString &list, const QString &code) const;
    // Says that both trees were built anew.
    void announceRebuilt();

signals:
    void rebuilt();

private:
    runtime::DataView *m_customsRows;
    runtime::DataView *m_tradeRows;
    runtime::TreeModel *m_customsTree;
    runtime::TreeModel *m_tradeTree;
};

} // namespace catalog
