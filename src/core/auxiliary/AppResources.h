#pragma once

#include <QCursor>
#include <QString>

namespace kiv {

// The program's own pictures, stored in resources/app.qrc under the prefix /app.
// The originals were ".\harrow.cur", ".\whowhere.bmp" and ".\helptop.bmp " (with a trailing
// blank); here they are PNG files under the same base names.
inline constexpr const char kHandCursorResource[] = ":/app/cursors/harrow.png";
inline constexpr const char kBitmapFolder[] = ":/app/bitmaps";
inline constexpr const char kWhoWhereBitmap[] = "whowhere.png";
inline constexpr const char kHelpTopBitmap[] = "helptop.png";

// Registers the resources of app.qrc. The file is compiled into the static library kivapp,
// whose resource object the linker would drop unless something refers to it; every user of
// the pictures calls this first. Safe to call any number of times.
void initAppResources();

// The pointing-hand cursor of link labels and of the chapter check boxes, its hot spot on the
// index fingertip. Falls back to Qt's own pointing hand when the picture cannot be loaded.
QCursor handCursor();

} // namespace kiv
