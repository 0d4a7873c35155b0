#include "configdialog.h"

#include "devicevocabulary.h"
#include "fieldpresentation.h"
#include "remotedevice.h"
#include "uilog.h"
#include "unitconversion.h"
#include "wireformat.h"

#include <QMessageBox>
#include <QStringList>

#include <array>

namespace {

using AddressFields = std::array<QSpinBox *, 4>;

const char *const lampOnStyle = "background-color: #0F0;";
const char *const lampOffStyle = "background-color: #000;";

constexpr int dhcpIndex = 0;
constexpr int forceModeIndex = 0;
constexpr int positionModeIndex = 1;
constexpr int softTouchSliderScale = 10; // slider steps per percent

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

Ipv4Parts partsOf(const AddressFields &fields)
{
    Ipv4Parts parts{};
    for (std::size_t i = 0; i < parts.size(); ++i)
        parts[i] = fields[i]->value();
    return parts;
}

void showParts(const AddressFields &fields, const Ipv4Parts &parts)
{
    for (std::size_t i = 0; i < parts.size(); ++i)
        fields[i]->setValue(parts[i]);
}

} // namespace

ConfigDialog::ConfigDialog(RemoteDevice *remoteDevice)
    : QDialog(nullptr)
    , remoteDevice(remoteDevice)
{
    ui.setupUi(this);
    posLimitCoupling = FieldSlider(ui.posLimitPosition, ui.posLimitSlider,
                                   FieldPresentation::limitSliderScale(true));
    negLimitCoupling = FieldSlider(ui.negLimitPosition, ui.negLimitSlider,
                                   FieldPresentation::limitSliderScale(true));
    softTouchForceCoupling =
        FieldSlider(ui.softTouchForce, ui.softTouchForceSlider, softTouchSliderScale);
    softTouchPositionCoupling =
        FieldSlider(ui.softTouchPosition, ui.softTouchPositionSlider, softTouchSliderScale);
    connectSignals();
    load();
}

ConfigDialog::~ConfigDialog() = default;

void ConfigDialog::connectSignals()
{
    const auto fieldChanged = QOverload<double>::of(&QDoubleSpinBox::valueChanged);
    connect(ui.buttonBox, &QDialogButtonBox::accepted, this, &ConfigDialog::accept);
    connect(ui.buttonBox, &QDialogButtonBox::rejected, this, &ConfigDialog::reject);
    connect(ui.metricUnits, &QRadioButton::clicked, this, &ConfigDialog::onUnitsClick);
    connect(ui.englishUnits, &QRadioButton::clicked, this, &ConfigDialog::onUnitsClick);
    connect(ui.posLimitPosition, fieldChanged, this,
            QOverload<double>::of(&ConfigDialog::onPosLimitChanged));
    connect(ui.posLimitSlider, &QSlider::valueChanged, this,
            &ConfigDialog::onPosLimitSliderChanged);
    connect(ui.negLimitPosition, fieldChanged, this,
            QOverload<double>::of(&ConfigDialog::onNegLimitChanged));
    connect(ui.negLimitSlider, &QSlider::valueChanged, this,
            &ConfigDialog::onNegLimitSliderChanged);
    connect(ui.softTouchForce, fieldChanged, this, &ConfigDialog::onSoftTouchForceChanged);
    connect(ui.softTouchForceSlider, &QSlider::valueChanged, this,
            &ConfigDialog::onSoftTouchForceSliderChanged);
    connect(ui.softTouchPosition, fieldChanged, this, &ConfigDialog::onSoftTouchPositionChanged);
    connect(ui.softTouchPositionSlider, &QSlider::valueChanged, this,
            &ConfigDialog::onSoftTouchPositionSliderChanged);
    connect(ui.dhcp, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ConfigDialog::onDhcpChanged);

    connect(remoteDevice, &RemoteDevice::commandLevelChanged, this,
            &ConfigDialog::onCommandLevelChanged);
    connect(remoteDevice, &RemoteDevice::commandNegChanged, this,
            &ConfigDialog::onCommandNegChanged);
    connect(remoteDevice, &RemoteDevice::weighPayloadChanged, this,
            &ConfigDialog::onWeighPayloadChanged);
    connect(remoteDevice, &RemoteDevice::cpuClockChanged, this, &ConfigDialog::onCpuClockChanged);
    connect(remoteDevice, &RemoteDevice::hostComChanged, this, &ConfigDialog::onHostComChanged);
    connect(remoteDevice, &RemoteDevice::toolComChanged, this, &ConfigDialog::onToolComChanged);
    connect(remoteDevice, &RemoteDevice::posLimitChanged, this,
            QOverload<int>::of(&ConfigDialog::onPosLimitChanged));
    connect(remoteDevice, &RemoteDevice::negLimitChanged, this,
            QOverload<int>::of(&ConfigDialog::onNegLimitChanged));
    connect(remoteDevice, &RemoteDevice::okToWeighChanged, this, &ConfigDialog::onOkToWeighChanged);
    connect(remoteDevice, &RemoteDevice::weightOkChanged, this, &ConfigDialog::onWeightOkChanged);

    connect(ui.updateFirmwareButton, &QPushButton::clicked, this, &ConfigDialog::onUpdateFirmware);
}

