#include "ui/sheet/w_sheet.h"

#include "core/catalog/Catalog.h"
#include "core/catalog/Navigation.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "core/sheet/CopyFormats.h"
#include "core/tariff/DeclarationElements.h"
#include "core/tariff/TariffTables.h"
#include "ui/runtime/MessageBox.h"
#include "ui/sheet/DutyPanel.h"
#include "ui/sheet/ElementsPanel.h"
#include "ui/sheet/RecordPanel.h"

#include <QAccessibleWidget>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

using sheet::SheetSource;

namespace {
QPointer<w_sheet> g_open;

// The sheet is a window of its own: a screen reader lists it among the program's windows,
// not as a filler inside another one (a plain widget's role).
QAccessibleInterface *sheetAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("w_sheet") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

// A selection that moves again within this time is shown once it rests: a held arrow key
// moves the tree 25-30 times a second, faster than anyone reads a record, and laying out and
// painting the sheet's texts would cost each of those moves several milliseconds.
constexpr int kSettleMs = 80;

} // namespace

w_sheet *w_sheet::openFor(QWidget *mainWindow)
{
    if (!g_open)
        g_open = new w_sheet(mainWindow);
    g_open->show();
    g_open->raise();
    return g_open;
}

w_sheet *w_sheet::openInstance()
{
    return g_open;
}

w_sheet::w_sheet(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_main(catalog::Navigation::of(mainWindow))
    , m_source(sqlca)
    , m_notes(sqlca)
{
    static const bool accessibleAsWindow = (QAccessible::installFactory(sheetAccessible), true);
    Q_UNUSED(accessibleAsWindow);
    setObjectName(QStringLiteral("w_sheet"));
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &w_sheet::follow);
    setWindowTitle(QStringLiteral("申报信息"));
    setAccessibleName(QStringLiteral("申报信息"));
    // Following the tree must leave the keyboard in the tree.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::ClickFocus);
    createControls();
    resize(440, 640);
    if (mainWindow) {
        // At the right, over the foreign-trade tree, and never below the screen's bottom.
        const QRect frame = mainWindow->geometry();
        const QRect screen = mainWindow->screen() ? mainWindow->screen()->availableGeometry() : frame;
        const int top = frame.top() + 120;
        resize(width(), std::max(360, std::min(height(), screen.bottom() - top - 40)));
        move(frame.right() - width() - 24, top);
    }
    if (m_main) {
        connect(m_main, &catalog::Navigation::selectionFollowed, this, &w_sheet::selectionMoved);
        // Quitting asks about a changed note first. (The main window's keys work here as a
        // tool window of it: Qt's shortcuts of the window reach its tool windows.)
        m_main->addLeaveCheck(this, [this] { return confirmLeave(); });
    }
    QStringList missing;
    if (tariff::TariffTables::missing(sqlca, &missing) && missing.contains(tariff::TariffTables::userNote()))
        m_notesWritable = false;
    m_sharedNotes = sqlca && sqlca->isConnected()
                    && sqlca->dbmsName().compare(QLatin1String("SQLite"), Qt::CaseInsensitive) != 0;
}

