#include "programtranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace {

QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

} // namespace

ProgramTranslation::ProgramTranslation(const QLocale &locale)
{
    // Where the system has no Qt translations installed, the standard buttons stay English.
    if (m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), qtTranslationsPath()))
        QCoreApplication::installTranslator(&m_qt);

    static const bool resourcesRegistered = [] {
        Q_INIT_RESOURCE(translations);
        return true;
    }();
    Q_UNUSED(resourcesRegistered)
    m_translated = m_program.load(locale, QStringLiteral("vkt-dashboard"), QStringLiteral("_"),
                                  QStringLiteral(":/i18n"));
    if (m_translated)
        QCoreApplication::installTranslator(&m_program);
}

ProgramTranslation::~ProgramTranslation()
{
    QCoreApplication::removeTranslator(&m_program);
    QCoreApplication::removeTranslator(&m_qt);
}

bool ProgramTranslation::isTranslated() const
{
    return m_translated;
}
