#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>

// A gallery picture reduced to what a regression check needs: grey levels averaged over
// Block x Block squares. Small enough to commit for every scene, coarse enough that font hinting
// noise stays under the tolerance, fine enough that a changed text colour or a missing row shows.
namespace PictureCheck {

constexpr int Block = 4;
// Grey levels (0..255) a thumbnail pixel may drift before the scene counts as changed.
constexpr int Tolerance = 10;

struct Thumbnail
{
    int width = 0;
    int height = 0;
    QByteArray grey; // width * height bytes, row by row

    bool operator==(const Thumbnail& other) const
    {
        return width == other.width && height == other.height && grey == other.grey;
    }
};

Thumbnail thumbnailOf(const QImage& picture);

using Baseline = QMap<QString, Thumbnail>; // scene name -> thumbnail

QByteArray encode(const Baseline& baseline);
// False on a file that is not a baseline; the baseline is then left empty.
bool decode(const QByteArray& bytes, Baseline* baseline);

// One line per scene that differs, is missing or is new; empty when every scene matches.
QStringList differences(const Baseline& expected, const Baseline& actual);

} // namespace PictureCheck