void w_sheet::createControls()
{
    auto *layout = new QVBoxLayout(this);
    st_title = new QLabel(this);
    st_title->setObjectName(QStringLiteral("st_title"));
    st_title->setWordWrap(true);
    st_title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont titleFont = st_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    st_title->setFont(titleFont);
    layout->addWidget(st_title);

    tab_pages = new QTabWidget(this);
    tab_pages->setObjectName(QStringLiteral("tab_pages"));
    tab_pages->setFocusPolicy(Qt::ClickFocus);
    rp_record = new sheet::RecordPanel(tab_pages);
    rp_record->setObjectName(QStringLiteral("rp_record"));
    rp_record->setAccessibleName(QStringLiteral("税则信息"));
    rp_record->setFocusPolicy(Qt::ClickFocus);
    tab_pages->addTab(rp_record, QStringLiteral("税则信息"));
    dp_duty = new sheet::DutyPanel(gs_docname);
    // The calculator is taller than the record: it scrolls on small screens.
    auto *dutyScroll = new QScrollArea(tab_pages);
    dutyScroll->setWidgetResizable(true);
    dutyScroll->setFrameShape(QFrame::NoFrame);
    dutyScroll->setWidget(dp_duty);
    tab_pages->addTab(dutyScroll, QStringLiteral("税费计算"));
    ep_elements = new sheet::ElementsPanel(sqlca);
    auto *elementsScroll = new QScrollArea(tab_pages);
    elementsScroll->setWidgetResizable(true);
    elementsScroll->setFrameShape(QFrame::NoFrame);
    elementsScroll->setWidget(ep_elements);
    tab_pages->addTab(elementsScroll, QStringLiteral("申报要素填写"));
    connect(tab_pages, &QTabWidget::currentChanged, this, &w_sheet::updateToolPages);
    layout->addWidget(tab_pages, 1);

    st_missing = new QLabel(this);
    st_missing->setObjectName(QStringLiteral("st_missing"));
    st_missing->setWordWrap(true);
    st_missing->setStyleSheet(QStringLiteral("color: rgb(160, 0, 0);"));
    st_missing->hide();
    layout->addWidget(st_missing);

    auto *copies = new QGridLayout;
    auto button = [this](const QString &text, const char *name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoDefault(false);
        return b;
    };
    cb_copycode = button(QStringLiteral("复制编码(&C)"), "cb_copycode");
    cb_copyname = button(QStringLiteral("复制\"编码 名称\"(&M)"), "cb_copyname");
    cb_copytemplate = button(QStringLiteral("复制申报要素模板(&T)"), "cb_copytemplate");
    cb_copyall = button(QStringLiteral("复制全部(&A)"), "cb_copyall");
    copies->addWidget(cb_copycode, 0, 0);
    copies->addWidget(cb_copyname, 0, 1);
    copies->addWidget(cb_copytemplate, 1, 0);
    copies->addWidget(cb_copyall, 1, 1);
    layout->addLayout(copies);
    connect(cb_copycode, &QPushButton::clicked, this, [this] {
        if (m_content)
            copy(sheet::CopyFormats::code(m_content->code));
    });
    connect(cb_copyname, &QPushButton::clicked, this, [this] {
        if (m_content)
            copy(sheet::CopyFormats::codeAndName(m_content->code, m_content->name));
    });
    connect(cb_copytemplate, &QPushButton::clicked, this, [this] {
        if (m_content && !m_content->elements.isEmpty())
            copy(tariff::DeclarationElements::templateLine(m_content->elements));
    });
    connect(cb_copyall, &QPushButton::clicked, this, [this] {
        if (m_content)
            copy(m_content->toText());
    });

    auto *notes = new QGroupBox(QStringLiteral("我的备注"), this);
    auto *form = new QFormLayout(notes);
    mle_note = new QPlainTextEdit(notes);
    mle_note->setObjectName(QStringLiteral("mle_note"));
    mle_note->setTabChangesFocus(true);
    mle_note->setFixedHeight(mle_note->fontMetrics().lineSpacing() * 4 + 12);
    auto *noteLabel = new QLabel(QStringLiteral("备注(&N):"), notes);
    noteLabel->setBuddy(mle_note);
    form->addRow(noteLabel, mle_note);
    sle_keywords = new QLineEdit(notes);
    sle_keywords->setObjectName(QStringLiteral("sle_keywords"));
    auto *keywordsLabel = new QLabel(QStringLiteral("关键词(&K):"), notes);
    keywordsLabel->setBuddy(sle_keywords);
    form->addRow(keywordsLabel, sle_keywords);
    cb_savenote = button(QStringLiteral("保存备注(&S)"), "cb_savenote");
    cb_savenote->setParent(notes);
    st_noteinfo = new QLabel(notes);
    st_noteinfo->setObjectName(QStringLiteral("st_noteinfo"));
    st_noteinfo->setWordWrap(true);
    form->addRow(cb_savenote, st_noteinfo);
    layout->addWidget(notes);
    connect(cb_savenote, &QPushButton::clicked, this, &w_sheet::saveNote);
}

void w_sheet::selectionMoved()
{
    if (!m_settle.isActive() && (!m_lastFollow.isValid() || m_lastFollow.hasExpired(kSettleMs))) {
        follow(); // a single step or click: shown at once
        return;
    }
    m_settle.start(kSettleMs); // walking on: shown when the selection rests
}

void w_sheet::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    follow();
}

bool w_sheet::noteModified() const
{
    return m_content && (mle_note->toPlainText() != m_savedNote || sle_keywords->text() != m_savedKeywords);
}

void w_sheet::follow()
{
    m_settle.stop();
    if (!m_main || !isVisible())
        return; // a hidden sheet costs the tree nothing
    if (sqlca && sqlca->isLent()) { // an edition is being written: follow once it is
        m_settle.start(kSettleMs);
        return;
    }
    m_lastFollow.start();
    const catalog::Navigation::Selection selected = m_main->selection();
    if (selected.list == m_list && selected.handle == m_handle && m_content)
        return;
    if (!confirmLeave())
        return;
    m_list = selected.list;
    m_handle = selected.handle;
    const SheetSource::ListView view{selected.list, selected.tree, selected.rows, selected.codeColumn};
    m_content = m_source.contentFor(view, selected.handle);
    // The trees mark every code that has a note (read when they are built and after each
    // save), so an unmarked item needs no read of the notes table.
    m_marked = selected.tree && selected.tree->isMarked(selected.handle);
    render();
    loadNote();
}

