#include "ui/runtime/DataForm.h"

#include "core/runtime/DataView.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace runtime {

DataForm::DataForm(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void DataForm::setDataView(DataView *view)
{
    if (m_view)
        disconnect(m_view, nullptr, this, nullptr);
    m_view = view;
    if (m_view) {
        connect(m_view, &DataView::rowsReset, this, &DataForm::refresh);
        connect(m_view, &DataView::currentRowChanged, this, &DataForm::refresh);
        connect(m_view, &DataView::itemChanged, this, [this](long row, int) {
            if (m_view && row == m_view->currentRow())
                refresh();
        });
    }
    rebuild();
}

void DataForm::rebuild()
{
    auto *form = static_cast<QFormLayout *>(layout());
    while (form->rowCount() > 0)
        form->removeRow(0);
    m_fields.clear();
    if (!m_view)
        return;
    const DataViewDefinition &definition = m_view->definition();
    for (const QString &column : definition.shownColumns) {
        const int index = definition.columnIndex(column);
        if (index < 0)
            continue;
        auto *label = new QLabel(definition.columns.at(index).heading + QLatin1Char(':'), this);
        auto *edit = new QLineEdit(this);
        edit->setReadOnly(true);
        edit->setObjectName(column);
        edit->setAccessibleName(definition.columns.at(index).heading);
        label->setBuddy(edit);
        form->addRow(label, edit);
        m_fields.append({column, edit});
    }
    refresh();
}

QString DataForm::display(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

void DataForm::refresh()
{
    const long row = m_view ? m_view->currentRow() : 0;
    for (const auto &[column, edit] : m_fields) {
        edit->setText(row > 0 ? display(m_view->item(row, column)) : QString());
        edit->setCursorPosition(0);
    }
}

QLineEdit *DataForm::field(const QString &column) const
{
    for (const auto &[name, edit] : m_fields) {
        if (name.compare(column, Qt::CaseInsensitive) == 0)
            return edit;
    }
    return nullptr;
}

QString DataForm::fieldText(const QString &column) const
{
    const QLineEdit *edit = field(column);
    return edit ? edit->text() : QString();
}

} // namespace runtime
