#pragma once

#include <QCursor>
#include <QHash>
#include <QTableView>
#include <QVector>

namespace runtime {
class DataView;
class DataViewModel;
struct DataViewDefinition;
}

// A sortable list: a grid over its own data view that adds three behaviours to a plain one.
// A click on a column's header text (the object "<column>_t") sorts the rows by that column,
// ascending the first time and then alternating; each column keeps its last direction in its
// Tag attribute ("A" or "D"), so sorting by one column leaves the others' directions alone.
// The current row is always the only highlighted row. Enter acts as a double click on the
// current row. Windows that use the control set its data object, place and size, and connect
// doubleclicked() for both the mouse and the Enter key.
class u_list_dw : public QTableView
{
    Q_OBJECT
public:
    explicit u_list_dw(QWidget *parent = nullptr);
    ~u_list_dw() override;

    // Gives the control its data view definition (the rows are dropped).
    void setDataObject(const runtime::DataViewDefinition &definition);
    runtime::DataView *dataView() const { return m_view; }
    runtime::DataViewModel *dataModel() const { return m_model; }

    // The clicked event with the name of the clicked object: a header text ("code_t") sorts
    // by its column; a column, a row or anything else behaves as in a plain grid. Returns 1
    // when the rows were sorted, 0 when the click was not on a header text.
    int clickedObject(const QString &as_objname);

    // The rowfocuschanged event: highlights the current row only and takes the input focus.
    void rowfocuschanged(long al_currentrow);

    // The ue_key event: Enter (either key) scrolls to the current row, triggers
    // doubleclicked() and returns 1; other keys return 0 and are handled as usual.
    int ue_key(int ai_key, Qt::KeyboardModifiers ai_keyflags);

    // The mouse pointer over a column's cells (the hand over a check box column).
    void setColumnCursor(const QString &column, const QCursor &cursor);

    // The name of the object at a point of the viewport: the column's name over a cell,
    // "datawindow" elsewhere; and the name of a column's header text ("<column>_t").
    QString objectAt(const QPoint &viewportPos) const;
    QString headerObject(int section) const;

signals:
    // The doubleclicked event: the row double-clicked (0 outside the rows), or the current
    // row when Enter was pressed (0 on an empty list).
    void doubleclicked(long row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    bool viewportEvent(QEvent *event) override;

private:
    void highlightCurrentRow();
    void showViewSelection();
    void showViewCurrentRow();
    void keepColumnWidths();
    void restoreColumnWidths();
    void fitColumnsToRows();
    QString columnName(int section) const;

    runtime::DataView *m_view = nullptr;
    runtime::DataViewModel *m_model = nullptr;
    QHash<QString, QCursor> m_columnCursors; // lower-case column name -> pointer
    QVector<int> m_widths;                   // column widths kept across the model's resets
    bool m_sized = false;                    // widths fitted to the rows once
    bool m_syncing = false;                  // the grid is being set from the view
};
