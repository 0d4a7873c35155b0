#pragma once

#include "configrecord.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QObject;
class QSpinBox;
class QWidget;

// One row of the configuration dialog's change table: a setting, the record key it is loaded
// from, the field that shows it and how its value goes to a set command. A row is to be sent
// when its field no longer shows what it showed right after loading. A stored value the field
// cannot show (out of its range, of another type, a code without an item) marks the field, and
// only an edit by the operator then makes the row one to send.
class SettingRow
{
    Q_DECLARE_TR_FUNCTIONS(SettingRow)

public:
    // The record a row is loaded from.
    enum class Source { Identity, Tool, Net, Anybus };

    struct Setting
    {
        Source source;
        QString key;
        QString path;
    };

    static SettingRow text(const Setting &setting, QLineEdit *field);
    // On when `on` is checked; `off` is the other button of a radio pair.
    static SettingRow flag(const Setting &setting, QAbstractButton *on,
                           QAbstractButton *off = nullptr);
    // On when the first item is selected.
    static SettingRow flag(const Setting &setting, QComboBox *field);
    // Item i stands for codes[i]; a code without an item selects `unknownIndex`.
    static SettingRow choice(const Setting &setting, QComboBox *field, const QList<int> &codes,
                             int unknownIndex);
    static SettingRow integer(const Setting &setting, QSpinBox *field);
    // Compared by its value's share of the field's maximum, which a units switch keeps.
    static SettingRow share(const Setting &setting, QDoubleSpinBox *field);
    // A fraction from 0 to 1 shown as a percentage.
    static SettingRow percent(const Setting &setting, QDoubleSpinBox *field);
    static SettingRow address(const Setting &setting, const std::array<QSpinBox *, 4> &fields);

    Source source() const { return m_setting.source; }
    const QString &path() const { return m_setting.path; }

    // Shows the record's value and takes what the field shows as loaded.
    void load(const QJsonObject &record);
    // For a row whose record is not there: what the field shows counts as loaded.
    void keepShown();
    // Calls `edited` whenever a field of the row changes its value.
    void connectEdits(QObject *context, const std::function<void()> &edited) const;
    // The operator changed the field: a marked row is now theirs, and to be sent.
    void takeEdit();

    bool isMarked() const { return m_marked; }
    bool isChanged() const;
    QString valueText() const;

private:
    enum class Kind { Text, Flag, Choice, Integer, Share, Percent, Address };

    SettingRow(Kind kind, const Setting &setting, const QList<QWidget *> &fields);

    bool hasOwnType(const QJsonValue &stored) const;
    bool showNumber(double value);
    bool isOn() const;
    void setOn(bool on);
    Ipv4Parts shownParts() const;
    bool isTextKind() const;
    double shownNumber() const;
    QString shownText() const;
    bool canBeSent() const;
    void setMarked(bool marked, const QJsonValue &stored);

    Kind m_kind;
    Setting m_setting;
    QList<QWidget *> m_fields;
    QStringList m_formToolTips;
    QList<int> m_codes;
    int m_unknownIndex = -1;
    double m_loadedNumber = 0;
    QString m_loadedText;
    bool m_marked = false;
    bool m_taken = false; // edited by the operator while marked
};
