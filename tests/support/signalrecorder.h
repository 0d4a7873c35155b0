#pragma once

#include <QObject>
#include <QStringList>

// Records every signal of an object as one ordered list of texts such as
// "actualForceChanged 12.5", so that a test sees which signals came and in which order.
class SignalRecorder : public QObject
{
    Q_OBJECT

public:
    explicit SignalRecorder(QObject *source);

    QStringList events;

private slots:
    void onSignal() { record(QString()); }
    void onInt(int value) { record(QString::number(value)); }
    void onDouble(double value) { record(QString::number(value)); }
    void onText(const QString &text) { record(text); }

private:
    void record(const QString &argument);
};