// Every value is read once, here; only the lamps change afterwards.
void ConfigDialog::load()
{
    loadAboutPage();

    loadedDeviceName = remoteDevice->isConnected() ? currentDeviceName() : QStringLiteral("NONE");
    ui.deviceName->setText(loadedDeviceName);

    QJsonObject net;
    if (!remoteDevice->toolIdRecord().isEmpty()) {
        net = loadToolPages();
    } else {
        ui.configurationTabs->removeTab(ui.configurationTabs->indexOf(ui.generalTab));
        ui.configurationTabs->removeTab(ui.configurationTabs->indexOf(ui.softTouchTab));
    }
    // An HBN unit keeps the network settings; its tool's record has none of its own.
    if (remoteDevice->hasDio())
        net = loadHbnPage();
    else
        ui.configurationTabs->removeTab(ui.configurationTabs->indexOf(ui.hbnIoTab));

    loadNetworkPage(net);
    ui.macAddress->setText(remoteDevice->sendCommand(DevicePath::macAddress).toString());
    ui.updateFirmwareButton->setVisible(remoteDevice->transport() == remoteDevice->serialPort());
}

// The identity record is held from the time of connecting, so a name set by an earlier opening
// would show as the old one; the unit is asked again and the held record only stands in.
QString ConfigDialog::currentDeviceName()
{
    QJsonObject identity = remoteDevice->sendCommand(DevicePath::deviceId).toObject();
    if (identity.isEmpty())
        identity = remoteDevice->deviceIdRecord();
    return ConfigRecord::text(identity, RecordKey::deviceName);
}

QJsonObject ConfigDialog::loadToolPages()
{
    const QJsonObject record = remoteDevice->vktCfgObject();

    loadedMetricUnits = ConfigRecord::flag(record, RecordKey::metricUnits);
    (loadedMetricUnits ? ui.metricUnits : ui.englishUnits)->setChecked(true);
    loadedInitialWeigh = ConfigRecord::flag(record, RecordKey::initialWeigh);
    ui.initialWeigh->setChecked(loadedInitialWeigh);
    loadedInitialModeIndex = ConfigRecord::integer(record, RecordKey::initialMode) == 0
                                 ? positionModeIndex
                                 : forceModeIndex;
    ui.initialMode->setCurrentIndex(loadedInitialModeIndex);

    const bool metric = ui.metricUnits->isChecked();
    maxForce = UnitConversion::forceLimitNewtons(
        remoteDevice->sendCommand(DevicePath::maxForce).toDouble(), metric);
    FieldPresentation::force(maxForce, metric).applyTo(ui.initialForce);
    ui.initialForce->setValue(ConfigRecord::number(record, RecordKey::initialForce));
    loadedInitialForceRatio = ratio(ui.initialForce);

    maxPayload = UnitConversion::payloadLimitKilograms(maxForce);
    FieldPresentation::payload(maxPayload, metric).applyTo(ui.payloadWeight);
    ui.payloadWeight->setValue(ConfigRecord::number(record, RecordKey::payloadWeight));
    loadedPayloadRatio = ratio(ui.payloadWeight);

    maxPosition = UnitConversion::positionLimitMillimetres(
        remoteDevice->sendCommand(DevicePath::maxPosition).toDouble(),
        ConfigRecord::flag(remoteDevice->stateRecord(), RecordKey::metricUnits));
    FieldPresentation::position(maxPosition, metric).withoutStep().applyTo(ui.initialPosition);
    ui.initialPosition->setValue(ConfigRecord::number(record, RecordKey::initialPosition));
    loadedInitialPositionRatio = ratio(ui.initialPosition);

    // Each limit keeps the value read from the record; its slider only follows.
    setLimitCouplingSuspended(true);
    limitsMetric = metric;
    const FieldPresentation limitShown = FieldPresentation::position(maxPosition, metric);
    const int limitScale = FieldPresentation::limitSliderScale(metric);
    limitShown.applyTo(ui.posLimitPosition);
    ui.posLimitPosition->setValue(ConfigRecord::number(record, RecordKey::posLimitPosition));
    posLimitCoupling.setScale(limitScale);
    posLimitCoupling.rescaleSlider(ui.posLimitPosition->value());
    loadedPosLimitRatio = ratio(ui.posLimitPosition);
    limitShown.applyTo(ui.negLimitPosition);
    ui.negLimitPosition->setValue(ConfigRecord::number(record, RecordKey::negLimitPosition));
    negLimitCoupling.setScale(limitScale);
    negLimitCoupling.rescaleSlider(ui.negLimitPosition->value());
    loadedNegLimitRatio = ratio(ui.negLimitPosition);
    setLimitCouplingSuspended(false);

    ui.softTouchEnabled->setChecked(ConfigRecord::flag(record, RecordKey::softTouchEnabled));
    loadedSoftTouchEnabled = ui.softTouchEnabled->isChecked();
    ui.softTouchForce->setValue(ConfigRecord::number(record, RecordKey::softTouchForce) * 100);
    loadedSoftTouchForce = ui.softTouchForce->value();
    ui.softTouchPosition->setValue(ConfigRecord::number(record, RecordKey::softTouchPosition)
                                   * 100);
    loadedSoftTouchPosition = ui.softTouchPosition->value();

    return ConfigRecord::object(record, RecordKey::net);
}

