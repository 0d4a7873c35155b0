#include <QFileInfo>
#include <QImageReader>
#include <QMovie>
#include <QtTest>

// The application's pictures at the sizes the windows are laid out for, each drawn from an SVG
// source that can be edited, and the search radar turning.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void pictures();
};

void TestResources::pictures()
{
    const QVector<std::tuple<QString, QSize, QString>> pictures{
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
        {"radar.gif", {40, 40}, "radar"}};
    for (const auto &[name, size, source] : pictures) {
        QCOMPARE(QImageReader(":/" + name).read().size(), size);
        QVERIFY2(QFileInfo::exists(VKT_SVG_DIR "/" + source + ".svg"), qPrintable(source));
    }
    QMovie radar(":/radar.gif");
    QVERIFY(radar.frameCount() > 1);
    QCOMPARE(radar.loopCount(), -1); // forever
    QImage previous;
    for (int i = 0; i < radar.frameCount(); ++i) {
        QVERIFY(radar.jumpToFrame(i));
        QVERIFY2(radar.currentImage() != previous, "the sweep stands still");
        QVERIFY(radar.nextFrameDelay() > 0);
        previous = radar.currentImage();
    }
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
