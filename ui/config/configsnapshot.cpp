#include "configsnapshot.h"

#include "configrecord.h"
#include "devicevocabulary.h"
#include "remotedevice.h"

ConfigSnapshot ConfigSnapshot::fetch(RemoteDevice &device)
{
    ConfigSnapshot snapshot;
    snapshot.connected = device.isConnected();
    snapshot.serialLink = device.transport() == device.serialPort();
    snapshot.hasDio = device.hasDio();
    // The identity record is held from the time of connecting, so a name set by an earlier
    // opening would show as the old one; the unit is asked again and the held record only
    // stands in.
    if (snapshot.connected) {
        snapshot.identity = device.sendCommand(DevicePath::deviceId).toObject();
        if (snapshot.identity.isEmpty())
            snapshot.identity = device.deviceIdRecord();
    }
    snapshot.toolIdentity = device.toolIdRecord();
    if (!snapshot.toolIdentity.isEmpty()) {
        snapshot.vktRecord = device.vktCfgObject();
        snapshot.maxForce = device.sendCommand(DevicePath::maxForce);
        snapshot.maxPosition = device.sendCommand(DevicePath::maxPosition);
        snapshot.stateMetric = ConfigRecord::flag(device.stateRecord(), RecordKey::metricUnits);
    }
    if (snapshot.hasDio) {
        snapshot.hbnRecord = device.hbnCfgObject();
        snapshot.moduleInfo = device.hbnModuleInfo();
        snapshot.dioValue = device.dioValue();
    }
    snapshot.macAddress = device.sendCommand(DevicePath::macAddress).toString();
    return snapshot;
}
