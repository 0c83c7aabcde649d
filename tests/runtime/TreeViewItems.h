#pragma once

// Items, picture files and pixels for the tree view's tests.

#include "core/runtime/TreeModel.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

namespace {

inline runtime::TreeItem item(const QString &label, int picture = 1, int selected = 2, int state = 0)
{
    runtime::TreeItem record;
    record.label = label;
    record.data = label;
    record.pictureIndex = picture;
    record.selectedPictureIndex = selected;
    record.statePictureIndex = state;
    return record;
}

// A solid square picture file of one colour.
inline QString solidPicture(const QString &fileName, const QColor &colour, const char *format = "PNG")
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = QDir::current().filePath(fileName);
    if (!image.save(path, format))
        qFatal("cannot write %s", qPrintable(path));
    return fileName;
}

inline QColor pixelAt(QWidget *viewport, const QPoint &point)
{
    return QColor(viewport->grab().toImage().pixel(point));
}

} // namespace
