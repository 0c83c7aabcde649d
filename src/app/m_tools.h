#pragma once

#include <QObject>

class QAction;
class QMenu;
class w_kiv;

// The drop-down 工具 of the main window, between 文件 and 帮助: the commands that go beyond
// the trees, the find and the options. Each item is an action of the window, so its key
// works wherever the window's keys do.
class m_tools : public QObject
{
    Q_OBJECT
public:
    // Adds the drop-down to the window's menu bar, and the tree commands and note marks that
    // go with the declarant's sheet; it all goes with the window.
    static m_tools *install(w_kiv *window);

    QMenu *menu = nullptr;
    QAction *m_sheet = nullptr;  // 申报信息 F6
    QAction *m_search = nullptr; // 搜索 Ctrl+F
    QAction *m_import = nullptr; // 导入商品编码表...
    QAction *m_undoImport = nullptr; // 恢复上一版本
    QAction *m_export = nullptr; // 导出... Ctrl+S
    QAction *m_print = nullptr;  // 打印... Ctrl+P
    QAction *m_datasource = nullptr; // 数据源设置...
    QAction *m_helpTopic = nullptr; // 使用帮助 F1

private:
    explicit m_tools(w_kiv *window);
    void m_sheet_clicked();
    // The tariff edition's two items, after a separator at the end of the drop-down.
    void addEditionItems();
    // 数据源设置..., after a separator at the end of the drop-down.
    void addDataSourceItem();
    // 使用帮助 F1, after a separator at the very end: the help of the window in front.
    void addHelpItem();

    w_kiv *m_window;
};
