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
    , settings(settings)
    , config(settings.standalone ? QStringLiteral("VKT-Sim") : QStringLiteral("HBN-Sim"),
             settings.maxPositionMm, settings.standalone)
    , configFile(settings.configPath)
    , model(settings.maxForceN, settings.maxPositionMm, settings.seed)
    , scale(settings.payloadMassKg, settings.weighFails, settings.seed + 1)
    , toolAttached(settings.toolAttached)
{
    dio.setInputs(settings.inputs & DioWord::inputMask);
    model.setPayloadMass(settings.payloadMassKg);
    tickTimer.setInterval(tickMs);
    connect(&tickTimer, &QTimer::timeout, this, &SimDevice::onTick);
    firmwareTimer.setSingleShot(true);
    firmwareTimer.setInterval(firmwareUpdateMs);
    connect(&firmwareTimer, &QTimer::timeout, this, &SimDevice::reboot);
}

bool SimDevice::start(QString *error)
{
    if (configFile.exists() && !configFile.load(&config, error))
        return false;
    uptime.start();
    powerUp();
    tickClock.start();
    tickTimer.start();
    return true;
}

void SimDevice::powerUp()
{
    firmwareUpdate = false;
    firmwareTimer.stop();
    pinned.clear();
    applyConfigToModel();
    model.setForceMode(config.flag(QStringLiteral("initialMode")));
    model.setCommandForce(config.metricNumber(QStringLiteral("initialForce")));
    model.setCommandPosition(config.metricNumber(QStringLiteral("initialPosition")));
    model.placeCarriage(config.metricNumber(QStringLiteral("initialPosition")));
    scale.setKnownWeight(config.metricNumber(QStringLiteral("payloadWeight")));
    if (config.flag(QStringLiteral("initialWeigh")) && toolPresent())
        scale.start();
}

void SimDevice::applyConfigToModel()
{
    model.setSoftTouch(config.flag(QStringLiteral("softTouchEnabled")),
                       config.metricNumber(QStringLiteral("softTouchForce")),
                       config.metricNumber(QStringLiteral("softTouchPosition")));
}

void SimDevice::onTick()
{
    const double seconds = tickClock.restart() / 1000.0;
    advance(std::min(seconds, 0.2));
}

void SimDevice::advance(double seconds)
{
    model.advance(seconds);
    if (scale.advance(seconds) && scale.weight() > 0) {
        // a good weighing becomes the payload setting, kept by the next save
        config.setMetricNumber(QStringLiteral("payloadWeight"), scale.weight());
    }
}

SimAnswer SimDevice::handle(const QString &line)
{
    lastHostContact.start();
    const SimCommand command(line);
    if (firmwareUpdate && command.path() != QLatin1String("/deviceId"))
        return SimAnswer::text(QStringLiteral("Error: firmware update in progress"));
    return route(command);
}

SimAnswer SimDevice::route(const SimCommand &command)
{
    const QString path = command.path();
    if (path == QLatin1String("/deviceId"))
        return command.isSet() ? readOnly(path) : SimAnswer::json(deviceId());
    if (path == QLatin1String("/deviceName"))
        return command.isSet() ? setDeviceName(command) : SimAnswer::json(config.deviceName());
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
        return command.isSet() ? readOnly(command.path()) : SimAnswer::json(config.vktRecord());
    if (subPath == QLatin1String("maxForce") || subPath == QLatin1String("maxPosition")) {
        if (command.isSet())
            return readOnly(command.path());
        return subPath == QLatin1String("maxForce")
                   ? SimAnswer::json(reported(Quantity::Force, model.maxForce()))
                   : SimAnswer::json(reported(Quantity::Position, model.maxPosition()));
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
    if (settings.standalone && subPath.startsWith(netPrefix))
        return configAccess(ConfigGroup::Net, subPath.mid(netPrefix.size()), command);
    if (settings.standalone && subPath == QLatin1String("net") && !command.isSet())
        return SimAnswer::json(config.group(ConfigGroup::Net));
    return configAccess(ConfigGroup::Vkt, subPath, command);
}

SimAnswer SimDevice::routeHbn(const QString &subPath, const SimCommand &command)
{
    if (subPath == QLatin1String("cfgObject"))
        return command.isSet() ? readOnly(command.path()) : SimAnswer::json(config.hbnRecord());
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
            return SimAnswer::json(config.group(group.second));
        if (subPath.startsWith(group.first + QLatin1Char('/')))
            return configAccess(group.second, subPath.mid(group.first.size() + 1), command);
    }
    return unknownPath(command.path());
}

