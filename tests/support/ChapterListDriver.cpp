#include "ChapterListDriver.h"

#include "auxiliary/u_list_dw.h"
#include "runtime/DataView.h"
#include "runtime/DataViewModel.h"

#include <QtTest>

void ChapterListDriver::toggleFlag(u_list_dw *list, int row)
{
    const int column = list->dataModel()->modelColumn(QStringLiteral("flag"));
    list->setCurrentIndex(list->dataModel()->index(row - 1, column));
    QTest::keyClick(list, Qt::Key_Space);
}
