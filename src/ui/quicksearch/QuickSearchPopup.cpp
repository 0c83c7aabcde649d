#include "ui/quicksearch/QuickSearchPopup.h"

#include "core/quicksearch/ResultModel.h"
#include "ui/quicksearch/ResultDelegate.h"

#include <QLabel>
#include <QListView>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kWidth = 620;
constexpr int kRowsShown = 14;
} // namespace

QuickSearchPopup::QuickSearchPopup(quicksearch::ResultModel *model, QWidget *window)
    : QFrame(window, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("quicksearch_popup"));
    setAccessibleName(QStringLiteral("搜索结果"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    // A window of its own, drawn over every window of the program (the sheet stands over the
    // main window), which never takes the activation: the keyboard stays in the field.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    st_summary = new QLabel(this);
    st_summary->setObjectName(QStringLiteral("st_summary"));
    st_summary->setContentsMargins(4, 2, 4, 2);
    st_summary->setWordWrap(true);
    layout->addWidget(st_summary);
    lv_results = new QListView(this);
    lv_results->setObjectName(QStringLiteral("lv_results"));
    lv_results->setAccessibleName(QStringLiteral("搜索结果"));
    lv_results->setFocusPolicy(Qt::NoFocus); // the keyboard stays in the field
    lv_results->setModel(model);
    lv_results->setItemDelegate(new quicksearch::ResultDelegate(lv_results));
    lv_results->setUniformItemSizes(true);
    lv_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv_results->setSelectionMode(QAbstractItemView::SingleSelection);
    lv_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(lv_results);
    connect(lv_results, &QListView::clicked, this, [this](const QModelIndex &index) { emit clicked(index.row()); });
    connect(lv_results->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { emit currentChanged(current.row()); });
    // A new answer starts at its first row.
    connect(model, &QAbstractItemModel::modelReset, this, [this] { setCurrentRow(0); });
    hide();
}

void QuickSearchPopup::showUnder(QWidget *anchor)
{
    // Placed in screen coordinates, within the main window's area.
    const QWidget *window = parentWidget();
    const QRect area(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QPoint below = anchor->mapToGlobal(QPoint(anchor->width(), anchor->height()));
    const int width = std::min(kWidth, area.width() - 8);
    const int rows = std::clamp(lv_results->model()->rowCount(), 1, kRowsShown);
    const int rowHeight = std::max(lv_results->sizeHintForRow(0), fontMetrics().height() + 6);
    const int height = std::min(area.bottom() - below.y() - 8,
                                st_summary->sizeHint().height() + rows * rowHeight + 16);
    setGeometry(std::max(area.left() + 4, below.x() - width), below.y() + 2, width, std::max(height, 60));
    lv_results->setVisible(lv_results->model()->rowCount() > 0);
    show();
    raise();
}

void QuickSearchPopup::setSummary(const QString &text)
{
    st_summary->setText(text);
    st_summary->setVisible(!text.isEmpty());
}

QString QuickSearchPopup::summary() const
{
    return st_summary->text();
}

int QuickSearchPopup::currentRow() const
{
    const QModelIndex current = lv_results->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void QuickSearchPopup::setCurrentRow(int row)
{
    const QAbstractItemModel *model = lv_results->model();
    if (row < 0 || row >= model->rowCount()) {
        lv_results->setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex index = model->index(row, 0);
    lv_results->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    lv_results->scrollTo(index);
}

void QuickSearchPopup::moveCurrent(int steps)
{
    const int count = lv_results->model()->rowCount();
    if (count == 0)
        return;
    setCurrentRow(std::clamp(currentRow() + steps, 0, count - 1));
}
