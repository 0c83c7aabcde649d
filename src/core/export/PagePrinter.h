#pragma once

#include "core/export/ExportProgress.h"
#include "core/export/PrintDocument.h"

#include <QDate>
#include <QFont>
#include <QString>

class QPagedPaintDevice;

namespace kivexport {

// Lays a document out on pages and paints it: on a printer (the preview dialog's) or into a
// PDF file. Each page has the header row, and a footer with the program's name, the edition
// of the rows, the date and "第 n 页，共 m 页".
class PagePrinter
{
public:
    PagePrinter();

    // The font of the pages: WenQuanYi Micro Hei where installed, as its text comes back out
    // of a PDF as written (Noto Sans CJK's comes back with radicals for 用, 口, 马 under Qt 6.4).
    static QString fontFamily();
    // The page layout of a new document: A4 portrait, 12 mm margins.
    static void setUpPage(QPagedPaintDevice *device);

    // The date the footer shows; today unless set (tests set a fixed one).
    void setDate(const QDate &date) { m_date = date; }
    // Paints the whole document; the number of pages, or 0 when the device could not be
    // painted on (or -1 when cancelled).
    int paint(QPagedPaintDevice *device, const PrintDocument &document, ExportProgress *progress = nullptr) const;

    // A PDF file of the document, written through a temporary file beside path.
    WriteResult writePdf(const QString &path, const PrintDocument &document, ExportProgress *progress = nullptr) const;

    // The footer's left part.
    QString footerText(const QStringList &editions) const;

private:
    QDate m_date;
};

} // namespace kivexport
