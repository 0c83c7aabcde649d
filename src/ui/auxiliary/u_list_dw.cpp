#include "ui/auxiliary/u_list_dw.h"

#include "core/runtime/DataView.h"
#include "core/runtime/DataViewModel.h"
#include "ui/runtime/LayoutUnits.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace {

// The control's default size in layout units; the window that places it sets its own.
constexpr int kListWidthUnits = 494;
constexpr int kListHeightUnits = 360;

const QString kHeaderSuffix = QStringLiteral("_t");

// The sort-direction arrow that a data view may carry in its header. None of this system's
// views has it: modify() then answers an error and changes nothing, and only the sort acts.
const QString kArrowVisible = QStringLiteral("P_SortName.Visible='1'");
const QString kArrowUp = QStringLiteral("P_SortName.FileName='.\\bmp\\orderup.bmp'");
const QString kArrowDown = QStringLiteral("P_SortName.FileName='.\\bmp\\orderdw.bmp'");

// The arrow follows the sorted column's header: x = the column's x, y = its y + 8, bound as
// expressions that the view re-evaluates when drawn (1 before the first evaluation).
QString arrowPosition(const QString &column)
{
    return QStringLiteral("P_SortName.x =\"1~tLong(Describe(~\"%1.x~\"))\" "
                          "P_SortName.y =\"1~tLong(Describe(~\"%1.y~\"))+8\"")
        .arg(column);
}

} // namespace

u_list_dw::u_list_dw(QWidget *parent)
    : QTableView(parent)
{
    m_view = new runtime::DataView(this);
    m_model = new runtime::DataViewModel(m_view, this);
    setModel(m_model);

    // The current row is shown as the one selected row; the user moves it, never selects.
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setMouseTracking(true);
    setWordWrap(false);
    verticalHeader()->hide();
    // Rows one text line high, as a data view's grid draws them.
    verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSortIndicatorShown(false);
    // Rows move while the scroll box is dragged.
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    const runtime::LayoutUnits units;
    resize(units.toPixels(QSize(kListWidthUnits, kListHeightUnits)));

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { clickedObject(headerObject(section)); });
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { clickedObject(columnName(index.column())); });
    connect(m_view, &runtime::DataView::currentRowChanged, this, [this](long row) {
        rowfocuschanged(row);
        showViewCurrentRow();
    });
    connect(m_view, &runtime::DataView::selectionChanged, this, &u_list_dw::showViewSelection);
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, &u_list_dw::keepColumnWidths);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        restoreColumnWidths();
        // A sort keeps the current row's number while the rows move under it.
        highlightCurrentRow();
        showViewSelection();
        showViewCurrentRow();
    });
}

u_list_dw::~u_list_dw()
{
    // The data view and its model are children, deleted after this object's members are gone:
    // their last notifications must reach neither this object nor the grid.
    disconnect(m_view, nullptr, this, nullptr);
    disconnect(m_model, nullptr, this, nullptr);
    setModel(nullptr);
}

void u_list_dw::setDataObject(const runtime::DataViewDefinition &definition)
{
    m_sized = false;
    m_widths.clear();
    m_view->setDefinition(definition);
}

QString u_list_dw::columnName(int section) const
{
    const int column = m_model->viewColumn(section);
    if (column < 1)
        return QString();
    return m_view->definition().columns.at(column - 1).name;
}

QString u_list_dw::headerObject(int section) const
{
    const QString column = columnName(section);
    return column.isEmpty() ? QString() : column + kHeaderSuffix;
}

QString u_list_dw::objectAt(const QPoint &viewportPos) const
{
    const QModelIndex index = indexAt(viewportPos);
    return index.isValid() ? columnName(index.column()) : QStringLiteral("datawindow");
}

int u_list_dw::clickedObject(const QString &as_objname)
{
    const QString ls_objname = as_objname;
    if (ls_objname.size() < 2 || !ls_objname.endsWith(kHeaderSuffix))
        return 0;
    const QString column = ls_objname.left(ls_objname.size() - 2);
    const QString tag = m_view->describe(column + QStringLiteral(".Tag"));

    m_view->setRedraw(false);
    setUpdatesEnabled(false);
    m_view->modify(kArrowVisible);
    // "?" is a tag never set, "!" a column without one: both sort ascending like an empty tag.
    const QString trimmed = tag.trimmed();
    QString ls_sort;
    if (trimmed.isEmpty() || tag == u"?" || tag == u"!" || trimmed == u"D") {
        ls_sort = QStringLiteral("A");
        m_view->modify(kArrowUp);
    } else {
        ls_sort = QStringLiteral("D");
        m_view->modify(kArrowDown);
    }
    m_view->modify(arrowPosition(column));
    m_view->modify(QStringLiteral("%1.Tag='%2'").arg(column, ls_sort));
    const bool sorted = m_view->setSort(column + u' ' + ls_sort) == 1 && m_view->sort() == 1;
    m_view->setRedraw(true);
    setUpdatesEnabled(true);
    return sorted ? 1 : -1;
}

