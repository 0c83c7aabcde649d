#pragma once

#include "core/export/ExportProgress.h"
#include "core/export/ExportRequest.h"
#include "core/export/ExportTable.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>

#include <memory>

class QTimer;
class QWidget;

// Writes an export in a worker thread while the window stays responsive: a progress dialog
// with 取消 appears when the writing takes more than a moment. Goes with its parent window;
// a job still running then is cancelled and waited for.
class ExportJob : public QObject
{
    Q_OBJECT
public:
    // Starts the writing; finished() tells how it ended, then the job deletes itself.
    static ExportJob *start(QWidget *parent, kivexport::Format format, const QString &path,
                            const QList<kivexport::ExportSheet> &sheets, const QString &title);
    ~ExportJob() override;

    // The progress dialog while the writing runs; null once it has ended.
    QProgressDialog *progressDialog() const { return m_dialog; }
    // Stops the writing as the dialog's 取消 does.
    void cancel();

signals:
    void finished(const kivexport::WriteResult &result);

private:
    ExportJob(QWidget *parent, qint64 rows, const QString &path);
    void showProgress();
    void done();
    // Hides the progress dialog for good and lets it go.
    void closeProgress();

    std::shared_ptr<kivexport::ExportProgress> m_progress;
    QFutureWatcher<kivexport::WriteResult> m_watcher;
    QPointer<QProgressDialog> m_dialog;
    QTimer *m_timer = nullptr;
    qint64 m_rows = 0;
};
