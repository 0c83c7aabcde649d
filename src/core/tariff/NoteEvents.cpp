#include "core/tariff/NoteEvents.h"

namespace tariff {

NoteEvents *NoteEvents::instance()
{
    static NoteEvents events;
    return &events;
}

} // namespace tariff
