#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QVector>

namespace runtime {

class DataView;

// A table model over a data view, for grids: one row per row of the view and one column per
// shown column of its definition (in display order, without those whose Visible attribute is
// "0"), with the headings of the columns' header texts. Edits go through the view's setItem,
// so the view's change flags follow them; the model follows the view's notifications.
class DataViewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DataViewModel(DataView *view, QObject *parent = nullptr);

    DataView *view() const { return m_view.data(); }

    // The view's 1-based column number of a model column (0 when there is none), and the
    // model column that shows a view column given by name (-1 when it is not shown).
    int viewColumn(int modelColumn) const;
    int modelColumn(const QString &column) const;

    // Presents a column as a check box: checked when the item equals checkedValue; checking
    // and clearing store checkedValue and uncheckedValue ("Y" and "N" for a flag).
    void setCheckBox(const QString &column, const QString &checkedValue, const QString &uncheckedValue);
    bool isCheckBox(int modelColumn) const;
    // Lets the user edit a column's text (columns are read-only otherwise).
    void setColumnEditable(const QString &column, bool editable);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct CheckBox {
        QString checked;
        QString unchecked;
    };

    QVector<int> shownColumns() const;
    bool isCell(const QModelIndex &index) const;
    void onRowsReset();
    void onItemChanged(long row, int column);
    void onAttributesChanged();
    void onViewDestroyed();

    QPointer<DataView> m_view;
    QVector<int> m_columns;            // 0-based view columns in display order
    int m_rows = 0;                    // the row count the model has announced
    QHash<int, CheckBox> m_checkBoxes; // by 0-based view column
    QHash<int, bool> m_editable;       // by 0-based view column
};

} // namespace runtime
