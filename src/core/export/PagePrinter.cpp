#include "core/export/PagePrinter.h"

#include "core/export/TargetFile.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <vector>

namespace kivexport {

namespace {

constexpr qreal kPointSize = 8.5;
constexpr qreal kTitlePointSize = 12;
constexpr qreal kPaddingMm = 0.8;
constexpr int kRowsPerCheck = 200;
// A column whose widest text takes at most this many digit widths keeps it whole.
constexpr double kNarrowWeight = 12;

struct Layout {
    QFont font, bold, title;
    qreal width = 0, height = 0; // the paint rectangle, device pixels
    qreal padding = 0;
    qreal line = 0;              // one line of text
    qreal footer = 0;            // the footer's band at the bottom
    QList<qreal> columnX;        // left edge of each column, then the right edge of the last
};

qreal mm(QPagedPaintDevice *device, qreal millimetres)
{
    return millimetres * device->logicalDpiY() / 25.4;
}

// The height of a row: its tallest cell. Only a cell wider than its column is laid out
// word by word; the rest take one line, which keeps a 2,000-row chapter quick.
qreal rowHeight(const Layout &l, const QFontMetricsF &metrics, const PrintDocument::Row &row)
{
    qreal tallest = l.line;
    const bool spans = row.cells.size() == 1;
    for (qsizetype c = 0; c < row.cells.size() && c + 1 < l.columnX.size(); ++c) {
        const QString &text = row.cells.at(c);
        if (text.isEmpty())
            continue;
        const qreal width = (spans ? l.columnX.last() - l.columnX.first() : l.columnX.at(c + 1) - l.columnX.at(c))
            - 2 * l.padding;
        if (!text.contains(QLatin1Char('\n')) && metrics.horizontalAdvance(text) <= width)
            continue;
        const QRectF needed = metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text);
        tallest = qMax(tallest, needed.height());
    }
    // A row taller than a page is cut at the page's end rather than never placed.
    return qMin(tallest + 2 * l.padding, l.height * 0.8);
}

// Narrow columns (codes, levels, rates, units) get the width their widest text needs, so a
// code never wraps; the wide ones (names, conditions) share the rest by their weights and wrap.
QList<qreal> columnWidths(const QList<double> &weights, qreal width, qreal unit, qreal padding)
{
    QList<qreal> widths(weights.size(), 0);
    qreal fixed = 0;
    double flexible = 0;
    for (qsizetype c = 0; c < weights.size(); ++c) {
        if (weights.at(c) <= kNarrowWeight) {
            widths[c] = weights.at(c) * unit + padding + unit / 2;
            fixed += widths.at(c);
        } else {
            flexible += weights.at(c);
        }
    }
    if (fixed > width * 0.7)
        fixed = 0, flexible = 0; // too many narrow ones: all by their weights
    const qreal rest = width - fixed;
    double shares = flexible;
    if (shares == 0) // no wide column: the narrow ones share what is left
        for (double w : weights)
            shares += w;
    for (qsizetype c = 0; c < weights.size(); ++c)
        if (flexible == 0 || weights.at(c) > kNarrowWeight)
            widths[c] = (fixed > 0 && flexible == 0 ? widths.at(c) : 0) + rest * weights.at(c) / shares;
    return widths;
}

} // namespace

PagePrinter::PagePrinter() : m_date(QDate::currentDate()) {}

QString PagePrinter::fontFamily()
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString &wanted : {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("文泉驿微米黑")})
            if (families.contains(wanted))
                return wanted;
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

void PagePrinter::setUpPage(QPagedPaintDevice *device)
{
    device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
}

QString PagePrinter::footerText(const QStringList &editions) const
{
    QString text = QStringLiteral("Kivtree 商品编码");
    if (!editions.isEmpty())
        text += QStringLiteral("　数据版本：") + editions.join(QStringLiteral("，"));
    text += QStringLiteral("　日期：") + m_date.toString(Qt::ISODate);
    return text;
}

