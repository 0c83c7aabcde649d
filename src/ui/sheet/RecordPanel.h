#pragma once

#include "core/sheet/SheetContent.h"

#include <QList>
#include <QScrollArea>

class QLabel;

namespace sheet {

// The record part of the declarant's sheet: one row of labels per caption and value, in
// groups. A page of labels is made once for each arrangement of captions (a tariff line, a
// heading with its path, ...) and kept, so that following the tree only changes the values'
// texts: every tariff line has the same captions, and re-laying out only what changed keeps
// the arrow key in the tree fast. Each value label's accessible name is its caption and
// value, so a screen reader reads "增值税率 9%", not a bare "9%".
class RecordPanel : public QScrollArea
{
    Q_OBJECT
public:
    explicit RecordPanel(QWidget *parent = nullptr);

    void showGroups(const QList<SheetContent::Group> &groups);
    void clear();

    // The shown titles, captions and values, one line per row ("caption  value").
    QString shownText() const;

private:
    struct Page {
        QString key;
        QWidget *widget = nullptr;
        QList<QLabel *> values;
    };
    static QString keyOf(const QList<SheetContent::Group> &groups);
    Page makePage(const QString &key, const QList<SheetContent::Group> &groups);
    void setPage(int index);

    QList<Page> m_pages; // the most recently shown first
    QWidget *m_empty = nullptr;
};

} // namespace sheet
