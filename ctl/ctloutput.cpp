#include "ctloutput.h"

#include <cstdio>

void CtlOutput::line(const QString &text)
{
    bytes(text.toUtf8() + '\n');
}

void CtlOutput::bytes(const QByteArray &data)
{
    std::fwrite(data.constData(), 1, size_t(data.size()), stdout);
    std::fflush(stdout);
}

void CtlOutput::message(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
}

void CtlOutput::error(const QString &text)
{
    message(QStringLiteral("vkt-ctl: ") + text);
}
