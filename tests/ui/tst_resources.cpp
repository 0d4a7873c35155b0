#include "gifwriter.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QMovie>
#include <QRandomGenerator>
#include <QResource>
#include <QtTest>

#include <algorithm>

// The application's pictures: present under ":/", at the sizes the windows are
// laid out for, stored uncompressed, and the radar a looping animation; and the
// GIF encoding that made the radar.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void image_data();
    void image();
    void headerBackgroundCarriesWhiteText();
    void radarAnimation_data();
    void radarAnimation();
    void gifRoundTrip_data();
    void gifRoundTrip();
};

namespace {

// Share of the picture's pixels that are at least half opaque.
double inkedShare(const QImage &image)
{
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= 128)
                ++inked;
        }
    }
    return double(inked) / (image.width() * image.height());
}

// Pixels drawn at random from the same few colours whatever the seed, so that
// frames made with other seeds still share one palette.
QImage randomImage(QSize size, int colors, int transparentPercent, quint32 seed)
{
    QRandomGenerator paletteRandom(1);
    QVector<QRgb> palette;
    for (int i = 0; i < colors; ++i)
        palette.append(paletteRandom.generate() | 0xff000000u);
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const bool clear = int(random.bounded(100)) < transparentPercent;
            image.setPixel(x, y, clear ? 0u : palette.at(int(random.bounded(colors))));
        }
    }
    return image;
}

// Long runs of 40 colours: the code table grows slowly through every width.
QImage stripes(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const bool clear = (x / 7 + y / 5) % 3 == 0;
            image.setPixel(x, y, clear ? 0u : qRgb(x / 13 % 5 * 50, y / 9 % 8 * 30, 90));
        }
    }
    return image;
}

QImage gradient(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 2 % 256, y * 2 % 256, (x + y) % 256));
    }
    return image;
}

// Largest difference of any channel, alpha included, over the two pictures.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            // Colour under a transparent pixel does not count.
            if (qAlpha(p) == 0 && qAlpha(q) == 0)
                continue;
            largest = std::max({largest, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                            qAbs(qBlue(p) - qBlue(q)), qAbs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

} // namespace

void TestResources::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void TestResources::image_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparentGround");

    QTest::newRow("file") << ":/file.png" << QSize(512, 512) << true;
    QTest::newRow("tarnwell") << ":/tarnwell.png" << QSize(270, 25) << true;
    QTest::newRow("console") << ":/console.png" << QSize(100, 100) << true;
    QTest::newRow("file-open") << ":/file-open.png" << QSize(100, 100) << true;
    QTest::newRow("file-save") << ":/file-save.png" << QSize(100, 107) << true;
    QTest::newRow("header-background") << ":/header-background.png" << QSize(850, 60) << false;
    QTest::newRow("header-tarnwell") << ":/header-tarnwell.png" << QSize(309, 46) << true;
    QTest::newRow("vktdash") << ":/vktdash.png" << QSize(512, 512) << true;
    QTest::newRow("program-icon") << ":/program-icon.png" << QSize(256, 256) << true;
    QTest::newRow("refresh") << ":/refresh.png" << QSize(128, 128) << true;
    QTest::newRow("gear") << ":/gear.png" << QSize(100, 100) << true;
}

void TestResources::image()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, transparentGround);

    const QResource resource(path);
    QVERIFY2(resource.isValid(), qPrintable(path));
    QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);

    const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
    if (transparentGround) {
        for (const QPoint corner : {QPoint(0, 0), QPoint(size.width() - 1, 0),
                                    QPoint(0, size.height() - 1),
                                    QPoint(size.width() - 1, size.height() - 1)})
            QCOMPARE(qAlpha(image.pixel(corner)), 0);
        // Something is drawn on it.
        QVERIFY(inkedShare(image) > 0.1);
    } else {
        QCOMPARE(inkedShare(image), 1.0);
    }
}

void TestResources::headerBackgroundCarriesWhiteText()
{
    const QImage ground(QStringLiteral(":/header-background.png"));
    QVERIFY(!ground.isNull());
    // Above the rule along its bottom edge, the title bar must stay dark enough
    // for white text and light icons everywhere.
    int darkest = 255;
    int lightest = 0;
    for (int y = 0; y < ground.height() - 4; ++y) {
        for (int x = 0; x < ground.width(); ++x) {
            const int grey = qGray(ground.pixel(x, y));
            darkest = qMin(darkest, grey);
            lightest = qMax(lightest, grey);
        }
    }
    QVERIFY2(lightest < 96, qPrintable(QString::number(lightest)));
    QVERIFY(darkest > 0); // a steel ground, not a hole
}

void TestResources::radarAnimation_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("rooted") << ":/radar.gif";
    // The form the connect dialog uses.
    QTest::newRow("unrooted") << ":radar.gif";
}

void TestResources::radarAnimation()
{
    QFETCH(QString, path);
    QMovie movie(path);
    QVERIFY(movie.isValid());
    QCOMPARE(movie.format(), QByteArray("gif"));
    QCOMPARE(movie.loopCount(), -1);
    const int frames = movie.frameCount();
    QVERIFY2(frames > 1, qPrintable(QString::number(frames)));

    QVector<QImage> seen;
    while (movie.jumpToNextFrame()) {
        const QImage frame = movie.currentImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(frame.size(), QSize(40, 40));
        QVERIFY(movie.nextFrameDelay() > 0);
        QCOMPARE(qAlpha(frame.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(frame.pixel(20, 20)), 255);
        seen.append(frame);
        if (seen.size() == frames)
            break;
    }
    QCOMPARE(seen.size(), frames);
    // The sweep moves: a quarter turn on, the picture is another.
    QVERIFY(seen.first() != seen.at(frames / 4));
}

void TestResources::gifRoundTrip_data()
{
    QTest::addColumn<QVector<QImage>>("frames");
    QTest::addColumn<int>("tolerance");

    // Up to 255 colours fit the palette, so these come back exactly.
    QTest::newRow("noise, many table restarts")
        << QVector<QImage>{randomImage(QSize(317, 283), 255, 0, 7),
                           randomImage(QSize(317, 283), 255, 10, 8)}
        << 0;
    QTest::newRow("stripes with transparency") << QVector<QImage>{stripes(QSize(500, 400))} << 0;
    QTest::newRow("one pixel") << QVector<QImage>{randomImage(QSize(1, 1), 1, 0, 9)} << 0;
    QTest::newRow("odd small") << QVector<QImage>{randomImage(QSize(3, 2), 4, 30, 10)} << 0;
    // 16384 colours share 255 entries.
    QTest::newRow("gradient, reduced palette") << QVector<QImage>{gradient(QSize(128, 128))}
                                               << 24;
}

void TestResources::gifRoundTrip()
{
    QFETCH(QVector<QImage>, frames);
    QFETCH(int, tolerance);

    GifWriter writer(frames.first().size());
    for (const QImage &frame : frames)
        writer.addFrame(frame, 70);
    QByteArray data = writer.encode();
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QImageReader reader(&buffer, "gif");
    QCOMPARE(reader.imageCount(), frames.size());
    QCOMPARE(reader.loopCount(), -1);

    for (const QImage &frame : frames) {
        const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(reader.nextImageDelay(), 70);
        QCOMPARE(decoded.size(), frame.size());
        const int difference = largestDifference(decoded, frame);
        QVERIFY2(difference <= tolerance, qPrintable(QString::number(difference)));
    }
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
