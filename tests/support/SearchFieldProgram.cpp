#include "SearchFieldProgram.h"

#include "ui/mainwin/w_kiv.h"
#include "ui/quicksearch/QuickSearchController.h"

#include <QtTest>

bool SearchFieldProgram::startWithIndex(const QString &rows)
{
    if (!makeDatabase(rows) || !start())
        return false;
    search = QuickSearchController::of(window.get());
    return search && QTest::qWaitFor([this] { return search->isIndexReady(); });
}
