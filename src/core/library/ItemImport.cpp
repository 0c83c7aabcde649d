#include "core/library/ItemImport.h"

#include "core/edition/CsvTable.h"
#include "core/edition/SourceText.h"
#include "core/library/ItemBasis.h"
#include "core/library/ItemCode.h"
#include "core/library/ItemStore.h"
#include "core/library/XlsxSheetReader.h"
#include "core/runtime/ManualCommit.h"
#include "core/runtime/Transaction.h"
#include "core/tariff/DeclarationElements.h"
#include "core/tariff/TariffStore.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace library {

namespace {

// Chinese and English names of each column, in the order of columns().
const char16_t *const kChinese[] = {u"料号", u"品名", u"规格型号", u"商品编码", u"申报要素", u"归类依据"};
const char *const kEnglish[] = {"part_no", "name", "model", "code", "elements", "reason"};
constexpr int kFileColumns = 6;

// A cell our own export (or a careful user) guarded against formulas: "'=SUM(A1)" is "=SUM(A1)".
QString cell(const QString &value)
{
    QString v = value.trimmed();
    if (v.size() > 1 && v.front() == u'\'' && QStringLiteral("=+-@").contains(v.at(1)))
        v.remove(0, 1);
    return v;
}

} // namespace

QStringList ItemImport::columns()
{
    QStringList names;
    for (const char16_t *n : kChinese)
        names << QString::fromUtf16(n);
    return names;
}

int ItemImport::accepted() const
{
    int n = 0;
    for (const Row &r : m_rows)
        n += r.problem.isEmpty() ? 1 : 0;
    return n;
}

bool ItemImport::read(const QString &path, runtime::Transaction *sqlca, QString *error)
{
    QFile file(path);
    if (file.size() > edition::SourceText::kMaxBytes) {
        *error = QStringLiteral("文件超过 50 MB，未读取。");
        return false;
    }
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        return readWorkbook(path, sqlca, error);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法读取文件: %1").arg(file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    QString text;
    edition::ReadError readError;
    if (edition::SourceText::looksLikeGbk(bytes)) {
        QStringDecoder gbk("GB18030");
        if (!gbk.isValid()) {
            *error = QStringLiteral("文件是 GBK 编码，请在 Excel 中另存为“CSV UTF-8”后再导入。");
            return false;
        }
        text = gbk.decode(bytes);
    } else if (!edition::SourceText::decode(bytes, &text, &readError)) {
        *error = readError.message;
        return false;
    }
    return parse(text, sqlca, error);
}

bool ItemImport::parse(const QString &text, runtime::Transaction *sqlca, QString *error)
{
    m_rows.clear();
    QString body = text;
    if (body.startsWith(QChar(0xFEFF)))
        body.remove(0, 1);
    edition::CsvTable table;
    edition::ReadError readError;
    if (!table.parse(body, {}, &readError)) {
        *error = readError.text();
        return false;
    }
    QList<Record> records;
    records.reserve(table.records().size());
    for (const auto &record : table.records())
        records.append({record.line, record.fields});
    return check(table.header(), records, sqlca, error);
}

bool ItemImport::readWorkbook(const QString &path, runtime::Transaction *sqlca, QString *error)
{
    m_rows.clear();
    QList<XlsxSheetReader::Row> rows;
    if (!XlsxSheetReader::read(path, &rows, error))
        return false;
    // The header is the first row with anything in it; rows without any text are skipped.
    const auto blank = [](const QStringList &cells) {
        return std::all_of(cells.cbegin(), cells.cend(), [](const QString &c) { return c.trimmed().isEmpty(); });
    };
    while (!rows.isEmpty() && blank(rows.first().cells))
        rows.removeFirst();
    if (rows.isEmpty()) {
        *error = QStringLiteral("Excel 文件的第一个工作表是空的。");
        return false;
    }
    QStringList header = rows.takeFirst().cells;
    for (QString &name : header)
        name = name.trimmed();
    QList<Record> records;
    records.reserve(rows.size());
    for (const auto &row : std::as_const(rows))
        if (!blank(row.cells))
            records.append({row.line, row.cells});
    return check(header, records, sqlca, error);
}

