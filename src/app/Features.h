#pragma once

class w_kiv;

namespace kiv {

// Puts the features on a new main window: the menu bar and toolbar (m_main), the drop-down 工具
// with the sheet, the search field, export and print, the tree commands, the note marks and the
// edition and data-source dialogs (m_tools), and the company's item library (LibraryFeature). The
// one place where the features meet.
void installFeatures(w_kiv *window);

// Makes installFeatures what every main window gets from now on.
void composeMainWindow();

} // namespace kiv