QJsonObject ConfigDialog::loadHbnPage()
{
    const QJsonObject record = remoteDevice->hbnCfgObject();
    const QJsonObject module = remoteDevice->hbnModuleInfo();
    const bool usesNodeId = ConfigRecord::flag(module, RecordKey::usesNodeId);
    const bool usesBaudrate = ConfigRecord::flag(module, RecordKey::usesBaudrate);

    ui.busType->setText(ConfigRecord::text(module, RecordKey::moduleType));
    ui.busIpAddress->setText(ConfigRecord::text(module, RecordKey::ipAddress));
    ui.nodeAddress->setEnabled(usesNodeId);
    ui.baudRate->setEnabled(usesBaudrate);
    if (usesNodeId || usesBaudrate) {
        const QJsonObject anybus = ConfigRecord::object(record, RecordKey::anybus);
        loadedNodeId = ConfigRecord::integer(anybus, RecordKey::nodeId);
        ui.nodeAddress->setValue(loadedNodeId);
        // A code without an item selects nothing, like code 0, and so is never rewritten as 0.
        const int index = ConfigRecord::integer(anybus, RecordKey::baudRate) - 1;
        loadedBaudRateIndex = index >= 0 && index < ui.baudRate->count() ? index : -1;
        ui.baudRate->setCurrentIndex(loadedBaudRateIndex);
    }

    loadLamps(remoteDevice->dioValue());
    return ConfigRecord::object(record, RecordKey::net);
}

// The device signals a lamp only when its bit changes, so the page starts from the last state.
void ConfigDialog::loadLamps(int dioValue)
{
    onCommandLevelChanged(dioValue & DioMask::commandLevel);
    setLamp(ui.ledCommandNeg, dioValue & DioMask::commandNeg);
    setLamp(ui.ledWeighPayload, dioValue & DioMask::weighPayload);
    setLamp(ui.ledCpuClock, dioValue & DioMask::cpuClock);
    setLamp(ui.ledHostCom, dioValue & DioMask::hostCom);
    setLamp(ui.ledToolCom, dioValue & DioMask::toolCom);
    setLamp(ui.ledPosLimit, dioValue & DioMask::posLimit);
    setLamp(ui.ledNegLimit, dioValue & DioMask::negLimit);
    setLamp(ui.ledOkToWeigh, dioValue & DioMask::okToWeigh);
    setLamp(ui.ledWeightOk, dioValue & DioMask::weightOk);
}

