#include "simoptions.h"

#include <QCommandLineParser>
#include <QRandomGenerator>

#include <cmath>
#include <limits>

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
  reboot            restart as from power-on (also ends a firmware update)
  quit              exit (SIGTERM and SIGINT do the same)

dioValue bits: 0-5 command inputs, 6 command negative, 8 weigh payload input,
16 cpu clock (toggles each second), 17 host communication (a command within the
last 2 s), 18 tool communication, 19 positive limit, 20 negative limit, 21 ok to
weigh, 22 weight valid.

"flashfirmware" puts the unit in its firmware-update state for 30 s: only
"/deviceId" is answered, everything else gets "Error: firmware update in progress".)";

bool readNumber(const QCommandLineParser &parser, const QString &name, double minimum,
                double maximum, double *value, QString *error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const double number = parser.value(name).toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < minimum || number > maximum) {
        *error = QStringLiteral("invalid value for --%1: %2").arg(name, parser.value(name));
        return false;
    }
    *value = number;
    return true;
}

template <typename Int>
bool readInteger(const QCommandLineParser &parser, const QString &name, Int minimum, Int maximum,
                 Int *value, QString *error)
{
    double number = *value;
    if (!readNumber(parser, name, minimum, maximum, &number, error))
        return false;
    if (std::trunc(number) != number) {
        *error = QStringLiteral("--%1 takes a whole number").arg(name);
        return false;
    }
    *value = static_cast<Int>(number);
    return true;
}

} // namespace

