#include "about/CreditsBitmaps.h"

#include <QDir>
#include <QFileInfo>

QImage CCreditsBitmaps::FromResources(const std::string& name)
{
    return FromFolder(QStringLiteral(":/res"), name);
}

QImage CCreditsBitmaps::FromFolder(const QString& folder, const std::string& name)
{
    if (name.empty())
        return QImage();
    const QString wanted = QString::fromStdString(name) + QStringLiteral(".bmp");
    // A name that reaches into other folders is not a resource name.
    if (wanted.contains(QLatin1Char('/')) || wanted.contains(QLatin1Char('\\')))
        return QImage();
    const QString exact = folder + QLatin1Char('/') + wanted;
    if (QFileInfo::exists(exact))
        return QImage(exact);
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return QImage(dir.filePath(entry));
    return QImage();
}