bool ItemImport::check(const QStringList &header, const QList<Record> &records, runtime::Transaction *sqlca,
                       QString *error)
{
    int col[kFileColumns];
    for (int i = 0; i < kFileColumns; ++i) {
        col[i] = int(header.indexOf(QString::fromUtf16(kChinese[i])));
        if (col[i] < 0)
            col[i] = int(header.indexOf(QString::fromLatin1(kEnglish[i])));
    }
    if (col[0] < 0 || col[1] < 0 || col[3] < 0) {
        *error = QStringLiteral("第 1 行的标题中缺少“料号”、“品名”或“商品编码”列（应有的列：%1）。")
                     .arg(columns().join(QStringLiteral("，")));
        return false;
    }
    // Everything a row is checked against, read once: 100,000 rows need no query each.
    tariff::TariffStore tariff(sqlca);
    const QHash<QString, tariff::TariffRecord> lines = tariff.lines();
    if (lines.isEmpty() && !tariff.lastError().isEmpty()) {
        *error = QStringLiteral("无法读取商品编码表: ") + tariff.lastError();
        return false;
    }
    QHash<QString, QStringList> underEight;
    for (auto it = lines.cbegin(); it != lines.cend(); ++it)
        underEight[it.key().left(8)] << it.key();
    ItemStore store(sqlca);
    QSet<QString> stored;
    for (const Item &it : store.all())
        stored.insert(it.partNumber);
    QSet<QString> seen;
    for (const Record &record : records) {
        const auto value = [&](int i) { return col[i] >= 0 ? cell(record.fields.value(col[i])) : QString(); };
        Row row;
        row.line = record.line;
        Item &it = row.item;
        it.partNumber = value(0);
        it.name = value(1);
        it.model = value(2);
        it.elementValues = value(4);
        it.reason = value(5);
        QString code = ItemCode::normalized(value(3));
        // A code kept as a number in Excel loses its leading zero (0101210010 shows 101210010).
        static const QRegularExpression zeroLost(QStringLiteral("^\\d{7}$|^\\d{9}$"));
        if (zeroLost.match(code).hasMatch())
            code.prepend(u'0');
        if (it.partNumber.isEmpty() && it.name.isEmpty() && code.isEmpty())
            continue; // an empty row
        if (it.partNumber.isEmpty() || it.name.isEmpty() || code.isEmpty()) {
            row.problem = QStringLiteral("缺少料号、品名或商品编码");
        } else if (seen.contains(it.partNumber)) {
            row.problem = QStringLiteral("料号“%1”在文件中重复").arg(it.partNumber);
        } else if (code.size() == 8 && underEight.value(code).size() == 1) {
            it.code = underEight.value(code).first();
        } else if (code.size() == 8 && underEight.value(code).size() > 1) {
            row.problem = QStringLiteral("8位编码 %1 下有多个十位编码: %2").arg(code, underEight.value(code).join(u' '));
        } else if (lines.contains(code)) {
            it.code = code;
        } else {
            row.problem = QStringLiteral("商品编码“%1”不在当前的海关商品编码表中").arg(value(3));
        }
        if (row.problem.isEmpty() && !it.elementValues.isEmpty()) {
            const int elements = int(tariff::DeclarationElements::parse(lines.value(it.code).declarationElements).size());
            const int places = int(it.elementValues.count(u'|')) + 1;
            if (elements > 0 && places != elements)
                row.problem = QStringLiteral("申报要素有 %1 项，编码 %2 要求 %3 项（某项的值可能含有“|”）")
                                  .arg(places)
                                  .arg(it.code)
                                  .arg(elements);
        }
        if (row.problem.isEmpty()) {
            it.basis = ItemBasis::of(lines.value(it.code));
            row.update = stored.contains(it.partNumber);
        }
        if (!it.partNumber.isEmpty())
            seen.insert(it.partNumber);
        m_rows.append(row);
    }
    return true;
}

bool ItemImport::apply(runtime::Transaction *sqlca, const QString &userName, QString *error) const
{
    ItemStore store(sqlca);
    if (!store.ensureTable()) {
        *error = store.lastError();
        return false;
    }
    runtime::ManualCommit manual(sqlca);
    const QString at = stampNow();
    bool ok = true;
    for (const Row &r : m_rows) {
        if (!r.problem.isEmpty())
            continue;
        const Item &it = r.item;
        const int failed = r.update
            ? sqlca->execute(sqlca->adaptSql(QStringLiteral(
                                 "UPDATE item SET name = ?, model = ?, code = ?, element_values = ?, reason = ?, "
                                 "basis = ?, review_changes = '', changed_at = ?, changed_by = ?, version = version + 1 "
                                 "WHERE part_no = ?")),
                             {it.name, it.model, it.code, it.elementValues, it.reason, it.basis, at, userName,
                              it.partNumber})
            : sqlca->execute(sqlca->adaptSql(QStringLiteral(
                                 "INSERT INTO item (part_no, name, model, code, element_values, reason, basis, "
                                 "review_changes, changed_at, changed_by, version) VALUES (?, ?, ?, ?, ?, ?, ?, '', ?, ?, 1)")),
                             {it.partNumber, it.name, it.model, it.code, it.elementValues, it.reason, it.basis, at,
                              userName});
        if (failed != 0) {
            ok = false;
            break;
        }
    }
    if (ok)
        ok = sqlca->commit() == 0;
    if (!ok) {
        *error = QStringLiteral("数据库拒绝了导入，未写入任何商品: ") + sqlca->sqlErrText();
        sqlca->rollback();
    }
    return ok;
}

} // namespace library
