#include "ui/runtime/TreeView.h"

#include "core/runtime/StockPictures.h"
#include "ui/runtime/TreeColumnWidth.h"
#include "ui/runtime/TreeItemDelegate.h"
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPixmap>

// The tree view's picture lists: its pictures and its state pictures, from stock names or files.

namespace runtime {

QIcon TreeView::loadPicture(const QString &name, const QColor &maskColor)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QIcon();
    if (StockPictures::isStockName(trimmed))
        return StockPictures::icon(trimmed);
    // File names may be written the Windows way (".\state0.bmp").
    QString path = trimmed;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!QFileInfo::exists(path))
        path = StockPictures::bundledFile(path);
    if (path.isEmpty())
        return QIcon();
    QImage image(path);
    if (image.isNull())
        return QIcon();
    if (maskColor.isValid() && !image.hasAlphaChannel()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb mask = maskColor.rgb() & 0x00ffffff;
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((line[x] & 0x00ffffff) == mask)
                    line[x] = 0;
            }
        }
    }
    const QPixmap pixmap = QPixmap::fromImage(image);
    QIcon icon;
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}

int TreeView::addTo(TreePictureList &list, const QString &name)
{
    const QIcon icon = loadPicture(name, list.maskColor);
    list.pictures.append(icon);
    return icon.isNull() ? -1 : static_cast<int>(list.pictures.size());
}

int TreeView::addPicture(const QString &name)
{
    const int result = addTo(m_pictures, name);
    m_columnWidth->invalidate();
    viewport()->update();
    return result;
}

void TreeView::deletePictures()
{
    m_pictures.pictures.clear();
    m_columnWidth->invalidate();
    viewport()->update();
}

QIcon TreeView::picture(int index) const
{
    if (index < 1 || index > pictureCount())
        return QIcon();
    return m_pictures.pictures.at(index - 1);
}

void TreeView::setPictureSize(const QSize &size)
{
    if (!size.isValid())
        return;
    m_pictures.size = size;
    setIconSize(size);
    m_columnWidth->invalidate();
}

int TreeView::addStatePicture(const QString &name)
{
    const int result = addTo(m_statePictures, name);
    m_columnWidth->invalidate();
    doItemsLayout();
    return result;
}

void TreeView::deleteStatePictures()
{
    m_statePictures.pictures.clear();
    m_columnWidth->invalidate();
    doItemsLayout();
}

QIcon TreeView::statePicture(int index) const
{
    if (index < 1 || index > statePictureCount())
        return QIcon();
    return m_statePictures.pictures.at(index - 1);
}

void TreeView::setStatePictureSize(const QSize &size)
{
    if (!size.isValid())
        return;
    m_statePictures.size = size;
    m_columnWidth->invalidate();
    doItemsLayout();
}

// --- geometry and hit test

} // namespace runtime
