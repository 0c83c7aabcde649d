#pragma once

#include <QWidget>

namespace runtime {
class DataForm;
class DataView;
}

// A detail panel: a small window of its own, in front of the main window, that shows the
// current row of a detail view. The user moves it by its title bar and hides it by its
// close box.
class DetailPanel : public QWidget
{
    Q_OBJECT
public:
    DetailPanel(const QString &title, runtime::DataView *view, QWidget *parent);
    runtime::DataForm *form() const { return m_form; }

private:
    runtime::DataForm *m_form;
};
