#include "ui/library/ItemDialog.h"

#include "core/library/ItemStore.h"
#include "ui/runtime/MessageBox.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {

QLineEdit *field(QFormLayout *form, const QString &caption, const char *name, const QString &help)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleDescription(help);
    auto *label = new QLabel(caption);
    label->setBuddy(edit);
    form->addRow(label, edit);
    return edit;
}

} // namespace

ItemDialog::ItemDialog(runtime::Transaction *sqlca, const library::Item &start, QWidget *parent)
    : QDialog(parent)
    , m_sqlca(sqlca)
    , m_baseVersion(start.version)
{
    setObjectName(QStringLiteral("w_item"));
    setWindowTitle(start.version > 0 ? QStringLiteral("编辑商品") : QStringLiteral("新增商品"));
    auto *form = new QFormLayout;
    sle_part = field(form, QStringLiteral("料号(&P)："), "sle_part", QStringLiteral("本公司的料号，不能重复"));
    sle_name = field(form, QStringLiteral("品名(&N)："), "sle_name", QStringLiteral("商品的品名"));
    sle_model = field(form, QStringLiteral("规格型号(&M)："), "sle_model", QStringLiteral("规格型号或备注"));
    sle_code = field(form, QStringLiteral("商品编码(&C)："), "sle_code",
                     QStringLiteral("十位海关编码，可带点或空格；八位编码下只有一个十位编码时自动补全"));
    sle_elements = field(form, QStringLiteral("申报要素(&E)："), "sle_elements",
                         QStringLiteral("各项申报要素的值，按顺序用“|”分开"));
    mle_reason = new QPlainTextEdit;
    mle_reason->setObjectName(QStringLiteral("mle_reason"));
    mle_reason->setTabChangesFocus(true);
    mle_reason->setAccessibleName(QStringLiteral("归类依据"));
    auto *reasonLabel = new QLabel(QStringLiteral("归类依据(&R)："));
    reasonLabel->setBuddy(mle_reason);
    form->addRow(reasonLabel, mle_reason);
    sle_part->setReadOnly(start.version > 0); // the part number names the item

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    cb_save = buttons->button(QDialogButtonBox::Save);
    cb_save->setText(QStringLiteral("保存(&S)"));
    cb_save->setObjectName(QStringLiteral("cb_save"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ItemDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    show(start);
    resize(560, sizeHint().height());
}

void ItemDialog::show(const library::Item &item)
{
    sle_part->setText(item.partNumber);
    sle_name->setText(item.name);
    sle_model->setText(item.model);
    sle_code->setText(item.code);
    sle_elements->setText(item.elementValues);
    mle_reason->setPlainText(item.reason);
}

library::Item ItemDialog::typed() const
{
    library::Item it;
    it.partNumber = sle_part->text();
    it.name = sle_name->text();
    it.model = sle_model->text();
    it.code = sle_code->text();
    it.elementValues = sle_elements->text();
    it.reason = mle_reason->toPlainText();
    return it;
}

void ItemDialog::save()
{
    library::ItemStore store(m_sqlca);
    const library::ItemStore::Result r = store.save(typed(), m_baseVersion);
    using Status = library::ItemStore::Status;
    if (r.status == Status::Saved) {
        m_result = r.saved;
        accept();
        return;
    }
    if (r.status != Status::Conflict) {
        runtime::messageBox(QStringLiteral("商品归类库"), r.message, runtime::MessageIcon::Exclamation,
                            runtime::MessageButtons::Ok, 1, this);
        // The field to correct takes the keyboard.
        if (r.status == Status::Duplicate || sle_part->text().trimmed().isEmpty())
            sle_part->setFocus(Qt::OtherFocusReason);
        else if (sle_name->text().trimmed().isEmpty())
            sle_name->setFocus(Qt::OtherFocusReason);
        else if (r.status == Status::Refused)
            sle_code->setFocus(Qt::OtherFocusReason);
        return; // what was typed stays for a retry
    }
    const QString theirs = r.current ? QStringLiteral("%1  %2  %3").arg(r.current->name, r.current->code,
                                                                        r.current->elementValues)
                                     : QStringLiteral("(已删除)");
    const int answer = runtime::messageBox(
        QStringLiteral("商品已被他人修改"),
        QStringLiteral("%1\n\n对方的内容:\n%2\n\n是: 用您的修改覆盖  否: 采用对方的内容  取消: 继续编辑")
            .arg(r.message, theirs),
        runtime::MessageIcon::Question, runtime::MessageButtons::YesNoCancel, 3, this);
    if (answer == 1) { // the user has seen the colleague's change and keeps their own
        m_baseVersion = r.current ? r.current->version : 0;
        save();
    } else if (answer == 2) {
        m_result = r.current.value_or(library::Item());
        accept();
    }
}

} // namespace ui
