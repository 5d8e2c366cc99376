#pragma once

#include <QString>
#include <QStringList>

// Finds the program's resources: files in Qt's resource system under ":/res/",
// named after their ids ("250.bmp", "PLEASE.bmp", "233.png"). Names and
// extensions are compared without regard to case. Folders added with
// AddSearchPath are consulted after ":/res/", in the order they were added.
class CResourceFinder {
public:
    static constexpr const char* kResourceRoot = ":/res";

    // The path of the resource called name with one of the extensions (without
    // dot, tried in the order given), or an empty string when there is none.
    static QString Find(const QString& name, const QStringList& extensions);
    static QString Find(int nID, const QStringList& extensions);
    // The same resource drawn at twice its size for screens of device pixel
    // ratio 2, named "<name>@2x" ("250@2x.bmp"), or an empty string.
    static QString FindAt2x(const QString& name, const QStringList& extensions);

    static void AddSearchPath(const QString& dir);
    static void ClearSearchPaths();
    static QStringList SearchPaths();
};
