#pragma once

#include <QString>

// The words the device understands and answers with, written once for the link, the windows
// and the tools. The simulator keeps its own copy on purpose.

namespace DeviceAddress {
inline const QString networkScheme = QStringLiteral("network://");
inline const QString serialScheme = QStringLiteral("usb://");
constexpr quint16 udpPort = 1993;
constexpr quint16 terminalPort = 23;
} // namespace DeviceAddress

// Command paths. A bare path asks; path, "=" and a value sets.
namespace DevicePath {
inline const QString deviceId = QStringLiteral("/deviceId");
inline const QString deviceName = QStringLiteral("/deviceName");
inline const QString stateObject = QStringLiteral("/stateObject");
inline const QString saveConfig = QStringLiteral("/saveConfig");
inline const QString flashFirmware = QStringLiteral("flashfirmware");

inline const QString toolDeviceId = QStringLiteral("/vkt/deviceId");
inline const QString vktCfgObject = QStringLiteral("/vkt/cfgObject");
inline const QString vktSaveConfig = QStringLiteral("/vkt/saveConfig");
inline const QString maxForce = QStringLiteral("/vkt/maxForce");
inline const QString maxPosition = QStringLiteral("/vkt/maxPosition");
inline const QString commandForce = QStringLiteral("/vkt/commandForce");
inline const QString commandPosition = QStringLiteral("/vkt/commandPosition");
inline const QString controlMode = QStringLiteral("/vkt/controlMode");
inline const QString forceMode = QStringLiteral("/vkt/forceMode");
inline const QString positionMode = QStringLiteral("/vkt/positionMode");
inline const QString weighPayload = QStringLiteral("/vkt/weighPayload");

inline const QString metricUnits = QStringLiteral("/vkt/metricUnits");
inline const QString initialWeigh = QStringLiteral("/vkt/initialWeigh");
inline const QString initialMode = QStringLiteral("/vkt/initialMode");
inline const QString initialForce = QStringLiteral("/vkt/initialForce");
inline const QString payloadWeight = QStringLiteral("/vkt/payloadWeight");
inline const QString initialPosition = QStringLiteral("/vkt/initialPosition");
inline const QString posLimitPosition = QStringLiteral("/vkt/posLimitPosition");
inline const QString negLimitPosition = QStringLiteral("/vkt/negLimitPosition");
inline const QString softTouchEnabled = QStringLiteral("/vkt/softTouchEnabled");
inline const QString softTouchForce = QStringLiteral("/vkt/softTouchForce");
inline const QString softTouchPosition = QStringLiteral("/vkt/softTouchPosition");

inline const QString hbnCfgObject = QStringLiteral("/hbn/cfgObject");
inline const QString hbnModuleInfo = QStringLiteral("/hbn/anybus/moduleInfo");
inline const QString macAddress = QStringLiteral("/net/macAddress");
inline const QString netDhcp = QStringLiteral("/net/dhcp");
inline const QString netTimeout = QStringLiteral("/net/timeout");
inline const QString netIpAddress = QStringLiteral("/net/ipAddress");
inline const QString netNetMask = QStringLiteral("/net/netMask");
inline const QString netGateway = QStringLiteral("/net/gateway");
inline const QString anybusNodeId = QStringLiteral("/anybus/nodeId");
inline const QString anybusBaudRate = QStringLiteral("/anybus/baudRate");

// The trees a parameter document is replayed into.
inline const QString vktTree = QStringLiteral("/vkt");
inline const QString hbnTree = QStringLiteral("/hbn");
} // namespace DevicePath

// Members of the records the device answers with.
namespace RecordKey {
// A network reply holds its answer under "data", keyed by the command's path.
inline const QString replyData = QStringLiteral("data");

// Identity records ("/deviceId", "/vkt/deviceId").
inline const QString deviceName = QStringLiteral("deviceName");
inline const QString modelName = QStringLiteral("modelName");

// The state record ("/stateObject").
inline const QString metricUnits = QStringLiteral("metricUnits");
inline const QString actualForce = QStringLiteral("actualForce");
inline const QString actualPosition = QStringLiteral("actualPosition");
inline const QString accelGravity = QStringLiteral("accelGravity");
inline const QString commandForce = QStringLiteral("commandForce");
inline const QString commandPosition = QStringLiteral("commandPosition");
inline const QString payloadWeight = QStringLiteral("payloadWeight");
inline const QString controlMode = QStringLiteral("controlMode");
inline const QString posLimitPosition = QStringLiteral("posLimitPosition");
inline const QString negLimitPosition = QStringLiteral("negLimitPosition");
inline const QString dioValue = QStringLiteral("dioValue");

// The configuration records ("/vkt/cfgObject", "/hbn/cfgObject"), beside the state keys above
// that they share.
inline const QString initialWeigh = QStringLiteral("initialWeigh");
inline const QString initialMode = QStringLiteral("initialMode");
inline const QString initialForce = QStringLiteral("initialForce");
inline const QString initialPosition = QStringLiteral("initialPosition");
inline const QString softTouchEnabled = QStringLiteral("softTouchEnabled");
inline const QString softTouchForce = QStringLiteral("softTouchForce");
inline const QString softTouchPosition = QStringLiteral("softTouchPosition");
inline const QString net = QStringLiteral("net");
inline const QString dhcp = QStringLiteral("dhcp");
inline const QString timeout = QStringLiteral("timeout");
inline const QString ipAddress = QStringLiteral("ipAddress");
inline const QString netMask = QStringLiteral("netMask");
inline const QString gateway = QStringLiteral("gateway");
inline const QString anybus = QStringLiteral("anybus");
inline const QString nodeId = QStringLiteral("nodeId");
inline const QString baudRate = QStringLiteral("baudRate");

// The fieldbus module description ("/hbn/anybus/moduleInfo"); its "ipAddress" is the one above.
inline const QString usesNodeId = QStringLiteral("usesNodeId");
inline const QString usesBaudrate = QStringLiteral("usesBaudrate");
inline const QString moduleType = QStringLiteral("moduleType");

// The parameter document.
inline const QString vktRecord = QStringLiteral("vkt");
inline const QString hbnRecord = QStringLiteral("hbn");
} // namespace RecordKey

// Bit groups of the state's "dioValue" word.
namespace DioMask {
constexpr quint32 commandLevel = 0x3F;
constexpr quint32 commandNeg = 0x40;
constexpr quint32 weighPayload = 0x100;
constexpr quint32 cpuClock = 0x10000;
constexpr quint32 hostCom = 0x20000;
constexpr quint32 toolCom = 0x40000;
constexpr quint32 posLimit = 0x80000;
constexpr quint32 negLimit = 0x100000;
constexpr quint32 okToWeigh = 0x200000;
constexpr quint32 weightOk = 0x400000;
} // namespace DioMask

// Bits of the state's "controlMode".
namespace ControlModeBit {
constexpr int forceMode = 0x1;
constexpr int softTouch = 0x4;
} // namespace ControlModeBit
