#pragma once

namespace catalog {

class Navigation;

// Builds both trees anew after an import or a restore changed the lists, and selects again
// the code each tree had selected where the tree still has it; the tree the user worked in
// last has the keyboard again.
class TreeReload
{
public:
    static void run(Navigation *navigation);
};

} // namespace catalog
