#include "parameterimport.h"

#include "devicevocabulary.h"
#include "jsontext.h"
#include "printabletext.h"
#include "wireformat.h"

#include <QHash>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// The JSON type a known key of the configuration record takes; unknown keys take any.
enum class Kind { Any, Number, Integer, Text, Object };

Kind expectedKind(const QString &objectPath, const QString &key)
{
    using namespace RecordKey;
    static const QHash<QString, QHash<QString, Kind>> tables = [] {
        const QHash<QString, Kind> netKeys{{dhcp, Kind::Integer},
                                           {timeout, Kind::Integer},
                                           {ipAddress, Kind::Text},
                                           {netMask, Kind::Text},
                                           {gateway, Kind::Text}};
        const QString slash = QStringLiteral("/");
        return QHash<QString, QHash<QString, Kind>>{
            {DevicePath::vktTree,
             {{metricUnits, Kind::Integer},
              {initialWeigh, Kind::Integer},
              {initialMode, Kind::Integer},
              {softTouchEnabled, Kind::Integer},
              {initialForce, Kind::Number},
              {payloadWeight, Kind::Number},
              {initialPosition, Kind::Number},
              {posLimitPosition, Kind::Number},
              {negLimitPosition, Kind::Number},
              {softTouchForce, Kind::Number},
              {softTouchPosition, Kind::Number},
              {net, Kind::Object}}},
            {DevicePath::hbnTree, {{net, Kind::Object}, {anybus, Kind::Object}}},
            {DevicePath::vktTree + slash + net, netKeys},
            {DevicePath::hbnTree + slash + net, netKeys},
            {DevicePath::hbnTree + slash + anybus,
             {{nodeId, Kind::Integer}, {baudRate, Kind::Integer}}},
        };
    }();
    return tables.value(objectPath).value(key, Kind::Any);
}

bool hasKind(const QJsonValue &value, Kind kind)
{
    switch (kind) {
    case Kind::Any:
        return true;
    case Kind::Number:
        return value.isDouble();
    case Kind::Integer:
        return value.isDouble() || value.isBool();
    case Kind::Text:
        return value.isString();
    case Kind::Object:
        return value.isObject();
    }
    return false;
}

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// A key becomes one step of a command path: only what would change the meaning of the line
// is refused, so whatever a device may hold (dots, letters of any script) loads again. A step
// of dots alone could name a place outside the record's tree.
bool isKeyValid(const QString &key)
{
    if (key.isEmpty() || QString(key).remove(QLatin1Char('.')).isEmpty())
        return false;
    for (const QChar c : key) {
        if (c.category() == QChar::Other_Control || c.isSpace() || c == QLatin1Char('=')
            || c == QLatin1Char('/'))
            return false;
    }
    return true;
}

// Inside an array value, which goes out as its compact JSON text.
bool isNestedValueValid(const QJsonValue &value, int depth)
{
    if (value.isString())
        return !hasControlCharacter(value.toString());
    if (!value.isArray() && !value.isObject())
        return true;
    if (depth > ParameterImport::depthLimit)
        return false;
    if (value.isArray()) {
        for (const QJsonValue &element : value.toArray()) {
            if (!isNestedValueValid(element, depth + 1))
                return false;
        }
        return true;
    }
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (hasControlCharacter(it.key()) || !isNestedValueValid(it.value(), depth + 1))
            return false;
    }
    return true;
}

} // namespace

ParameterImport::Plan ParameterImport::plan(const QByteArray &text, bool needsHbn)
{
    Plan plan;
    ParameterImport import(&plan);
    if (text.size() > fileLimitBytes) {
        import.reject(QStringLiteral("file over %1 bytes").arg(fileLimitBytes));
        return plan;
    }
    const JsonText::Parsed parsed = JsonText::parse(text);
    if (!parsed.isValid()) {
        import.reject(QStringLiteral("not JSON: ") + parsed.error);
        return plan;
    }
    const QJsonDocument &document = parsed.document;
    if (!document.isObject()) {
        import.reject(QStringLiteral("root is not an object"));
        return plan;
    }
    const QJsonObject root = document.object();
    if (import.addRecord(root, RecordKey::vktRecord) && needsHbn)
        import.addRecord(root, RecordKey::hbnRecord);
    if (!plan.isAccepted())
        plan.commands.clear();
    return plan;
}

