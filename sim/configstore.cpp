#include "configstore.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

enum class ValueKind { Flag, Integer, Number, Ip };

struct KeyInfo
{
    ConfigGroup group;
    const char *name;
    ValueKind kind;
    Quantity quantity;
    double minimum;
    double maximum;
};

constexpr double unbounded = std::numeric_limits<double>::infinity();

// Ranges are in metric units; a value outside is refused rather than clamped so the operator sees
// that the setting did not take.
const KeyInfo keyInfos[] = {
    {ConfigGroup::Vkt, "metricUnits", ValueKind::Flag, Quantity::None, 0, 1},
    {ConfigGroup::Vkt, "initialWeigh", ValueKind::Flag, Quantity::None, 0, 1},
    {ConfigGroup::Vkt, "initialMode", ValueKind::Flag, Quantity::None, 0, 1},
    {ConfigGroup::Vkt, "initialForce", ValueKind::Number, Quantity::Force, -unbounded, unbounded},
    {ConfigGroup::Vkt, "payloadWeight", ValueKind::Number, Quantity::Weight, 0, unbounded},
    {ConfigGroup::Vkt, "initialPosition", ValueKind::Number, Quantity::Position, 0, unbounded},
    {ConfigGroup::Vkt, "posLimitPosition", ValueKind::Number, Quantity::Position, 0, unbounded},
    {ConfigGroup::Vkt, "negLimitPosition", ValueKind::Number, Quantity::Position, 0, unbounded},
    {ConfigGroup::Vkt, "softTouchEnabled", ValueKind::Flag, Quantity::None, 0, 1},
    {ConfigGroup::Vkt, "softTouchForce", ValueKind::Number, Quantity::None, 0, 1},
    {ConfigGroup::Vkt, "softTouchPosition", ValueKind::Number, Quantity::None, 0, 1},
    {ConfigGroup::Net, "dhcp", ValueKind::Flag, Quantity::None, 0, 1},
    {ConfigGroup::Net, "timeout", ValueKind::Integer, Quantity::None, 0, 65535},
    {ConfigGroup::Net, "ipAddress", ValueKind::Ip, Quantity::None, 0, 0},
    {ConfigGroup::Net, "netMask", ValueKind::Ip, Quantity::None, 0, 0},
    {ConfigGroup::Net, "gateway", ValueKind::Ip, Quantity::None, 0, 0},
    {ConfigGroup::Anybus, "nodeId", ValueKind::Integer, Quantity::None, 0, 255},
    {ConfigGroup::Anybus, "baudRate", ValueKind::Integer, Quantity::None, 0, 3},
};

const KeyInfo *findKeyInfo(ConfigGroup group, const QString &key)
{
    for (const KeyInfo &keyInfo : keyInfos) {
        if (keyInfo.group == group && key == QLatin1String(keyInfo.name))
            return &keyInfo;
    }
    return nullptr;
}

// Unit conversions leave tails such as 25.000000000000004; a device reports clean figures.
double tidy(double value)
{
    return std::round(value * 1e6) / 1e6;
}

QString normalisedIpv4(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return QString();
    QStringList parts;
    for (int i = 1; i <= 4; ++i) {
        const int part = match.captured(i).toInt();
        if (part > 255)
            return QString();
        parts << QString::number(part);
    }
    return parts.join(QLatin1Char('.'));
}

QString describe(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 12);
    return QStringLiteral("(not a value)");
}

} // namespace

ConfigStore::ConfigStore(const QString &deviceName, double maxPositionMm, bool standalone)
    : m_standalone(standalone)
    , m_name(deviceName)
{
    m_vkt = QJsonObject{
        {QStringLiteral("metricUnits"), 1},
        {QStringLiteral("initialWeigh"), 0},
        {QStringLiteral("initialMode"), 0},
        {QStringLiteral("initialForce"), 20.0},
        {QStringLiteral("payloadWeight"), 0.0},
        {QStringLiteral("initialPosition"), maxPositionMm * 0.2},
        {QStringLiteral("posLimitPosition"), maxPositionMm * 0.9},
        {QStringLiteral("negLimitPosition"), maxPositionMm * 0.05},
        {QStringLiteral("softTouchEnabled"), 0},
        {QStringLiteral("softTouchForce"), 0.25},
        {QStringLiteral("softTouchPosition"), 0.8},
    };
    net = QJsonObject{
        {QStringLiteral("dhcp"), 0},
        {QStringLiteral("timeout"), 30},
        {QStringLiteral("ipAddress"), QStringLiteral("192.168.1.50")},
        {QStringLiteral("netMask"), QStringLiteral("255.255.255.0")},
        {QStringLiteral("gateway"), QStringLiteral("192.168.1.1")},
    };
    anybus = QJsonObject{
        {QStringLiteral("nodeId"), 12},
        {QStringLiteral("baudRate"), 2},
    };
}

UnitSystem ConfigStore::units() const
{
    return UnitSystem(m_vkt.value(QStringLiteral("metricUnits")).toInt() != 0);
}

bool ConfigStore::hasKey(ConfigGroup group, const QString &key) const
{
    return findKeyInfo(group, key) != nullptr;
}

QJsonValue ConfigStore::value(ConfigGroup group, const QString &key) const
{
    const KeyInfo *keyInfo = findKeyInfo(group, key);
    if (!keyInfo)
        return QJsonValue(QJsonValue::Undefined);
    const QJsonValue stored = storage(group).value(key);
    if (keyInfo->kind != ValueKind::Number)
        return stored;
    return tidy(units().fromMetric(keyInfo->quantity, stored.toDouble()));
}

