#pragma once

#include "core/sheet/SheetContent.h"
#include "core/sheet/SheetSource.h"
#include "core/tariff/NotesStore.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
namespace catalog {
class Navigation;
}
namespace sheet {
class DutyPanel;
class ElementsPanel;
class RecordPanel;
}

// The declarant's sheet: a window of its own beside the main window that shows the whole
// tariff record of the item selected in the tree that had the focus last, and follows it as
// the user walks the tree. It never takes the keyboard when it opens or follows; a click
// into it (to write a note, say) does. Below the record: copying, and the user's note and
// keywords on the code.
class w_sheet : public QWidget
{
    Q_OBJECT
public:
    // Opens the one sheet of the main window (or brings it up) without taking the activation.
    static w_sheet *openFor(QWidget *mainWindow);
    static w_sheet *openInstance();

    // What the sheet shows now; nullopt before anything was selected.
    const std::optional<sheet::SheetContent> &content() const { return m_content; }
    QString list() const { return m_list; }

    QLabel *st_title = nullptr;
    QTabWidget *tab_pages = nullptr;
    sheet::RecordPanel *rp_record = nullptr;
    sheet::DutyPanel *dp_duty = nullptr;
    sheet::ElementsPanel *ep_elements = nullptr;
    QLabel *st_missing = nullptr;
    QPushButton *cb_copycode = nullptr;
    QPushButton *cb_copyname = nullptr;
    QPushButton *cb_copytemplate = nullptr;
    QPushButton *cb_copyall = nullptr;
    QPlainTextEdit *mle_note = nullptr;
    QLineEdit *sle_keywords = nullptr;
    QPushButton *cb_savenote = nullptr;
    QLabel *st_noteinfo = nullptr;

public slots:
    // Shows the main window's selection, unless it already shows it. An unsaved note is
    // saved first; when that fails the sheet stays on its code with the typed text.
    void follow();
    // Saves the note and keywords of the shown code; true when stored.
    bool saveNote();
    // Shows the note on a code the current edition no longer has (chosen in the search), says
    // that the code is gone and names its nearest existing code; the keyboard goes to the note.
    // A changed note is left only as the user answers, as when following the tree.
    void showRemovedCode(const QString &list, const QString &code);
    // Shows a customs line of a chapter the trees do not load, saying so; false when the code
    // has no line. The keyboard stays where it is.
    bool showUnloadedCode(const QString &code);
    // The user leaves the shown note: a changed note is saved or dropped as the user answers.
    // False when the user stays on it (or it could not be saved): its item is selected again
    // and the keyboard is in the note.
    bool confirmLeave();
    // F6 with the sheet shown: the keyboard goes into the note (or, when the sheet has it,
    // back to the tree).
    void toggleKeyboard();

signals:
    // A note was stored or deleted: the trees' marks follow.
    void noteSaved(const QString &list, const QString &code);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Esc gives the keyboard back to the tree; the sheet stays.
    void keyPressEvent(QKeyEvent *event) override;

private:
    explicit w_sheet(QWidget *mainWindow);
    // The main window's selection moved: followed at once after a pause, otherwise once the
    // selection rests.
    void selectionMoved();
    void createControls();
    void render();
    // The calculator and the elements follow the shown line only while their page is shown.
    void updateToolPages();
    void loadNote();
    bool noteModified() const;
    void showStoredNote(const std::optional<tariff::NotesStore::Note> &note);
    // A colleague saved the note since it was read: asks whose text stays.
    bool resolveConflict(const tariff::NotesStore::SaveResult &result);
    void copy(const QString &text);
    // Selects the shown code's item in its tree again and puts the keyboard into the note.
    void stayOnNote();

    QPointer<catalog::Navigation> m_main; // the trees of the main window
    sheet::SheetSource m_source;
    tariff::NotesStore m_notes;
    std::optional<sheet::SheetContent> m_content;
    QString m_list;
    long m_handle = -1;
    QTimer m_settle;
    QElapsedTimer m_lastFollow;
    bool m_marked = false; // the shown item carries a note mark
    QString m_savedNote, m_savedKeywords;
    int m_savedVersion = 0; // the stored note's version the editors started from (0: none)
    bool m_notesWritable = true;
    // On a database shared by a team a colleague's note may stand on an unmarked code.
    bool m_sharedNotes = false;
};
