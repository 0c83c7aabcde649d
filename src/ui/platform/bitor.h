#pragma once

#include <QList>

#include <optional>

// The system's global function bitor: the bitwise OR of flag values. `bitor` is a C++
// alternative token (for `|`), so the function is `bitor_` here.
//
// Returns the OR of all values, or -1 after the "Error" message when fewer than two values are
// given. A null element (std::nullopt) contributes no bits. Every value is taken as its 32-bit
// two's-complement pattern, so negative and large values combine bit by bit as well: -1 has all
// 32 bits set, and a result with bit 31 set is negative. (A result of -1 is therefore the same
// as the failure value; callers pass small flag values.)
qint32 bitor_(const QList<std::optional<qint32>> &values);