ParameterImport::Plan ParameterImport::plan(QIODevice *file, bool needsHbn)
{
    // Piece by piece, so that a small file costs no buffer of the bound's size, up to one byte
    // beyond the bound, which tells an oversized file from one that just fits.
    constexpr int pieceBytes = 64 * 1024;
    QByteArray text;
    while (text.size() <= fileLimitBytes && !file->atEnd()) {
        const QByteArray piece = file->read(qMin(pieceBytes, fileLimitBytes + 1 - text.size()));
        if (piece.isEmpty())
            break;
        text += piece;
    }
    return plan(text, needsHbn);
}

QStringList ParameterImport::refusalReport(const QStringList &refused)
{
    constexpr int shownRefusals = 8;
    constexpr int lineLimitChars = 160;
    QStringList lines{
        tr("Configuration not saved: the device refused %n value(s):", nullptr, refused.size())};
    for (const QString &refusal : refused.mid(0, shownRefusals))
        lines << PrintableText::of(refusal, lineLimitChars);
    if (refused.size() > shownRefusals)
        lines << tr("and %n more", nullptr, refused.size() - shownRefusals);
    lines << tr("The other values are active but not stored.");
    return lines;
}

bool ParameterImport::addRecord(const QJsonObject &root, const QString &record)
{
    const QJsonValue value = root.value(record);
    if (!value.isObject() || value.toObject().isEmpty())
        return reject(QStringLiteral("record \"%1\" missing or empty").arg(record));
    return addObject(value.toObject(), QLatin1Char('/') + record, 2);
}

bool ParameterImport::addObject(const QJsonObject &object, const QString &prefix, int depth)
{
    if (depth > depthLimit)
        return reject(QStringLiteral("nested deeper than %1 levels").arg(depthLimit));
    // The unit system goes first so that every value after it is read in the right units.
    if (object.contains(RecordKey::metricUnits)
        && !addMember(prefix, RecordKey::metricUnits, object.value(RecordKey::metricUnits), depth))
        return false;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!addMember(prefix, it.key(), it.value(), depth))
            return false;
    }
    return true;
}

bool ParameterImport::addMember(const QString &prefix, const QString &key, const QJsonValue &value,
                                int depth)
{
    if (!isKeyValid(key))
        return reject(QStringLiteral("bad key \"%1\"").arg(key));
    // A bare path would be a query, not a setting: nothing to send.
    if (value.isNull())
        return true;
    if (!hasKind(value, expectedKind(prefix, key)))
        return reject(QStringLiteral("wrong type for \"%1\"").arg(key));
    const QString path = prefix + QLatin1Char('/') + key;
    if (value.isObject())
        return addObject(value.toObject(), path, depth + 1);
    if (!isNestedValueValid(value, depth + 1))
        return reject(QStringLiteral("bad value for \"%1\"").arg(key));
    const QString text = WireFormat::formatValue(value);
    // Empty text would go out as a bare path too, on a key such as "weighPayload" an action;
    // white space alone would leave a "=" with nothing after it. Neither sets anything.
    if (text.trimmed().isEmpty())
        return true;
    if (path.toUtf8().size() + 1 + text.toUtf8().size() > lineLimitBytes)
        return reject(
            QStringLiteral("command line for \"%1\" over %2 bytes").arg(key).arg(lineLimitBytes));
    m_plan->commands.append({path, text});
    return true;
}

bool ParameterImport::reject(const QString &reason)
{
    m_plan->rejection = reason;
    return false;
}