SimAnswer SimDevice::configAccess(ConfigGroup group, const QString &key, const SimCommand &command)
{
    if (!config.hasKey(group, key))
        return unknownPath(command.path());
    if (!command.isSet())
        return SimAnswer::json(config.value(group, key));
    const SetResult result = config.setText(group, key, command.value());
    if (!result.ok)
        return SimAnswer::text(result.error);
    if (group == ConfigGroup::Vkt) {
        applyConfigToModel();
        if (key == QLatin1String("payloadWeight")) {
            scale.setKnownWeight(config.metricNumber(key));
            pinned.remove(key);
        }
        if (key == QLatin1String("metricUnits") || key == QLatin1String("posLimitPosition")
            || key == QLatin1String("negLimitPosition")) {
            pinned.remove(key);
        }
    }
    qCDebug(lcSim) << "set" << command.path() << "to" << result.value;
    return SimAnswer::json(result.value);
}

SimAnswer SimDevice::setDeviceName(const SimCommand &command)
{
    if (!config.setDeviceName(command.value()))
        return SimAnswer::text(QStringLiteral("Error: invalid device name"));
    return SimAnswer::json(config.deviceName());
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
        const double metricValue = config.units().toMetric(quantity, value);
        if (isForce)
            model.setCommandForce(metricValue);
        else
            model.setCommandPosition(metricValue);
        pinned.remove(member);
    }
    return SimAnswer::json(
        reported(quantity, isForce ? model.commandForce() : model.commandPosition()));
}

SimAnswer SimDevice::setControlMode(bool forceMode)
{
    if (!forceMode && model.isForceMode()) {
        // take over where the carriage is, so switching modes does not make it jump
        model.setCommandPosition(model.actualPosition());
        pinned.remove(QStringLiteral("commandPosition"));
    }
    model.setForceMode(forceMode);
    pinned.remove(QStringLiteral("controlMode"));
    return SimAnswer::json(controlMode());
}

SimAnswer SimDevice::weighPayload()
{
    if (settings.weighError)
        return SimAnswer::text(QStringLiteral("Error: weighing cannot start: air pressure low"));
    if (scale.isWeighing())
        return SimAnswer::text(QStringLiteral("Error: weighing already in progress"));
    scale.start();
    pinned.remove(QStringLiteral("payloadWeight"));
    return SimAnswer::json(QStringLiteral("Weighing payload"));
}

SimAnswer SimDevice::saveConfig()
{
    if (configFile.path().isEmpty())
        return SimAnswer::text(
            QStringLiteral("Error: no configuration file (start with --config)"));
    QString error;
    if (!configFile.save(config, &error))
        return SimAnswer::text(QStringLiteral("Error: configuration not saved: %1").arg(error));
    return SimAnswer::json(QStringLiteral("Configuration saved"));
}

SimAnswer SimDevice::flashFirmware()
{
    firmwareUpdate = true;
    firmwareTimer.start();
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
    if (settings.standalone)
        return QJsonObject{{QStringLiteral("deviceName"), config.deviceName()},
                           {QStringLiteral("modelName"), vktModel(settings.maxForceN)},
                           {QStringLiteral("serialNumber"), QStringLiteral("VKT-SIM-0001")},
                           {QStringLiteral("firmwareVersion"), QStringLiteral("1.3.0-sim")}};
    return QJsonObject{{QStringLiteral("deviceName"), config.deviceName()},
                       {QStringLiteral("modelName"), QString::fromLatin1(hbnModel)},
                       {QStringLiteral("serialNumber"), QStringLiteral("HBN-SIM-0001")},
                       {QStringLiteral("firmwareVersion"), QStringLiteral("2.4.0-sim")}};
}

QJsonObject SimDevice::toolId() const
{
    if (settings.standalone)
        return deviceId();
    return QJsonObject{{QStringLiteral("deviceName"), QStringLiteral("VKT-Tool")},
                       {QStringLiteral("modelName"), vktModel(settings.maxForceN)},
                       {QStringLiteral("serialNumber"), QStringLiteral("VKT-SIM-0002")},
                       {QStringLiteral("firmwareVersion"), QStringLiteral("1.3.0-sim")}};
}

