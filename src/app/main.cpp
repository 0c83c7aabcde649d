#include "app/kiv.h"
#include "core/runtime/FreedMemory.h"

int main(int argc, char *argv[])
{
    runtime::shareOneHeap();
    return kiv::run(argc, argv);
}
