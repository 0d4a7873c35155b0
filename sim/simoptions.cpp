#include "simoptions.h"

#include <QCommandLineParser>
#include <QRandomGenerator>

#include <cmath>
#include <functional>
#include <limits>
#include <type_traits>
#include <vector>

namespace {

const char description[] = R"(Simulated VKT actuator / HBN force-control unit for the VKT Dashboard.

It answers the dashboard's command lines on a pseudo-terminal (--serial), on UDP
(one reply datagram per command datagram, broadcast "/deviceId" included) and on a
raw TCP text terminal. Terminals echo each line, then write the answer (JSON, or a
plain "Error: ..." text) and the prompt "\r\n>>"; a bare CR gives just the prompt.

Start-up output: "serial: <pty>", "udp: <addr>:<port>", "tcp: <addr>:<port>", then
"ready". Errors go to stderr with exit status 1.

Control lines on stdin (each acknowledged with "ok: <line>" or "error: <line>"):
  inputs N          set the input lines of dioValue (bits 0-5 command inputs,
                    6 command negative, 8 weigh payload: a rising edge weighs)
  tool on|off       attach or detach the VKT tool of an HBN unit
  silent on|off     stop or resume answering anything
  delay N           start each reply N ms late from now on (as --delay-ms)
  payload X         report payloadWeight X (current units) without weighing
  state KEY JSON    pin a state member to a value until a command changes it;
  state KEY         unpin it
  terminal drop     hang up every TCP terminal connection
  reboot            restart as from power-on (also ends a firmware update)
  quit              exit (SIGTERM and SIGINT do the same)

dioValue bits: 0-5 command inputs, 6 command negative, 8 weigh payload input,
16 cpu clock (toggles each second), 17 host communication (a command within the
last 2 s), 18 tool communication, 19 positive limit, 20 negative limit, 21 ok to
weigh, 22 weight valid.

"flashfirmware" puts the unit in its firmware-update state for 30 s: only
"/deviceId" is answered, everything else gets "Error: firmware update in progress".)";

// How one option's value is checked and stored: `read` gives the error text, empty once the
// value is stored; `current` is the value before the command line, which the help may show.
struct Store
{
    std::function<QString(const QString &name, const QString &text)> read;
    QString current;
};

struct Option
{
    const char *name;
    const char *valueName; // nullptr for a switch
    const char *help;      // "%1" stands for the default
    Store store;
};

template <typename T>
Store number(T *field, double minimum, double maximum)
{
    return {[=](const QString &name, const QString &text) {
                bool ok = false;
                const double number = text.toDouble(&ok);
                if (!ok || !std::isfinite(number) || number < minimum || number > maximum)
                    return QStringLiteral("invalid value for --%1: %2").arg(name, text);
                if (std::is_integral_v<T> && std::trunc(number) != number)
                    return QStringLiteral("--%1 takes a whole number").arg(name);
                *field = static_cast<T>(number);
                return QString();
            },
            QString::number(*field)};
}

Store inputs(int *field)
{
    Store store = number(field, 0, DioWord::inputMask);
    store.read = [read = store.read, field](const QString &name, const QString &text) {
        const QString error = read(name, text);
        if (error.isEmpty() && (*field & ~DioWord::inputMask) != 0)
            return QStringLiteral("--inputs takes bits 0-6 and 8 only");
        return error;
    };
    return store;
}

Store address(QHostAddress *field)
{
    return {[=](const QString &name, const QString &text) {
                if (!field->setAddress(text))
                    return QStringLiteral("invalid --%1 %2").arg(name, text);
                return QString();
            },
            field->toString()};
}

Store deviceKind(bool *standalone)
{
    return {[=](const QString &name, const QString &text) {
                if (!text.isEmpty() && text != QLatin1String("vkt") && text != QLatin1String("hbn"))
                    return QStringLiteral("--%1 takes vkt or hbn, not %2").arg(name, text);
                *standalone = text == QLatin1String("vkt");
                return QString();
            },
            {}};
}

Store text(QString *field)
{
    return {[=](const QString &, const QString &text) {
                *field = text;
                return QString();
            },
            {}};
}

Store setTo(bool *field, bool value)
{
    return {[=](const QString &, const QString &) {
                *field = value;
                return QString();
            },
            {}};
}

