#pragma once

// The options dialog over a small database of its own, beside a main window.

#include "core/runtime/DataView.h"
#include "core/runtime/DataViewModel.h"
#include "core/runtime/ProfileStrings.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "support/ButtonDriver.h"
#include "support/ChapterListDriver.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "ui/auxiliary/u_list_dw.h"
#include "ui/auxiliary/u_url_link.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/options/w_sys_option.h"
#include "ui/runtime/LayoutUnits.h"
#include "ui/tree/u_tv.h"
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <memory>

namespace {

const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', 'Horses', NULL), ('0101210010', '野马', NULL),"
    " ('02', '肉', 'N'), ('0201', 'Meat', NULL), ('03', '鱼', 'Y'), ('0301', 'Fish', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', 'Horses', NULL), ('02', '肉', 'N'), ('0201', 'Meat', NULL);";

const QByteArray kProfile = "[data]\r\nHGDETAIL=N\r\nWJDETAIL=N\r\nHGtype=R\r\njmwtype=R\r\n";

const QString kHgFlags = QStringLiteral("SELECT code || '=' || flag FROM list_hscode WHERE length(code) = 2 ORDER BY code");
const QString kWmFlags =
    QStringLiteral("SELECT jmw_code || '=' || flag FROM list_jmwcode WHERE length(jmw_code) = 2 ORDER BY jmw_code");

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

struct Fixture {
    TestEnv env;
    MessageRecorder recorder;
    QString file = env.path(QStringLiteral("K-I-V.db"));
    std::unique_ptr<runtime::Transaction> transaction = std::make_unique<runtime::Transaction>();

    // The database and the profile file; a null profile leaves the file missing. readOnly opens
    // the database read-only, as a file without write permission is for anyone but root.
    bool prepare(const QByteArray &profile = kProfile, const char *rows = kRows, bool readOnly = false)
    {
        gs_docname = env.configHome() + QStringLiteral("/velquor_kiv.ini");
        if (!profile.isNull()) {
            QFile ini(gs_docname);
            if (!ini.open(QIODevice::WriteOnly) || ini.write(profile) != profile.size())
                return false;
        }
        if (!TestDatabase::create(file) || !TestDatabase::exec(file, QString::fromUtf8(rows)))
            return false;
        QString connect = TestEnv::directConnectString(file);
        if (readOnly) {
            QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
            connect = QStringLiteral("Driver=%1;Database=file:%2?mode=ro;NoCreat=1;").arg(TestEnv::driverPath(), file);
        }
        transaction->dbParm = QStringLiteral("Connectstring='%1'").arg(connect);
        transaction->autoCommit = false;
        sqlca = transaction.get();
        return transaction->connect() == 0;
    }
    ~Fixture() { sqlca = nullptr; }

    QStringList hgFlags() const { return TestDatabase::column(file, kHgFlags); }
    QStringList wmFlags() const { return TestDatabase::column(file, kWmFlags); }
};

// A dialog that has run its posted ue_postopen.
std::unique_ptr<w_sys_option> openDialog()
{
    auto window = std::make_unique<w_sys_option>();
    window->show();
    QCoreApplication::processEvents();
    return window;
}

QStringList shownFlags(const u_list_dw *list)
{
    QStringList flags;
    const runtime::DataView *view = list->dataView();
    for (long row = 1; row <= view->rowCount(); ++row)
        flags.append(view->itemString(row, view->definition().columns.first().name) + u'='
                     + view->itemString(row, QStringLiteral("flag")));
    return flags;
}

// Toggles a row's check box as the user does from the keyboard: the row's flag cell made current,
// then the space bar.
using ChapterListDriver::toggleFlag;

void clickHeader(u_list_dw *list, const char *column)
{
    QHeaderView *header = list->horizontalHeader();
    const int section = list->dataModel()->modelColumn(QLatin1String(column));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                             header->height() / 2));
}

QString profileKey(const char *key)
{
    return runtime::profileString(gs_docname, QStringLiteral("data"), QLatin1String(key), QStringLiteral("<none>"));
}

long treeChapters(const u_tv *tree)
{
    long count = 0;
    const long root = tree->findItem(runtime::TreeNavigation::Root, 0);
    for (long item = tree->findItem(runtime::TreeNavigation::Child, root); item > 0;
         item = tree->findItem(runtime::TreeNavigation::Next, item))
        ++count;
    return count;
}

} // namespace
