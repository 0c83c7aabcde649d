#pragma once

class QWidget;

namespace kiv {

// The look the auxiliary windows share: the button-face colour as the window's background and
// 9-point 宋体 (SimSun) for its texts. Linux has no font of that name: Qt's font matching falls
// back to the desktop's default face, and the Chinese glyphs come from the CJK fonts installed
// (Noto CJK on Debian), so the texts stay readable at the same size.
void applyDialogLook(QWidget *window);

} // namespace kiv
