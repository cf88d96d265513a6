#include "thumbnail.h"

#include <QDataStream>
#include <QIODevice>
#include <QSet>

#include <algorithm>
#include <cstdlib>

namespace PictureCheck {

namespace {

const quint32 Magic = 0x54475042; // "TGPB"
const quint32 Version = 1;

} // namespace

Thumbnail thumbnailOf(const QImage& picture)
{
    // Qt's own greyscale conversion weighs the channels the same way on every machine.
    const QImage grey = picture.convertToFormat(QImage::Format_ARGB32)
                            .convertToFormat(QImage::Format_Grayscale8);
    Thumbnail t;
    t.width = (grey.width() + Block - 1) / Block;
    t.height = (grey.height() + Block - 1) / Block;
    t.grey.resize(t.width * t.height);
    for (int ty = 0; ty < t.height; ++ty) {
        for (int tx = 0; tx < t.width; ++tx) {
            int sum = 0;
            int count = 0;
            for (int y = ty * Block; y < std::min((ty + 1) * Block, grey.height()); ++y) {
                const uchar* line = grey.constScanLine(y);
                for (int x = tx * Block; x < std::min((tx + 1) * Block, grey.width()); ++x) {
                    sum += line[x];
                    ++count;
                }
            }
            t.grey[ty * t.width + tx] = char((sum + count / 2) / count);
        }
    }
    return t;
}

QByteArray encode(const Baseline& baseline)
{
    QByteArray raw;
    QDataStream out(&raw, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << quint32(baseline.size());
    for (auto it = baseline.cbegin(); it != baseline.cend(); ++it)
        out << it.key() << qint32(it->width) << qint32(it->height) << it->grey;
    QByteArray file;
    QDataStream header(&file, QIODevice::WriteOnly);
    header << Magic << Version;
    return file + qCompress(raw, 9);
}

bool decode(const QByteArray& bytes, Baseline* baseline)
{
    baseline->clear();
    QDataStream header(bytes);
    quint32 magic = 0;
    quint32 version = 0;
    header >> magic >> version;
    if (header.status() != QDataStream::Ok || magic != Magic || version != Version)
        return false;
    const QByteArray raw = qUncompress(bytes.mid(8));
    QDataStream in(raw);
    in.setVersion(QDataStream::Qt_5_15);
    quint32 count = 0;
    in >> count;
    Baseline read;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString name;
        Thumbnail t;
        qint32 width = 0;
        qint32 height = 0;
        in >> name >> width >> height >> t.grey;
        if (width < 0 || height < 0 || qint64(width) * height != t.grey.size())
            return false;
        t.width = width;
        t.height = height;
        read.insert(name, t);
    }
    if (in.status() != QDataStream::Ok || quint32(read.size()) != count)
        return false;
    *baseline = read;
    return true;
}

QStringList differences(const Baseline& expected, const Baseline& actual)
{
    QStringList lines;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (!actual.contains(it.key())) {
            lines << QStringLiteral("%1: not rendered any more").arg(it.key());
            continue;
        }
        const Thumbnail& now = actual[it.key()];
        if (now.width != it->width || now.height != it->height) {
            lines << QStringLiteral("%1: size %2x%3, was %4x%5")
                         .arg(it.key())
                         .arg(now.width * Block)
                         .arg(now.height * Block)
                         .arg(it->width * Block)
                         .arg(it->height * Block);
            continue;
        }
        int changed = 0;
        int largest = 0;
        for (int i = 0; i < now.grey.size(); ++i) {
            const int step = std::abs(int(uchar(now.grey[i])) - int(uchar(it->grey[i])));
            largest = std::max(largest, step);
            if (step > Tolerance)
                ++changed;
        }
        if (changed)
            lines << QStringLiteral("%1: %2 of %3 blocks changed, by up to %4 grey levels")
                         .arg(it.key())
                         .arg(changed)
                         .arg(now.grey.size())
                         .arg(largest);
    }
    for (auto it = actual.cbegin(); it != actual.cend(); ++it)
        if (!expected.contains(it.key()))
            lines << QStringLiteral("%1: new scene, not in the baseline").arg(it.key());
    return lines;
}

} // namespace PictureCheck
