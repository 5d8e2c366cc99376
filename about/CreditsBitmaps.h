#pragma once

#include <QImage>
#include <functional>
#include <string>

// Finds the bitmap resources that credits lines name ("PLEASE^" shows the
// bitmap "PLEASE") through the program's resource lookup (CResourceFinder):
// "<name>.bmp" under ":/res", then the added search paths; names match
// without regard to case.
class CCreditsBitmaps {
public:
    using Resolver = std::function<QImage(const std::string& name)>;

    // The bitmap resource of that name, or a null image. A name that reaches
    // into folders ('/' or '\\') is no resource name and finds nothing.
    static QImage FromResources(const std::string& name);
};
