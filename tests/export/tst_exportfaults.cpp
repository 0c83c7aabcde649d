// Files that cannot be written, for each of the three writers: a folder without write
// access, a full disk (a file size limit), a name the file system refuses. Each time a clear
// message, no file of the writer's left behind and the old file untouched.
#include "core/export/CsvWriter.h"
#include "core/export/PagePrinter.h"
#include "core/export/XlsxWriter.h"

#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using kivexport::ExportSheet;
using kivexport::WriteResult;

namespace {

enum class Writer { Csv, Xlsx, Pdf };
enum class Fault { ReadOnlyFolder, DiskFull, NameTooLong };

// A file size limit for the life of the object; writes beyond it fail with EFBIG instead of
// the signal ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// Root writes into any folder: without these capabilities in effect it meets the folder's
// mode as any user does. Restored when the object goes.
class WithoutFileOverride
{
public:
    WithoutFileOverride()
    {
        if (syscall(SYS_capget, &m_header, m_old) != 0)
            return;
        __user_cap_data_struct lowered[2];
        std::memcpy(lowered, m_old, sizeof m_old);
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_changed = syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~WithoutFileOverride()
    {
        if (m_changed)
            syscall(SYS_capset, &m_header, m_old);
    }
    WithoutFileOverride(const WithoutFileOverride &) = delete;
    WithoutFileOverride &operator=(const WithoutFileOverride &) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_old[2]{};
    bool m_changed = false;
};

QString suffix(Writer writer)
{
    switch (writer) {
    case Writer::Csv: return QStringLiteral(".csv");
    case Writer::Xlsx: return QStringLiteral(".xlsx");
    case Writer::Pdf: return QStringLiteral(".pdf");
    }
    return QString();
}

WriteResult write(Writer writer, const QString &path, const QList<ExportSheet> &sheets)
{
    switch (writer) {
    case Writer::Csv: return kivexport::CsvWriter::write(path, sheets, nullptr);
    case Writer::Xlsx: return kivexport::XlsxWriter::write(path, sheets, nullptr);
    case Writer::Pdf: return kivexport::PagePrinter().writePdf(path, kivexport::PrintDocument::forSheets(QString(), sheets));
    }
    return WriteResult::failed(QString());
}

} // namespace

Q_DECLARE_METATYPE(Writer)
Q_DECLARE_METATYPE(Fault)

class tst_exportfaults : public QObject
{
    Q_OBJECT
private slots:
    void refusedWrite_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("reason");
        const QList<QPair<const char *, Writer>> writers = {{"csv", Writer::Csv}, {"xlsx", Writer::Xlsx}, {"pdf", Writer::Pdf}};
        for (const auto &[name, writer] : writers) {
            QTest::addRow("%s: read-only folder", name) << writer << Fault::ReadOnlyFolder << QStringLiteral("权限");
            QTest::addRow("%s: disk full", name) << writer << Fault::DiskFull << QStringLiteral("磁盘");
            QTest::addRow("%s: name of 300 bytes", name) << writer << Fault::NameTooLong << QStringLiteral("文件名太长");
        }
    }
    void refusedWrite()
    {
        QFETCH(Writer, writer);
        QFETCH(Fault, fault);
        QFETCH(QString, reason);
        TestEnv env;
        ExportSheet sheet{QStringLiteral("海关商品"), {QStringLiteral("商品编码"), QStringLiteral("商品名称")}, {}, {}};
        for (int i = 0; i < 3000; ++i)
            sheet.rows.append({QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0')), QStringLiteral("改良种用马，其他").repeated(4)});
        const QString folder = env.path(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(folder));
        QString name = QStringLiteral("商品") + suffix(writer);
        if (fault == Fault::NameTooLong)
            name = QString(100, u'马') + suffix(writer); // 300 bytes in UTF-8
        const QString path = folder + QLatin1Char('/') + name;
        const QString old = folder + QLatin1Char('/') + QStringLiteral("商品") + suffix(writer);
        QVERIFY(TestEnv::writeFile(old, "old content"));

        WriteResult result;
        if (fault == Fault::ReadOnlyFolder) {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            {
                const WithoutFileOverride asAnyUser;
                result = write(writer, path, {sheet});
            }
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else if (fault == Fault::DiskFull) {
            const FileSizeLimit limit(16 * 1024);
            result = write(writer, path, {sheet});
        } else {
            result = write(writer, path, {sheet});
        }
        QCOMPARE(result.status, WriteResult::Status::Failed);
        QVERIFY2(result.message.contains(reason), qPrintable(result.message));
        QVERIFY(result.message.contains(QStringLiteral("未被改动")));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(old).fileName()});
        QCOMPARE(TestEnv::readFile(old), QByteArray("old content"));
    }
};

KIV_TEST_MAIN(tst_exportfaults)
#include "tst_exportfaults.moc"
