#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <string>

// Finds the bitmap resources that credits lines name ("PLEASE^" shows the
// bitmap "PLEASE"). Resources are files "<name>.bmp" under ":/res"; names
// match without regard to case.
class CCreditsBitmaps {
public:
    using Resolver = std::function<QImage(const std::string& name)>;

    // The bitmap resource of that name, or a null image.
    static QImage FromResources(const std::string& name);
    // "<name>.bmp" in the folder, the name matched without regard to case.
    static QImage FromFolder(const QString& folder, const std::string& name);
};