void w_sheet::showRemovedCode(const QString &list, const QString &code)
{
    m_settle.stop();
    if (!confirmLeave())
        return;
    m_list = list;
    m_handle = -1; // no tree item: the next move in the tree is followed again
    m_content = m_source.removedCodeContent(list, code);
    m_marked = true;
    render();
    loadNote();
    activateWindow();
    mle_note->setFocus(Qt::OtherFocusReason);
}

bool w_sheet::showUnloadedCode(const QString &code)
{
    m_settle.stop();
    std::optional<sheet::SheetContent> content = m_source.unloadedLineContent(code);
    if (!content || !confirmLeave())
        return false;
    m_list = QStringLiteral("hs");
    m_handle = -1; // no tree item: the next move in the tree is followed again
    m_content = std::move(content);
    m_marked = false;
    render();
    loadNote();
    return true;
}

void w_sheet::render()
{
    const bool has = m_content.has_value();
    st_title->setText(has ? (m_content->code.isEmpty() ? m_content->name
                                                       : m_content->code + QStringLiteral("  ") + m_content->name)
                          : QStringLiteral("请在商品树中选择一个编码"));
    if (has)
        rp_record->showGroups(m_content->groups);
    else
        rp_record->clear();
    const QString missing = has ? m_content->missingNote : QString();
    st_missing->setText(missing);
    st_missing->setVisible(!missing.isEmpty());
    const bool hasCode = has && !m_content->code.isEmpty();
    cb_copycode->setEnabled(hasCode);
    cb_copyname->setEnabled(hasCode);
    cb_copytemplate->setEnabled(has && !m_content->elements.isEmpty());
    cb_copyall->setEnabled(has);
    updateToolPages();
}

void w_sheet::updateToolPages()
{
    const bool line = m_content && m_content->isTariffLine;
    if (tab_pages->currentIndex() == 1)
        dp_duty->setRecord(line ? m_content->record : tariff::TariffRecord(), line);
    else if (tab_pages->currentIndex() == 2)
        ep_elements->setLine(line ? m_content->code : QString(), line ? m_content->elements : QStringList());
}

void w_sheet::loadNote()
{
    const bool hasCode = m_content && !m_content->code.isEmpty();
    std::optional<tariff::NotesStore::Note> note;
    if (hasCode && m_notesWritable && (m_marked || m_sharedNotes))
        note = m_notes.note(m_list, m_content->code);
    showStoredNote(note);
    for (QWidget *w : {static_cast<QWidget *>(mle_note), static_cast<QWidget *>(sle_keywords),
                       static_cast<QWidget *>(cb_savenote)})
        w->setEnabled(hasCode && m_notesWritable);
}

void w_sheet::showStoredNote(const std::optional<tariff::NotesStore::Note> &note)
{
    m_savedNote = note ? note->text : QString();
    m_savedKeywords = note ? note->keywords : QString();
    m_savedVersion = note ? note->version : 0;
    QString info;
    if (note)
        info = QStringLiteral("最后修改: %1 %2").arg(note->changedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                                                 note->changedBy);
    else if (!m_notesWritable)
        info = QStringLiteral("备注无法保存: 数据库中没有备注表(user_note)，也无法添加。");
    // Most codes have no note: an empty editor is left as it is, since setting its text lays
    // its document out anew on every move through the tree.
    if (mle_note->toPlainText() != m_savedNote)
        mle_note->setPlainText(m_savedNote);
    else
        mle_note->document()->clearUndoRedoStacks(); // no undoing into another code's text
    if (sle_keywords->text() != m_savedKeywords)
        sle_keywords->setText(m_savedKeywords);
    if (st_noteinfo->text() != info)
        st_noteinfo->setText(info);
}

