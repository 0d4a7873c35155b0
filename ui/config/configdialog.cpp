#include "configdialog.h"

#include "configsnapshot.h"
#include "devicetext.h"
#include "devicevocabulary.h"
#include "fieldpresentation.h"
#include "remotedevice.h"
#include "remotesettingsink.h"
#include "uilog.h"
#include "unitconversion.h"

#include <QMessageBox>
#include <QScopedValueRollback>
#include <QStringList>

#include <array>
#include <optional>

namespace {

const char *const lampOnStyle = "background-color: #0F0;";
const char *const lampOffStyle = "background-color: #000;";

constexpr int dhcpIndex = 0;
constexpr int forceModeIndex = 0;
constexpr int softTouchSliderScale = 10; // slider steps per percent

// Ratings beyond these are no tool's; they keep every range, and the slider positions derived
// from it (100 steps per inch), well inside an int.
constexpr double maxForceRating = 1e6;    // N or Lb
constexpr double maxPositionRating = 1e5; // mm or in

} // namespace

ConfigDialog::ConfigDialog(RemoteDevice *remoteDevice)
    : ConfigDialog(std::make_unique<RemoteSettingSink>(remoteDevice), nullptr)
{
    connectLamps(remoteDevice);
    load(ConfigSnapshot::fetch(*remoteDevice));
}

ConfigDialog::ConfigDialog(const ConfigSnapshot &snapshot, SettingSink *sink)
    : ConfigDialog(nullptr, sink)
{
    load(snapshot);
}

ConfigDialog::ConfigDialog(std::unique_ptr<SettingSink> ownSink, SettingSink *sink)
    : QDialog(nullptr)
    , m_ownSink(std::move(ownSink))
    , m_sink(sink ? sink : m_ownSink.get())
{
    m_ui.setupUi(this);
    m_posLimitCoupling = FieldSlider(m_ui.posLimitPosition, m_ui.posLimitSlider,
                                     FieldPresentation::limitSliderScale(true));
    m_negLimitCoupling = FieldSlider(m_ui.negLimitPosition, m_ui.negLimitSlider,
                                     FieldPresentation::limitSliderScale(true));
    m_softTouchForceCoupling =
        FieldSlider(m_ui.softTouchForce, m_ui.softTouchForceSlider, softTouchSliderScale);
    m_softTouchPositionCoupling =
        FieldSlider(m_ui.softTouchPosition, m_ui.softTouchPositionSlider, softTouchSliderScale);
    m_rows = changeTable();
    connectSignals();
}

ConfigDialog::~ConfigDialog() = default;

