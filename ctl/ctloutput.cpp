#include "ctloutput.h"

#include "interruptwatcher.h"
#include "printabletext.h"

#include <cerrno>
#include <cstdio>

#include <unistd.h>

bool CtlOutput::line(const QString &text)
{
    return bytes(text.toUtf8() + '\n');
}

bool CtlOutput::bytes(const QByteArray &data)
{
    const char *next = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, next, size_t(left));
        if (written > 0) {
            next += written;
            left -= written;
        }
        const int failure = written < 0 && errno != EINTR ? errno : 0;
        // A signal that cut the write short while no one read asks for the end all the same.
        const bool interrupted = left > 0 && InterruptWatcher::hasFired();
        if (failure || interrupted) {
            error(tr("cannot write the output: %1")
                      .arg(qt_error_string(interrupted ? EINTR : failure)));
            return false;
        }
    }
    return true;
}

void CtlOutput::message(const QString &text)
{
    std::fputs(PrintableText::of(text).toUtf8().append('\n').constData(), stderr);
}

void CtlOutput::error(const QString &text)
{
    message(QStringLiteral("vkt-ctl: ") + text);
}
