#include <QFileInfo>
#include <QImageReader>
#include <QMovie>
#include <QtTest>

// The application's pictures at the sizes the windows are laid out for, each drawn from an SVG
// source that can be edited.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void images_data();
    void images();
    void radarAnimation();
};

namespace {

struct Picture
{
    const char *name;
    QSize size;
    const char *source; // in resources/svg, without ".svg"
};

const Picture pictures[] = {
    {"file.png", {512, 512}, "file"},
    {"tarnwell.png", {270, 25}, "tarnwell"},
    {"console.png", {100, 100}, "console"},
    {"file-open.png", {100, 100}, "file-open"},
    {"file-save.png", {100, 107}, "file-save"},
    {"header-background.png", {850, 60}, "header-background"},
    {"header-tarnwell.png", {309, 46}, "header-tarnwell"},
    {"vktdash.png", {512, 512}, "vktdash"},
    {"program-icon.png", {256, 256}, "vktdash"},
    {"refresh.png", {128, 128}, "refresh"},
    {"gear.png", {100, 100}, "gear"},
    {"trend.png", {100, 100}, "trend"},
    {"radar.gif", {40, 40}, "radar"},
    {"radar@2x.gif", {80, 80}, "radar"},
};

} // namespace

void TestResources::images_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("source");
    for (const Picture &picture : pictures)
        QTest::newRow(picture.name) << QString::fromLatin1(picture.name) << picture.size
                                    << QString::fromLatin1(picture.source);
}

void TestResources::images()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QString, source);

    QImageReader reader(":/" + name);
    QCOMPARE(reader.format(), QFileInfo(name).suffix().toLatin1());
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QVERIFY2(QFileInfo::exists(QStringLiteral(VKT_SVG_DIR "/") + source + ".svg"),
             qPrintable(source));
}

void TestResources::radarAnimation()
{
    QMovie movie(QStringLiteral(":/radar.gif"));
    QVERIFY(movie.isValid());
    QVERIFY(movie.frameCount() > 1);
    QCOMPARE(movie.loopCount(), -1); // forever
    QImage previous;
    for (int i = 0; i < movie.frameCount(); ++i) {
        QVERIFY(movie.jumpToFrame(i));
        const QImage frame = movie.currentImage();
        QCOMPARE(frame.size(), QSize(40, 40));
        QVERIFY(movie.nextFrameDelay() > 0);
        QVERIFY2(frame != previous, "the sweep stands still"); // it turns on every frame
        previous = frame;
    }
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
