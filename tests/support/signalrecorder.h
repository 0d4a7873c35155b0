#pragma once

#include <QObject>
#include <QStringList>

// Records every signal of an object, with its argument, as one ordered list of texts such as
// "actualForceChanged 12.5", so tests can check which signals came and in which order.
class SignalRecorder : public QObject
{
    Q_OBJECT

public:
    explicit SignalRecorder(QObject *source);

    QStringList events;

private slots:
    void onSignal();
    void onInt(int value);
    void onDouble(double value);
    void onText(const QString &text);

private:
    void record(const QString &argument);
};
