#pragma once

#include <QFont>
#include <QString>

// Fonts named as the dialogs name them, with sizes in tenths of a point at
// 96 dots per inch, made from the fonts the system has: Liberation Sans for
// "Arial", Comic Neue for "Comic Sans MS", and a sans of the same pixel size
// for "MS Sans Serif". Other names are asked of fontconfig as they are.
class CPointFont {
public:
    static QFont CreatePointFont(int nPointSize, const QString& lpszFaceName);
    // The family used in place of a face name.
    static QString Substitute(const QString& lpszFaceName);
    // Character height in pixels of a size in tenths of a point.
    static int PixelSize(int nPointSize);
};