bool w_sheet::saveNote()
{
    if (!m_content || m_content->code.isEmpty() || !m_notesWritable)
        return true; // nothing of the user's to keep
    const auto result = m_notes.save(m_list, m_content->code, mle_note->toPlainText(), sle_keywords->text(),
                                     m_savedVersion);
    switch (result.status) {
    case tariff::NotesStore::SaveStatus::Saved:
    case tariff::NotesStore::SaveStatus::Deleted:
        m_savedNote = mle_note->toPlainText();
        m_savedKeywords = sle_keywords->text();
        m_savedVersion = result.version;
        st_noteinfo->setText(result.status == tariff::NotesStore::SaveStatus::Saved
                                 ? QStringLiteral("已保存 (第 %1 版)").arg(result.version)
                                 : QStringLiteral("备注已删除"));
        emit noteSaved(m_list, m_content->code);
        return true;
    case tariff::NotesStore::SaveStatus::Conflict:
        return resolveConflict(result);
    case tariff::NotesStore::SaveStatus::NoteTooLong:
    case tariff::NotesStore::SaveStatus::KeywordsTooLong:
    case tariff::NotesStore::SaveStatus::NoKey:
        runtime::beep();
        runtime::messageBox(QStringLiteral("提 示 信 息"), result.message, runtime::MessageIcon::Exclamation,
                            runtime::MessageButtons::Ok, 1, this);
        return false;
    case tariff::NotesStore::SaveStatus::DatabaseError:
        break;
    }
    // The typed text stays in the fields for a retry.
    runtime::messageBox(QStringLiteral("Warning :"), QStringLiteral("Hello User,The Operate is  invalidation!!"),
                        runtime::MessageIcon::Information, runtime::MessageButtons::Ok, 1, this);
    st_noteinfo->setText(QStringLiteral("未保存: ") + result.message);
    return false;
}

namespace {

QString shownNote(const QString &note, const QString &keywords)
{
    constexpr int kShown = 300; // a message box, not an editor: the start says whose text it is
    QString text = note.size() > kShown ? note.left(kShown) + QStringLiteral("…") : note;
    if (text.trimmed().isEmpty())
        text = QStringLiteral("(空)");
    return keywords.trimmed().isEmpty() ? text : text + QStringLiteral("\n关键词: ") + keywords;
}

} // namespace

bool w_sheet::resolveConflict(const tariff::NotesStore::SaveResult &result)
{
    const QString theirs = result.current ? shownNote(result.current->text, result.current->keywords)
                                          : QStringLiteral("(已删除)");
    const QString text = QStringLiteral("%1\n\n对方的备注:\n%2\n\n您的备注:\n%3\n\n"
                                        "是: 用您的备注覆盖  否: 采用对方的备注  取消: 继续编辑")
                             .arg(result.message, theirs,
                                  shownNote(mle_note->toPlainText(), sle_keywords->text()));
    const int answer = runtime::messageBox(QStringLiteral("备注已被他人修改"), text, runtime::MessageIcon::Question,
                                           runtime::MessageButtons::YesNoCancel, 3, this);
    if (answer == 1) { // the user has seen the colleague's text and keeps their own
        m_savedVersion = result.version;
        return saveNote();
    }
    if (answer == 2) {
        showStoredNote(result.current);
        emit noteSaved(m_list, m_content->code); // the mark follows the stored note
        return true;
    }
    st_noteinfo->setText(QStringLiteral("未保存: ") + result.message);
    return false;
}

bool w_sheet::confirmLeave()
{
    if (!noteModified())
        return true;
    const int answer = runtime::messageBox(QStringLiteral("申报信息"), QStringLiteral("备注已修改，是否保存？"),
                                           runtime::MessageIcon::Question, runtime::MessageButtons::YesNoCancel, 1,
                                           this);
    if (answer == 2) { // dropped: the stored note comes back
        mle_note->setPlainText(m_savedNote);
        sle_keywords->setText(m_savedKeywords);
        return true;
    }
    if (answer == 1 && saveNote())
        return true;
    stayOnNote();
    return false;
}

void w_sheet::stayOnNote()
{
    if (m_main && m_content && !m_content->code.isEmpty()) {
        const runtime::TreeModel *tree = m_main->catalog()->tree(m_list);
        if (tree->findItem(runtime::TreeNavigation::Current, 0) != m_handle || m_main->selection().list != m_list)
            m_main->goToCode(m_list, m_content->code);
    }
    if (!isVisible())
        show();
    raise();
    activateWindow();
    mle_note->setFocus(Qt::OtherFocusReason);
}

void w_sheet::toggleKeyboard()
{
    if (isActiveWindow()) {
        if (m_main)
            m_main->returnToTree();
        return;
    }
    raise();
    activateWindow();
    // Without a code there is no note: the sheet's first control that works takes the keyboard.
    QWidget *target = this;
    for (QWidget *w : {static_cast<QWidget *>(mle_note), static_cast<QWidget *>(cb_copyall)}) {
        if (w->isEnabled()) {
            target = w;
            break;
        }
    }
    target->setFocus(Qt::ShortcutFocusReason);
}

void w_sheet::closeEvent(QCloseEvent *event)
{
    if (!confirmLeave()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void w_sheet::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_main)
            m_main->returnToTree();
        return;
    }
    QWidget::keyPressEvent(event);
}

void w_sheet::copy(const QString &text)
{
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}