void ConfigDialog::loadNetworkPage(const QJsonObject &net)
{
    loadedDhcp = ConfigRecord::flag(net, RecordKey::dhcp);
    const int index = loadedDhcp ? dhcpIndex : 1;
    ui.dhcp->setCurrentIndex(index);
    onDhcpChanged(index);
    loadedTimeout = ConfigRecord::integer(net, RecordKey::timeout);
    ui.timeout->setValue(loadedTimeout);
    loadedIpAddress = ConfigRecord::parseIpv4(ConfigRecord::text(net, RecordKey::ipAddress));
    loadedNetMask = ConfigRecord::parseIpv4(ConfigRecord::text(net, RecordKey::netMask));
    loadedGateway = ConfigRecord::parseIpv4(ConfigRecord::text(net, RecordKey::gateway));
    showParts({ui.ipAddress0, ui.ipAddress1, ui.ipAddress2, ui.ipAddress3}, loadedIpAddress);
    showParts({ui.netMask0, ui.netMask1, ui.netMask2, ui.netMask3}, loadedNetMask);
    showParts({ui.gateway0, ui.gateway1, ui.gateway2, ui.gateway3}, loadedGateway);
}

void ConfigDialog::loadAboutPage()
{
    ui.programVersion->setText(QStringLiteral(VKT_VERSION));
    // __DATE__ pads a one-digit day with a space ("Dec  6 2026").
    ui.qtVersion->setText(QStringLiteral("%1, %2").arg(QString::fromLatin1(qVersion()),
                                                       QString::fromLatin1(__DATE__).simplified()));
}

void ConfigDialog::onUnitsClick()
{
    const bool metric = ui.metricUnits->isChecked();
    presentCommandFields(metric);
    if (metric != limitsMetric)
        presentLimitFields(metric);
}

// The power-up values keep their share of the range; the range itself is shown anew.
void ConfigDialog::presentCommandFields(bool metric)
{
    const double forceRatio = ratio(ui.initialForce);
    FieldPresentation::force(maxForce, metric).applyTo(ui.initialForce);
    setRatio(ui.initialForce, forceRatio);

    const double payloadRatio = ratio(ui.payloadWeight);
    FieldPresentation::payload(maxPayload, metric).applyTo(ui.payloadWeight);
    setRatio(ui.payloadWeight, payloadRatio);

    const double positionRatio = ratio(ui.initialPosition);
    FieldPresentation::position(maxPosition, metric).applyTo(ui.initialPosition);
    setRatio(ui.initialPosition, positionRatio);
}

// The limits are converted, not scaled, so that a round trip gives back the value shown.
void ConfigDialog::presentLimitFields(bool metric)
{
    const auto converted = [metric](double value) {
        return metric ? value * UnitConversion::millimetresPerInch
                      : value / UnitConversion::millimetresPerInch;
    };
    const double posLimit = converted(ui.posLimitPosition->value());
    const double negLimit = converted(ui.negLimitPosition->value());

    setLimitCouplingSuspended(true);
    const FieldPresentation shown = FieldPresentation::position(maxPosition, metric);
    const int scale = FieldPresentation::limitSliderScale(metric);
    shown.applyTo(ui.posLimitPosition);
    ui.posLimitPosition->setValue(posLimit);
    shown.applyTo(ui.negLimitPosition);
    ui.negLimitPosition->setValue(negLimit);
    // From the converted values, not the rounded fields: 1.9685 in stands at 196.
    posLimitCoupling.setScale(scale);
    posLimitCoupling.rescaleSlider(posLimit);
    negLimitCoupling.setScale(scale);
    negLimitCoupling.rescaleSlider(negLimit);
    setLimitCouplingSuspended(false);
    limitsMetric = metric;
}

void ConfigDialog::setLimitCouplingSuspended(bool suspended)
{
    posLimitCoupling.setSuspended(suspended);
    negLimitCoupling.setSuspended(suspended);
}

void ConfigDialog::onPosLimitChanged(double)
{
    posLimitCoupling.fieldToSlider();
}

void ConfigDialog::onPosLimitSliderChanged(int)
{
    posLimitCoupling.sliderToField();
}

void ConfigDialog::onNegLimitChanged(double)
{
    negLimitCoupling.fieldToSlider();
}

void ConfigDialog::onNegLimitSliderChanged(int)
{
    negLimitCoupling.sliderToField();
}

