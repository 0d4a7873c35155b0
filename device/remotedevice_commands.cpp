#include "remotedevice.h"

#include "devicevocabulary.h"
#include "wireformat.h"

void RemoteDevice::commandForce(double value)
{
    sendCommand(DevicePath::commandForce, WireFormat::formatNumber(value));
}

void RemoteDevice::commandPosition(double value)
{
    sendCommand(DevicePath::commandPosition, WireFormat::formatNumber(value));
}

void RemoteDevice::payloadWeight(double value)
{
    sendCommand(DevicePath::payloadWeight, WireFormat::formatNumber(value));
}

void RemoteDevice::controlMode(int mode)
{
    sendCommand(DevicePath::controlMode, QString::number(mode));
}

void RemoteDevice::weighPayload()
{
    const QString reply = sendCommand(DevicePath::weighPayload).toString();
    if (reply.contains(QLatin1String("Error")))
        emit weighError(reply);
}

void RemoteDevice::updateFirmware()
{
    sendCommand(DevicePath::flashFirmware);
}
