#include "imageset.h"

#include "brandpainter.h"
#include "gifwriter.h"
#include "imagegenlog.h"
#include "programiconpainter.h"
#include "radaranimation.h"
#include "tooliconpainter.h"

#include <utility>

namespace {
constexpr QSize radarSize{40, 40};
} // namespace

ImageSet::ImageSet(const QDir &folder)
    : folder(folder)
{
}

bool ImageSet::writeAll() const
{
    const std::pair<QString, QImage> pictures[] = {
        {QStringLiteral("file.png"), ToolIconPainter::document(QSize(512, 512))},
        {QStringLiteral("tarnwell.png"), BrandPainter::logoStrip(QSize(270, 25))},
        {QStringLiteral("console.png"), ToolIconPainter::console(QSize(100, 100))},
        {QStringLiteral("file-open.png"), ToolIconPainter::fileOpen(QSize(100, 100))},
        {QStringLiteral("file-save.png"), ToolIconPainter::fileSave(QSize(100, 107))},
        {QStringLiteral("header-background.png"), BrandPainter::headerBackground(QSize(850, 60))},
        {QStringLiteral("header-tarnwell.png"), BrandPainter::headerLogo(QSize(309, 46))},
        {QStringLiteral("vktdash.png"), ProgramIconPainter::render(512)},
        {QStringLiteral("program-icon.png"), ProgramIconPainter::render(256)},
        // The desktop's icon for the program file.
        {QStringLiteral("vkt-dashboard.png"), ProgramIconPainter::render(256)},
        {QStringLiteral("refresh.png"), ToolIconPainter::refresh(QSize(128, 128))},
        {QStringLiteral("gear.png"), ToolIconPainter::gear(QSize(100, 100))},
    };
    for (const auto &picture : pictures) {
        if (!writePng(picture.first, picture.second))
            return false;
    }
    return writeRadar(QStringLiteral("radar.gif"));
}

bool ImageSet::writePng(const QString &name, const QImage &image) const
{
    const QString path = folder.filePath(name);
    if (!image.save(path, "PNG")) {
        qCCritical(lcImageGen) << "cannot write" << path;
        return false;
    }
    qCInfo(lcImageGen) << "wrote" << path << image.size();
    return true;
}

bool ImageSet::writeRadar(const QString &name) const
{
    GifWriter gif(radarSize);
    for (int i = 0; i < RadarAnimation::frameCount; ++i)
        gif.addFrame(RadarAnimation::frame(i, radarSize), RadarAnimation::frameDelayMs);
    const QString path = folder.filePath(name);
    if (!gif.save(path)) {
        qCCritical(lcImageGen) << "cannot write" << path;
        return false;
    }
    qCInfo(lcImageGen) << "wrote" << path << RadarAnimation::frameCount << "frames";
    return true;
}
