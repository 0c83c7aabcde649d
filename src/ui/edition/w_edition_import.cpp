#include "ui/edition/w_edition_import.h"

#include "core/catalog/Navigation.h"
#include "core/catalog/TreeReload.h"
#include "core/edition/AfterApply.h"
#include "core/edition/BackgroundWork.h"
#include "core/edition/ChangeListModel.h"
#include "core/edition/ChangeReport.h"
#include "core/edition/EditionApplier.h"
#include "core/edition/EditionBackups.h"
#include "core/edition/EditionMessages.h"
#include "core/edition/EditionReader.h"
#include "core/edition/EditionStamp.h"
#include "core/edition/EditionUndo.h"
#include "core/edition/ImportCommand.h"
#include "core/edition/ImportJob.h"
#include "core/edition/LineColumns.h"
#include "core/edition/RestoreReport.h"
#include "core/runtime/Transaction.h"
#include "core/server/ServerConnection.h"
#include "core/server/ServerRoles.h"
#include "core/session/globals.h"
#include "ui/runtime/MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace edition {

namespace {

QPointer<w_edition_import> g_open;

// The options dialog's words when the database refuses a save: one text for one failure.
void warnSaveFailed(QWidget *parent)
{
    runtime::messageBox(QStringLiteral("Warning :"), QStringLiteral("Hello User,The Operate is  invalidation!!"),
                        runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, parent);
}

QLabel *buddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

w_edition_import::w_edition_import(QWidget *parent)
    : QDialog(parent)
    , m_model(new ChangeListModel(this))
{
    setObjectName(QStringLiteral("w_edition_import"));
    setWindowTitle(QStringLiteral("导入商品编码表"));
    createControls();
    connect(&m_watcher, &QFutureWatcher<Outcome>::finished, this, &w_edition_import::readingDone);
    resize(900, 620);
}

w_edition_import::~w_edition_import()
{
    // The worker reports to this object: it must be done before the object goes.
    m_cancel = true;
    m_watcher.waitForFinished();
}

void w_edition_import::createControls()
{
    le_file = new QLineEdit(this);
    le_file->setObjectName(QStringLiteral("le_file"));
    le_file->setPlaceholderText(QStringLiteral("如 cn_hscode_2027.csv（海关）或 harmonized-system.csv（外经贸）"));
    cb_browse = new QPushButton(QStringLiteral("浏览(&B)..."), this);
    cb_browse->setAccessibleName(QStringLiteral("浏览编码表文件"));
    le_chapters = new QLineEdit(this);
    le_chapters->setObjectName(QStringLiteral("le_chapters"));
    le_chapters->setPlaceholderText(QStringLiteral("可选，只用于海关商品编码表，如 cn_chapters_2027.csv"));
    cb_browseChapters = new QPushButton(QStringLiteral("浏览(&W)..."), this);
    cb_browseChapters->setAccessibleName(QStringLiteral("浏览章节文件"));
    le_edition = new QLineEdit(this);
    le_edition->setObjectName(QStringLiteral("le_edition"));
    le_edition->setMaxLength(LineColumns::kMaxEditionLength);
    de_date = new QDateEdit(QDate::currentDate(), this);
    de_date->setObjectName(QStringLiteral("de_date"));
    de_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    de_date->setCalendarPopup(true);
    cb_read = new QPushButton(QStringLiteral("读取并比较(&R)"), this);
    cb_read->setObjectName(QStringLiteral("cb_read"));
    pb_read = new QProgressBar(this);
    pb_read->setRange(0, 1000);
    pb_read->setTextVisible(false);
    pb_read->setAccessibleName(QStringLiteral("读取进度"));
    cb_cancelRead = new QPushButton(QStringLiteral("取消读取(&X)"), this);
    cb_cancelRead->setEnabled(false);
    // The file's header tells the two lists apart, so the user only picks the file.
    st_summary = new QLabel(QStringLiteral("请选择新版海关商品编码表（与 cn_hscode_2026.csv 同样的列）或外经贸商品编码表"
                                           "（与 harmonized-system.csv 同样的列）文件，然后读取并比较。"),
                            this);
    st_summary->setObjectName(QStringLiteral("st_summary"));
    st_summary->setWordWrap(true);
    st_summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    st_summary->setFocusPolicy(Qt::StrongFocus);
    st_summary->setAccessibleName(QStringLiteral("变更摘要"));
    ddlb_kind = new QComboBox(this);
    ddlb_kind->setObjectName(QStringLiteral("ddlb_kind"));
    ddlb_kind->addItem(QStringLiteral("全部"), -1);
    for (int k = 0; k < kChangeKindCount; ++k)
        ddlb_kind->addItem(kindLabel(ChangeKind(k)), k);
    dw_changes = new QTableView(this);
    dw_changes->setObjectName(QStringLiteral("dw_changes"));
    dw_changes->setModel(m_model);
    dw_changes->setAccessibleName(QStringLiteral("变更列表"));
    dw_changes->setSelectionBehavior(QAbstractItemView::SelectRows);
    dw_changes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dw_changes->verticalHeader()->hide();
    dw_changes->horizontalHeader()->setStretchLastSection(true);
    dw_changes->setColumnWidth(ChangeListModel::Code, 100);
    dw_changes->setColumnWidth(ChangeListModel::List, 60);
    dw_changes->setColumnWidth(ChangeListModel::Before, 230);
    dw_changes->setColumnWidth(ChangeListModel::After, 230);
    cb_export = new QPushButton(QStringLiteral("导出列表(&E)..."), this);
    cb_apply = new QPushButton(QStringLiteral("应用(&A)"), this);
    cb_apply->setObjectName(QStringLiteral("cb_apply"));
    cb_close = new QPushButton(QStringLiteral("关闭(&C)"), this);
    for (QPushButton *b : {cb_export, cb_apply})
        b->setEnabled(false);
    for (QPushButton *b : {cb_browse, cb_browseChapters, cb_read, cb_cancelRead, cb_export, cb_apply, cb_close})
        b->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(buddyLabel(QStringLiteral("编码表文件(&F)："), le_file, this), 0, 0);
    grid->addWidget(le_file, 0, 1, 1, 3);
    grid->addWidget(cb_browse, 0, 4);
    grid->addWidget(buddyLabel(QStringLiteral("章节文件(&H)："), le_chapters, this), 1, 0);
    grid->addWidget(le_chapters, 1, 1, 1, 3);
    grid->addWidget(cb_browseChapters, 1, 4);
    grid->addWidget(buddyLabel(QStringLiteral("版本名称(&N)："), le_edition, this), 2, 0);
    grid->addWidget(le_edition, 2, 1);
    grid->addWidget(buddyLabel(QStringLiteral("版本日期(&D)："), de_date, this), 2, 2);
    grid->addWidget(de_date, 2, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto *readRow = new QHBoxLayout;
    readRow->addWidget(cb_read);
    readRow->addWidget(pb_read, 1);
    readRow->addWidget(cb_cancelRead);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(buddyLabel(QStringLiteral("显示(&K)："), ddlb_kind, this));
    filterRow->addWidget(ddlb_kind);
    filterRow->addStretch(1);
    auto *listLabel = buddyLabel(QStringLiteral("变更列表(&L)："), dw_changes, this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cb_export);
    buttons->addStretch(1);
    buttons->addWidget(cb_apply);
    buttons->addWidget(cb_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(readRow);
    layout->addWidget(st_summary);
    layout->addLayout(filterRow);
    layout->addWidget(listLabel);
    layout->addWidget(dw_changes, 1);
    layout->addLayout(buttons);

    connect(cb_browse, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("选择商品编码表文件（海关或外经贸）"),
                                                          le_file->text(),
                                                          QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
        if (!path.isEmpty())
            le_file->setText(path);
    });
    connect(cb_browseChapters, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("选择章节文件"), le_chapters->text(),
                                                          QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
        if (!path.isEmpty())
            le_chapters->setText(path);
    });
    connect(le_file, &QLineEdit::textChanged, this, [this](const QString &path) {
        if (!le_edition->isModified())
            le_edition->setText(ImportCommand::editionFromFileName(path, EditionReader::detect(path)));
    });
    connect(cb_read, &QPushButton::clicked, this, &w_edition_import::startReading);
    connect(cb_cancelRead, &QPushButton::clicked, this, [this] { m_cancel = true; });
    connect(ddlb_kind, &QComboBox::currentIndexChanged, this, [this] {
        const int kind = ddlb_kind->currentData().toInt();
        m_model->setKind(kind < 0 ? std::nullopt : std::optional<ChangeKind>(ChangeKind(kind)));
    });
    connect(cb_export, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出变更列表"),
                                                          QStringLiteral("变更列表.csv"),
                                                          QStringLiteral("CSV 文件 (*.csv);;文本文件 (*.txt)"));
        if (!path.isEmpty() && !exportTo(path))
            runtime::messageBox(QStringLiteral("系统提醒您:"), QStringLiteral("无法写入文件 %1").arg(path),
                                runtime::MessageIcon::Exclamation, runtime::MessageButtons::Ok, 1, this);
    });
    connect(cb_apply, &QPushButton::clicked, this, [this] {
        if (wf_apply() == 1)
            close();
    });
    connect(cb_close, &QPushButton::clicked, this, &QWidget::close);
}

