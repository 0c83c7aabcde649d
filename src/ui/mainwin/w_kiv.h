#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QFrame;
class QLabel;
class QTimer;
class u_tv;
class u_url_link;
class DetailPanel;
class SplitterBar;
class TrayIcon;

namespace runtime {
class DataView;
}
namespace catalog {
class Catalog;
class Navigation;
}

// The main frame window: the customs tree tv_1 and the foreign-trade tree tv_2 side by
// side, each with its floating detail panel (dw_1, dw_2), the loading status label st_1,
// the clock st_time, the link label st_2 and the splitter bar st_vertical.
class w_kiv : public QMainWindow
{
    Q_OBJECT
public:
    explicit w_kiv(QWidget *parent = nullptr);
    ~w_kiv() override;

    // The open event: shows the window maximized, posts ue_postopen, starts the clock.
    void open();

    // The open main window, or null.
    static w_kiv *instance();

    // What every new main window gets once its own controls are made: the menus and the
    // features beside the trees, which the application composes.
    static void setFeatureInstaller(std::function<void(w_kiv *)> installer);

    // Controls that other windows reach by name.
    u_tv *tv_1 = nullptr;
    u_tv *tv_2 = nullptr;
    runtime::DataView *dw_1 = nullptr;   // rows of d_detail_hgats
    runtime::DataView *dw_2 = nullptr;   // rows of d_detail_wmats
    DetailPanel *dwPanel_1 = nullptr;     // the panel that shows dw_1 ("海关商品详细")
    DetailPanel *dwPanel_2 = nullptr;     // the panel that shows dw_2 ("外经贸商品详细")
    QLabel *st_1 = nullptr;
    QLabel *st_time = nullptr;
    u_url_link *st_2 = nullptr;
    SplitterBar *st_vertical = nullptr;
    QFrame *ln_1 = nullptr; // the etched separator under the toolbar: grey stroke
    QFrame *ln_2 = nullptr; // and its light stroke

    // Shows or hides a list's detail panel (dw_1 or dw_2).
    void showPanel(runtime::DataView *view, bool show);
    bool isPanelVisible(runtime::DataView *view) const;

    int wf_create_datastore();
    int wf_create_kiv(runtime::DataView *adt_data, u_tv *atv_object, runtime::DataView *adw_object);
    int wf_resizebars();

    // Answers the closing question without closing (for the menu and tests): true = close.
    bool closequery();
    // A window beside the trees that holds the user's unsaved work is asked before the closing
    // question; its check answers false to keep the program open. The check goes with owner.
    void addLeaveCheck(QObject *owner, std::function<bool()> check);
    // Gives the keyboard back to the tree that had it last, in the activated window.
    void returnToTree();

    // What the windows beside the trees follow: the item selected in the tree that had the
    // focus last (the customs tree until either has had it).
    struct Selection {
        QString list;                       // "hs" or "jmw"
        u_tv *tree = nullptr;
        runtime::DataView *rows = nullptr;  // the rows the tree was built from
        QString codeColumn;                 // "code" or "jmw_code"
        long handle = 0;                    // the selected item, 0 when none
    };
    Selection selection() const;
    // Goes to a code of a list ("hs" or "jmw") as a user would: the item is selected in its
    // tree (expanded to it, scrolled to it), its detail panel follows, and the tree takes the
    // keyboard. False when the tree has no such code (its chapter is not loaded).
    bool goToCode(const QString &list, const QString &code);

    // The loaded lists, and the selection and going to a code as the other windows use them.
    catalog::Catalog *catalog() const { return m_catalog; }
    catalog::Navigation *navigation() const { return m_navigation; }

    bool ib_debug = false;
    TrayIcon *trayIcon() const { return m_tray; }

signals:
    // The selection above changed: another item, or the other tree took the focus.
    void selectionFollowed();
    // Both trees were built anew (loading, a reload or a refresh).
    void treesBuilt();

public slots:
    void ue_postopen();
    void ue_refresh();
    void timer();
    void ue_traydoubleclicked();
    void ue_trayrightclicked();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    static std::function<void(w_kiv *)> &featureInstaller();
    void createControls();
    void fail(const QString &text);
    void onTreeSelection(u_tv *tree, runtime::DataView *view, const QString &codeColumn, long newHandle);
    void onTreeClick(runtime::DataView *view, const QString &mode, const QString &wanted);
    void applyLayout();
    // Shows a loading step's text at once (the steps block the event loop), centred and as
    // wide as the text.
    void setLoadingText(const QString &text);
    int loadingLabelWidthUnits() const;

    void slideOut();

    catalog::Catalog *m_catalog = nullptr;
    catalog::Navigation *m_navigation = nullptr;
    QTimer *m_clock = nullptr;
    TrayIcon *m_tray = nullptr;
    bool m_closeConfirmed = false;
    // The detail panels that were shown when the window went to the tray or was minimized:
    // they come back with it.
    QList<QPointer<DetailPanel>> m_panelsAway;
    QPointer<u_tv> m_followedTree;
    QList<QPair<QPointer<QObject>, std::function<bool()>>> m_leaveChecks;
    // The application outlives the window: its focus signal must stop reaching the lambda
    // before the trees are destroyed (their destructor moves the focus).
    QMetaObject::Connection m_focusFollower;
};
