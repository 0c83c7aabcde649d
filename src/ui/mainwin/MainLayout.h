#pragma once

#include <QRect>

// The main window's layout arithmetic, in layout units. W and H are the window's outer
// width and height; halves are truncated toward zero.
namespace MainLayout {

inline constexpr int kBarThickness = 20;
inline constexpr int kTreeMargin = 40;
inline constexpr int kTreeHeightReserve = 460;
inline constexpr int kStatusLift = 200;
inline constexpr int kLabelRightInset = 100;
inline constexpr int kLabelTopOffset = 20;
inline constexpr int kLeftLimit = 150;
inline constexpr int kRightLimit = 200;

// Design positions of the window's controls.
inline constexpr QRect kTree1{14, 180, 1083, 1164};
inline constexpr QRect kBar{1079, 92, 46, 2436};
inline constexpr QRect kTree2{1134, 180, 677, 1164};
inline constexpr QRect kPanel1{87, 196, 1673, 340};
inline constexpr QRect kPanel2{1769, 200, 1673, 340};
inline constexpr QRect kLink{1449, 432, 727, 84};
inline constexpr QRect kWindow{1088, 868, 2693, 1552};

struct Controls {
    QRect tree1 = kTree1;
    QRect bar = kBar;
    QRect tree2 = kTree2;
    QRect status{0, 0, 1600, 80};  // st_1
    QRect clock{0, 0, 560, 72};    // st_time
    QRect link = kLink;            // st_2
    int lineEnd = 0;               // end x of ln_1 and ln_2
};

// The x that centres a control of the given width in a window of width W.
inline int centredX(int W, int width)
{
    return W / 2 - width / 2;
}

// The resize event: splits the width evenly between the trees again. debug keeps the bar's
// own width.
void resize(Controls &c, int width, int height, bool debug = false);

// Applies the bar's x to the bar and both trees after enforcing the limits. Returns how many
// times the limit message is due (0, 1 or 2).
int resizeBars(Controls &c, int width);

} // namespace MainLayout
