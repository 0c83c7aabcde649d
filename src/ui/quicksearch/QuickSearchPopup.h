#pragma once

#include <QFrame>

class QLabel;
class QListView;

namespace quicksearch {
class ResultModel;
}

// The list under the search field: a line that sums up the answer (how many, a code that is
// not there, a code in a chapter not loaded) and the results. A window of its own without a
// frame, it floats over the program's windows (the sheet too) without taking the keyboard,
// so the user types on while it answers.
class QuickSearchPopup : public QFrame
{
    Q_OBJECT
public:
    QuickSearchPopup(quicksearch::ResultModel *model, QWidget *window);

    // Places the list under the anchor (within the main window's area) and shows it.
    void showUnder(QWidget *anchor);
    void setSummary(const QString &text);
    QString summary() const;

    int currentRow() const;
    void setCurrentRow(int row);
    void moveCurrent(int steps);

    QListView *lv_results = nullptr;
    QLabel *st_summary = nullptr;

signals:
    void clicked(int row);
    void currentChanged(int row);
};