QJsonObject ConfigStore::group(ConfigGroup group) const
{
    QJsonObject reported;
    const QJsonObject &stored = storage(group);
    for (auto it = stored.begin(); it != stored.end(); ++it)
        reported.insert(it.key(), value(group, it.key()));
    return reported;
}

SetResult ConfigStore::setText(ConfigGroup group, const QString &key, const QString &text)
{
    const KeyInfo *keyInfo = findKeyInfo(group, key);
    if (keyInfo && keyInfo->kind == ValueKind::Ip)
        return setValue(group, key, text);
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok) {
        SetResult refused;
        refused.error = QStringLiteral("Error: invalid value %1 for %2").arg(text, key);
        return refused;
    }
    return setValue(group, key, number);
}

SetResult ConfigStore::setValue(ConfigGroup group, const QString &key, const QJsonValue &value)
{
    SetResult result;
    result.error = QStringLiteral("Error: invalid value %1 for %2").arg(describe(value), key);
    const KeyInfo *keyInfo = findKeyInfo(group, key);
    if (!keyInfo) {
        result.error = QStringLiteral("Error: unknown setting %1").arg(key);
        return result;
    }
    QJsonValue stored;
    if (keyInfo->kind == ValueKind::Ip) {
        const QString address = normalisedIpv4(value.toString());
        if (address.isEmpty())
            return result;
        stored = address;
    } else {
        if (!value.isDouble() || !std::isfinite(value.toDouble()))
            return result;
        double number = value.toDouble();
        if (keyInfo->kind == ValueKind::Flag) {
            number = number != 0 ? 1 : 0;
        } else if (keyInfo->kind == ValueKind::Integer && std::trunc(number) != number) {
            return result;
        }
        if (keyInfo->kind == ValueKind::Number)
            number = units().toMetric(keyInfo->quantity, number);
        if (number < keyInfo->minimum || number > keyInfo->maximum)
            return result;
        if (keyInfo->kind == ValueKind::Number)
            stored = number;
        else
            stored = static_cast<int>(number);
    }
    storage(group).insert(key, stored);
    result.ok = true;
    result.error.clear();
    result.value = this->value(group, key);
    return result;
}

QJsonObject ConfigStore::vktRecord() const
{
    QJsonObject record = group(ConfigGroup::Vkt);
    if (m_standalone)
        record.insert(QStringLiteral("net"), group(ConfigGroup::Net));
    return record;
}

QJsonObject ConfigStore::hbnRecord() const
{
    return QJsonObject{
        {QStringLiteral("net"), group(ConfigGroup::Net)},
        {QStringLiteral("anybus"), group(ConfigGroup::Anybus)},
    };
}

double ConfigStore::metricNumber(const QString &vktKey) const
{
    return m_vkt.value(vktKey).toDouble();
}

void ConfigStore::setMetricNumber(const QString &vktKey, double metricValue)
{
    m_vkt.insert(vktKey, metricValue);
}

bool ConfigStore::flag(const QString &vktKey) const
{
    return m_vkt.value(vktKey).toInt() != 0;
}

bool ConfigStore::setDeviceName(const QString &deviceName)
{
    if (deviceName.trimmed().isEmpty())
        return false;
    m_name = deviceName;
    return true;
}

QJsonObject ConfigStore::document() const
{
    QJsonObject doc{
        {QStringLiteral("deviceName"), m_name},
        {QStringLiteral("vkt"), vktRecord()},
    };
    if (!m_standalone)
        doc.insert(QStringLiteral("hbn"), hbnRecord());
    return doc;
}

bool ConfigStore::applyDocument(const QJsonObject &document, QString *error)
{
    if (document.contains(QStringLiteral("deviceName"))
        && !setDeviceName(document.value(QStringLiteral("deviceName")).toString())) {
        *error = QStringLiteral("invalid deviceName");
        return false;
    }
    const QJsonObject vktPart = document.value(QStringLiteral("vkt")).toObject();
    if (!applyRecord(ConfigGroup::Vkt, vktPart, error))
        return false;
    const QJsonObject netPart = m_standalone ? vktPart.value(QStringLiteral("net")).toObject()
                                             : document.value(QStringLiteral("hbn"))
                                                   .toObject()
                                                   .value(QStringLiteral("net"))
                                                   .toObject();
    const QJsonObject anybusPart =
        document.value(QStringLiteral("hbn")).toObject().value(QStringLiteral("anybus")).toObject();
    return applyRecord(ConfigGroup::Net, netPart, error)
           && applyRecord(ConfigGroup::Anybus, anybusPart, error);
}

bool ConfigStore::applyRecord(ConfigGroup group, const QJsonObject &record, QString *error)
{
    const QString unitsKey = QStringLiteral("metricUnits");
    QStringList keys = record.keys();
    if (keys.removeAll(unitsKey) > 0)
        keys.prepend(unitsKey);
    for (const QString &key : qAsConst(keys)) {
        if (!hasKey(group, key))
            continue; // records may carry keys this device does not know; they are not its own
        const SetResult result = setValue(group, key, record.value(key));
        if (!result.ok) {
            *error = result.error;
            return false;
        }
    }
    return true;
}

QJsonObject &ConfigStore::storage(ConfigGroup group)
{
    switch (group) {
    case ConfigGroup::Net:
        return net;
    case ConfigGroup::Anybus:
        return anybus;
    case ConfigGroup::Vkt:
        break;
    }
    return m_vkt;
}

const QJsonObject &ConfigStore::storage(ConfigGroup group) const
{
    return const_cast<ConfigStore *>(this)->storage(group);
}
