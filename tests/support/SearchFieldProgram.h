#pragma once

#include "RunningProgram.h"

class QuickSearchController;

// The running program with its search field's index built.
struct SearchFieldProgram : RunningProgram {
    QuickSearchController *search = nullptr;

    // A database of the given rows, the program started on it, and its index ready.
    bool startWithIndex(const QString &rows);
};
