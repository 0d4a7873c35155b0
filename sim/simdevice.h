#pragma once

#include "configfile.h"
#include "configstore.h"
#include "dioword.h"
#include "payloadscale.h"
#include "physicsmodel.h"
#include "simanswer.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QTimer>

class SimCommand;

// The simulated unit: a VKT actuator alone, or an HBN unit with or without its VKT tool. Turns
// command lines into answers, keeps the identity, state and configuration records, and runs the
// physical model on a timer.
class SimDevice : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        bool standalone = false;
        bool toolAttached = true;
        double maxForceN = 250;
        double maxPositionMm = 50;
        double payloadMassKg = 2.5;
        int inputs = 0;
        bool weighFails = false;
        bool weighError = false;
        quint32 seed = 1;
        QString configPath;
    };

    static constexpr int tickMs = 20;
    static constexpr int firmwareUpdateMs = 30000;

    explicit SimDevice(const Settings &settings, QObject *parent = nullptr);

    // Reads the configuration file when there is one, then starts as from power-on.
    bool start(QString *error);
    SimAnswer handle(const QString &line);
    QJsonObject stateRecord() const;
    void advance(double seconds);

    // Operator controls (stdin).
    bool isHbn() const { return !m_settings.standalone; }
    bool setInputs(int bits);
    bool setToolAttached(bool attached);
    void forcePayload(double reportedWeight);
    bool pinState(const QString &member, const QJsonValue &value);
    bool unpinState(const QString &member);
    void reboot();

private:
    SimAnswer route(const SimCommand &command);
    SimAnswer routeVkt(const QString &subPath, const SimCommand &command);
    SimAnswer routeHbn(const QString &subPath, const SimCommand &command);
    SimAnswer configAccess(ConfigGroup group, const QString &key, const SimCommand &command);
    SimAnswer setDeviceName(const SimCommand &command);
    SimAnswer setCommand(Quantity quantity, const SimCommand &command);
    SimAnswer setControlMode(bool forceMode);
    SimAnswer weighPayload();
    SimAnswer saveConfig();
    SimAnswer flashFirmware();
    SimAnswer unknownPath(const QString &path) const;
    SimAnswer readOnly(const QString &path) const;

    QJsonObject deviceId() const;
    QJsonObject toolId() const;
    bool toolPresent() const { return m_settings.standalone || m_toolAttached; }
    int controlMode() const;
    int dioValue() const;
    double reported(Quantity quantity, double metricValue) const;
    void powerUp();
    void applyConfigToModel();
    void onTick();

    Settings m_settings;
    ConfigStore m_config;
    ConfigFile m_configFile;
    PhysicsModel m_model;
    PayloadScale m_scale;
    DioWord m_dio;
    bool m_toolAttached = true;
    bool m_firmwareUpdate = false;
    QHash<QString, QJsonValue> m_pinned;
    QTimer m_tickTimer;
    QTimer m_firmwareTimer;
    QElapsedTimer m_tickClock;
    QElapsedTimer m_uptime;
    QElapsedTimer m_lastHostContact;
};
