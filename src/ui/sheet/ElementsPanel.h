#pragma once

#include "core/tariff/ElementValuesStore.h"

#include <QList>
#include <QWidget>

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sheet {

// 申报要素填写: each declaration element of a customs line as a field in order (品牌类型 and
// 出口享惠情况 offer their fixed answers), and 复制规格型号, which copies the values joined by
// "|" and keeps them for the next declaration of the same code.
class ElementsPanel : public QWidget
{
    Q_OBJECT
public:
    ElementsPanel(runtime::Transaction *sqlca, QWidget *parent = nullptr);

    // The line whose elements to fill; an empty code or no elements leave the panel empty.
    void setLine(const QString &code, const QStringList &elements);
    // The values as typed (a chosen answer as its number), in the elements' order.
    QStringList values() const;
    // The field of the element at `index`: a QLineEdit, or the line edit of an editable box.
    QLineEdit *field(int index) const;
    // Copies 规格型号 and keeps the values; false when a value holds "|" (the user is told).
    bool copySpecification();

    QLineEdit *sle_preview = nullptr;
    QPushButton *cb_copyspec = nullptr;
    QLabel *st_info = nullptr;

private:
    void updatePreview();

    tariff::ElementValuesStore m_store;
    QString m_code;
    QStringList m_elements;
    QFormLayout *m_form = nullptr;
    QList<QWidget *> m_fields;
};

} // namespace sheet
