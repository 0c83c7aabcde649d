#include "ui/mainwin/DetailPanel.h"

#include "core/runtime/DataView.h"
#include "ui/runtime/DataForm.h"

#include <QVBoxLayout>

DetailPanel::DetailPanel(const QString &title, runtime::DataView *view, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_form(new runtime::DataForm(this))
{
    setWindowTitle(title);
    setAccessibleName(title);
    m_form->setDataView(view);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_form);
    resize(420, sizeHint().height());
}
