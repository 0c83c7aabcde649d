#include "ui/export/w_export.h"

#include "core/session/globals.h"
#include "core/settings/Setting.h"
#include "ui/runtime/MessageBox.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace kivexport;

namespace {


QString listName(const QString &list)
{
    return list == QLatin1String("jmw") ? QStringLiteral("外经贸") : QStringLiteral("海关");
}

} // namespace

w_export::w_export(Mode mode, const Choices &choices, What preferred, QWidget *parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_choices(choices)
{
    setObjectName(QStringLiteral("w_export"));
    setWindowTitle(mode == Mode::Export ? QStringLiteral("导出") : QStringLiteral("打印"));
    createControls();
    loadChoices();
    st_note->setText(formatNote(mode, format()));
    // The wanted choice when it can be had, else the first one that can.
    const QList<QPair<What, QRadioButton *>> order = {
        {What::Sheet, rb_sheet},         {What::Node, rb_node},           {What::FindResults, rb_find},
        {What::SearchResults, rb_search}, {What::WholeCustoms, rb_hs},     {What::WholeForeign, rb_jmw}};
    QRadioButton *chosen = nullptr;
    for (const auto &[kind, button] : order)
        if (kind == preferred && button && button->isEnabled())
            chosen = button;
    for (const auto &[kind, button] : order)
        if (!chosen && button && button->isEnabled())
            chosen = button;
    if (chosen)
        chosen->setChecked(true);
    updateState();
    suggestFileName();
}

void w_export::createControls()
{
    auto *layout = new QVBoxLayout(this);
    auto *whatBox = new QGroupBox(m_mode == Mode::Export ? QStringLiteral("导出内容") : QStringLiteral("打印内容"), this);
    auto *whatLayout = new QVBoxLayout(whatBox);
    auto *group = new QButtonGroup(this);
    const auto addChoice = [&](const QString &name, const QString &text, bool enabled) {
        auto *button = new QRadioButton(text, whatBox);
        button->setObjectName(name);
        button->setEnabled(enabled);
        group->addButton(button);
        whatLayout->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                updateState();
                suggestFileName();
            }
        });
        return button;
    };
    const bool hasNode = !m_choices.nodeCode.isEmpty();
    const QString node = hasNode ? QStringLiteral("%1 %2（%3）").arg(m_choices.nodeCode, m_choices.nodeName.left(40),
                                                                   listName(m_choices.nodeList))
                                 : QStringLiteral("（未选中）");
    if (m_mode == Mode::Print)
        rb_sheet = addChoice(QStringLiteral("rb_sheet"), QStringLiteral("所选编码的申报信息(&S)：%1").arg(node), hasNode);
    rb_node = addChoice(QStringLiteral("rb_node"), QStringLiteral("所选节点及其全部下级(&N)：%1").arg(node), hasNode);
    // An empty result list has nothing to take away: its choice is offered but disabled.
    rb_find = addChoice(QStringLiteral("rb_find"), QStringLiteral("查找对话框的结果列表(&R)（%1 条）").arg(m_choices.findCount),
                        m_choices.findCount > 0);
    rb_search = addChoice(QStringLiteral("rb_search"), QStringLiteral("搜索框的结果(&Q)（%1 条）").arg(m_choices.searchCount),
                          m_choices.searchCount > 0);
    rb_hs = addChoice(QStringLiteral("rb_hs"), QStringLiteral("整个海关商品目录(&H)"), true);
    rb_jmw = addChoice(QStringLiteral("rb_jmw"), QStringLiteral("整个外经贸商品目录(&W)"), true);
    layout->addWidget(whatBox);

    auto *form = new QFormLayout;
    lb_columns = new QListWidget(this);
    lb_columns->setObjectName(QStringLiteral("lb_columns"));
    lb_columns->setAccessibleName(QStringLiteral("列"));
    for (Column c : ExportColumns::all()) {
        auto *item = new QListWidgetItem(ExportColumns::heading(c), lb_columns);
        item->setData(Qt::UserRole, int(c));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    lb_columns->setMinimumHeight(lb_columns->sizeHintForRow(0) * 8);
    connect(lb_columns, &QListWidget::itemChanged, this, &w_export::updateState);
    auto *columnsLabel = new QLabel(QStringLiteral("列(&C)："), this);
    columnsLabel->setBuddy(lb_columns);
    form->addRow(columnsLabel, lb_columns);

    if (m_mode == Mode::Export) {
        ddlb_format = new QComboBox(this);
        ddlb_format->setObjectName(QStringLiteral("ddlb_format"));
        ddlb_format->addItem(QStringLiteral("Excel 工作簿 (*.xlsx)"), int(Format::Xlsx));
        ddlb_format->addItem(QStringLiteral("CSV 文本，UTF-8 (*.csv)"), int(Format::Csv));
        ddlb_format->addItem(QStringLiteral("PDF 文档 (*.pdf)"), int(Format::Pdf));
        auto *formatLabel = new QLabel(QStringLiteral("格式(&T)："), this);
        formatLabel->setBuddy(ddlb_format);
        form->addRow(formatLabel, ddlb_format);
        connect(ddlb_format, &QComboBox::currentIndexChanged, this, [this] {
            sle_file->setText(ExportRequest::withSuffix(sle_file->text(), format()));
            st_note->setText(formatNote(m_mode, format()));
        });

        sle_file = new QLineEdit(this);
        sle_file->setObjectName(QStringLiteral("sle_file"));
        // Wide enough for a folder and a name side by side.
        sle_file->setMinimumWidth(sle_file->fontMetrics().averageCharWidth() * 48);
        connect(sle_file, &QLineEdit::textEdited, this, [this] {
            m_nameEdited = true;
            updateState();
        });
        cb_browse = new QPushButton(QStringLiteral("浏览(&B)..."), this);
        cb_browse->setObjectName(QStringLiteral("cb_browse"));
        connect(cb_browse, &QPushButton::clicked, this, &w_export::browse);
        auto *fileRow = new QHBoxLayout;
        fileRow->addWidget(sle_file, 1);
        fileRow->addWidget(cb_browse);
        auto *fileLabel = new QLabel(QStringLiteral("文件(&F)："), this);
        fileLabel->setBuddy(sle_file);
        form->addRow(fileLabel, fileRow);
    }
    layout->addLayout(form);

    st_note = new QLabel(this);
    st_note->setObjectName(QStringLiteral("st_note"));
    st_note->setWordWrap(true);
    layout->addWidget(st_note);

    auto *buttons = new QDialogButtonBox(this);
    cb_ok = buttons->addButton(m_mode == Mode::Export ? QStringLiteral("导出(&E)") : QStringLiteral("打印预览(&P)..."),
                               QDialogButtonBox::AcceptRole);
    cb_ok->setObjectName(QStringLiteral("cb_ok"));
    cb_ok->setDefault(true);
    cb_cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cb_cancel->setObjectName(QStringLiteral("cb_cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &w_export::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &w_export::reject);
    layout->addWidget(buttons);
}

QString w_export::formatNote(Mode mode, Format format)
{
    if (mode == Mode::Print || format == Format::Pdf)
        return QStringLiteral("A4 纸，页脚有程序名、数据版本、日期和页码。");
    if (format == Format::Csv)
        return QStringLiteral("CSV 是供其他程序读取的纯文本（RFC 4180，UTF-8）。表格软件（LibreOffice、Excel）打开 CSV "
                              "时会去掉编码的前导零（0101210010 变成 101210010），并把 9% 变成 0.09：要在表格软件中"
                              "查看或编辑，请选 Excel 工作簿 (.xlsx)，那里编码和税率都是文本。CSV 中以 = + - @ "
                              "开头的内容前加一个 '，以免被当作公式。");
    return QStringLiteral("编码和税率在工作簿中都是文本，表格软件打开后前导零和百分号都不丢。Excel 单元格最多 "
                          "32,767 个字符，更长的备注截断并以“…[已截断]”标出。");
}

What w_export::what() const
{
    if (rb_sheet && rb_sheet->isChecked())
        return What::Sheet;
    if (rb_find->isChecked())
        return What::FindResults;
    if (rb_search->isChecked())
        return What::SearchResults;
    if (rb_hs->isChecked())
        return What::WholeCustoms;
    if (rb_jmw->isChecked())
        return What::WholeForeign;
    return What::Node;
}

Format w_export::format() const
{
    return ddlb_format ? Format(ddlb_format->currentData().toInt()) : Format::Pdf;
}

QList<Column> w_export::columns() const
{
    QList<Column> chosen;
    for (int i = 0; i < lb_columns->count(); ++i)
        if (lb_columns->item(i)->checkState() == Qt::Checked)
            chosen.append(Column(lb_columns->item(i)->data(Qt::UserRole).toInt()));
    return chosen;
}

QString w_export::folder() const
{
    const QString kept = settings::Settings::value(gs_docname, settings::kExportFolder);
    return !kept.isEmpty() && QFileInfo(kept).isDir() ? kept : QDir::homePath();
}

void w_export::loadChoices()
{
    const QList<Column> kept = ExportColumns::fromKeys(settings::Settings::value(gs_docname, settings::kExportColumns));
    const QSignalBlocker block(lb_columns);
    for (int i = 0; i < lb_columns->count(); ++i)
        lb_columns->item(i)->setCheckState(
            kept.contains(Column(lb_columns->item(i)->data(Qt::UserRole).toInt())) ? Qt::Checked : Qt::Unchecked);
    if (ddlb_format) {
        const QString format = settings::Settings::value(gs_docname, settings::kExportFormat);
        const int at = ddlb_format->findData(int(ExportRequest::formatOf(QStringLiteral("x.") + format, Format::Xlsx)));
        const QSignalBlocker blockFormat(ddlb_format);
        ddlb_format->setCurrentIndex(qMax(0, at));
    }
}

void w_export::saveChoices() const
{
    settings::Settings::setValue(gs_docname, settings::kExportColumns, ExportColumns::toKeys(columns()));
    if (ddlb_format) {
        settings::Settings::setValue(gs_docname, settings::kExportFormat, ExportRequest::suffix(format()).mid(1));
        settings::Settings::setValue(gs_docname, settings::kExportFolder, QFileInfo(m_path).absolutePath());
    }
}

void w_export::updateState()
{
    const bool sheet = what() == What::Sheet;
    lb_columns->setEnabled(!sheet);
    bool ready = sheet || !columns().isEmpty();
    if (sle_file)
        ready = ready && !sle_file->text().trimmed().isEmpty();
    ready = ready && (rb_node->isChecked() || rb_find->isChecked() || rb_search->isChecked() || rb_hs->isChecked()
                      || rb_jmw->isChecked() || sheet);
    cb_ok->setEnabled(ready);
}

void w_export::suggestFileName()
{
    if (!sle_file || m_nameEdited)
        return;
    const QString name = ExportRequest::fileName(what(), m_choices.nodeCode, m_choices.nodeName, format());
    sle_file->setText(QDir(folder()).filePath(name));
    updateState();
}

void w_export::browse()
{
    const QString filter = ddlb_format->currentText();
    const QString chosen = QFileDialog::getSaveFileName(this, QStringLiteral("导出到文件"), sle_file->text(), filter,
                                                        nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return;
    m_nameEdited = true;
    sle_file->setText(ExportRequest::withSuffix(chosen, format()));
    updateState();
}

void w_export::accept()
{
    if (sle_file) {
        QString path = ExportRequest::withSuffix(sle_file->text().trimmed(), format());
        if (QFileInfo(path).isRelative())
            path = QDir(folder()).filePath(path);
        path = QDir::cleanPath(path);
        if (QFileInfo(path).isDir()) {
            runtime::messageBox(windowTitle(), QStringLiteral("“%1”是一个文件夹，请给出文件名。").arg(QDir::toNativeSeparators(path)),
                                runtime::MessageIcon::Exclamation, runtime::MessageButtons::Ok, 1, this);
            return;
        }
        if (QFileInfo::exists(path)
            && runtime::messageBox(windowTitle(),
                                   QStringLiteral("文件“%1”已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(path)),
                                   runtime::MessageIcon::Question, runtime::MessageButtons::YesNo, 2, this)
                != 1)
            return;
        m_path = path;
    }
    saveChoices();
    QDialog::accept();
}