void ConfigDialog::onSoftTouchForceChanged(double)
{
    softTouchForceCoupling.fieldToSlider();
}

void ConfigDialog::onSoftTouchForceSliderChanged(int)
{
    softTouchForceCoupling.sliderToField();
}

void ConfigDialog::onSoftTouchPositionChanged(double)
{
    softTouchPositionCoupling.fieldToSlider();
}

void ConfigDialog::onSoftTouchPositionSliderChanged(int)
{
    softTouchPositionCoupling.sliderToField();
}

void ConfigDialog::onDhcpChanged(int index)
{
    const bool staticAddress = index != dhcpIndex;
    for (QSpinBox *part :
         {ui.ipAddress0, ui.ipAddress1, ui.ipAddress2, ui.ipAddress3, ui.netMask0, ui.netMask1,
          ui.netMask2, ui.netMask3, ui.gateway0, ui.gateway1, ui.gateway2, ui.gateway3})
        part->setEnabled(staticAddress);
}

void ConfigDialog::onCommandLevelChanged(int value)
{
    const std::array<QLabel *, 6> lamps{ui.ledCommand1, ui.ledCommand2, ui.ledCommand3,
                                        ui.ledCommand4, ui.ledCommand5, ui.ledCommand6};
    for (std::size_t bit = 0; bit < lamps.size(); ++bit)
        setLamp(lamps[bit], value & (1 << bit));
}

void ConfigDialog::onCommandNegChanged(int value)
{
    setLamp(ui.ledCommandNeg, value);
}

void ConfigDialog::onWeighPayloadChanged(int value)
{
    setLamp(ui.ledWeighPayload, value);
}

void ConfigDialog::onCpuClockChanged(int value)
{
    setLamp(ui.ledCpuClock, value);
}

void ConfigDialog::onHostComChanged(int value)
{
    setLamp(ui.ledHostCom, value);
}

void ConfigDialog::onToolComChanged(int value)
{
    setLamp(ui.ledToolCom, value);
}

void ConfigDialog::onPosLimitChanged(int value)
{
    setLamp(ui.ledPosLimit, value);
}

void ConfigDialog::onNegLimitChanged(int value)
{
    setLamp(ui.ledNegLimit, value);
}

void ConfigDialog::onOkToWeighChanged(int value)
{
    setLamp(ui.ledOkToWeigh, value);
}

void ConfigDialog::onWeightOkChanged(int value)
{
    setLamp(ui.ledWeightOk, value);
}

// The signals carry masked bits (WEIGH PAYLOAD is 256), so the whole integer counts.
void ConfigDialog::setLamp(QLabel *lamp, int value)
{
    lamp->setStyleSheet(QLatin1String(value != 0 ? lampOnStyle : lampOffStyle));
}

void ConfigDialog::onUpdateFirmware()
{
    qCDebug(vktUi) << "onUpdateFirmware";
    QMessageBox box;
    box.setWindowTitle(tr("VKT Dashboard"));
    box.setIcon(QMessageBox::Warning);
    box.setText(tr("<b>Use the following steps to upgrade device firmware:</b>"));
    box.setInformativeText(QStringList{
        tr("1. If upgrading VKT, first move carriage to POSITIVE (+) end stop."),
        tr("2. After clicking \"OK\" to close this message box, use File Manager to open "
           "USB Flash."),
        tr("3. Delete existing firmware file."),
        tr("4. Copy new firware file to USB Flash."),
        tr("5. Safely eject USB Flash."),
        tr("6. Cycle power on upgraded device."),
        tr("7. Click CONNECT button to reconnect to upgraded device."),
    }
                               .join(QStringLiteral("\r\n")));
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    if (box.exec() != QMessageBox::Ok)
        return;
    remoteDevice->updateFirmware();
    reject();
}

void ConfigDialog::accept()
{
    qCDebug(vktUi) << "ConfigDialog::accept";
    const bool sent = sendChanges();
    if (sent && remoteDevice->isConnected())
        remoteDevice->saveConfig();
    // An exchange without reply ends the link and every command after it goes nowhere.
    if (sent && !remoteDevice->isConnected()) {
        QMessageBox::critical(this, tr("VKT Dashboard"),
                              tr("Connection lost: configuration not saved!"));
        QDialog::reject();
        return;
    }
    QDialog::accept();
}

