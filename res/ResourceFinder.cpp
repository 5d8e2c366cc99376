#include "res/ResourceFinder.h"

#include <QDir>
#include <QFileInfo>

namespace {

QStringList& ExtraPaths()
{
    static QStringList paths;
    return paths;
}

} // namespace

QString CResourceFinder::Find(const QString& name, const QStringList& extensions)
{
    if (name.isEmpty()) {
        return {};
    }
    for (const QString& root : SearchPaths()) {
        const QDir dir(root);
        const QStringList entries = dir.entryList(QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& ext : extensions) {
            for (const QString& entry : entries) {
                const QFileInfo info(entry);
                if (info.completeBaseName().compare(name, Qt::CaseInsensitive) == 0 &&
                    info.suffix().compare(ext, Qt::CaseInsensitive) == 0) {
                    return dir.filePath(entry);
                }
            }
        }
    }
    return {};
}

QString CResourceFinder::Find(int nID, const QStringList& extensions)
{
    return Find(QString::number(nID), extensions);
}

QString CResourceFinder::FindAt2x(const QString& name, const QStringList& extensions)
{
    return name.isEmpty() ? QString() : Find(name + QStringLiteral("@2x"), extensions);
}

void CResourceFinder::AddSearchPath(const QString& dir)
{
    if (!ExtraPaths().contains(dir)) {
        ExtraPaths().append(dir);
    }
}

void CResourceFinder::ClearSearchPaths()
{
    ExtraPaths().clear();
}

QStringList CResourceFinder::SearchPaths()
{
    QStringList paths{QString::fromLatin1(kResourceRoot)};
    paths += ExtraPaths();
    return paths;
}