// Each setting once: where it is loaded from, the field that shows it, how it is written; the
// order is the order on the wire, the unit system before every value expressed in it.
std::vector<SettingRow> ConfigDialog::changeTable()
{
    using Source = SettingRow::Source;
    const auto tool = [](const QString &key, const QString &path) {
        return SettingRow::Setting{Source::Tool, key, path};
    };
    const auto net = [](const QString &key, const QString &path) {
        return SettingRow::Setting{Source::Net, key, path};
    };
    const auto anybus = [](const QString &key, const QString &path) {
        return SettingRow::Setting{Source::Anybus, key, path};
    };
    const QList<int> modeCodes{1, 0};        // "Force Mode", "Position Mode"
    const QList<int> baudRateCodes{1, 2, 3}; // 125, 250, 500 kbit/s
    return {
        SettingRow::text({Source::Identity, RecordKey::deviceName, DevicePath::deviceName},
                         m_ui.deviceName),
        SettingRow::flag(tool(RecordKey::metricUnits, DevicePath::metricUnits), m_ui.metricUnits,
                         m_ui.englishUnits),
        SettingRow::flag(tool(RecordKey::initialWeigh, DevicePath::initialWeigh),
                         m_ui.initialWeigh),
        SettingRow::choice(tool(RecordKey::initialMode, DevicePath::initialMode), m_ui.initialMode,
                           modeCodes, forceModeIndex),
        SettingRow::share(tool(RecordKey::initialForce, DevicePath::initialForce),
                          m_ui.initialForce),
        SettingRow::share(tool(RecordKey::payloadWeight, DevicePath::payloadWeight),
                          m_ui.payloadWeight),
        SettingRow::share(tool(RecordKey::initialPosition, DevicePath::initialPosition),
                          m_ui.initialPosition),
        SettingRow::share(tool(RecordKey::posLimitPosition, DevicePath::posLimitPosition),
                          m_ui.posLimitPosition),
        SettingRow::share(tool(RecordKey::negLimitPosition, DevicePath::negLimitPosition),
                          m_ui.negLimitPosition),
        SettingRow::flag(tool(RecordKey::softTouchEnabled, DevicePath::softTouchEnabled),
                         m_ui.softTouchEnabled),
        SettingRow::percent(tool(RecordKey::softTouchForce, DevicePath::softTouchForce),
                            m_ui.softTouchForce),
        SettingRow::percent(tool(RecordKey::softTouchPosition, DevicePath::softTouchPosition),
                            m_ui.softTouchPosition),
        SettingRow::flag(net(RecordKey::dhcp, DevicePath::netDhcp), m_ui.dhcp),
        SettingRow::integer(net(RecordKey::timeout, DevicePath::netTimeout), m_ui.timeout),
        SettingRow::address(net(RecordKey::ipAddress, DevicePath::netIpAddress),
                            {m_ui.ipAddress0, m_ui.ipAddress1, m_ui.ipAddress2, m_ui.ipAddress3}),
        SettingRow::address(net(RecordKey::netMask, DevicePath::netNetMask),
                            {m_ui.netMask0, m_ui.netMask1, m_ui.netMask2, m_ui.netMask3}),
        SettingRow::address(net(RecordKey::gateway, DevicePath::netGateway),
                            {m_ui.gateway0, m_ui.gateway1, m_ui.gateway2, m_ui.gateway3}),
        SettingRow::integer(anybus(RecordKey::nodeId, DevicePath::anybusNodeId), m_ui.nodeAddress),
        SettingRow::choice(anybus(RecordKey::baudRate, DevicePath::anybusBaudRate), m_ui.baudRate,
                           baudRateCodes, -1),
    };
}

void ConfigDialog::connectSignals()
{
    const auto fieldChanged = QOverload<double>::of(&QDoubleSpinBox::valueChanged);
    connect(m_ui.buttonBox, &QDialogButtonBox::accepted, this, &ConfigDialog::accept);
    connect(m_ui.buttonBox, &QDialogButtonBox::rejected, this, &ConfigDialog::reject);
    connect(m_ui.metricUnits, &QRadioButton::clicked, this, &ConfigDialog::onUnitsClick);
    connect(m_ui.englishUnits, &QRadioButton::clicked, this, &ConfigDialog::onUnitsClick);
    connect(m_ui.posLimitPosition, fieldChanged, this,
            QOverload<double>::of(&ConfigDialog::onPosLimitChanged));
    connect(m_ui.posLimitSlider, &QSlider::valueChanged, this,
            &ConfigDialog::onPosLimitSliderChanged);
    connect(m_ui.negLimitPosition, fieldChanged, this,
            QOverload<double>::of(&ConfigDialog::onNegLimitChanged));
    connect(m_ui.negLimitSlider, &QSlider::valueChanged, this,
            &ConfigDialog::onNegLimitSliderChanged);
    connect(m_ui.softTouchForce, fieldChanged, this, &ConfigDialog::onSoftTouchForceChanged);
    connect(m_ui.softTouchForceSlider, &QSlider::valueChanged, this,
            &ConfigDialog::onSoftTouchForceSliderChanged);
    connect(m_ui.softTouchPosition, fieldChanged, this, &ConfigDialog::onSoftTouchPositionChanged);
    connect(m_ui.softTouchPositionSlider, &QSlider::valueChanged, this,
            &ConfigDialog::onSoftTouchPositionSliderChanged);
    connect(m_ui.dhcp, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ConfigDialog::onDhcpChanged);
    connect(m_ui.updateFirmwareButton, &QPushButton::clicked, this,
            &ConfigDialog::onUpdateFirmware);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i].connectEdits(this, [this, i] {
            if (!m_presenting)
                m_rows[i].takeEdit();
        });
    }
}

void ConfigDialog::connectLamps(RemoteDevice *remoteDevice)
{
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
}

