#include "ctlcommandline.h"

#include "devicevocabulary.h"
#include "subcommand.h"

#include <limits>

namespace {

// What only some subcommands understand; --help and --version are everyone's.
const QStringList &helpAndVersion()
{
    static const QStringList names{QStringLiteral("help"), QStringLiteral("h"),
                                   QStringLiteral("help-all"), QStringLiteral("version"),
                                   QStringLiteral("v")};
    return names;
}

// A QTimer counts in int milliseconds.
constexpr double maxDurationS = std::numeric_limits<int>::max() / 1000.0;

bool isDeviceAddress(const QString &text)
{
    return text.contains(DeviceAddress::serialScheme)
           || text.contains(DeviceAddress::networkScheme);
}

} // namespace

CtlCommandLine::CtlCommandLine()
{
    QString description = tr("Scripts a VKT actuator or HBN unit as the dashboard does.\n\n"
                             "ADDRESS is usb://PORT or network://HOST. Commands:");
    for (const Subcommand &subcommand : Subcommand::all())
        description += QStringLiteral("\n  vkt-ctl ") + subcommand.synopsis;
    description += tr("\n\nExit status: 0 success, 1 device or I/O failure, 2 usage, "
                      "3 bad parameter file.");
    m_parser.setApplicationDescription(description);
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions({m_save, m_watch, m_csv, m_json, m_duration, m_dryRun, m_wait});
    m_parser.addPositionalArgument(QStringLiteral("ADDRESS"), tr("The device address."));
    m_parser.addPositionalArgument(QStringLiteral("COMMAND"), tr("What to do, see above."),
                                   QStringLiteral("COMMAND [ARGUMENTS...]"));
}

CtlCommandLine::Outcome CtlCommandLine::parse(const QStringList &arguments)
{
    m_request = CtlRequest();
    if (!m_parser.parse(arguments))
        return usageError(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help")))
        return Outcome::Help;
    if (m_parser.isSet(QStringLiteral("version")))
        return Outcome::Version;

    QStringList positional = m_parser.positionalArguments();
    if (positional.isEmpty())
        return usageError(tr("No command given."));
    // Only a command that needs no device may come first; anything else there is the address.
    const Subcommand *subcommand = Subcommand::find(positional.constFirst());
    if (!subcommand || subcommand->needsAddress) {
        m_request.address = positional.takeFirst();
        if (!isDeviceAddress(m_request.address))
            return usageError(tr("\"%1\" is not a device address (usb://PORT or network://HOST).")
                                  .arg(m_request.address));
        if (positional.isEmpty())
            return usageError(tr("No command given."));
        subcommand = Subcommand::find(positional.constFirst());
        if (!subcommand || !subcommand->needsAddress)
            return usageError(tr("Unknown command \"%1\".").arg(positional.constFirst()));
    }
    m_request.command = positional.takeFirst();
    m_request.arguments = positional;

    const int count = m_request.arguments.size();
    if (count < subcommand->minArguments
        || (subcommand->maxArguments >= 0 && count > subcommand->maxArguments))
        return usageError(tr("Usage: vkt-ctl %1").arg(subcommand->synopsis));
    const QString optionError = checkOptions(*subcommand);
    if (!optionError.isEmpty())
        return usageError(optionError);
    if (!readNumbers())
        return Outcome::UsageError;
    return Outcome::Run;
}

QString CtlCommandLine::checkOptions(const Subcommand &subcommand) const
{
    for (const QString &name : m_parser.optionNames()) {
        if (!helpAndVersion().contains(name) && !subcommand.options.contains(name))
            return tr("--%1 does not apply to %2.").arg(name, subcommand.name);
    }
    if (m_parser.isSet(m_csv) && m_parser.isSet(m_json))
        return tr("--csv and --json exclude each other.");
    // The state formats only shape a log; "state" alone prints one record as JSON.
    if (subcommand.options.contains(m_watch.names().constFirst()) && !m_parser.isSet(m_watch)
        && (m_parser.isSet(m_csv) || m_parser.isSet(m_json) || m_parser.isSet(m_duration)))
        return tr("--csv, --json and --duration need --watch.");
    return QString();
}

bool CtlCommandLine::readNumbers()
{
    m_request.save = m_parser.isSet(m_save);
    m_request.watch = m_parser.isSet(m_watch);
    m_request.csv = m_parser.isSet(m_csv);
    m_request.json = m_parser.isSet(m_json);
    m_request.dryRun = m_parser.isSet(m_dryRun);
    bool ok = true;
    if (m_parser.isSet(m_duration)) {
        m_request.durationS = m_parser.value(m_duration).toDouble(&ok);
        if (!ok || !(m_request.durationS > 0) || m_request.durationS > maxDurationS) {
            usageError(tr("--duration takes a number of seconds above 0, up to %1.")
                           .arg(maxDurationS, 0, 'f', 0));
            return false;
        }
    }
    if (m_parser.isSet(m_wait)) {
        m_request.waitMs = m_parser.value(m_wait).toInt(&ok);
        if (!ok || m_request.waitMs <= 0) {
            usageError(tr("--wait takes a number of milliseconds above 0."));
            return false;
        }
    }
    return true;
}

CtlCommandLine::Outcome CtlCommandLine::usageError(const QString &text)
{
    m_errorText = text;
    return Outcome::UsageError;
}

QString CtlCommandLine::helpText() const
{
    return m_parser.helpText();
}
