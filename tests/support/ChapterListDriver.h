#pragma once

class u_list_dw;

// Drives a chapter list of the options dialog with the keyboard, as a user does.
namespace ChapterListDriver {
// Moves to the row's 显示 check box (rows count from 1) and presses the space bar on it.
void toggleFlag(u_list_dw *list, int row);
} // namespace ChapterListDriver
