#pragma once

#include "configsnapshot.h"
#include "settingsink.h"
#include "storedvalueframe.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QJsonObject>
#include <QLabel>
#include <QMetaProperty>
#include <QTextDocumentFragment>

// Edits and reads the fields of a configuration dialog by their object names, as an operator
// would: buttons are clicked, combo boxes take an index.
namespace ConfigDialogDriver {

inline bool setField(QDialog &dialog, const QString &name, const QVariant &value)
{
    QWidget *widget = dialog.findChild<QWidget *>(name);
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        combo->setCurrentIndex(value.toInt());
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->isChecked() != value.toBool() ? button->click() : void();
    else // a spin box or a line edit
        return widget && widget->metaObject()->userProperty().write(widget, value);
    return true;
}

inline QVariant fieldValue(QDialog &dialog, const QString &name)
{
    QWidget *widget = dialog.findChild<QWidget *>(name);
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentIndex();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    return widget ? widget->metaObject()->userProperty().read(widget) : QVariant();
}

// The stored value a field's red frame and tool tip tell of, or nothing when it has no frame.
inline QString markOf(QDialog &dialog, const QString &name)
{
    QWidget *widget = dialog.findChild<QWidget *>(name);
    return StoredValueFrame::isShown(widget)
               ? QTextDocumentFragment::fromHtml(widget->toolTip()).toPlainText()
               : QString();
}

// A snapshot from a document whose members are named as the snapshot's.
inline ConfigSnapshot snapshotFrom(const QJsonObject &document)
{
    ConfigSnapshot snapshot;
    snapshot.connected = document.value("connected").toBool();
    snapshot.serialLink = document.value("serialLink").toBool();
    snapshot.hasDio = document.value("hasDio").toBool();
    snapshot.identity = document.value("identity").toObject();
    snapshot.toolIdentity = document.value("toolIdentity").toObject();
    snapshot.vktRecord = document.value("vktRecord").toObject();
    snapshot.maxForce = document.value("maxForce");
    snapshot.maxPosition = document.value("maxPosition");
    snapshot.stateMetric = document.value("stateMetric").toBool();
    snapshot.hbnRecord = document.value("hbnRecord").toObject();
    snapshot.moduleInfo = document.value("moduleInfo").toObject();
    snapshot.dioValue = quint32(document.value("dioValue").toInt());
    snapshot.macAddress = document.value("macAddress").toString();
    return snapshot;
}

// Keeps what a dialog sends: "path=value" per setting, "(save)" and "(firmware)" for the rest.
struct RecordingSink : SettingSink
{
    void sendSetting(const QString &path, const QString &value) override
    {
        sent << path + '=' + value;
    }
    void saveSettings() override { sent << "(save)"; }
    bool isConnected() const override { return connected; }
    void updateFirmware() override { sent << "(firmware)"; }

    QStringList sent;
    bool connected = true;
};

} // namespace ConfigDialogDriver
