#include "core/export/CsvWriter.h"

#include "core/export/TargetFile.h"

#include <QSaveFile>

namespace kivexport {

namespace {

// Rows gathered before each write: few system calls, and a cancel is seen quickly.
constexpr int kRowsPerChunk = 500;

} // namespace

QString CsvWriter::field(const QString &text)
{
    QString value = text;
    if (!value.isEmpty()) {
        const QChar first = value.at(0);
        if (first == u'=' || first == u'+' || first == u'-' || first == u'@')
            value.prepend(QLatin1Char('\''));
    }
    bool quote = false;
    for (QChar c : value)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') {
            quote = true;
            break;
        }
    if (!quote)
        return value;
    value.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

QByteArray CsvWriter::record(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += field(fields.at(i));
    }
    line += QStringLiteral("\r\n");
    return line.toUtf8();
}

WriteResult CsvWriter::write(const QString &path, const QList<ExportSheet> &sheets, ExportProgress *progress)
{
    const QString refused = TargetFile::precheck(path);
    if (!refused.isEmpty())
        return WriteResult::failed(TargetFile::failure(path, refused));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return WriteResult::failed(TargetFile::failure(path, file.errorString()));
    QByteArray chunk("\xEF\xBB\xBF");
    bool headerWritten = false;
    int inChunk = 0;
    const auto flush = [&]() {
        const bool ok = file.write(chunk) == chunk.size();
        chunk.clear();
        inChunk = 0;
        return ok;
    };
    for (const ExportSheet &sheet : sheets) {
        if (!headerWritten) {
            chunk += record(sheet.headers);
            headerWritten = true;
        }
        for (const QStringList &row : sheet.rows) {
            chunk += record(row);
            if (++inChunk == kRowsPerChunk) {
                if (progress && progress->cancelled) {
                    file.cancelWriting();
                    return WriteResult::cancelled();
                }
                if (!flush())
                    return WriteResult::failed(TargetFile::writeFailure(path, file.errorString()));
                if (progress)
                    progress->done += kRowsPerChunk;
            }
        }
    }
    if (progress && progress->cancelled) {
        file.cancelWriting();
        return WriteResult::cancelled();
    }
    if (!flush() || !file.commit())
        return WriteResult::failed(TargetFile::writeFailure(path, file.errorString()));
    if (progress)
        progress->done = ExportTable::rowCount(sheets);
    return WriteResult::written();
}

} // namespace kivexport