w_edition_import *w_edition_import::openFor(QWidget *mainWindow)
{
    if (!mayChangeEditions(mainWindow))
        return nullptr;
    if (!g_open) {
        g_open = new w_edition_import(mainWindow);
        g_open->setAttribute(Qt::WA_DeleteOnClose);
    }
    g_open->show();
    g_open->raise();
    g_open->activateWindow();
    return g_open;
}

void w_edition_import::setBusy(bool busy)
{
    for (QWidget *w : std::initializer_list<QWidget *>{le_file, le_chapters, cb_browse, cb_browseChapters, cb_read})
        w->setEnabled(!busy);
    cb_cancelRead->setEnabled(busy);
    if (busy) {
        cb_apply->setEnabled(false);
        cb_export->setEnabled(false);
    }
}

void w_edition_import::startReading()
{
    if (isReading())
        return;
    if (le_file->text().trimmed().isEmpty()) {
        st_summary->setText(QStringLiteral("请先选择新版商品编码表文件。"));
        le_file->setFocus();
        return;
    }
    QString error;
    // The database is read here, on the connection's own thread; the file and the
    // comparison, the slow part, in the worker.
    if (!DatabaseSnapshot::read(sqlca, &m_snapshot, &error)) {
        st_summary->setText(QStringLiteral("无法读取数据库：%1").arg(error));
        return;
    }
    m_cancel = false;
    m_read = Outcome();
    m_model->setChanges({});
    pb_read->setValue(0);
    st_summary->setText(QStringLiteral("正在读取..."));
    setBusy(true);
    const QString linesPath = le_file->text().trimmed();
    const QString chaptersPath = le_chapters->text().trimmed();
    const DatabaseSnapshot snapshot = m_snapshot;
    m_watcher.setFuture(QtConcurrent::run([this, linesPath, chaptersPath, snapshot] {
        const Progress progress = [this](int permille) {
            QMetaObject::invokeMethod(pb_read, [bar = pb_read, permille] { bar->setValue(permille); },
                                      Qt::QueuedConnection);
            return !m_cancel.load();
        };
        return ImportJob::read(linesPath, chaptersPath, std::nullopt, snapshot, progress,
                               [this] { return m_cancel.load(); });
    }));
}