// One set command per setting that differs from what was loaded, in this order; the unit
// system goes before every value expressed in it. True when anything was to be sent.
bool ConfigDialog::sendChanges()
{
    bool sent = false;
    const auto send = [this, &sent](const QString &path, const QString &value) {
        remoteDevice->sendCommand(path, value);
        sent = true;
    };
    const auto sendNumber = [&send](const QString &path, double value) {
        send(path, WireFormat::formatNumber(value));
    };

    // A bare path only asks, so an emptied name cannot be sent; the unit keeps its name.
    const QString name = ui.deviceName->text();
    if (name != loadedDeviceName && !name.simplified().isEmpty())
        send(DevicePath::deviceName, name);
    if (ui.metricUnits->isChecked() != loadedMetricUnits)
        send(DevicePath::metricUnits, flagText(ui.metricUnits->isChecked()));
    if (ui.initialWeigh->isChecked() != loadedInitialWeigh)
        send(DevicePath::initialWeigh, flagText(ui.initialWeigh->isChecked()));
    if (ui.initialMode->currentIndex() != loadedInitialModeIndex)
        send(DevicePath::initialMode, flagText(ui.initialMode->currentIndex() == forceModeIndex));
    if (ratio(ui.initialForce) != loadedInitialForceRatio)
        sendNumber(DevicePath::initialForce, ui.initialForce->value());
    if (ratio(ui.payloadWeight) != loadedPayloadRatio)
        sendNumber(DevicePath::payloadWeight, ui.payloadWeight->value());
    if (ratio(ui.initialPosition) != loadedInitialPositionRatio)
        sendNumber(DevicePath::initialPosition, ui.initialPosition->value());
    if (ratio(ui.posLimitPosition) != loadedPosLimitRatio)
        sendNumber(DevicePath::posLimitPosition, ui.posLimitPosition->value());
    if (ratio(ui.negLimitPosition) != loadedNegLimitRatio)
        sendNumber(DevicePath::negLimitPosition, ui.negLimitPosition->value());
    if (ui.softTouchEnabled->isChecked() != loadedSoftTouchEnabled)
        send(DevicePath::softTouchEnabled, flagText(ui.softTouchEnabled->isChecked()));
    if (ui.softTouchForce->value() != loadedSoftTouchForce)
        sendNumber(DevicePath::softTouchForce, ui.softTouchForce->value() / 100);
    if (ui.softTouchPosition->value() != loadedSoftTouchPosition)
        sendNumber(DevicePath::softTouchPosition, ui.softTouchPosition->value() / 100);

    if ((ui.dhcp->currentIndex() == dhcpIndex) != loadedDhcp)
        send(DevicePath::netDhcp, flagText(ui.dhcp->currentIndex() == dhcpIndex));
    if (ui.timeout->value() != loadedTimeout)
        send(DevicePath::netTimeout, QString::number(ui.timeout->value()));
    const auto sendAddress = [&send](const QString &path, const AddressFields &fields,
                                     const Ipv4Parts &loaded) {
        const Ipv4Parts parts = partsOf(fields);
        if (parts != loaded)
            send(path, ConfigRecord::formatIpv4(parts));
    };
    sendAddress(DevicePath::netIpAddress,
                {ui.ipAddress0, ui.ipAddress1, ui.ipAddress2, ui.ipAddress3}, loadedIpAddress);
    sendAddress(DevicePath::netNetMask, {ui.netMask0, ui.netMask1, ui.netMask2, ui.netMask3},
                loadedNetMask);
    sendAddress(DevicePath::netGateway, {ui.gateway0, ui.gateway1, ui.gateway2, ui.gateway3},
                loadedGateway);

    if (ui.nodeAddress->value() != loadedNodeId)
        send(DevicePath::anybusNodeId, QString::number(ui.nodeAddress->value()));
    if (ui.baudRate->currentIndex() != loadedBaudRateIndex)
        send(DevicePath::anybusBaudRate, QString::number(ui.baudRate->currentIndex() + 1));
    return sent;
}

// A field whose limit could not be read has the range 0 to 0 and no share of it; its value
// stands in, so it is only ever sent when it really changed.
double ConfigDialog::ratio(const QDoubleSpinBox *field)
{
    return field->maximum() != 0 ? field->value() / field->maximum() : field->value();
}

void ConfigDialog::setRatio(QDoubleSpinBox *field, double ratio)
{
    field->setValue(field->maximum() != 0 ? field->maximum() * ratio : ratio);
}
