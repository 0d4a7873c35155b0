#include "gifwriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QMovie>
#include <QRandomGenerator>
#include <QtTest>

// The application's pictures at the sizes the windows are laid out for, and the GIF writer
// that made the radar animation.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void images();
    void radarAnimation();
    void gifRoundTrip();
};

void TestResources::images()
{
    const QVector<QPair<QString, QSize>> images{
        {"file.png", {512, 512}}, {"tarnwell.png", {270, 25}}, {"console.png", {100, 100}},
        {"file-open.png", {100, 100}}, {"file-save.png", {100, 107}},
        {"header-background.png", {850, 60}}, {"header-tarnwell.png", {309, 46}},
        {"vktdash.png", {512, 512}}, {"program-icon.png", {256, 256}},
        {"refresh.png", {128, 128}}, {"gear.png", {100, 100}}};
    for (const auto &image : images)
        QVERIFY2(QImage(":/" + image.first).size() == image.second, qPrintable(image.first));
}

void TestResources::radarAnimation()
{
    QMovie movie(QStringLiteral(":/radar.gif"));
    QVERIFY(movie.isValid());
    QVERIFY(movie.frameCount() > 1);
    QCOMPARE(movie.loopCount(), -1); // forever
    for (int i = 0; i < movie.frameCount(); ++i) {
        QVERIFY(movie.jumpToFrame(i));
        QCOMPARE(movie.currentImage().size(), QSize(40, 40));
    }
}

void TestResources::gifRoundTrip()
{
    // Noise in 255 colours and transparency: every code width up to 12 bits and many table
    // restarts, yet exact, since the palette holds all colours.
    QRandomGenerator random(7);
    QVector<QRgb> colors;
    for (int i = 0; i < 255; ++i)
        colors.append(random.generate() | 0xff000000u);
    QImage frame(317, 283, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            frame.setPixel(x, y, random.bounded(10) ? colors.at(random.bounded(255)) : 0u);

    GifWriter writer(frame.size());
    writer.addFrame(frame, 70);
    writer.addFrame(frame.mirrored(), 70);
    QByteArray data = writer.encode();
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "gif");
    QCOMPARE(reader.imageCount(), 2);
    QCOMPARE(reader.read().convertToFormat(frame.format()), frame);
    QCOMPARE(reader.read().convertToFormat(frame.format()), frame.mirrored());
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
