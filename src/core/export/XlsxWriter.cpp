#include "core/export/XlsxWriter.h"

#include "core/export/TargetFile.h"

#include <QFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <memory>

namespace kivexport {

namespace {

constexpr int kRowsPerCheck = 500;

// Frees a workbook that is given up without writing it.
struct WorkbookFree {
    void operator()(lxw_workbook *workbook) const { lxw_workbook_free(workbook); }
};
using Workbook = std::unique_ptr<lxw_workbook, WorkbookFree>;

// libxlsxwriter keeps the sheets in temporary files and does not check its writes to them:
// a full disk would give a truncated sheet in a file reported as written. A failed write
// leaves its errno behind (this thread's), which is looked at after each step.
bool writeFailedUnnoticed()
{
    return errno == ENOSPC || errno == EFBIG || errno == EDQUOT || errno == EIO;
}

QString lxwText(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

// Excel's sheet names: at most 31 characters, none of []:*?/\ , each once in a workbook.
QString sheetName(const QString &title, const QStringList &taken)
{
    QString name = title;
    for (QChar bad : {u'[', u']', u':', u'*', u'?', u'/', u'\\'})
        name.replace(bad, QLatin1Char('_'));
    name = name.left(28);
    for (int n = 2; taken.contains(name, Qt::CaseInsensitive); ++n)
        name = name.left(28) + QStringLiteral(" %1").arg(n);
    return name;
}

} // namespace

QString XlsxWriter::cutMark()
{
    return QStringLiteral("…[已截断]");
}

QString XlsxWriter::cellText(const QString &text)
{
    QString value;
    value.reserve(text.size());
    for (QChar c : text)
        if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')
            value.append(c);
    if (value.size() <= kMaxCellLength)
        return value;
    qsizetype keep = kMaxCellLength - cutMark().size();
    if (value.at(keep - 1).isHighSurrogate())
        --keep;
    return value.left(keep) + cutMark();
}

QList<double> XlsxWriter::columnWidths(const ExportSheet &sheet)
{
    QList<int> widest;
    for (const QString &h : sheet.headers)
        widest.append(ExportTable::displayWidth(h));
    for (const QStringList &row : sheet.rows)
        for (qsizetype c = 0; c < row.size() && c < widest.size(); ++c) {
            // Only a text that could be wider than the widest one so far is measured.
            if (row.at(c).size() > widest.at(c) / 2 && row.at(c).size() <= 4 * kMaxWidth)
                widest[c] = qMax(widest.at(c), ExportTable::displayWidth(row.at(c)));
            else if (row.at(c).size() > 4 * kMaxWidth)
                widest[c] = int(kMaxWidth);
        }
    QList<double> widths;
    for (int w : widest)
        widths.append(qBound(kMinWidth, double(w) + 2, kMaxWidth));
    return widths;
}

WriteResult XlsxWriter::write(const QString &path, const QList<ExportSheet> &sheets, ExportProgress *progress)
{
    const QString refused = TargetFile::precheck(path);
    if (!refused.isEmpty())
        return WriteResult::failed(TargetFile::failure(path, refused));
    QString error;
    const QString temporary = TargetFile::reserveTemporary(path, &error);
    if (temporary.isEmpty())
        return WriteResult::failed(TargetFile::failure(path, error));
    const auto give_up = [&temporary](WriteResult result) {
        QFile::remove(temporary);
        return result;
    };

    // Rows go out one after the other: constant memory keeps a whole list's 19,000 rows
    // from being held twice, and inline strings spare the shared-string table.
    errno = 0;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    Workbook workbook(workbook_new_opt(QFile::encodeName(temporary).constData(), &options));
    if (!workbook)
        return give_up(WriteResult::failed(TargetFile::failure(path, QStringLiteral("无法创建工作簿。"))));
    lxw_format *bold = workbook_add_format(workbook.get());
    format_set_bold(bold);

    QStringList names;
    for (const ExportSheet &sheet : sheets) {
        names.append(sheetName(sheet.title, names));
        lxw_worksheet *worksheet = workbook_add_worksheet(workbook.get(), names.last().toUtf8().constData());
        if (!worksheet)
            return give_up(WriteResult::failed(TargetFile::failure(path, QStringLiteral("无法添加工作表。"))));
        const QList<double> widths = columnWidths(sheet);
        for (int c = 0; c < widths.size(); ++c)
            worksheet_set_column(worksheet, lxw_col_t(c), lxw_col_t(c), widths.at(c), nullptr);
        worksheet_freeze_panes(worksheet, 1, 0);
        for (int c = 0; c < sheet.headers.size(); ++c)
            worksheet_write_string(worksheet, 0, lxw_col_t(c), sheet.headers.at(c).toUtf8().constData(), bold);
        lxw_row_t row = 1;
        for (const QStringList &cells : sheet.rows) {
            for (int c = 0; c < cells.size(); ++c) {
                if (cells.at(c).isEmpty())
                    continue;
                const lxw_error e = worksheet_write_string(worksheet, row, lxw_col_t(c),
                                                           cellText(cells.at(c)).toUtf8().constData(), nullptr);
                if (e != LXW_NO_ERROR)
                    return give_up(WriteResult::failed(TargetFile::failure(path, lxwText(e))));
            }
            if (row % kRowsPerCheck == 0) {
                if (writeFailedUnnoticed())
                    return give_up(WriteResult::failed(TargetFile::writeFailure(path, TargetFile::systemText(errno))));
                if (progress && progress->cancelled)
                    return give_up(WriteResult::cancelled());
                if (progress)
                    progress->done += kRowsPerCheck;
            }
            ++row;
        }
    }
    if (progress && progress->cancelled)
        return give_up(WriteResult::cancelled());
    // workbook_close() writes the file and frees the workbook whatever it answers.
    const lxw_error closed = workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR || writeFailedUnnoticed()) {
        const int reason = errno;
        return give_up(WriteResult::failed(TargetFile::writeFailure(
            path, reason ? TargetFile::systemText(reason) : lxwText(closed))));
    }
    if (!TargetFile::replace(temporary, path, &error))
        return WriteResult::failed(TargetFile::failure(path, error));
    if (progress)
        progress->done = ExportTable::rowCount(sheets);
    return WriteResult::written();
}

} // namespace kivexport
