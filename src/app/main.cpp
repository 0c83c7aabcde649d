#include "app/kiv.h"

int main(int argc, char *argv[])
{
    return kiv::run(argc, argv);
}
