#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace runtime {
class DataView;
class TreeModel;
}

namespace catalog {

class Catalog;

// How the windows beside the trees follow the trees and move them: the main window offers it;
// the sheet, the search field, export, the find dialog and the edition import use it instead of
// the main window's controls.
class Navigation : public QObject
{
    Q_OBJECT
public:
    // The item selected in the tree that had the focus last (the customs tree until either has
    // had it).
    struct Selection {
        QString list;                       // "hs" or "jmw"
        runtime::TreeModel *tree = nullptr; // that list's tree
        runtime::DataView *rows = nullptr;  // the rows the tree was built from
        QString codeColumn;                 // "code" or "jmw_code"
        long handle = 0;                    // the selected item, 0 when none
    };

    explicit Navigation(QObject *parent = nullptr);
    ~Navigation() override;

    // The lists' rows and trees.
    virtual Catalog *catalog() const = 0;
    virtual Selection selection() const = 0;
    // Goes to a code of a list as a user would: the item is selected in its tree (expanded to
    // it, scrolled to it), its detail panel follows, and the tree takes the keyboard. False
    // when the tree has no such code (its chapter is not loaded).
    virtual bool goToCode(const QString &list, const QString &code) = 0;
    // Gives the keyboard to a list's tree.
    virtual void focusTree(const QString &list) = 0;
    // Gives the keyboard back to the tree that had it last, in the activated window.
    virtual void returnToTree() = 0;
    // Reads both lists again and builds the trees anew, as at the start.
    virtual void reload() = 0;
    // A window beside the trees that holds the user's unsaved work is asked before the main
    // window's closing question; its check answers false to keep the program open. The check
    // goes with owner.
    virtual void addLeaveCheck(QObject *owner, std::function<bool()> check) = 0;

    // The navigation of a main window (a child of it), or null.
    static Navigation *of(const QObject *window);

    // The open main window's, or null: for the windows the menus open without an owner.
    static Navigation *main();

signals:
    // The selection above changed: another item, or the other tree took the focus.
    void selectionFollowed();
    // Both trees were built anew (loading, a reload or a refresh).
    void treesBuilt();
};

} // namespace catalog
