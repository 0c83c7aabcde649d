#pragma once

#include <QString>

class QCoreApplication;

// Qt's own texts in Chinese, whatever the user's locale: the standard buttons of the message
// boxes (是, 否, 取消, 确定), the file, print and print preview dialogs, the context menus of
// the text fields. The program's own texts are not translated and stay as they are.
class QtTranslation
{
public:
    // The catalogue's name, as Debian's qt6-translations-l10n installs it.
    static QString catalogue() { return QStringLiteral("qtbase_zh_CN"); }
    // The folder Qt looks in for its translations.
    static QString folder();

    // Loads the catalogue from `from` (Qt's folder when empty) and installs it in the
    // application, which then owns it. False when it cannot be loaded; *problem says why.
    static bool install(QCoreApplication *application, QString *problem, const QString &from = QString());
};