SimOptions::Outcome SimOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const auto value = [](const char *name, const char *text, const char *valueName) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(text),
                                  QString::fromLatin1(valueName));
    };
    const auto flag = [](const char *name, const char *text) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(text));
    };
    parser.addOptions({
        flag("serial", "Open a pseudo-terminal and print its path."),
        value("link",
              "Also make PATH a symbolic link to the pseudo-terminal (implies --serial;"
              " removed at exit).",
              "PATH"),
        value("udp-address", "Address for UDP and TCP (default 0.0.0.0).", "ADDR"),
        value("udp-port", "UDP port (default 1993).", "N"),
        flag("no-udp", "No UDP endpoint."),
        value("tcp-port", "TCP terminal port (default 23).", "N"),
        flag("no-tcp", "No TCP terminal."),
        value("device", "vkt (an actuator alone) or hbn (default: HBN unit with a tool).", "KIND"),
        flag("no-tool", "HBN unit without a VKT tool."),
        value("config",
              "JSON file with the persistent configuration: loaded at start when it"
              " exists, written by /saveConfig and /vkt/saveConfig.",
              "FILE"),
        value("inputs", "Initial input lines of dioValue (bits 0-6 and 8).", "N"),
        value("max-force", "Rated force of the tool in N (default 250).", "N"),
        value("max-position", "Stroke of the tool in mm (default 50).", "N"),
        value("payload-mass", "The mass a weighing finds, in kg (default 2.5).", "KG"),
        value("silent-after", "Fault: answer nothing after N commands.", "N"),
        value("drop-percent", "Fault: drop that share of replies.", "P"),
        value("seed", "Seed of the fault and noise generators (default: random).", "S"),
        value("delay-ms", "Fault: delay each reply by N ms.", "N"),
        value("chunk-bytes", "Fault: send replies in pieces of N bytes.", "N"),
        value("chunk-pause-ms", "Pause between pieces (default 50).", "M"),
        flag("no-prompt", "Fault: terminals never send the prompt \"\\r\\n>>\"."),
        flag("garbage", "Fault: reply with bytes that are not the protocol."),
        value("duplicate-ms", "Fault: UDP sends every reply again N ms after the first.", "N"),
        value("extra-prompt-ms", "Fault: terminals send one more prompt N ms after each reply.",
              "N"),
        value("banner-ms", "Fault: terminals send a boot banner N ms after each reply.", "N"),
        flag("bad-state", "Fault: \"/stateObject\" answers a text, not the state record."),
        value("pad-bytes", "Fault: put N spaces in front of every answer.", "N"),
        value("answer-as", "Fault: replies name PATH instead of the command's path.", "PATH"),
        value("hangup-after", "Fault: after N commands the serial line goes dead mid-reply.", "N"),
        flag("weigh-fails", "A weighing ends with payloadWeight 0."),
        flag("weigh-error", "\"/vkt/weighPayload\" answers an \"Error: ...\" text."),
        flag("trace", "Print each received command as \"command: <text>\"."),
    });
    help = parser.helpText();

    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return Outcome::Error;
    }
    if (parser.isSet(helpOption))
        return Outcome::Help;
    if (parser.isSet(versionOption))
        return Outcome::Version;
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
        return Outcome::Error;
    }

    linkPath = parser.value(QStringLiteral("link"));
    serial = parser.isSet(QStringLiteral("serial")) || !linkPath.isEmpty();
    udp = !parser.isSet(QStringLiteral("no-udp"));
    tcp = !parser.isSet(QStringLiteral("no-tcp"));
    trace = parser.isSet(QStringLiteral("trace"));
    tcpPortGiven = parser.isSet(QStringLiteral("tcp-port"));
    if (parser.isSet(QStringLiteral("udp-address"))
        && !udpAddress.setAddress(parser.value(QStringLiteral("udp-address")))) {
        error = QStringLiteral("invalid --udp-address %1")
                    .arg(parser.value(QStringLiteral("udp-address")));
        return Outcome::Error;
    }
    const QString kind = parser.value(QStringLiteral("device"));
    if (!kind.isEmpty() && kind != QLatin1String("vkt") && kind != QLatin1String("hbn")) {
        error = QStringLiteral("--device takes vkt or hbn, not %1").arg(kind);
        return Outcome::Error;
    }
    device.standalone = kind == QLatin1String("vkt");
    device.toolAttached = !parser.isSet(QStringLiteral("no-tool"));
    device.configPath = parser.value(QStringLiteral("config"));
    device.weighFails = parser.isSet(QStringLiteral("weigh-fails"));
    device.weighError = parser.isSet(QStringLiteral("weigh-error"));
    faults.noPrompt = parser.isSet(QStringLiteral("no-prompt"));
    faults.garbage = parser.isSet(QStringLiteral("garbage"));
    faults.badState = parser.isSet(QStringLiteral("bad-state"));
    faults.answerAs = parser.value(QStringLiteral("answer-as"));

    constexpr int maxInt = std::numeric_limits<int>::max();
    quint32 seed = QRandomGenerator::global()->generate();
    const bool numbersOk =
        readInteger<quint16>(parser, QStringLiteral("udp-port"), 1, 65535, &udpPort, &error)
        && readInteger<quint16>(parser, QStringLiteral("tcp-port"), 1, 65535, &tcpPort, &error)
        && readInteger(parser, QStringLiteral("inputs"), 0, DioWord::inputMask, &device.inputs,
                       &error)
        && readNumber(parser, QStringLiteral("max-force"), 1, 1e6, &device.maxForceN, &error)
        && readNumber(parser, QStringLiteral("max-position"), 1, 1e4, &device.maxPositionMm, &error)
        && readNumber(parser, QStringLiteral("payload-mass"), 0.01, 1e4, &device.payloadMassKg,
                      &error)
        && readInteger(parser, QStringLiteral("silent-after"), 0, maxInt, &faults.silentAfter,
                       &error)
        && readInteger(parser, QStringLiteral("drop-percent"), 0, 100, &faults.dropPercent, &error)
        && readInteger<quint32>(parser, QStringLiteral("seed"), 0, 0xFFFFFFFFu, &seed, &error)
        && readInteger(parser, QStringLiteral("delay-ms"), 0, 600000, &faults.delayMs, &error)
        && readInteger(parser, QStringLiteral("chunk-bytes"), 0, 65536, &faults.chunkBytes, &error)
        && readInteger(parser, QStringLiteral("chunk-pause-ms"), 0, 60000, &faults.chunkPauseMs,
                       &error)
        && readInteger(parser, QStringLiteral("duplicate-ms"), 0, 60000, &faults.duplicateMs,
                       &error)
        && readInteger(parser, QStringLiteral("extra-prompt-ms"), 0, 60000, &faults.extraPromptMs,
                       &error)
        && readInteger(parser, QStringLiteral("banner-ms"), 0, 60000, &faults.bannerMs, &error)
        && readInteger(parser, QStringLiteral("pad-bytes"), 0, 16 * 1024 * 1024, &faults.padBytes,
                       &error)
        && readInteger(parser, QStringLiteral("hangup-after"), 0, maxInt, &faults.hangupAfter,
                       &error);
    if (!numbersOk)
        return Outcome::Error;
    if ((device.inputs & ~DioWord::inputMask) != 0) {
        error = QStringLiteral("--inputs takes bits 0-6 and 8 only");
        return Outcome::Error;
    }
    device.seed = seed;
    faults.seed = seed ^ 0x5eed5eedu;
    return Outcome::Run;
}
