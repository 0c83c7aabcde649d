#pragma once

#include <QString>

class u_tv;
namespace runtime {
class DataView;
}

// The main window as the dialogs it opens see it: its two commodity trees and their detail
// panels. The find dialog selects its finds in the trees and shows their rows.
class TreeWindow
{
public:
    virtual ~TreeWindow();

    // "hs" (customs) or "jmw" (foreign trade).
    virtual u_tv *tree(const QString &list) const = 0;
    virtual runtime::DataView *rows(const QString &list) const = 0;
    // Shows or hides the detail panel of a list's rows.
    virtual void showPanel(runtime::DataView *rows, bool show) = 0;

    // The open main window's, or null.
    static TreeWindow *main();

protected:
    TreeWindow();
};
