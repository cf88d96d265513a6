// Compares the gallery with its committed baseline:
//   tav_picturecheck GALLERY OUTDIR BASELINE [LANGUAGE] [--update]
// runs the gallery program into OUTDIR (emptied first; the pictures stay there to be looked at)
// and compares every picture's thumbnail with BASELINE. --update writes BASELINE from this run
// instead: only after the changed pictures have been looked at (scripts/update-gallery-baselines.sh).
#include "thumbnail.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>

namespace {

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

// The gallery's own chatter (the catalogue's and the model's log lines) runs to thousands of
// lines: it is kept out of the way and only its end is shown when the gallery itself failed, so
// that the scenes that differ are what a truncated log still shows.
bool renderGallery(const QString& gallery, const QString& outDir, const QString& language)
{
    QDir(outDir).removeRecursively();
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(gallery, {outDir, QString(), language});
    const bool finished = process.waitForFinished(280000);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    const QList<QByteArray> lines = process.readAll().split('\n');
    for (const QByteArray& line : lines.mid(std::max(0, int(lines.size()) - 60)))
        err() << QString::fromLocal8Bit(line) << '\n';
    err() << "picturecheck: the gallery did not run to its end\n";
    return false;
}

PictureCheck::Baseline thumbnailsIn(const QString& outDir)
{
    PictureCheck::Baseline thumbnails;
    const QDir dir(outDir);
    for (const QString& file : dir.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        QImage picture(dir.filePath(file));
        if (picture.isNull()) {
            err() << "picturecheck: cannot read " << dir.filePath(file) << '\n';
            continue;
        }
        thumbnails.insert(file.chopped(4), PictureCheck::thumbnailOf(picture));
    }
    return thumbnails;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool update = args.removeAll(QStringLiteral("--update")) > 0;
    if (args.size() < 3) {
        err() << "usage: tav_picturecheck GALLERY OUTDIR BASELINE [LANGUAGE] [--update]\n";
        return 2;
    }
    const QString baselinePath = args.at(2);
    if (!renderGallery(args.at(0), args.at(1), args.value(3)))
        return 1;
    const PictureCheck::Baseline actual = thumbnailsIn(args.at(1));
    if (actual.isEmpty()) {
        err() << "picturecheck: the gallery wrote no pictures\n";
        return 1;
    }
    if (update) {
        QSaveFile file(baselinePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(PictureCheck::encode(actual)) < 0
            || !file.commit()) {
            err() << "picturecheck: cannot write " << baselinePath << '\n';
            return 1;
        }
        QTextStream(stdout) << "picturecheck: " << actual.size() << " scenes written to "
                            << baselinePath << '\n';
        return 0;
    }
    QFile file(baselinePath);
    PictureCheck::Baseline expected;
    if (!file.open(QIODevice::ReadOnly) || !PictureCheck::decode(file.readAll(), &expected)) {
        err() << "picturecheck: cannot read the baseline " << baselinePath << '\n';
        return 1;
    }
    const QStringList changes = PictureCheck::differences(expected, actual);
    for (const QString& line : changes)
        err() << line << '\n';
    if (!changes.isEmpty()) {
        err() << "picturecheck: " << changes.size() << " of " << expected.size()
              << " scenes differ from " << baselinePath << "; the pictures are in " << args.at(1)
              << ". Look at them; if the change is meant, run scripts/update-gallery-baselines.sh\n";
        return 1;
    }
    QTextStream(stdout) << "picturecheck: " << actual.size() << " scenes match the baseline\n";
    return 0;
}
