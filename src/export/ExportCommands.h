#pragma once

#include "export/ExportProgress.h"
#include "export/ExportRequest.h"
#include "export/ExportSource.h"
#include "export/w_export.h"

#include <QObject>
#include <QPointer>

class QDialog;
class w_kiv;

// 导出..., 打印... and the tree item's 导出此节点...: gathers what there is to export from the
// main window (the selected item, the find dialog's list, the search field's list), opens the
// dialog, and then writes the file in the background or shows the print preview. The find
// dialog and the search field are only read, never changed.
class ExportCommands : public QObject
{
    Q_OBJECT
public:
    static ExportCommands *install(w_kiv *window);
    static ExportCommands *of(const w_kiv *window);

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
    explicit ExportCommands(w_kiv *window);
    w_export *openDialog(w_export::Mode mode, kivexport::What preferred);
    // The rows of a choice; nullopt (and the user told) when the database fails.
    std::optional<QList<kivexport::ExportRecord>> records(kivexport::What what, QString *list, QString *title);
    void runExport(w_export *dialog);
    void runPrint(w_export *dialog);
    void reportExport(const kivexport::WriteResult &result, qint64 rows, const QString &path);

    w_kiv *m_window;
    QPointer<QDialog> m_preview;
};
