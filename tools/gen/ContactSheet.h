#pragma once

#include <QImage>
#include <QString>
#include <vector>

// A look at everything the generator paints, on one sheet.
namespace ContactSheet {

struct Item {
    QString label;
    QImage image;
};

// Lays the items out in rows no wider than `width`, each shown at most
// `cell` pixels high (small images are enlarged by whole factors).
QImage Compose(const std::vector<Item>& items, int width, int cell);

// The smallest mean absolute difference between any two tiles of a picture
// scaled to 300 x 300 and cut into `cuts` x `cuts` tiles (0..255 per channel).
double SmallestTileDifference(const QImage& picture, int cuts);

} // namespace ContactSheet
