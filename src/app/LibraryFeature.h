#pragma once

#include "core/library/ItemSearch.h"

#include <QObject>
#include <QPointer>

class QAction;
class QPushButton;
class w_kiv;
class w_sheet;

// The company's classification library in the program: the item 商品归类库 Ctrl+L in the 工具
// drop-down, going from an item to its code in the trees and the sheet, and the sheet's button
// 加入归类库 that starts a new item from the shown code and its filled declaration elements, and
// the items found by the search field.
class LibraryFeature : public QObject
{
    Q_OBJECT
public:
    // Installs it all on the main window; it goes with the window.
    static LibraryFeature *install(w_kiv *window);

    QAction *m_library = nullptr; // 商品归类库 Ctrl+L

    // Opens the library window (or brings it up).
    void open();
    // Shows a customs code in the tree and the sheet; a code in a chapter the trees do not load
    // is shown in the sheet alone, which says so.
    void goToCode(const QString &code);
    // 加入归类库: the library window opens with a new item from the sheet's code and elements.
    void addFromSheet(w_sheet *sheet);
    // The items the search field shows in its group 我的商品: read again at the next search
    // after the library or the trees changed.
    void itemsChanged() { m_searchStale = true; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit LibraryFeature(w_kiv *window);
    void addMenuItem();
    // The sheet is made when first opened: its button is added then.
    void addSheetButton(w_sheet *sheet);
    void connectSearch();

    library::ItemSearch m_search;
    bool m_searchStale = true;

    QPointer<w_kiv> m_window;
};
