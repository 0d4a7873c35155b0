#include "simdevice.h"

#include "simcommand.h"
#include "simlog.h"

#include <QStringList>

#include <cmath>

namespace {

constexpr qint64 hostComHoldMs = 2000;
const char hbnModel[] = "HBN-1000";

const QStringList &stateMembers()
{
    static const QStringList members{
        QStringLiteral("metricUnits"),      QStringLiteral("actualForce"),
        QStringLiteral("actualPosition"),   QStringLiteral("accelGravity"),
        QStringLiteral("commandForce"),     QStringLiteral("commandPosition"),
        QStringLiteral("payloadWeight"),    QStringLiteral("controlMode"),
        QStringLiteral("posLimitPosition"), QStringLiteral("negLimitPosition"),
        QStringLiteral("dioValue"),
    };
    return members;
}

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

QString vktModel(double maxForceN)
{
    return QStringLiteral("VKT-%1").arg(std::lround(maxForceN));
}

} // namespace

SimDevice::SimDevice(const Settings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_config(settings.standalone ? QStringLiteral("VKT-Sim") : QStringLiteral("HBN-Sim"),
               settings.maxPositionMm, settings.standalone)
    , m_configFile(settings.configPath)
    , m_model(settings.maxForceN, settings.maxPositionMm, settings.seed)
    , m_scale(settings.payloadMassKg, settings.weighFails, settings.seed + 1)
    , m_toolAttached(settings.toolAttached)
{
    m_dio.setInputs(settings.inputs & DioWord::inputMask);
    m_model.setPayloadMass(settings.payloadMassKg);
    m_tickTimer.setInterval(tickMs);
    connect(&m_tickTimer, &QTimer::timeout, this, &SimDevice::onTick);
    m_firmwareTimer.setSingleShot(true);
    m_firmwareTimer.setInterval(firmwareUpdateMs);
    connect(&m_firmwareTimer, &QTimer::timeout, this, &SimDevice::reboot);
}

bool SimDevice::start(QString *error)
{
    if (m_configFile.exists() && !m_configFile.load(&m_config, error))
        return false;
    m_uptime.start();
    powerUp();
    m_tickClock.start();
    m_tickTimer.start();
    return true;
}

void SimDevice::powerUp()
{
    m_firmwareUpdate = false;
    m_firmwareTimer.stop();
    m_pinned.clear();
    applyConfigToModel();
    m_model.setForceMode(m_config.flag(QStringLiteral("initialMode")));
    m_model.setCommandForce(m_config.metricNumber(QStringLiteral("initialForce")));
    m_model.setCommandPosition(m_config.metricNumber(QStringLiteral("initialPosition")));
    m_model.placeCarriage(m_config.metricNumber(QStringLiteral("initialPosition")));
    m_scale.setKnownWeight(m_config.metricNumber(QStringLiteral("payloadWeight")));
    if (m_config.flag(QStringLiteral("initialWeigh")) && toolPresent())
        m_scale.start();
}

void SimDevice::applyConfigToModel()
{
    m_model.setSoftTouch(m_config.flag(QStringLiteral("softTouchEnabled")),
                         m_config.metricNumber(QStringLiteral("softTouchForce")),
                         m_config.metricNumber(QStringLiteral("softTouchPosition")));
}

void SimDevice::onTick()
{
    const double seconds = m_tickClock.restart() / 1000.0;
    advance(std::min(seconds, 0.2));
}

void SimDevice::advance(double seconds)
{
    m_model.advance(seconds);
    if (m_scale.advance(seconds) && m_scale.weight() > 0) {
        // a good weighing becomes the payload setting, kept by the next save
        m_config.setMetricNumber(QStringLiteral("payloadWeight"), m_scale.weight());
    }
}

SimAnswer SimDevice::handle(const QString &line)
{
    m_lastHostContact.start();
    const SimCommand command(line);
    if (m_firmwareUpdate && command.path() != QLatin1String("/deviceId"))
        return SimAnswer::text(QStringLiteral("Error: firmware update in progress"));
    return route(command);
}

SimAnswer SimDevice::route(const SimCommand &command)
{
    const QString path = command.path();
    if (path == QLatin1String("/deviceId"))
        return command.isSet() ? readOnly(path) : SimAnswer::json(deviceId());
    if (path == QLatin1String("/deviceName"))
        return command.isSet() ? setDeviceName(command) : SimAnswer::json(m_config.deviceName());
    if (path == QLatin1String("/stateObject"))
        return command.isSet() ? readOnly(path) : SimAnswer::json(stateRecord());
    if (path == QLatin1String("/saveConfig"))
        return saveConfig();
    if (path == QLatin1String("flashfirmware"))
        return flashFirmware();
    if (path == QLatin1String("/net/macAddress")) {
        if (command.isSet())
            return readOnly(path);
        return SimAnswer::json(isHbn() ? QStringLiteral("02:48:42:4E:19:93")
                                       : QStringLiteral("02:56:4B:54:02:50"));
    }
    const QString netPrefix = QStringLiteral("/net/");
    if (path.startsWith(netPrefix))
        return configAccess(ConfigGroup::Net, path.mid(netPrefix.size()), command);
    const QString anybusPrefix = QStringLiteral("/anybus/");
    if (isHbn() && path.startsWith(anybusPrefix))
        return configAccess(ConfigGroup::Anybus, path.mid(anybusPrefix.size()), command);
    const QString hbnPrefix = QStringLiteral("/hbn/");
    if (isHbn() && path.startsWith(hbnPrefix))
        return routeHbn(path.mid(hbnPrefix.size()), command);
    const QString vktPrefix = QStringLiteral("/vkt/");
    if (path.startsWith(vktPrefix))
        return routeVkt(path.mid(vktPrefix.size()), command);
    return unknownPath(path);
}

SimAnswer SimDevice::routeVkt(const QString &subPath, const SimCommand &command)
{
    if (subPath == QLatin1String("deviceId")) {
        if (command.isSet())
            return readOnly(command.path());
        return SimAnswer::json(toolPresent() ? toolId() : QJsonObject());
    }
    if (!toolPresent())
        return SimAnswer::text(QStringLiteral("Error: no tool attached"));
    if (subPath == QLatin1String("cfgObject"))
        return command.isSet() ? readOnly(command.path()) : SimAnswer::json(m_config.vktRecord());
    if (subPath == QLatin1String("maxForce") || subPath == QLatin1String("maxPosition")) {
        if (command.isSet())
            return readOnly(command.path());
        return subPath == QLatin1String("maxForce")
                   ? SimAnswer::json(reported(Quantity::Force, m_model.maxForce()))
                   : SimAnswer::json(reported(Quantity::Position, m_model.maxPosition()));
    }
    if (subPath == QLatin1String("commandForce"))
        return setCommand(Quantity::Force, command);
    if (subPath == QLatin1String("commandPosition"))
        return setCommand(Quantity::Position, command);
    if (subPath == QLatin1String("forceMode"))
        return setControlMode(true);
    if (subPath == QLatin1String("positionMode"))
        return setControlMode(false);
    if (subPath == QLatin1String("controlMode")) {
        if (!command.isSet())
            return SimAnswer::json(controlMode());
        bool ok = false;
        const int mode = command.value().toInt(&ok);
        if (!ok)
            return SimAnswer::text(
                QStringLiteral("Error: invalid value %1 for controlMode").arg(command.value()));
        return setControlMode((mode & 1) != 0);
    }
    if (subPath == QLatin1String("weighPayload"))
        return weighPayload();
    if (subPath == QLatin1String("saveConfig"))
        return saveConfig();
    const QString netPrefix = QStringLiteral("net/");
    if (m_settings.standalone && subPath.startsWith(netPrefix))
        return configAccess(ConfigGroup::Net, subPath.mid(netPrefix.size()), command);
    if (m_settings.standalone && subPath == QLatin1String("net") && !command.isSet())
        return SimAnswer::json(m_config.group(ConfigGroup::Net));
    return configAccess(ConfigGroup::Vkt, subPath, command);
}

SimAnswer SimDevice::routeHbn(const QString &subPath, const SimCommand &command)
{
    if (subPath == QLatin1String("cfgObject"))
        return command.isSet() ? readOnly(command.path()) : SimAnswer::json(m_config.hbnRecord());
    const QJsonObject moduleInfo{
        {QStringLiteral("usesNodeId"), 1},
        {QStringLiteral("usesBaudrate"), 1},
        {QStringLiteral("moduleType"), QStringLiteral("ANYBUS DeviceNet")},
        {QStringLiteral("ipAddress"), QStringLiteral("0.0.0.0")},
    };
    const QString moduleInfoPath = QStringLiteral("anybus/moduleInfo");
    if (subPath == moduleInfoPath)
        return command.isSet() ? readOnly(command.path()) : SimAnswer::json(moduleInfo);
    if (subPath.startsWith(moduleInfoPath + QLatin1Char('/'))) {
        const QString key = subPath.mid(moduleInfoPath.size() + 1);
        if (!moduleInfo.contains(key))
            return unknownPath(command.path());
        return command.isSet() ? readOnly(command.path()) : SimAnswer::json(moduleInfo.value(key));
    }
    for (const auto &group : {std::make_pair(QStringLiteral("net"), ConfigGroup::Net),
                              std::make_pair(QStringLiteral("anybus"), ConfigGroup::Anybus)}) {
        if (subPath == group.first && !command.isSet())
            return SimAnswer::json(m_config.group(group.second));
        if (subPath.startsWith(group.first + QLatin1Char('/')))
            return configAccess(group.second, subPath.mid(group.first.size() + 1), command);
    }
    return unknownPath(command.path());
}

SimAnswer SimDevice::configAccess(ConfigGroup group, const QString &key, const SimCommand &command)
{
    if (!m_config.hasKey(group, key))
        return unknownPath(command.path());
    if (!command.isSet())
        return SimAnswer::json(m_config.value(group, key));
    const SetResult result = m_config.setText(group, key, command.value());
    if (!result.ok)
        return SimAnswer::text(result.error);
    if (group == ConfigGroup::Vkt) {
        applyConfigToModel();
        if (key == QLatin1String("payloadWeight")) {
            m_scale.setKnownWeight(m_config.metricNumber(key));
            m_pinned.remove(key);
        }
        if (key == QLatin1String("metricUnits") || key == QLatin1String("posLimitPosition")
            || key == QLatin1String("negLimitPosition")) {
            m_pinned.remove(key);
        }
    }
    qCDebug(lcSim) << "set" << command.path() << "to" << result.value;
    return SimAnswer::json(result.value);
}

SimAnswer SimDevice::setDeviceName(const SimCommand &command)
{
    if (!m_config.setDeviceName(command.value()))
        return SimAnswer::text(QStringLiteral("Error: invalid device name"));
    return SimAnswer::json(m_config.deviceName());
}

SimAnswer SimDevice::setCommand(Quantity quantity, const SimCommand &command)
{
    const bool isForce = quantity == Quantity::Force;
    const QString member =
        isForce ? QStringLiteral("commandForce") : QStringLiteral("commandPosition");
    if (command.isSet()) {
        bool ok = false;
        const double value = command.value().toDouble(&ok);
        if (!ok || !std::isfinite(value)) {
            return SimAnswer::text(
                QStringLiteral("Error: invalid value %1 for %2").arg(command.value(), member));
        }
        const double metricValue = m_config.units().toMetric(quantity, value);
        if (isForce)
            m_model.setCommandForce(metricValue);
        else
            m_model.setCommandPosition(metricValue);
        m_pinned.remove(member);
    }
    return SimAnswer::json(
        reported(quantity, isForce ? m_model.commandForce() : m_model.commandPosition()));
}

SimAnswer SimDevice::setControlMode(bool forceMode)
{
    if (!forceMode && m_model.isForceMode()) {
        // take over where the carriage is, so switching modes does not make it jump
        m_model.setCommandPosition(m_model.actualPosition());
        m_pinned.remove(QStringLiteral("commandPosition"));
    }
    m_model.setForceMode(forceMode);
    m_pinned.remove(QStringLiteral("controlMode"));
    return SimAnswer::json(controlMode());
}

SimAnswer SimDevice::weighPayload()
{
    if (m_settings.weighError)
        return SimAnswer::text(QStringLiteral("Error: weighing cannot start: air pressure low"));
    if (m_scale.isWeighing())
        return SimAnswer::text(QStringLiteral("Error: weighing already in progress"));
    m_scale.start();
    m_pinned.remove(QStringLiteral("payloadWeight"));
    return SimAnswer::json(QStringLiteral("Weighing payload"));
}

SimAnswer SimDevice::saveConfig()
{
    if (m_configFile.path().isEmpty())
        return SimAnswer::text(
            QStringLiteral("Error: no configuration file (start with --config)"));
    QString error;
    if (!m_configFile.save(m_config, &error))
        return SimAnswer::text(QStringLiteral("Error: configuration not saved: %1").arg(error));
    return SimAnswer::json(QStringLiteral("Configuration saved"));
}

SimAnswer SimDevice::flashFirmware()
{
    m_firmwareUpdate = true;
    m_firmwareTimer.start();
    return SimAnswer::json(QStringLiteral(
        "Firmware update mode: copy the firmware file to the USB flash drive of the unit"));
}

SimAnswer SimDevice::unknownPath(const QString &path) const
{
    return SimAnswer::text(QStringLiteral("Error: unknown path %1").arg(path));
}

SimAnswer SimDevice::readOnly(const QString &path) const
{
    return SimAnswer::text(QStringLiteral("Error: %1 cannot be set").arg(path));
}

QJsonObject SimDevice::deviceId() const
{
    if (m_settings.standalone)
        return QJsonObject{{QStringLiteral("deviceName"), m_config.deviceName()},
                           {QStringLiteral("modelName"), vktModel(m_settings.maxForceN)},
                           {QStringLiteral("serialNumber"), QStringLiteral("VKT-SIM-0001")},
                           {QStringLiteral("firmwareVersion"), QStringLiteral("1.3.0-sim")}};
    return QJsonObject{{QStringLiteral("deviceName"), m_config.deviceName()},
                       {QStringLiteral("modelName"), QString::fromLatin1(hbnModel)},
                       {QStringLiteral("serialNumber"), QStringLiteral("HBN-SIM-0001")},
                       {QStringLiteral("firmwareVersion"), QStringLiteral("2.4.0-sim")}};
}

QJsonObject SimDevice::toolId() const
{
    if (m_settings.standalone)
        return deviceId();
    return QJsonObject{{QStringLiteral("deviceName"), QStringLiteral("VKT-Tool")},
                       {QStringLiteral("modelName"), vktModel(m_settings.maxForceN)},
                       {QStringLiteral("serialNumber"), QStringLiteral("VKT-SIM-0002")},
                       {QStringLiteral("firmwareVersion"), QStringLiteral("1.3.0-sim")}};
}

int SimDevice::controlMode() const
{
    if (!toolPresent())
        return 0;
    return (m_model.isForceMode() ? 1 : 0) | (m_model.softTouchActive() ? 4 : 0);
}

double SimDevice::reported(Quantity quantity, double metricValue) const
{
    if (!toolPresent())
        return 0;
    return rounded(m_config.units().fromMetric(quantity, metricValue), 4);
}

int SimDevice::dioValue() const
{
    DioWord word = m_dio;
    const double position = m_model.actualPosition();
    const double posLimit = m_config.metricNumber(QStringLiteral("posLimitPosition"));
    const double negLimit = m_config.metricNumber(QStringLiteral("negLimitPosition"));
    const bool tool = toolPresent();
    word.setStatus(DioWord::CpuClock, (m_uptime.elapsed() / 1000) % 2 == 1);
    word.setStatus(DioWord::HostCom,
                   m_lastHostContact.isValid() && m_lastHostContact.elapsed() < hostComHoldMs);
    word.setStatus(DioWord::ToolCom, tool);
    word.setStatus(DioWord::PosLimit, tool && posLimit > 0 && position >= posLimit);
    word.setStatus(DioWord::NegLimit, tool && negLimit > 0 && position <= negLimit);
    word.setStatus(DioWord::OkToWeigh, tool && !m_scale.isWeighing() && m_model.isStill());
    word.setStatus(DioWord::WeightValid, tool && m_scale.weight() > 0);
    return word.value();
}

QJsonObject SimDevice::stateRecord() const
{
    const UnitSystem units = m_config.units();
    const double weight = m_scale.isWeighing() ? PayloadScale::weighingReading
                                               : reported(Quantity::Weight, m_scale.weight());
    QJsonObject record{
        {QStringLiteral("metricUnits"), units.isMetric() ? 1 : 0},
        {QStringLiteral("actualForce"), reported(Quantity::Force, m_model.actualForce())},
        {QStringLiteral("actualPosition"), reported(Quantity::Position, m_model.actualPosition())},
        {QStringLiteral("accelGravity"), toolPresent() ? rounded(m_model.accelGravity(), 4) : 0.0},
        {QStringLiteral("commandForce"), reported(Quantity::Force, m_model.commandForce())},
        {QStringLiteral("commandPosition"),
         reported(Quantity::Position, m_model.commandPosition())},
        {QStringLiteral("payloadWeight"), toolPresent() ? weight : 0.0},
        {QStringLiteral("controlMode"), controlMode()},
        {QStringLiteral("posLimitPosition"),
         m_config.value(ConfigGroup::Vkt, QStringLiteral("posLimitPosition"))},
        {QStringLiteral("negLimitPosition"),
         m_config.value(ConfigGroup::Vkt, QStringLiteral("negLimitPosition"))},
    };
    if (isHbn())
        record.insert(QStringLiteral("dioValue"), dioValue());
    for (auto it = m_pinned.begin(); it != m_pinned.end(); ++it)
        record.insert(it.key(), it.value());
    return record;
}

bool SimDevice::setInputs(int bits)
{
    const bool weighEdge =
        (bits & DioWord::WeighPayloadInput) && !(m_dio.inputs() & DioWord::WeighPayloadInput);
    if (!m_dio.setInputs(bits))
        return false;
    m_pinned.remove(QStringLiteral("dioValue"));
    if (weighEdge && toolPresent() && !m_settings.weighError && !m_scale.isWeighing())
        m_scale.start();
    return true;
}

bool SimDevice::setToolAttached(bool attached)
{
    if (m_settings.standalone)
        return false;
    m_toolAttached = attached;
    m_pinned.remove(QStringLiteral("dioValue"));
    return true;
}

void SimDevice::forcePayload(double reportedWeight)
{
    m_scale.setKnownWeight(m_config.units().toMetric(Quantity::Weight, reportedWeight));
    m_pinned.remove(QStringLiteral("payloadWeight"));
}

bool SimDevice::pinState(const QString &member, const QJsonValue &value)
{
    if (!stateMembers().contains(member))
        return false;
    m_pinned.insert(member, value);
    return true;
}

bool SimDevice::unpinState(const QString &member)
{
    return m_pinned.remove(member) > 0;
}

void SimDevice::reboot()
{
    qCDebug(lcSim) << "restarting";
    powerUp();
}
