#include "core/export/ExportRequest.h"

#include <QFile>
#include <QFileInfo>

namespace kivexport::ExportRequest {

namespace {

const Format kFormats[] = {Format::Xlsx, Format::Csv, Format::Pdf};

// Leaves room for the suffix and the temporary name's additions within 255 bytes.
constexpr int kMaxBaseBytes = 150;

} // namespace

QString suffix(Format format)
{
    switch (format) {
    case Format::Xlsx: return QStringLiteral(".xlsx");
    case Format::Csv: return QStringLiteral(".csv");
    case Format::Pdf: return QStringLiteral(".pdf");
    }
    return QString();
}

Format formatOf(const QString &path, Format fallback)
{
    for (Format f : kFormats)
        if (path.endsWith(suffix(f), Qt::CaseInsensitive))
            return f;
    return fallback;
}

QString withSuffix(const QString &path, Format format)
{
    const QString wanted = suffix(format);
    if (path.isEmpty() || path.endsWith(wanted, Qt::CaseInsensitive))
        return path;
    for (Format f : kFormats)
        if (path.endsWith(suffix(f), Qt::CaseInsensitive))
            return path.chopped(suffix(f).size()) + wanted;
    return path + wanted;
}

QString fileName(What what, const QString &code, const QString &name, Format format)
{
    QString base;
    switch (what) {
    case What::Node: base = code + QLatin1Char(' ') + name; break;
    case What::Sheet: base = QStringLiteral("申报信息 ") + code; break;
    case What::FindResults: base = QStringLiteral("查找结果"); break;
    case What::SearchResults: base = QStringLiteral("搜索结果"); break;
    case What::WholeCustoms: base = QStringLiteral("海关商品目录"); break;
    case What::WholeForeign: base = QStringLiteral("外经贸商品目录"); break;
    }
    for (QChar &c : base)
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>'
            || c == u'|' || c.unicode() < 0x20)
            c = QLatin1Char('_');
    base = base.trimmed();
    while (QFile::encodeName(base).size() > kMaxBaseBytes)
        base.chop(1);
    if (!base.isEmpty() && base.back().isHighSurrogate())
        base.chop(1);
    return base.trimmed() + suffix(format);
}

QString profileSection()
{
    return QStringLiteral("export");
}

} // namespace kivexport::ExportRequest