// Every value is read once, here; only the lamps change afterwards.
void ConfigDialog::load(const ConfigSnapshot &snapshot)
{
    const QScopedValueRollback<bool> presenting(m_presenting, true);
    loadAboutPage();

    std::array<std::optional<QJsonObject>, 4> records;
    const auto record = [&records](SettingRow::Source source) -> std::optional<QJsonObject> & {
        return records[std::size_t(source)];
    };
    record(SettingRow::Source::Identity) =
        snapshot.connected ? snapshot.identity : QJsonObject{{RecordKey::deviceName, tr("NONE")}};
    QJsonObject net;
    const bool hasTool = !snapshot.toolIdentity.isEmpty();
    if (hasTool) {
        presentToolFields(snapshot);
        record(SettingRow::Source::Tool) = snapshot.vktRecord;
        net = ConfigRecord::object(snapshot.vktRecord, RecordKey::net);
    } else {
        m_ui.configurationTabs->removeTab(m_ui.configurationTabs->indexOf(m_ui.generalTab));
        m_ui.configurationTabs->removeTab(m_ui.configurationTabs->indexOf(m_ui.softTouchTab));
    }
    // An HBN unit keeps the network settings; its tool's record has none of its own.
    if (snapshot.hasDio) {
        net = ConfigRecord::object(snapshot.hbnRecord, RecordKey::net);
        if (loadHbnPage(snapshot))
            record(SettingRow::Source::Anybus) =
                ConfigRecord::object(snapshot.hbnRecord, RecordKey::anybus);
    } else {
        m_ui.configurationTabs->removeTab(m_ui.configurationTabs->indexOf(m_ui.hbnIoTab));
    }
    record(SettingRow::Source::Net) = net;

    // Each limit keeps the value read from the record; its slider only follows.
    setLimitCouplingSuspended(true);
    for (SettingRow &row : m_rows) {
        if (const std::optional<QJsonObject> &from = record(row.source()))
            row.load(*from);
        else
            row.keepShown();
    }
    if (hasTool) {
        m_posLimitCoupling.rescaleSlider(m_ui.posLimitPosition->value());
        m_negLimitCoupling.rescaleSlider(m_ui.negLimitPosition->value());
    }
    setLimitCouplingSuspended(false);

    onDhcpChanged(m_ui.dhcp->currentIndex());
    DeviceText::show(m_ui.macAddress, snapshot.macAddress);
    m_ui.updateFirmwareButton->setVisible(snapshot.serialLink);
}

// The ranges the tool's values are shown in, before any value is.
void ConfigDialog::presentToolFields(const ConfigSnapshot &snapshot)
{
    const bool metric = ConfigRecord::flag(snapshot.vktRecord, RecordKey::metricUnits);
    m_maxForce = UnitConversion::forceLimitNewtons(
        ConfigRecord::rating(snapshot.maxForce, maxForceRating), metric);
    FieldPresentation::force(m_maxForce, metric).applyTo(m_ui.initialForce);
    m_maxPayload = UnitConversion::payloadLimitKilograms(m_maxForce);
    FieldPresentation::payload(m_maxPayload, metric).applyTo(m_ui.payloadWeight);
    m_maxPosition = UnitConversion::positionLimitMillimetres(
        ConfigRecord::rating(snapshot.maxPosition, maxPositionRating), snapshot.stateMetric);
    FieldPresentation::position(m_maxPosition, metric).withoutStep().applyTo(m_ui.initialPosition);

    m_limitsMetric = metric;
    const FieldPresentation limitShown = FieldPresentation::position(m_maxPosition, metric);
    limitShown.applyTo(m_ui.posLimitPosition);
    limitShown.applyTo(m_ui.negLimitPosition);
    m_posLimitCoupling.setScale(FieldPresentation::limitSliderScale(metric));
    m_negLimitCoupling.setScale(FieldPresentation::limitSliderScale(metric));
}

// True when the fitted module takes a node address or a rate, whose settings are then loaded.
bool ConfigDialog::loadHbnPage(const ConfigSnapshot &snapshot)
{
    const bool usesNodeId = ConfigRecord::flag(snapshot.moduleInfo, RecordKey::usesNodeId);
    const bool usesBaudrate = ConfigRecord::flag(snapshot.moduleInfo, RecordKey::usesBaudrate);
    DeviceText::show(m_ui.busType, ConfigRecord::text(snapshot.moduleInfo, RecordKey::moduleType));
    DeviceText::show(m_ui.busIpAddress,
                     ConfigRecord::text(snapshot.moduleInfo, RecordKey::ipAddress));
    m_ui.nodeAddress->setEnabled(usesNodeId);
    m_ui.baudRate->setEnabled(usesBaudrate);
    loadLamps(snapshot.dioValue);
    return usesNodeId || usesBaudrate;
}