void w_edition_import::readingDone()
{
    m_read = m_watcher.result();
    setBusy(false);
    pb_read->setValue(m_read.ok ? pb_read->maximum() : 0);
    if (!m_read.ok) {
        st_summary->setText(m_read.error.problem == Problem::Canceled ? QStringLiteral("已取消读取，数据库未改动。")
                                                                      : m_read.error.text());
        emit readFinished(false);
        return;
    }
    m_model->setChanges(m_read.comparison.changes);
    const CodeList list = m_read.file.list;
    if (!le_edition->isModified())
        le_edition->setText(ImportCommand::editionFromFileName(m_read.file.path, list));
    st_summary->setText(QStringLiteral("%1（%2）：%3 个编码。\n%4")
                            .arg(QFileInfo(m_read.file.path).fileName(), EditionReader::title(list))
                            .arg(list == CodeList::ForeignTrade ? m_read.file.tradeCodes.size() : m_read.file.lines.size())
                            .arg(ChangeReport::summary(m_read.comparison)));
    cb_export->setEnabled(!m_read.comparison.isEmpty());
    cb_apply->setEnabled(true);
    emit readFinished(true);
}

bool w_edition_import::exportTo(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const bool csv = path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    file.write(csv ? ChangeReport::toCsv(m_model->shown()) : ChangeReport::toText(m_model->shown()));
    return file.commit();
}

