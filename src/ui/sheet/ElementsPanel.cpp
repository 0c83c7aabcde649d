#include "ui/sheet/ElementsPanel.h"

#include "core/tariff/ElementChoices.h"
#include "core/tariff/SpecificationText.h"
#include "ui/runtime/MessageBox.h"

#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sheet {

namespace {

// What a field holds: a chosen answer ("0 无品牌") counts as its number.
QString fieldValue(QWidget *w)
{
    if (auto *box = qobject_cast<QComboBox *>(w)) {
        const int chosen = box->findText(box->currentText());
        return chosen >= 0 ? box->itemData(chosen).toString() : box->currentText().trimmed();
    }
    return static_cast<QLineEdit *>(w)->text().trimmed();
}

} // namespace

ElementsPanel::ElementsPanel(runtime::Transaction *sqlca, QWidget *parent)
    : QWidget(parent)
    , m_store(sqlca)
{
    setObjectName(QStringLiteral("ElementsPanel"));
    setAccessibleName(QStringLiteral("申报要素填写"));
    auto *layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    // Element names are long ("适用网络种类（蜂窝网络、无线网络…）"): each above its field.
    m_form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    layout->addLayout(m_form);
    auto *previewLabel = new QLabel(QStringLiteral("规格型号(&J):"), this);
    sle_preview = new QLineEdit(this);
    sle_preview->setObjectName(QStringLiteral("sle_preview"));
    sle_preview->setReadOnly(true);
    previewLabel->setBuddy(sle_preview);
    layout->addWidget(previewLabel);
    layout->addWidget(sle_preview);
    cb_copyspec = new QPushButton(QStringLiteral("复制规格型号(&G)"), this);
    cb_copyspec->setObjectName(QStringLiteral("cb_copyspec"));
    cb_copyspec->setAutoDefault(false);
    layout->addWidget(cb_copyspec, 0, Qt::AlignLeft);
    st_info = new QLabel(this);
    st_info->setObjectName(QStringLiteral("st_info"));
    st_info->setWordWrap(true);
    layout->addWidget(st_info);
    layout->addStretch(1);
    connect(cb_copyspec, &QPushButton::clicked, this, &ElementsPanel::copySpecification);
    setLine({}, {});
}

void ElementsPanel::setLine(const QString &code, const QStringList &elements)
{
    if (code == m_code && elements == m_elements && !code.isEmpty())
        return; // the same line: what the user typed stays
    m_code = code;
    m_elements = elements;
    while (m_form->rowCount() > 0)
        m_form->removeRow(0);
    m_fields.clear();
    const QStringList kept = code.isEmpty() ? QStringList() : m_store.values(code);
    const tariff::ElementChoices &lists = tariff::ElementChoices::bundled();
    for (int i = 0; i < elements.size(); ++i) {
        QWidget *field = nullptr;
        const auto choices = lists.choices(elements[i]);
        if (!choices.isEmpty()) {
            auto *box = new QComboBox(this);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            box->setMinimumContentsLength(12);
            for (const auto &c : choices)
                box->addItem(c.value + u' ' + c.text, c.value);
            const QString value = kept.value(i);
            const int index = box->findData(value);
            if (index >= 0)
                box->setCurrentIndex(index);
            else
                box->setEditText(value);
            connect(box, &QComboBox::currentTextChanged, this, &ElementsPanel::updatePreview);
            field = box;
        } else {
            auto *edit = new QLineEdit(kept.value(i), this);
            connect(edit, &QLineEdit::textChanged, this, &ElementsPanel::updatePreview);
            field = edit;
        }
        field->setObjectName(QStringLiteral("element_%1").arg(i + 1));
        field->setAccessibleName(elements[i]);
        // The first nine get a key: Alt+1 … Alt+9.
        const QString caption = i < 9 ? QStringLiteral("&%1. %2:").arg(i + 1).arg(elements[i])
                                      : QStringLiteral("%1. %2:").arg(i + 1).arg(elements[i]);
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        m_form->addRow(label, field);
        m_fields << field;
    }
    const bool has = !code.isEmpty() && !elements.isEmpty();
    cb_copyspec->setEnabled(has);
    st_info->setText(code.isEmpty() ? QStringLiteral("申报要素填写仅适用于10位海关商品编码。")
                     : elements.isEmpty() ? QStringLiteral("此编码没有申报要素。")
                     : kept.isEmpty()     ? QString()
                                          : QStringLiteral("已填入上次使用的值。"));
    updatePreview();
}

QStringList ElementsPanel::values() const
{
    QStringList v;
    for (QWidget *w : m_fields)
        v << fieldValue(w);
    return v;
}

QLineEdit *ElementsPanel::field(int index) const
{
    QWidget *w = m_fields.value(index);
    if (auto *box = qobject_cast<QComboBox *>(w))
        return box->lineEdit();
    return qobject_cast<QLineEdit *>(w);
}

void ElementsPanel::updatePreview()
{
    const auto spec = tariff::SpecificationText::join(m_elements, values());
    sle_preview->setText(spec.problem.isEmpty() ? spec.text : spec.problem);
}

bool ElementsPanel::copySpecification()
{
    const auto spec = tariff::SpecificationText::join(m_elements, values());
    if (!spec.problem.isEmpty()) {
        runtime::messageBox(QStringLiteral("提 示 信 息"), spec.problem, runtime::MessageIcon::Exclamation,
                            runtime::MessageButtons::Ok, 1, this);
        return false;
    }
    QGuiApplication::clipboard()->setText(spec.text);
    st_info->setText(m_store.save(m_code, values())
                         ? QStringLiteral("已复制规格型号，并记下这些值供下次使用。")
                         : QStringLiteral("已复制规格型号；这些值未能记下: ") + m_store.lastError());
    return true;
}

} // namespace sheet
