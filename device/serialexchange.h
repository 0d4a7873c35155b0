#pragma once

#include "transportexchange.h"

class QSerialPort;

// The exchange on the serial line: CR LF ends a command, the prompt ends each reply frame, and a
// wait that runs out is reported by the port as an error, which its handler turns into the end
// of the link before the wait returns.
class SerialExchange : public TransportExchange
{
public:
    explicit SerialExchange(QSerialPort *port);

    QByteArray commandLine(const QString &path, const QString &value) const override;

private:
    bool discardStaleInput() override;
    bool write(const QByteArray &line) override;
    Outcome takeReply(const QString &path, const QDeadlineTimer &deadline) override;

    QSerialPort *m_port = nullptr;
};
