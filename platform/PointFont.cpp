#include "platform/PointFont.h"

#include <QStringList>

#include <algorithm>

QString CPointFont::Substitute(const QString& lpszFaceName)
{
    if (lpszFaceName.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0 ||
        lpszFaceName.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Liberation Sans");
    }
    if (lpszFaceName.compare(QLatin1String("Comic Sans MS"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Comic Neue");
    }
    return lpszFaceName;
}

int CPointFont::PixelSize(int nPointSize)
{
    // tenths of a point → pixels at 96 dpi, rounded
    return std::max(1, (nPointSize * 96 + 360) / 720);
}

QFont CPointFont::CreatePointFont(int nPointSize, const QString& lpszFaceName)
{
    QFont font;
    font.setFamilies({Substitute(lpszFaceName), QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(PixelSize(nPointSize));
    return font;
}
