#pragma once

#include "core/edition/EditionComparison.h"

#include <QAbstractTableModel>
#include <QVector>

#include <optional>

namespace edition {

// The preview's list of changes (code, list, kind, field, old, new, note), showing every change or
// those of one kind.
class ChangeListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Code, List, Kind, FieldName, Before, After, Note, ColumnCount };

    explicit ChangeListModel(QObject *parent = nullptr);

    void setChanges(const QVector<Change> &changes);
    // Shows the changes of one kind; nullopt shows all.
    void setKind(std::optional<ChangeKind> kind);
    // The changes shown, in their order (what the export writes).
    const QVector<Change> &shown() const { return m_shown; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void refilter();

    QVector<Change> m_all;
    QVector<Change> m_shown;
    std::optional<ChangeKind> m_kind;
};

} // namespace edition