int PagePrinter::paint(QPagedPaintDevice *device, const PrintDocument &document, ExportProgress *progress) const
{
    QPainter painter;
    if (!painter.begin(device))
        return 0;
    Layout l;
    l.font = QFont(fontFamily());
    l.font.setPointSizeF(kPointSize);
    l.bold = l.font;
    l.bold.setBold(true);
    l.title = l.bold;
    l.title.setPointSizeF(kTitlePointSize);
    const QFontMetricsF metrics(l.font, device);
    const QFontMetricsF boldMetrics(l.bold, device);
    const QFontMetricsF titleMetrics(l.title, device);
    l.width = device->width();
    l.height = device->height();
    l.padding = mm(device, kPaddingMm);
    l.line = metrics.lineSpacing();
    l.footer = l.line * 2;
    const int columns = int(qMax<qsizetype>(1, qMax(document.headers.size(), document.weights.size())));
    QList<double> weights = document.weights;
    while (weights.size() < columns)
        weights.append(1);
    qreal x = 0;
    for (qreal w : columnWidths(weights, l.width, metrics.horizontalAdvance(QLatin1Char('0')), 2 * l.padding)) {
        l.columnX.append(x);
        x += w;
    }
    l.columnX.append(l.width);

    // First the page breaks, so that every footer can say how many pages there are.
    const qreal headerHeight = document.headers.isEmpty() ? 0 : rowHeight(l, boldMetrics, {document.headers, false});
    const qreal titleHeight = document.title.isEmpty() ? 0 : titleMetrics.lineSpacing() * 1.6;
    std::vector<qreal> heights;
    heights.reserve(size_t(document.rows.size()));
    std::vector<int> pageStarts{0};
    qreal y = titleHeight + headerHeight;
    const qreal bottom = l.height - l.footer;
    for (int r = 0; r < document.rowCount(); ++r) {
        const PrintDocument::Row &row = document.rows.at(r);
        heights.push_back(rowHeight(l, row.group ? boldMetrics : metrics, row));
        if (y + heights.back() > bottom && r > pageStarts.back()) {
            pageStarts.push_back(r);
            y = headerHeight;
        }
        y += heights.back();
    }
    const int pages = int(pageStarts.size());

    const QPen grid(QColor(160, 160, 160), mm(device, 0.15));
    const auto drawRow = [&](const PrintDocument::Row &row, qreal top, qreal height, bool header) {
        const bool spans = row.cells.size() == 1 && columns > 1;
        if (header || row.group)
            painter.fillRect(QRectF(0, top, l.width, height), header ? QColor(225, 225, 225) : QColor(240, 240, 240));
        painter.setFont(header || row.group ? l.bold : l.font);
        const QFontMetricsF &m = header || row.group ? boldMetrics : metrics;
        for (int c = 0; c < (spans ? 1 : columns); ++c) {
            const qreal left = l.columnX.at(c);
            const qreal right = spans ? l.width : l.columnX.at(c + 1);
            painter.setPen(grid);
            painter.drawRect(QRectF(left, top, right - left, height));
            const QString text = c < row.cells.size() ? row.cells.at(c) : QString();
            if (text.isEmpty())
                continue;
            painter.setPen(Qt::black);
            const QRectF box(left + l.padding, top + l.padding, right - left - 2 * l.padding, height - 2 * l.padding);
            if (!text.contains(QLatin1Char('\n')) && m.horizontalAdvance(text) <= box.width())
                painter.drawText(QPointF(box.left(), box.top() + m.ascent()), text);
            else
                painter.drawText(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
        }
    };

    const QString footerLeft = footerText(document.editions);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device->newPage())
            return 0;
        qreal top = 0;
        if (page == 0 && titleHeight > 0) {
            painter.setFont(l.title);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(0, titleMetrics.ascent()), document.title);
            top = titleHeight;
        }
        if (headerHeight > 0) {
            drawRow({document.headers, false}, top, headerHeight, true);
            top += headerHeight;
        }
        const int end = page + 1 < pages ? pageStarts.at(page + 1) : document.rowCount();
        for (int r = pageStarts.at(page); r < end; ++r) {
            drawRow(document.rows.at(r), top, heights.at(size_t(r)), false);
            top += heights.at(size_t(r));
            if (progress && (r + 1) % kRowsPerCheck == 0) {
                if (progress->cancelled)
                    return -1;
                progress->done += kRowsPerCheck;
            }
        }
        painter.setFont(l.font);
        painter.setPen(Qt::black);
        const qreal baseline = l.height - l.footer + l.line * 1.2;
        painter.drawText(QPointF(0, baseline), footerLeft);
        const QString number = QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(pages);
        painter.drawText(QPointF(l.width - metrics.horizontalAdvance(number), baseline), number);
    }
    if (!painter.end())
        return 0;
    if (progress)
        progress->done = document.rowCount();
    return pages;
}

WriteResult PagePrinter::writePdf(const QString &path, const PrintDocument &document, ExportProgress *progress) const
{
    const QString refused = TargetFile::precheck(path);
    if (!refused.isEmpty())
        return WriteResult::failed(TargetFile::failure(path, refused));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return WriteResult::failed(TargetFile::failure(path, file.errorString()));
    int pages = 0;
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Kivtree"));
        pdf.setTitle(document.title);
        pdf.setResolution(300);
        setUpPage(&pdf);
        pages = paint(&pdf, document, progress);
    }
    if (pages < 0) {
        file.cancelWriting();
        return WriteResult::cancelled();
    }
    if (pages == 0 || file.error() != QFileDevice::NoError || !file.commit())
        return WriteResult::failed(file.error() != QFileDevice::NoError
                                       ? TargetFile::writeFailure(path, file.errorString())
                                       : TargetFile::failure(path, QStringLiteral("无法生成 PDF。")));
    return WriteResult::written();
}

} // namespace kivexport
