#include "core/session/QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

QString QtTranslation::folder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool QtTranslation::install(QCoreApplication *application, QString *problem, const QString &from)
{
    const QString dir = from.isEmpty() ? folder() : from;
    // Owned by the application from here on: it lives as long as the texts are asked for.
    auto *translator = new QTranslator(application);
    // A file name, not a locale: the texts are Chinese under any LANG.
    if (!translator->load(catalogue(), dir)) {
        delete translator;
        *problem = QStringLiteral("找不到 Qt 的中文翻译 %1.qm（在 %2 中；Debian 的软件包 qt6-translations-l10n 提供它），"
                                  "标准按钮和 Qt 的对话框将显示英文。")
                       .arg(catalogue(), QDir::toNativeSeparators(dir));
        return false;
    }
    if (!QCoreApplication::installTranslator(translator)) {
        delete translator;
        *problem = QStringLiteral("无法安装 Qt 的中文翻译 %1。").arg(catalogue());
        return false;
    }
    return true;
}
