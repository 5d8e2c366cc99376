// zandor-gen: makes the game's pictures, resource images, sound effects and
// songs. Every run writes the same bytes.
//
//   zandor-gen --run-dir DIR --res-dir DIR   write everything
//   zandor-gen --contact-sheet OUT.png       one sheet of every picture and image
#include "tools/gen/BmpOut.h"
#include "tools/gen/ContactSheet.h"
#include "tools/gen/Palette.h"
#include "tools/gen/Pictures.h"
#include "tools/gen/ResourceImages.h"
#include "tools/gen/Songs.h"
#include "tools/gen/Sounds.h"
#include "tools/media/WavWriter.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

enum class Store { Bmp, Png };

struct ImageAsset {
    QString name; // file name in its folder
    bool picture; // true: run folder's bitmaps/, false: resource folder
    QImage image;
    int bits; // BMP depth
    Store store;
};

std::vector<ImageAsset> Images()
{
    namespace R = ResourceImages;
    std::vector<ImageAsset> a;
    a.push_back({"pic1.bmp", true, Pictures::Harbour(640, 480), 24, Store::Bmp});
    a.push_back({"pic2.bmp", true, Pictures::Reef(800, 800), 24, Store::Bmp});
    const QImage lake = Pictures::MountainLake(512, 384);
    a.push_back(
        {"pic3.bmp", true, Palette::ToIndexed(lake, Palette::MedianCut(lake, 256), true), 8, Store::Bmp});
    a.push_back({"pic4.bmp", true, Pictures::Market(1024, 768), 32, Store::Bmp});
    // The images shown in windows, each also at twice the size ("@2x") for
    // screens of device pixel ratio 2.
    for (int scale : {1, 2}) {
        const QString at = scale == 1 ? QString() : QStringLiteral("@2x");
        const auto name = [&at](const char* id) { return QString::fromLatin1(id) + at + ".bmp"; };
        const int classicBits = scale == 1 ? 4 : 24;
        a.push_back({name("250"), false, R::Background250(scale), 8, Store::Bmp});
        a.push_back({name("249"), false, R::Button(QStringLiteral("Start"), false, scale), 24, Store::Bmp});
        a.push_back({name("247"), false, R::Button(QStringLiteral("Start"), true, scale), 24, Store::Bmp});
        a.push_back({name("248"), false, R::Button(QStringLiteral("standart settings"), false, scale), 24,
                     Store::Bmp});
        a.push_back({name("246"), false, R::Button(QStringLiteral("standart settings"), true, scale), 24,
                     Store::Bmp});
        a.push_back({name("251"), false, R::Congratulation251(scale), 24, Store::Bmp});
        a.push_back({name("237"), false, R::MailLink237(scale), classicBits, Store::Bmp});
        a.push_back({name("253"), false, R::ArrowUp253(scale), classicBits, Store::Bmp});
    }
    a.push_back({"PLEASE.bmp", false, R::Please(), 4, Store::Bmp});
    a.push_back({"BITMAP1.bmp", false, R::Bitmap1(), 8, Store::Bmp});
    a.push_back({"233.png", false, R::HandCursor(), 32, Store::Png});
    a.push_back({"233@2x.png", false, R::HandCursor(2), 32, Store::Png});
    for (int size : {16, 32, 48, 64, 128, 256})
        a.push_back({QStringLiteral("icon-%1.png").arg(size), false, R::Icon(size), 32, Store::Png});
    a.push_back({"icon-16.bmp", false, R::Icon(16), 4, Store::Bmp});
    a.push_back({"icon-32.bmp", false, R::Icon(32), 4, Store::Bmp});
    return a;
}

bool WriteEverything(const QString& runDir, const QString& resDir)
{
    bool ok = true;
    const auto fail = [&ok](const QString& what) {
        std::fprintf(stderr, "zandor-gen: cannot write %s\n", qPrintable(what));
        ok = false;
    };
    for (const char* sub : {"bitmaps", "sounds", "midi"})
        QDir().mkpath(runDir + "/" + sub);
    QDir().mkpath(resDir);

    for (const ImageAsset& a : Images()) {
        const QString path = (a.picture ? runDir + "/bitmaps/" : resDir + "/") + a.name;
        const bool written =
            a.store == Store::Png ? a.image.save(path, "PNG") : SaveBmp(a.image, a.bits, path);
        if (!written)
            fail(path);
    }

    const std::pair<const char*, std::function<std::vector<std::int16_t>()>> sounds[] = {
        {"start.wav", Sounds::Start}, {"win.wav", Sounds::Win}, {"click.wav", Sounds::Click},
        {"miss.wav", Sounds::Miss},   {"ok.wav", Sounds::Ok},   {"blip.wav", Sounds::Blip}};
    for (const auto& [name, make] : sounds) {
        const QString path = runDir + "/sounds/" + name;
        if (!CWavWriter::Write(path.toStdString(), make(), Sounds::kRate, 1))
            fail(path);
    }

    for (const Songs::Written& w : Songs::WriteAll((runDir + "/midi").toStdString())) {
        if (!w.ok)
            fail(QString::fromStdString(w.file));
        std::printf("midi/%-16s %3d bars  %6.1f s\n", w.file.c_str(), w.bars, w.seconds);
    }
    return ok;
}

int ContactSheetMode(const QString& out)
{
    std::vector<ContactSheet::Item> items;
    for (const ImageAsset& a : Images()) {
        items.push_back({a.name, a.image});
        if (a.picture)
            std::printf("%s: smallest tile difference %.2f\n", qPrintable(a.name),
                        ContactSheet::SmallestTileDifference(a.image, 10));
    }
    // The background tiled 3 x 2, to see its seams.
    const QImage tile = ResourceImages::Background250();
    QImage tiled(tile.width() * 3, tile.height() * 2, QImage::Format_RGB32);
    for (int y = 0; y < tiled.height(); ++y)
        for (int x = 0; x < tiled.width(); ++x)
            tiled.setPixel(x, y, tile.pixel(x % tile.width(), y % tile.height()));
    items.push_back({"250 tiled", tiled});
    const QImage sheet = ContactSheet::Compose(items, 1600, 300);
    if (!sheet.save(out)) {
        std::fprintf(stderr, "zandor-gen: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString runDir, resDir, sheet;
    const QStringList args = QGuiApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--run-dir")
            runDir = args[i + 1];
        else if (args[i] == "--res-dir")
            resDir = args[i + 1];
        else if (args[i] == "--contact-sheet")
            sheet = args[i + 1];
    }
    if (!sheet.isEmpty())
        return ContactSheetMode(sheet);
    if (runDir.isEmpty() || resDir.isEmpty()) {
        std::fprintf(stderr, "usage: zandor-gen --run-dir DIR --res-dir DIR | --contact-sheet OUT.png\n");
        return 2;
    }
    return WriteEverything(runDir, resDir) ? 0 : 1;
}
