#pragma once

#include "core/runtime/DataView.h"

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QLabel;

namespace runtime {

class DataView;

// The form presentation of a data view: the current row as labelled, read-only fields,
// one per shown column of the definition, headed by the column's heading.
class DataForm : public QWidget
{
    Q_OBJECT
public:
    explicit DataForm(QWidget *parent = nullptr);

    void setDataView(DataView *view);
    DataView *dataView() const { return m_view; }

    // The text a field shows for a column (by name), for tests and screen readers.
    QString fieldText(const QString &column) const;
    QLineEdit *field(const QString &column) const;

private:
    void rebuild();
    void refresh();
    static QString display(const QVariant &value);

    QPointer<DataView> m_view;
    QList<QPair<QString, QLineEdit *>> m_fields;
};

} // namespace runtime
