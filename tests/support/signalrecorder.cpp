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
        const int type = signal.parameterCount() ? signal.parameterType(0) : QMetaType::Void;
        const char *slot = type == QMetaType::Void     ? "onSignal()"
                           : type == QMetaType::Int    ? "onInt(int)"
                           : type == QMetaType::Double ? "onDouble(double)"
                                                       : "onText(QString)";
        connect(source, signal, this, metaObject()->method(metaObject()->indexOfSlot(slot)));
    }
}

void SignalRecorder::record(const QString &argument)
{
    const QString name =
        QString::fromLatin1(sender()->metaObject()->method(senderSignalIndex()).name());
    events.append(argument.isNull() ? name : name + ' ' + argument);
}
