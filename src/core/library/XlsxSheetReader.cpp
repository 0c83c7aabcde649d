#include "core/library/XlsxSheetReader.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

#include <cmath>
#include <memory>

namespace library {

namespace {

constexpr qint64 kMaxPartBytes = 512ll * 1024 * 1024; // an unpacked part larger than this is refused

struct ZipCloser {
    void operator()(void *zip) const { unzClose(zip); }
};
using Zip = std::unique_ptr<void, ZipCloser>;

// One part of the package, unpacked; false when it is missing or damaged.
bool readPart(unzFile zip, const QString &name, QByteArray *out)
{
    if (unzLocateFile(zip, name.toUtf8().constData(), 0) != UNZ_OK)
        return false;
    unz_file_info info{};
    if (unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK
        || qint64(info.uncompressed_size) > kMaxPartBytes || unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    out->resize(qsizetype(info.uncompressed_size));
    const int read = out->isEmpty() ? 0 : unzReadCurrentFile(zip, out->data(), unsigned(out->size()));
    const bool whole = read == out->size() && unzCloseCurrentFile(zip) == UNZ_OK; // the CRC is checked at close
    return whole;
}

// The text of an <si> or <is> element: its <t> pieces, without the phonetic runs (<rPh>).
QString stringItem(QXmlStreamReader &xml)
{
    const QString endName = xml.name().toString();
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"rPh")
            ++phonetic;
        else if (xml.isEndElement() && xml.name() == u"rPh")
            --phonetic;
        else if (xml.isStartElement() && xml.name() == u"t" && phonetic == 0)
            text += xml.readElementText();
        else if (xml.isEndElement() && xml.name() == endName)
            break;
    }
    return text;
}

QStringList sharedStrings(const QByteArray &part)
{
    QStringList strings;
    QXmlStreamReader xml(part);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            strings << stringItem(xml);
    }
    return strings;
}

// The first sheet's part name, from the workbook and its relationships.
QString firstSheetPart(unzFile zip)
{
    QByteArray workbook, rels;
    if (!readPart(zip, QStringLiteral("xl/workbook.xml"), &workbook))
        return {};
    QString id;
    for (QXmlStreamReader xml(workbook); !xml.atEnd() && id.isEmpty();) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet")
            for (const QXmlStreamAttribute &a : xml.attributes())
                if (a.name() == u"id" && a.prefix() == u"r")
                    id = a.value().toString();
    }
    if (id.isEmpty() || !readPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), &rels))
        return {};
    for (QXmlStreamReader xml(rels); !xml.atEnd();) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship"
            || xml.attributes().value(QLatin1String("Id")) != id)
            continue;
        const QString target = xml.attributes().value(QLatin1String("Target")).toString();
        return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
    }
    return {};
}

} // namespace

int XlsxSheetReader::columnOf(const QString &reference)
{
    int column = 0;
    int letters = 0;
    for (const QChar c : reference) {
        if (c < u'A' || c > u'Z')
            break;
        column = column * 26 + (c.unicode() - u'A' + 1);
        ++letters;
    }
    return letters == 0 ? -1 : column - 1;
}

QString XlsxSheetReader::numberText(const QString &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ok && std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 1e15)
        return QString::number(qint64(number));
    return ok ? QString::number(number, 'g', 15) : value;
}

bool XlsxSheetReader::read(const QString &path, QList<Row> *rows, QString *error)
{
    rows->clear();
    Zip zip(unzOpen64(QFile::encodeName(path).constData()));
    if (!zip) {
        *error = QStringLiteral("无法打开 Excel 文件（不是 .xlsx 工作簿，或文件已损坏）。");
        return false;
    }
    const QString sheetName = firstSheetPart(zip.get());
    QByteArray sheet, strings;
    if (sheetName.isEmpty() || !readPart(zip.get(), sheetName, &sheet)) {
        *error = QStringLiteral("Excel 文件中找不到工作表，或工作表已损坏。");
        return false;
    }
    const QStringList shared = readPart(zip.get(), QStringLiteral("xl/sharedStrings.xml"), &strings)
        ? sharedStrings(strings)
        : QStringList();

    QXmlStreamReader xml(sheet);
    Row row;
    int nextColumn = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"row") {
            bool ok = false;
            const int number = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            row = Row{ok ? number : (rows->isEmpty() ? 1 : rows->last().line + 1), {}};
            nextColumn = 0;
        } else if (xml.isEndElement() && xml.name() == u"row") {
            rows->append(row);
        } else if (xml.isStartElement() && xml.name() == u"c") {
            const QString type = xml.attributes().value(QLatin1String("t")).toString();
            const int at = columnOf(xml.attributes().value(QLatin1String("r")).toString());
            const int column = at >= 0 ? at : nextColumn;
            QString value;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == u"v")
                    value = xml.readElementText();
                else if (xml.isStartElement() && xml.name() == u"is")
                    value = stringItem(xml);
                else if (xml.isStartElement()) // <f>: the formula itself is not what the user sees
                    xml.skipCurrentElement();
                else if (xml.isEndElement() && xml.name() == u"c")
                    break;
            }
            if (type == u"s")
                value = shared.value(value.toInt());
            else if (type == u"b")
                value = value == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            else if (type.isEmpty() || type == u"n")
                value = numberText(value);
            while (row.cells.size() <= column)
                row.cells.append(QString());
            row.cells[column] = value;
            nextColumn = column + 1;
        }
    }
    if (xml.hasError()) {
        *error = QStringLiteral("Excel 文件的工作表无法读取: %1").arg(xml.errorString());
        rows->clear();
        return false;
    }
    return true;
}

} // namespace library
