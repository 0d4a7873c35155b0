#pragma once

#include <QJsonDocument>
#include <QJsonValue>
#include <QString>

// Checks a parameter document before any of it is replayed into a device. Its keys become
// command paths and its values command arguments, so a document is accepted only when every
// part that would be sent is safe to put on the wire; nothing is sent from a rejected one.
class ParameterValidator
{
public:
    // `needsHbn`: the device is an HBN unit, so the document must also carry an "hbn" record.
    // On rejection `reason` (when given) receives a short text for the log.
    static bool validate(const QJsonDocument &document, bool needsHbn, QString *reason = nullptr);

private:
    static bool isRecordValid(const QJsonValue &record, QString *reason);
    static bool isValueValid(const QJsonValue &value, QString *reason);
    static bool isKeyValid(const QString &key);
    static bool hasControlCharacter(const QString &text);
};
