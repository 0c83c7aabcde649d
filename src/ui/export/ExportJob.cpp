#include "ui/export/ExportJob.h"

#include "core/export/CsvWriter.h"
#include "core/export/PagePrinter.h"
#include "core/export/PrintDocument.h"
#include "core/export/XlsxWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

using namespace kivexport;

namespace {
// The dialog stays away from exports that are done before a user could read it.
constexpr int kShowAfterMs = 400;
constexpr int kRefreshMs = 100;
} // namespace

ExportJob *ExportJob::start(QWidget *parent, Format format, const QString &path, const QList<ExportSheet> &sheets,
                            const QString &title)
{
    auto *job = new ExportJob(parent, ExportTable::rowCount(sheets), path);
    const std::shared_ptr<ExportProgress> progress = job->m_progress;
    // The sheets are copied into the worker; only the progress is shared.
    job->m_watcher.setFuture(QtConcurrent::run([format, path, sheets, title, progress]() -> WriteResult {
        switch (format) {
        case Format::Xlsx: return XlsxWriter::write(path, sheets, progress.get());
        case Format::Csv: return CsvWriter::write(path, sheets, progress.get());
        case Format::Pdf: return PagePrinter().writePdf(path, PrintDocument::forSheets(title, sheets), progress.get());
        }
        return WriteResult::failed(QString());
    }));
    return job;
}

ExportJob::ExportJob(QWidget *parent, qint64 rows, const QString &path)
    : QObject(parent)
    , m_progress(std::make_shared<ExportProgress>())
    , m_rows(rows)
{
    setObjectName(QStringLiteral("exportJob"));
    m_dialog = new QProgressDialog(parent);
    m_dialog->setObjectName(QStringLiteral("exportProgress"));
    m_dialog->setWindowTitle(QStringLiteral("导出"));
    m_dialog->setLabelText(QStringLiteral("正在导出 %1 行到“%2”…").arg(rows).arg(QFileInfo(path).fileName()));
    m_dialog->setCancelButtonText(QStringLiteral("取消"));
    m_dialog->setRange(0, int(qMin<qint64>(rows, INT_MAX)));
    m_dialog->setMinimumDuration(kShowAfterMs);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setAccessibleName(QStringLiteral("导出进度"));
    connect(m_dialog, &QProgressDialog::canceled, this, &ExportJob::cancel);
    m_timer = new QTimer(this);
    m_timer->setInterval(kRefreshMs);
    connect(m_timer, &QTimer::timeout, this, &ExportJob::showProgress);
    m_timer->start();
    m_dialog->setValue(0); // starts the dialog's own clock for minimumDuration
    connect(&m_watcher, &QFutureWatcher<WriteResult>::finished, this, &ExportJob::done);
}

ExportJob::~ExportJob()
{
    if (m_watcher.isRunning()) {
        m_progress->cancelled = true;
        m_watcher.waitForFinished();
    }
    closeProgress();
}

void ExportJob::cancel()
{
    m_progress->cancelled = true;
    if (m_dialog)
        m_dialog->setLabelText(QStringLiteral("正在取消…"));
}

void ExportJob::showProgress()
{
    if (m_dialog && !m_progress->cancelled)
        m_dialog->setValue(int(qMin(m_progress->done.load(), m_rows)));
}

void ExportJob::closeProgress()
{
    m_timer->stop();
    QProgressDialog *dialog = m_dialog;
    if (!dialog)
        return;
    m_dialog = nullptr;
    // The dialog's own clock would show it again once its delay is over (a write done before
    // that, or one that ends while it is being shown), over the message that follows: reset()
    // stops that clock. It goes later, as this may run inside its own setValue().
    disconnect(dialog, nullptr, this, nullptr);
    dialog->reset();
    dialog->hide();
    dialog->deleteLater();
}

void ExportJob::done()
{
    // Closed before anyone hears how the export ended, whichever way it ended.
    closeProgress();
    // A cancel after the last row comes too late: the file is complete, and that is reported.
    emit finished(m_watcher.result());
    deleteLater();
}