// The device signals a lamp only when its bit changes, so the page starts from the last state.
void ConfigDialog::loadLamps(quint32 dioValue)
{
    onCommandLevelChanged(dioValue & DioMask::commandLevel);
    setLamp(m_ui.ledCommandNeg, dioValue & DioMask::commandNeg);
    setLamp(m_ui.ledWeighPayload, dioValue & DioMask::weighPayload);
    setLamp(m_ui.ledCpuClock, dioValue & DioMask::cpuClock);
    setLamp(m_ui.ledHostCom, dioValue & DioMask::hostCom);
    setLamp(m_ui.ledToolCom, dioValue & DioMask::toolCom);
    setLamp(m_ui.ledPosLimit, dioValue & DioMask::posLimit);
    setLamp(m_ui.ledNegLimit, dioValue & DioMask::negLimit);
    setLamp(m_ui.ledOkToWeigh, dioValue & DioMask::okToWeigh);
    setLamp(m_ui.ledWeightOk, dioValue & DioMask::weightOk);
}

void ConfigDialog::loadAboutPage()
{
    m_ui.programVersion->setText(QStringLiteral(VKT_VERSION));
    // __DATE__ pads a one-digit day with a space ("Dec  6 2026").
    m_ui.qtVersion->setText(QStringLiteral("%1, %2").arg(
        QString::fromLatin1(qVersion()), QString::fromLatin1(__DATE__).simplified()));
}

void ConfigDialog::onUnitsClick()
{
    const QScopedValueRollback<bool> presenting(m_presenting, true);
    const bool metric = m_ui.metricUnits->isChecked();
    presentCommandFields(metric);
    if (metric != m_limitsMetric)
        presentLimitFields(metric);
}

// The power-up values keep their share of the range; the range itself is shown anew.
void ConfigDialog::presentCommandFields(bool metric)
{
    const double forceRatio = FieldPresentation::ratio(m_ui.initialForce);
    FieldPresentation::force(m_maxForce, metric).applyTo(m_ui.initialForce);
    FieldPresentation::setRatio(m_ui.initialForce, forceRatio);

    const double payloadRatio = FieldPresentation::ratio(m_ui.payloadWeight);
    FieldPresentation::payload(m_maxPayload, metric).applyTo(m_ui.payloadWeight);
    FieldPresentation::setRatio(m_ui.payloadWeight, payloadRatio);

    const double positionRatio = FieldPresentation::ratio(m_ui.initialPosition);
    FieldPresentation::position(m_maxPosition, metric).applyTo(m_ui.initialPosition);
    FieldPresentation::setRatio(m_ui.initialPosition, positionRatio);
}

// The limits are converted, not scaled, so that a round trip gives back the value shown.
void ConfigDialog::presentLimitFields(bool metric)
{
    const auto converted = [metric](double value) {
        return metric ? value * UnitConversion::millimetresPerInch
                      : value / UnitConversion::millimetresPerInch;
    };
    const double posLimit = converted(m_ui.posLimitPosition->value());
    const double negLimit = converted(m_ui.negLimitPosition->value());

    setLimitCouplingSuspended(true);
    const FieldPresentation shown = FieldPresentation::position(m_maxPosition, metric);
    const int scale = FieldPresentation::limitSliderScale(metric);
    shown.applyTo(m_ui.posLimitPosition);
    m_ui.posLimitPosition->setValue(posLimit);
    shown.applyTo(m_ui.negLimitPosition);
    m_ui.negLimitPosition->setValue(negLimit);
    // From the converted values, not the rounded fields: 1.9685 in stands at 196.
    m_posLimitCoupling.setScale(scale);
    m_posLimitCoupling.rescaleSlider(posLimit);
    m_negLimitCoupling.setScale(scale);
    m_negLimitCoupling.rescaleSlider(negLimit);
    setLimitCouplingSuspended(false);
    m_limitsMetric = metric;
}

void ConfigDialog::setLimitCouplingSuspended(bool suspended)
{
    m_posLimitCoupling.setSuspended(suspended);
    m_negLimitCoupling.setSuspended(suspended);
}

void ConfigDialog::onPosLimitChanged(double)
{
    m_posLimitCoupling.fieldToSlider();
}

