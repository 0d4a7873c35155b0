#include "controlchannel.h"

#include "faultinjector.h"
#include "simdevice.h"
#include "stdoutwriter.h"
#include "tcpterminal.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSocketNotifier>

#include <cmath>
#include <csignal>
#include <unistd.h>

namespace {
constexpr int maxControlLineBytes = 4096;
}

ControlChannel::ControlChannel(SimDevice *device, FaultInjector *faults, TcpTerminal *terminal,
                               QObject *parent)
    : QObject(parent)
    , m_device(device)
    , m_faults(faults)
    , m_terminal(terminal)
    , m_notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this))
{
    // started in the background of an interactive shell, a read of the terminal must fail
    // rather than stop the whole device
    ::signal(SIGTTIN, SIG_IGN);
    connect(m_notifier, &QSocketNotifier::activated, this, &ControlChannel::onReadable);
}

void ControlChannel::onReadable()
{
    char chunk[1024];
    const ssize_t count = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (count <= 0) {
        // end of input (or no usable stdin): the device runs on, uncontrolled
        m_notifier->setEnabled(false);
        return;
    }
    m_buffer.append(chunk, static_cast<int>(count));
    int end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_buffer.left(end)).trimmed();
        m_buffer.remove(0, end + 1);
        if (line.isEmpty())
            continue;
        const bool ok = execute(line);
        StdoutWriter::line((ok ? QStringLiteral("ok: ") : QStringLiteral("error: ")) + line);
        if (ok && line == QLatin1String("quit"))
            QCoreApplication::quit();
    }
    if (m_buffer.size() > maxControlLineBytes)
        m_buffer.clear();
}

bool ControlChannel::execute(const QString &line)
{
    const QString word = line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    const QString rest = line.section(QLatin1Char(' '), 1, -1, QString::SectionSkipEmpty);
    bool ok = false;
    if (word == QLatin1String("inputs")) {
        const bool hex = rest.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        const int bits = hex ? rest.mid(2).toInt(&ok, 16) : rest.toInt(&ok, 10);
        return ok && m_device->setInputs(bits);
    }
    if (word == QLatin1String("tool")
        && (rest == QLatin1String("on") || rest == QLatin1String("off")))
        return m_device->setToolAttached(rest == QLatin1String("on"));
    if (word == QLatin1String("silent")
        && (rest == QLatin1String("on") || rest == QLatin1String("off"))) {
        m_faults->setSilent(rest == QLatin1String("on"));
        return true;
    }
    if (word == QLatin1String("delay")) {
        const int ms = rest.toInt(&ok);
        if (ok && ms >= 0)
            m_faults->setDelayMs(ms);
        return ok && ms >= 0;
    }
    if (word == QLatin1String("payload")) {
        const double weight = rest.toDouble(&ok);
        if (ok && std::isfinite(weight))
            m_device->forcePayload(weight);
        return ok && std::isfinite(weight);
    }
    if (word == QLatin1String("state"))
        return setState(rest);
    if (word == QLatin1String("terminal") && rest == QLatin1String("drop") && m_terminal) {
        m_terminal->dropConnections();
        return true;
    }
    if (word == QLatin1String("reboot") && rest.isEmpty()) {
        m_device->reboot();
        return true;
    }
    return word == QLatin1String("quit") && rest.isEmpty();
}

bool ControlChannel::setState(const QString &arguments)
{
    const QString member = arguments.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    const QString json = arguments.section(QLatin1Char(' '), 1, -1, QString::SectionSkipEmpty);
    if (json.isEmpty())
        return m_device->unpinState(member);
    // the value may be any JSON value, so it is read as the one element of an array
    const QJsonDocument document = QJsonDocument::fromJson("[" + json.toUtf8() + "]");
    if (!document.isArray() || document.array().size() != 1)
        return false;
    return m_device->pinState(member, document.array().first());
}
