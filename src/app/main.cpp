#include "app/kiv.h"
#include "core/runtime/FreedMemory.h"
#include "core/runtime/SqliteLibrary.h"

int main(int argc, char *argv[])
{
    runtime::settleSqliteLibrary();
    runtime::shareOneHeap();
    return kiv::run(argc, argv);
}
