#include "signalrecorder.h"

#include <QMetaMethod>

SignalRecorder::SignalRecorder(QObject *source)
    : QObject(source)
{
    const QMetaObject *meta = source->metaObject();
    for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
        const QMetaMethod signal = meta->method(i);
        if (signal.methodType() != QMetaMethod::Signal)
            continue;
        const char *slot = "onSignal()";
        if (signal.parameterCount() == 1) {
            switch (signal.parameterType(0)) {
            case QMetaType::Int:
                slot = "onInt(int)";
                break;
            case QMetaType::Double:
                slot = "onDouble(double)";
                break;
            default:
                slot = "onText(QString)";
                break;
            }
        }
        connect(source, signal, this, metaObject()->method(metaObject()->indexOfSlot(slot)));
    }
}

void SignalRecorder::onSignal()
{
    record(QString());
}

void SignalRecorder::onInt(int value)
{
    record(QString::number(value));
}

void SignalRecorder::onDouble(double value)
{
    record(QString::number(value));
}

void SignalRecorder::onText(const QString &text)
{
    record(text);
}

void SignalRecorder::record(const QString &argument)
{
    const QMetaMethod signal = sender()->metaObject()->method(senderSignalIndex());
    const QString name = QString::fromLatin1(signal.name());
    events.append(argument.isNull() ? name : name + QLatin1Char(' ') + argument);
}
