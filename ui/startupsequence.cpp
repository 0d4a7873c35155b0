#include "startupsequence.h"

#include "mainwindow.h"
#include "uilog.h"

#include <QApplication>
#include <QMessageBox>
#include <QSettings>

void StartupSequence::setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("VKT Dashboard"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VKT_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwell"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tarnwell.example"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("VKT Dashboard"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
}

std::optional<QString> StartupSequence::addressArgument(int argc, char *argv[])
{
    if (argc < 2)
        return std::nullopt;
    return QString::fromUtf8(argv[1]);
}

int StartupSequence::run(MainWindow &window, const std::optional<QString> &address)
{
    window.show();
    if (address) {
        if (!window.remoteDevice.connectDevice(*address)) {
            qCDebug(vktUi) << "start-up connection failed:" << *address;
            QMessageBox::information(nullptr, QStringLiteral("VKT Dashboard"),
                                     QStringLiteral("Error connecting to \"%1\"").arg(*address));
            return connectFailedStatus;
        }
    }
    return QApplication::exec();
}
