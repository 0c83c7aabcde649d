#pragma once

#include "core/edition/DatabaseSnapshot.h"
#include "core/edition/EditionComparison.h"
#include "core/edition/EditionLine.h"
#include "core/edition/ImportJob.h"
#include "core/edition/ReadError.h"

#include <QDialog>
#include <QFutureWatcher>

#include <atomic>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace edition {

class ChangeListModel;

// 导入商品编码表: choose an edition file of either list, told apart by its header (and, for
// the customs list, its chapters file), read and compare it in a worker thread with a
// progress bar that can cancel, look through and export the changes, then apply them or not.
// On success the trees reload as after a saved chapter choice.
class w_edition_import : public QDialog
{
    Q_OBJECT
public:
    explicit w_edition_import(QWidget *parent = nullptr);
    ~w_edition_import() override;

    // Opens the one dialog (or raises it); nullptr when the user may not import (a team
    // member on a team database, told so before anything is read).
    static w_edition_import *openFor(QWidget *mainWindow);
    // 恢复上一版本: asks, naming the editions and the backup's date, restores exactly that
    // backup, reloads the trees.
    static void undoLast(QWidget *parent);
    // Whether the user may import or restore; says why not in a message box.
    static bool mayChangeEditions(QWidget *parent);

    // Reads the files named in the fields (what 读取并比较 does).
    void startReading();
    bool isReading() const { return m_watcher.isRunning(); }

    QLineEdit *le_file = nullptr;
    QLineEdit *le_chapters = nullptr;
    QLineEdit *le_edition = nullptr;
    QDateEdit *de_date = nullptr;
    QPushButton *cb_browse = nullptr;
    QPushButton *cb_browseChapters = nullptr;
    QPushButton *cb_read = nullptr;
    QProgressBar *pb_read = nullptr;
    QPushButton *cb_cancelRead = nullptr;
    QLabel *st_summary = nullptr;
    QComboBox *ddlb_kind = nullptr;
    QTableView *dw_changes = nullptr;
    QPushButton *cb_export = nullptr;
    QPushButton *cb_apply = nullptr;
    QPushButton *cb_close = nullptr;
    ChangeListModel *changes() const { return m_model; }

    // Writes the listed changes to a file: CSV when its name ends in .csv, else text.
    bool exportTo(const QString &path);
    // Applies the read edition (what 应用 does). Returns 1 or -1, as the system's functions.
    int wf_apply();

signals:
    void readFinished(bool ok);

private:
    using Outcome = ImportJob::Reading;
    void createControls();
    void readingDone();
    void setBusy(bool busy);

    ChangeListModel *m_model = nullptr;
    QFutureWatcher<Outcome> m_watcher;
    std::atomic<bool> m_cancel{false};
    Outcome m_read;
    DatabaseSnapshot m_snapshot;
};

} // namespace edition
