#pragma once

#include "core/export/ExportProgress.h"
#include "core/export/ExportRequest.h"
#include "core/export/ExportSource.h"
#include "ui/export/w_export.h"

#include <QObject>
#include <QPointer>

class QDialog;
namespace catalog {
class Navigation;
}
namespace kivexport {
class ResultSources;
}

// 导出..., 打印... and the tree item's 导出此节点...: gathers what there is to export from the
// main window (the selected item, the find dialog's list, the search field's list), opens the
// dialog, and then writes the file in the background or shows the print preview. The find
// dialog and the search field are only read, never changed.
class ExportCommands : public QObject
{
    Q_OBJECT
public:
    // On a main window with its navigation and its registry of result lists (children of it).
    static ExportCommands *install(QWidget *window);
    static ExportCommands *of(const QObject *window);

    // What can be chosen now.
    w_export::Choices choices() const;
    // The entries of the find dialog's list and of the search field's list, in their order.
    QList<kivexport::ExportSource::Key> findResults() const;
    QList<kivexport::ExportSource::Key> searchResults() const;

    // Opens the dialog (window-modal); the export or the preview follows its 导出/打印预览.
    w_export *openExport(kivexport::What preferred = kivexport::What::Node);
    w_export *openPrint(kivexport::What preferred = kivexport::What::Sheet);

    // The open print preview, or null.
    QDialog *preview() const;

signals:
    // An export ended (written, cancelled or failed) and the user was told.
    void exportFinished(const kivexport::WriteResult &result);
    // The preview laid out its pages (at its opening, and again for each change of its setup).
    void previewPainted(int pages);

private:
    explicit ExportCommands(QWidget *window);
    w_export *openDialog(w_export::Mode mode, kivexport::What preferred);
    // The rows of a choice; nullopt (and the user told) when the database fails.
    std::optional<QList<kivexport::ExportRecord>> records(kivexport::What what, QString *list, QString *title);
    void runExport(w_export *dialog);
    void runPrint(w_export *dialog);
    void reportExport(const kivexport::WriteResult &result, qint64 rows, const QString &path);

    QWidget *m_window;
    QPointer<catalog::Navigation> m_navigation;
    QPointer<kivexport::ResultSources> m_sources;
    QPointer<QDialog> m_preview;
};
