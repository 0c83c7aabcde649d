#pragma once

#include "core/quicksearch/SearchIndex.h"

#include <QAbstractListModel>

#include <memory>

namespace quicksearch {

// The rows of the search field's list: the hits of one answer, or the recent codes while the
// field is empty. Each row shows its list (海关 / 外经贸), code and name; the marked parts of
// the name come with SpansRole for the delegate, and a screen reader reads the display text,
// which ends with the reason a row found through the everyday names or by sound is there.
class ResultModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        ListRole = Qt::UserRole + 1, // CodeList as int
        CodeRole,                    // QString
        NameRole,                    // QString
        SpansRole,                   // QList<Span> as QVariant (QVariantList of QPoint(start, length))
        ListNameRole,                // "海关" or "外经贸"
        RemovedRole,                 // bool: a note on a code the current edition no longer has
        ReasonRole,                  // why the row is there ("充电宝 → 锂离子蓄电池"); empty for most
    };
    struct Entry {
        CodeList list = CodeList::Customs;
        QString code;
        QString name; // for a removed code: the mark and the start of the note
        QList<Span> spans;
        bool removed = false;
        QString reason;
        // An item of the company's library (group 我的商品): its part number; the code is the
        // item's customs code and the name its part number, name and model. Empty for the
        // tariff's lines.
        QString partNumber;
    };

    explicit ResultModel(QObject *parent = nullptr);

    void setEntries(QList<Entry> entries);
    // The hits of an answer, read from the index that gave it, after the rows given first.
    void setAnswer(const SearchIndex &index, const Answer &answer, QList<Entry> first = {});
    static QString itemGroupLabel() { return QStringLiteral("我的商品"); }
    const Entry *entry(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QList<Entry> m_entries;
};

} // namespace quicksearch
