#pragma once

#include "core/catalog/Navigation.h"
#include "ui/tree/TreeWindow.h"

class w_kiv;

// The main window's trees as the other windows follow and move them.
class MainNavigation : public catalog::Navigation, public TreeWindow
{
    Q_OBJECT
public:
    explicit MainNavigation(w_kiv *window);

    catalog::Catalog *catalog() const override;
    Selection selection() const override;
    bool goToCode(const QString &list, const QString &code) override;
    void focusTree(const QString &list) override;
    void returnToTree() override;
    void reload() override;
    void addLeaveCheck(QObject *owner, std::function<bool()> check) override;

    u_tv *tree(const QString &list) const override;
    runtime::DataView *rows(const QString &list) const override;
    void showPanel(runtime::DataView *rows, bool show) override;

private:
    w_kiv *m_window;
};
