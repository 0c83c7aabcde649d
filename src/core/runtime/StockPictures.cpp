#include "core/runtime/StockPictures.h"

#include <QFile>
#include <QFileInfo>
#include <QPixmap>

#include <array>

// The resources live in a static library: register them before the first look-up, or the
// linker's choice of object files could leave them out.
static void initRuntimeResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(runtime);
        return true;
    }();
    Q_UNUSED(done);
}

namespace runtime {

namespace {

struct StockEntry {
    const char *name;  // as the system spells it
    const char *file;  // base name under :/runtime/pictures/
};

// The tree pictures (the root, the five code levels, the selected item, the default list of
// the tree class) and the toolbar's pictures.
constexpr std::array kStock{
    StockEntry{"Environment!", "environment"},
    StockEntry{"DeclareProcedure!", "declareprocedure"},
    StockEntry{"Database!", "database"},
    StockEntry{"UserObject!", "userobject"},
    StockEntry{"UserObject5!", "userobject5"},
    StockEntry{"Custom026!", "custom026"},
    StockEntry{"DatabaseProfile!", "databaseprofile"},
    StockEntry{"Structure5!", "structure5"},
    StockEntry{"Regenerate5!", "regenerate5"},
    StockEntry{"Run!", "run"},
    StockEntry{"Continue!", "continue"},
    StockEntry{"Exit!", "exit"},
    StockEntry{"Custom020!", "custom020"},
};

const char *fileOf(const QString &name)
{
    for (const StockEntry &entry : kStock) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.file;
    }
    return nullptr;
}

} // namespace

bool StockPictures::isStockName(const QString &name)
{
    return name.size() > 1 && name.endsWith(QLatin1Char('!'));
}

bool StockPictures::contains(const QString &name)
{
    return fileOf(name.trimmed()) != nullptr;
}

QIcon StockPictures::icon(const QString &name)
{
    const char *file = fileOf(name.trimmed());
    if (!file)
        return QIcon();
    const QString key = QString::fromLatin1(file);
    initRuntimeResources();
    QIcon icon;
    for (int size : {16, 32}) {
        const QString path = QStringLiteral(":/runtime/pictures/%1-%2.png").arg(key).arg(size);
        QPixmap pixmap(path);
        if (!pixmap.isNull()) {
            // The selected look is the plain picture, as the original runtime draws it.
            icon.addPixmap(pixmap, QIcon::Normal);
            icon.addPixmap(pixmap, QIcon::Selected);
        }
    }
    return icon;
}

QStringList StockPictures::names()
{
    QStringList list;
    for (const StockEntry &entry : kStock)
        list.append(QLatin1String(entry.name));
    return list;
}

QString StockPictures::bundledFile(const QString &fileName)
{
    initRuntimeResources();
    const QString base = QFileInfo(fileName.trimmed()).fileName();
    if (base.isEmpty())
        return QString();
    // File names of the original system are not case-sensitive; the bundled ones are lower case.
    for (const QString &candidate : {base, base.toLower()}) {
        const QString path = QStringLiteral(":/runtime/pictures/") + candidate;
        if (QFile::exists(path))
            return path;
    }
    return QString();
}

} // namespace runtime
