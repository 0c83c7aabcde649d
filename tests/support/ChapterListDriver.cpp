#include "ChapterListDriver.h"

#include "core/runtime/DataView.h"
#include "core/runtime/DataViewModel.h"
#include "ui/auxiliary/u_list_dw.h"

#include <QtTest>

void ChapterListDriver::toggleFlag(u_list_dw *list, int row)
{
    const int column = list->dataModel()->modelColumn(QStringLiteral("flag"));
    list->setCurrentIndex(list->dataModel()->index(row - 1, column));
    QTest::keyClick(list, Qt::Key_Space);
}
