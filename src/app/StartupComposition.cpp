// Linked whole into programs that make main windows without the application object (the tests
// and benchmarks): a main window they make gets the features the start-up gives it.
#include "app/Features.h"

#include <QCoreApplication>

namespace {
void composeFeatures()
{
    kiv::composeMainWindow();
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(composeFeatures)