std::vector<Option> optionTable(SimOptions *o)
{
    constexpr int maxInt = std::numeric_limits<int>::max();
    SimDevice::Settings &device = o->device;
    FaultInjector::Settings &faults = o->faults;
    return {
        {"serial", nullptr, "Open a pseudo-terminal and print its path.", setTo(&o->serial, true)},
        {"link", "PATH",
         "Also make PATH a symbolic link to the pseudo-terminal (implies --serial;"
         " removed at exit).",
         text(&o->linkPath)},
        {"udp-address", "ADDR", "Address for UDP and TCP (default %1).", address(&o->udpAddress)},
        {"udp-port", "N", "UDP port (default %1).", number(&o->udpPort, 1, 65535)},
        {"no-udp", nullptr, "No UDP endpoint.", setTo(&o->udp, false)},
        {"tcp-port", "N", "TCP terminal port (default %1).", number(&o->tcpPort, 1, 65535)},
        {"no-tcp", nullptr, "No TCP terminal.", setTo(&o->tcp, false)},
        {"device", "KIND", "vkt (an actuator alone) or hbn (default: HBN unit with a tool).",
         deviceKind(&device.standalone)},
        {"no-tool", nullptr, "HBN unit without a VKT tool.", setTo(&device.toolAttached, false)},
        {"config", "FILE",
         "JSON file with the persistent configuration: loaded at start when it exists, written by"
         " /saveConfig and /vkt/saveConfig.",
         text(&device.configPath)},
        {"inputs", "N", "Initial input lines of dioValue (bits 0-6 and 8).",
         inputs(&device.inputs)},
        {"max-force", "N", "Rated force of the tool in N (default %1).",
         number(&device.maxForceN, 1, 1e6)},
        {"max-position", "N", "Stroke of the tool in mm (default %1).",
         number(&device.maxPositionMm, 1, 1e4)},
        {"payload-mass", "KG", "The mass a weighing finds, in kg (default %1).",
         number(&device.payloadMassKg, 0.01, 1e4)},
        {"silent-after", "N", "Fault: answer nothing after N commands.",
         number(&faults.silentAfter, 0, maxInt)},
        {"drop-percent", "P", "Fault: drop that share of replies.",
         number(&faults.dropPercent, 0, 100)},
        {"seed", "S", "Seed of the fault and noise generators (default: random).",
         number(&device.seed, 0, 0xFFFFFFFFu)},
        {"delay-ms", "N", "Fault: delay each reply by N ms.", number(&faults.delayMs, 0, 600000)},
        {"chunk-bytes", "N", "Fault: send replies in pieces of N bytes.",
         number(&faults.chunkBytes, 0, 65536)},
        {"chunk-pause-ms", "M", "Pause between pieces (default %1).",
         number(&faults.chunkPauseMs, 0, 60000)},
        {"no-prompt", nullptr, "Fault: terminals never send the prompt \"\\r\\n>>\".",
         setTo(&faults.noPrompt, true)},
        {"garbage", nullptr, "Fault: reply with bytes that are not the protocol.",
         setTo(&faults.garbage, true)},
        {"duplicate-ms", "N", "Fault: UDP sends every reply again N ms after the first.",
         number(&faults.duplicateMs, 0, 60000)},
        {"extra-prompt-ms", "N", "Fault: terminals send one more prompt N ms after each reply.",
         number(&faults.extraPromptMs, 0, 60000)},
        {"banner-ms", "N", "Fault: terminals send a boot banner N ms after each reply.",
         number(&faults.bannerMs, 0, 60000)},
        {"bad-state", nullptr, "Fault: \"/stateObject\" answers a text, not the state record.",
         setTo(&faults.badState, true)},
        {"pad-bytes", "N", "Fault: put N spaces in front of every answer.",
         number(&faults.padBytes, 0, 16 * 1024 * 1024)},
        {"answer-as", "PATH", "Fault: replies name PATH instead of the command's path.",
         text(&faults.answerAs)},
        {"hangup-after", "N", "Fault: after N commands the serial line goes dead mid-reply.",
         number(&faults.hangupAfter, 0, maxInt)},
        {"weigh-fails", nullptr, "A weighing ends with payloadWeight 0.",
         setTo(&device.weighFails, true)},
        {"weigh-error", nullptr, "\"/vkt/weighPayload\" answers an \"Error: ...\" text.",
         setTo(&device.weighError, true)},
        {"trace", nullptr, "Print each received command as \"command: <text>\".",
         setTo(&o->trace, true)},
    };
}

} // namespace

SimOptions::Outcome SimOptions::parse(const QStringList &arguments)
{
    device.seed = QRandomGenerator::global()->generate();
    const std::vector<Option> options = optionTable(this);
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    for (const Option &option : options) {
        QString text = QString::fromLatin1(option.help);
        if (text.contains(QLatin1String("%1")))
            text = text.arg(option.store.current);
        parser.addOption(QCommandLineOption(QString::fromLatin1(option.name), text,
                                            QString::fromLatin1(option.valueName)));
    }
    m_help = parser.helpText();

    if (!parser.parse(arguments)) {
        m_error = parser.errorText();
        return Outcome::Error;
    }
    if (parser.isSet(helpOption))
        return Outcome::Help;
    if (parser.isSet(versionOption))
        return Outcome::Version;
    if (!parser.positionalArguments().isEmpty()) {
        m_error =
            QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
        return Outcome::Error;
    }
    for (const Option &option : options) {
        const QString name = QString::fromLatin1(option.name);
        if (parser.isSet(name))
            m_error = option.store.read(name, parser.value(name));
        if (!m_error.isEmpty())
            return Outcome::Error;
    }
    serial = serial || !linkPath.isEmpty();
    tcpPortGiven = parser.isSet(QStringLiteral("tcp-port"));
    faults.seed = device.seed ^ 0x5eed5eedu;
    return Outcome::Run;
}