void u_list_dw::highlightCurrentRow()
{
    const long row = m_view->currentRow();
    m_view->selectRow(0, false);
    if (row > 0)
        m_view->selectRow(row, true);
}

void u_list_dw::rowfocuschanged(long al_currentrow)
{
    Q_UNUSED(al_currentrow); // the view's own current row is read, as the event's handler does
    m_view->setRedraw(false);
    setUpdatesEnabled(false);
    highlightCurrentRow();
    setFocus();
    m_view->setRedraw(true);
    setUpdatesEnabled(true);
}

int u_list_dw::ue_key(int ai_key, Qt::KeyboardModifiers ai_keyflags)
{
    Q_UNUSED(ai_keyflags);
    if (ai_key != Qt::Key_Return && ai_key != Qt::Key_Enter)
        return 0;
    const long row = m_view->currentRow();
    m_view->scrollToRow(row);
    emit doubleclicked(row);
    return 1;
}

void u_list_dw::setColumnCursor(const QString &column, const QCursor &cursor)
{
    m_columnCursors.insert(column.toLower(), cursor);
}

void u_list_dw::keyPressEvent(QKeyEvent *event)
{
    if (ue_key(event->key(), event->modifiers()) == 1) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void u_list_dw::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    emit doubleclicked(index.isValid() ? index.row() + 1 : 0);
}

void u_list_dw::mouseMoveEvent(QMouseEvent *event)
{
    const auto cursor = m_columnCursors.constFind(objectAt(event->position().toPoint()).toLower());
    if (cursor != m_columnCursors.cend())
        viewport()->setCursor(*cursor);
    else
        viewport()->unsetCursor();
    QTableView::mouseMoveEvent(event);
}

void u_list_dw::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_syncing || !current.isValid() || current.row() + 1 == m_view->currentRow())
        return;
    m_view->scrollToRow(current.row() + 1);
}

void u_list_dw::showViewSelection()
{
    QItemSelection selection;
    const int rows = m_model->rowCount();
    const int lastColumn = m_model->columnCount() - 1;
    if (lastColumn >= 0) {
        int first = -1;
        for (int row = 0; row <= rows; ++row) {
            const bool selected = row < rows && m_view->isSelected(row + 1);
            if (selected && first < 0)
                first = row;
            if (!selected && first >= 0) {
                selection.select(m_model->index(first, 0), m_model->index(row - 1, lastColumn));
                first = -1;
            }
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void u_list_dw::showViewCurrentRow()
{
    const long row = m_view->currentRow();
    if (row < 1 || row > m_model->rowCount() || m_model->columnCount() == 0)
        return;
    const int column = std::max(currentIndex().column(), 0);
    const QModelIndex index = m_model->index(int(row - 1), column);
    m_syncing = true;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_syncing = false;
    scrollTo(index);
}

void u_list_dw::keepColumnWidths()
{
    if (!m_sized)
        return;
    m_widths.clear();
    for (int section = 0; section < horizontalHeader()->count(); ++section)
        m_widths.append(horizontalHeader()->sectionSize(section));
}

void u_list_dw::restoreColumnWidths()
{
    // A model reset gives every section the default width: the widths fitted to the first
    // rows (or set by the user since) come back, so a sort does not make the columns jump.
    if (m_sized && m_widths.size() == m_model->columnCount()) {
        for (int section = 0; section < m_widths.size(); ++section)
            horizontalHeader()->resizeSection(section, m_widths.at(section));
        return;
    }
    if (m_model->rowCount() > 0) {
        fitColumnsToRows();
        m_sized = true;
    }
}

void u_list_dw::fitColumnsToRows()
{
    // Each column as wide as its texts; when that is wider than the grid, the widest column
    // gives up the difference (down to its heading's width), so that every column, the check
    // box column among them, shows without scrolling. Cut texts show whole in their tip.
    resizeColumnsToContents();
    QHeaderView *header = horizontalHeader();
    int total = 0;
    int widest = -1;
    for (int section = 0; section < header->count(); ++section) {
        total += header->sectionSize(section);
        if (widest < 0 || header->sectionSize(section) > header->sectionSize(widest))
            widest = section;
    }
    const int excess = total - viewport()->width();
    if (widest < 0 || excess <= 0)
        return;
    const QString heading = m_model->headerData(widest, Qt::Horizontal).toString();
    const int headingWidth = header->fontMetrics().horizontalAdvance(heading)
        + 4 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int floor = std::max(headingWidth, header->minimumSectionSize());
    header->resizeSection(widest, std::max(floor, header->sectionSize(widest) - excess));
}

bool u_list_dw::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.data(Qt::DisplayRole).toString();
        const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
        if (!text.isEmpty() && fontMetrics().horizontalAdvance(text) + margin > visualRect(index).width()) {
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QTableView::viewportEvent(event);
}
