#include "tools/gen/BmpOut.h"

#include "imaging/DIBitmap.h"

#include <QFile>
#include <QtEndian>
#include <vector>

namespace {

void Put(std::vector<char>& out, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// 32 bits per pixel, no alpha (the fourth byte is 0), rows bottom-up.
// CDIBitmap keeps 24-bit pixels only, so the deep picture is written here.
bool SaveBmp32(const QImage& image, const QString& path)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const quint32 w = static_cast<quint32>(img.width()), h = static_cast<quint32>(img.height());
    const quint32 pixels = w * h * 4;
    std::vector<char> out;
    out.reserve(54 + pixels);
    out.push_back('B');
    out.push_back('M');
    Put(out, 54 + pixels, 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    Put(out, 40, 4);
    Put(out, w, 4);
    Put(out, h, 4);
    Put(out, 1, 2);
    Put(out, 32, 2);
    Put(out, 0, 4); // BI_RGB
    Put(out, pixels, 4);
    Put(out, 2835, 4); // 72 dpi
    Put(out, 2835, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    for (int y = img.height() - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            out.push_back(static_cast<char>(qBlue(row[x])));
            out.push_back(static_cast<char>(qGreen(row[x])));
            out.push_back(static_cast<char>(qRed(row[x])));
            out.push_back(0);
        }
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           f.write(out.data(), static_cast<qint64>(out.size())) == static_cast<qint64>(out.size());
}

} // namespace

bool SaveBmp(const QImage& image, int bitsPerPixel, const QString& path)
{
    if (bitsPerPixel == 32)
        return SaveBmp32(image, path);
    CDIBitmap dib;
    if (!dib.CreateFromBitmap(image, bitsPerPixel))
        return false;
    return dib.Save(path.toStdString());
}
