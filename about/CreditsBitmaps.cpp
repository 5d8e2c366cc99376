#include "about/CreditsBitmaps.h"

#include "res/ResourceFinder.h"

#include <QString>

QImage CCreditsBitmaps::FromResources(const std::string& name)
{
    if (name.empty() || name.find_first_of("/\\") != std::string::npos)
        return QImage();
    const QString path = CResourceFinder::Find(QString::fromStdString(name), {QStringLiteral("bmp")});
    if (path.isEmpty())
        return QImage();
    return QImage(path);
}