int SimDevice::controlMode() const
{
    if (!toolPresent())
        return 0;
    return (model.isForceMode() ? 1 : 0) | (model.softTouchActive() ? 4 : 0);
}

double SimDevice::reported(Quantity quantity, double metricValue) const
{
    if (!toolPresent())
        return 0;
    return rounded(config.units().fromMetric(quantity, metricValue), 4);
}

int SimDevice::dioValue() const
{
    DioWord word = dio;
    const double position = model.actualPosition();
    const double posLimit = config.metricNumber(QStringLiteral("posLimitPosition"));
    const double negLimit = config.metricNumber(QStringLiteral("negLimitPosition"));
    const bool tool = toolPresent();
    word.setStatus(DioWord::CpuClock, (uptime.elapsed() / 1000) % 2 == 1);
    word.setStatus(DioWord::HostCom,
                   lastHostContact.isValid() && lastHostContact.elapsed() < hostComHoldMs);
    word.setStatus(DioWord::ToolCom, tool);
    word.setStatus(DioWord::PosLimit, tool && posLimit > 0 && position >= posLimit);
    word.setStatus(DioWord::NegLimit, tool && negLimit > 0 && position <= negLimit);
    word.setStatus(DioWord::OkToWeigh, tool && !scale.isWeighing() && model.isStill());
    word.setStatus(DioWord::WeightValid, tool && scale.weight() > 0);
    return word.value();
}

QJsonObject SimDevice::stateRecord() const
{
    const UnitSystem units = config.units();
    const double weight = scale.isWeighing() ? PayloadScale::weighingReading
                                             : reported(Quantity::Weight, scale.weight());
    QJsonObject record{
        {QStringLiteral("metricUnits"), units.isMetric() ? 1 : 0},
        {QStringLiteral("actualForce"), reported(Quantity::Force, model.actualForce())},
        {QStringLiteral("actualPosition"), reported(Quantity::Position, model.actualPosition())},
        {QStringLiteral("accelGravity"), toolPresent() ? rounded(model.accelGravity(), 4) : 0.0},
        {QStringLiteral("commandForce"), reported(Quantity::Force, model.commandForce())},
        {QStringLiteral("commandPosition"), reported(Quantity::Position, model.commandPosition())},
        {QStringLiteral("payloadWeight"), toolPresent() ? weight : 0.0},
        {QStringLiteral("controlMode"), controlMode()},
        {QStringLiteral("posLimitPosition"),
         config.value(ConfigGroup::Vkt, QStringLiteral("posLimitPosition"))},
        {QStringLiteral("negLimitPosition"),
         config.value(ConfigGroup::Vkt, QStringLiteral("negLimitPosition"))},
    };
    if (isHbn())
        record.insert(QStringLiteral("dioValue"), dioValue());
    for (auto it = pinned.begin(); it != pinned.end(); ++it)
        record.insert(it.key(), it.value());
    return record;
}

bool SimDevice::setInputs(int bits)
{
    const bool weighEdge =
        (bits & DioWord::WeighPayloadInput) && !(dio.inputs() & DioWord::WeighPayloadInput);
    if (!dio.setInputs(bits))
        return false;
    pinned.remove(QStringLiteral("dioValue"));
    if (weighEdge && toolPresent() && !settings.weighError && !scale.isWeighing())
        scale.start();
    return true;
}

bool SimDevice::setToolAttached(bool attached)
{
    if (settings.standalone)
        return false;
    toolAttached = attached;
    pinned.remove(QStringLiteral("dioValue"));
    return true;
}

void SimDevice::forcePayload(double reportedWeight)
{
    scale.setKnownWeight(config.units().toMetric(Quantity::Weight, reportedWeight));
    pinned.remove(QStringLiteral("payloadWeight"));
}

bool SimDevice::pinState(const QString &member, const QJsonValue &value)
{
    if (!stateMembers().contains(member))
        return false;
    pinned.insert(member, value);
    return true;
}

bool SimDevice::unpinState(const QString &member)
{
    return pinned.remove(member) > 0;
}

void SimDevice::reboot()
{
    qCDebug(lcSim) << "restarting";
    powerUp();
}