void ConfigDialog::onPosLimitSliderChanged(int)
{
    m_posLimitCoupling.sliderToField();
}

void ConfigDialog::onNegLimitChanged(double)
{
    m_negLimitCoupling.fieldToSlider();
}

void ConfigDialog::onNegLimitSliderChanged(int)
{
    m_negLimitCoupling.sliderToField();
}

void ConfigDialog::onSoftTouchForceChanged(double)
{
    m_softTouchForceCoupling.fieldToSlider();
}

void ConfigDialog::onSoftTouchForceSliderChanged(int)
{
    m_softTouchForceCoupling.sliderToField();
}

void ConfigDialog::onSoftTouchPositionChanged(double)
{
    m_softTouchPositionCoupling.fieldToSlider();
}

void ConfigDialog::onSoftTouchPositionSliderChanged(int)
{
    m_softTouchPositionCoupling.sliderToField();
}

void ConfigDialog::onDhcpChanged(int index)
{
    const bool staticAddress = index != dhcpIndex;
    for (QSpinBox *part : {m_ui.ipAddress0, m_ui.ipAddress1, m_ui.ipAddress2, m_ui.ipAddress3,
                           m_ui.netMask0, m_ui.netMask1, m_ui.netMask2, m_ui.netMask3,
                           m_ui.gateway0, m_ui.gateway1, m_ui.gateway2, m_ui.gateway3})
        part->setEnabled(staticAddress);
}

void ConfigDialog::onCommandLevelChanged(int value)
{
    const std::array<QLabel *, 6> lamps{m_ui.ledCommand1, m_ui.ledCommand2, m_ui.ledCommand3,
                                        m_ui.ledCommand4, m_ui.ledCommand5, m_ui.ledCommand6};
    for (std::size_t bit = 0; bit < lamps.size(); ++bit)
        setLamp(lamps[bit], value & (1 << bit));
}

void ConfigDialog::onCommandNegChanged(int value)
{
    setLamp(m_ui.ledCommandNeg, value);
}

void ConfigDialog::onWeighPayloadChanged(int value)
{
    setLamp(m_ui.ledWeighPayload, value);
}

void ConfigDialog::onCpuClockChanged(int value)
{
    setLamp(m_ui.ledCpuClock, value);
}

void ConfigDialog::onHostComChanged(int value)
{
    setLamp(m_ui.ledHostCom, value);
}

void ConfigDialog::onToolComChanged(int value)
{
    setLamp(m_ui.ledToolCom, value);
}

void ConfigDialog::onPosLimitChanged(int value)
{
    setLamp(m_ui.ledPosLimit, value);
}

void ConfigDialog::onNegLimitChanged(int value)
{
    setLamp(m_ui.ledNegLimit, value);
}

void ConfigDialog::onOkToWeighChanged(int value)
{
    setLamp(m_ui.ledOkToWeigh, value);
}

void ConfigDialog::onWeightOkChanged(int value)
{
    setLamp(m_ui.ledWeightOk, value);
}

// The signals carry masked bits (WEIGH PAYLOAD is 256), so the whole integer counts.
void ConfigDialog::setLamp(QLabel *lamp, int value)
{
    lamp->setStyleSheet(QLatin1String(value != 0 ? lampOnStyle : lampOffStyle));
}

void ConfigDialog::onUpdateFirmware()
{
    qCDebug(lcUi) << "onUpdateFirmware";
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
    m_sink->updateFirmware();
    reject();
}

void ConfigDialog::accept()
{
    qCDebug(lcUi) << "ConfigDialog::accept";
    const bool sent = sendChanges();
    if (sent && m_sink->isConnected())
        m_sink->saveSettings();
    // An exchange without reply ends the link and every command after it goes nowhere.
    if (sent && !m_sink->isConnected()) {
        QMessageBox::critical(this, tr("VKT Dashboard"),
                              tr("Connection lost: configuration not saved!"));
        QDialog::reject();
        return;
    }
    QDialog::accept();
}

// One set command per row that differs from what was loaded, in the table's order. True when
// anything was to be sent.
bool ConfigDialog::sendChanges()
{
    bool sent = false;
    for (const SettingRow &row : m_rows) {
        if (!row.isChanged())
            continue;
        m_sink->sendSetting(row.path(), row.valueText());
        sent = true;
    }
    return sent;
}
