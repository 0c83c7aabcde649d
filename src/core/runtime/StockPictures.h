#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace runtime {

// The runtime's stock pictures: names such as "Database!" (ending in "!", matched without
// regard to case) stand for icons bundled with the program, each at 16 and 32 pixels.
class StockPictures
{
public:
    // True for a name written as a stock picture name (it ends with "!").
    static bool isStockName(const QString &name);
    // The icon of a stock name; a null icon for a name the runtime does not know.
    static QIcon icon(const QString &name);
    static bool contains(const QString &name);
    // Every known stock name, spelt as the system writes it.
    static QStringList names();

    // Picture files that the program keeps beside itself are also bundled: the resource path
    // of such a file name (for example ":/runtime/pictures/state0.bmp"), or an empty string
    // when none is bundled under that name.
    static QString bundledFile(const QString &fileName);
};

} // namespace runtime