int w_edition_import::wf_apply()
{
    if (!m_read.ok)
        return -1;
    const QString problem = EditionApplier::checkEdition(le_edition->text());
    if (!problem.isEmpty()) {
        runtime::messageBox(QStringLiteral("系统提醒您:"), problem, runtime::MessageIcon::Exclamation,
                            runtime::MessageButtons::Ok, 1, this);
        le_edition->setFocus();
        return -1;
    }
    const CodeList list = m_read.file.list;
    const EditionStamp edition{le_edition->text().trimmed(), LineColumns::dateText(de_date->date())};
    EditionStamp current;
    QString error;
    EditionApplier::Result result;
    EditionComparison comparison;
    if (EditionStamp::read(sqlca, list, &current, &error)) {
        // An older edition goes in only when the user says so, knowing it.
        if (EditionStamp::isOlder(edition, current)
            && runtime::messageBox(EditionMessages::title(), EditionMessages::olderQuestion(list, edition, current),
                                   runtime::MessageIcon::Exclamation, runtime::MessageButtons::YesNo, 2, this)
                != 1)
            return -1;
        // Compared again with the database as it is now: another program may have written it
        // since the preview.
        EditionApplier::Options options;
        options.edition = edition.name;
        options.date = de_date->date();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const ImportJob::Applied applied = ImportJob::apply(sqlca, m_read.file, options, true);
        QApplication::restoreOverrideCursor();
        result = applied.result;
        comparison = applied.comparison;
    } else {
        result.message = error;
    }
    if (!result.ok) {
        st_summary->setText(QStringLiteral("导入失败，数据库未改动：%1").arg(result.message));
        warnSaveFailed(this);
        return -1;
    }
    catalog::TreeReload::run(catalog::Navigation::main());
    const QStringList after = AfterApply::run(sqlca);
    runtime::messageBox(EditionMessages::title(),
                        EditionMessages::applied(QFileInfo(m_read.file.path).fileName(), list, current, edition,
                                                 ChangeReport::summary(comparison))
                            + (after.isEmpty() ? QString() : u'\n' + after.join(u'\n')),
                        runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, this);
    return 1;
}

void w_edition_import::undoLast(QWidget *parent)
{
    if (!mayChangeEditions(parent))
        return;
    const QString databaseFile = EditionBackups::databaseFileOf(sqlca);
    const EditionUndo::Choice choice = EditionUndo::newest(sqlca, databaseFile);
    if (!choice.exists()) {
        runtime::messageBox(QStringLiteral("系统提醒您:"), QStringLiteral("没有可恢复的版本：还没有导入过商品编码表。"),
                            runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, parent);
        return;
    }
    const QString question = QStringLiteral("将商品编码表从当前版本 %1 恢复为导入前的版本 %2（备份于 %3）？\n"
                                            "您的备注和章节选择保留。")
                                 .arg(choice.currentEdition, choice.backupEdition, choice.madeAt);
    if (runtime::messageBox(QStringLiteral("恢复上一版本"), question, runtime::MessageIcon::Question,
                            runtime::MessageButtons::YesNo, 2, parent)
        != 1)
        return;
    const RestoreReport report(sqlca); // the lists as they are, to tell what the restore changes
    // Exactly the backup the user confirmed, even if a colleague imported meanwhile.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const EditionUndo::Result result =
        BackgroundWork::run(sqlca, [&] { return EditionUndo::restore(sqlca, databaseFile, choice); });
    QApplication::restoreOverrideCursor();
    if (!result.ok) {
        if (result.refused)
            runtime::messageBox(QStringLiteral("系统提醒您:"), result.message, runtime::MessageIcon::Exclamation,
                                runtime::MessageButtons::Ok, 1, parent);
        else
            warnSaveFailed(parent);
        return;
    }
    catalog::TreeReload::run(catalog::Navigation::main());
    const QStringList after = AfterApply::run(sqlca); // the edition now in force was checked again
    runtime::messageBox(QStringLiteral("恢复上一版本"),
                        report.message() + (after.isEmpty() ? QString() : u'\n' + after.join(u'\n')),
                        runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, parent);
}

bool w_edition_import::mayChangeEditions(QWidget *parent)
{
    const server::ServerRoles::Answer may = server::ServerRoles::mayChangeEditions(sqlca);
    if (!may.allowed)
        runtime::messageBox(QStringLiteral("系统提醒您:"), may.message, runtime::MessageIcon::Exclamation,
                            runtime::MessageButtons::Ok, 1, parent);
    return may.allowed;
}

} // namespace edition
