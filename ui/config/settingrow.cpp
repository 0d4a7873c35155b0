#include "settingrow.h"

#include "devicetext.h"
#include "fieldpresentation.h"
#include "storedvalueframe.h"
#include "wireformat.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QSpinBox>

#include <climits>
#include <cmath>

namespace {

bool isWholeNumber(const QJsonValue &value)
{
    const double number = value.toDouble();
    return value.isDouble() && std::trunc(number) == number && number >= INT_MIN
           && number <= INT_MAX;
}

// The stored value as the tool tip of a marked field gives it.
QString storedText(const QJsonValue &stored)
{
    switch (stored.type()) {
    case QJsonValue::Undefined:
        return SettingRow::tr("none");
    case QJsonValue::String:
        return stored.toString();
    case QJsonValue::Double:
        return QString::number(stored.toDouble(), 'g', 15);
    case QJsonValue::Bool:
        return stored.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(stored.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(stored.toObject()).toJson(QJsonDocument::Compact));
    }
    return QString();
}

} // namespace

SettingRow::SettingRow(Kind kind, const Setting &setting, const QList<QWidget *> &fields)
    : m_kind(kind)
    , m_setting(setting)
    , m_fields(fields)
{
    for (const QWidget *field : fields)
        m_formToolTips << field->toolTip();
}

SettingRow SettingRow::text(const Setting &setting, QLineEdit *field)
{
    return SettingRow(Kind::Text, setting, {field});
}

SettingRow SettingRow::flag(const Setting &setting, QAbstractButton *on, QAbstractButton *off)
{
    QList<QWidget *> fields{on};
    if (off)
        fields << off;
    return SettingRow(Kind::Flag, setting, fields);
}

SettingRow SettingRow::flag(const Setting &setting, QComboBox *field)
{
    return SettingRow(Kind::Flag, setting, {field});
}

SettingRow SettingRow::choice(const Setting &setting, QComboBox *field, const QList<int> &codes,
                              int unknownIndex)
{
    SettingRow row(Kind::Choice, setting, {field});
    row.m_codes = codes;
    row.m_unknownIndex = unknownIndex;
    return row;
}

SettingRow SettingRow::integer(const Setting &setting, QSpinBox *field)
{
    return SettingRow(Kind::Integer, setting, {field});
}

SettingRow SettingRow::share(const Setting &setting, QDoubleSpinBox *field)
{
    return SettingRow(Kind::Share, setting, {field});
}

SettingRow SettingRow::percent(const Setting &setting, QDoubleSpinBox *field)
{
    return SettingRow(Kind::Percent, setting, {field});
}

SettingRow SettingRow::address(const Setting &setting, const std::array<QSpinBox *, 4> &fields)
{
    return SettingRow(Kind::Address, setting, {fields[0], fields[1], fields[2], fields[3]});
}

void SettingRow::load(const QJsonObject &record)
{
    const QString &key = m_setting.key;
    const QJsonValue stored = record.value(key);
    bool shown = stored.isUndefined() || hasOwnType(stored);
    switch (m_kind) {
    case Kind::Text: {
        auto *field = static_cast<QLineEdit *>(m_fields[0]);
        const QString text = ConfigRecord::text(record, key);
        field->setText(text);
        shown = shown && field->text() == text; // an editor holds at most 32767 characters
        break;
    }
    case Kind::Flag:
        setOn(ConfigRecord::flag(record, key));
        break;
    case Kind::Choice: {
        const int index = m_codes.indexOf(ConfigRecord::integer(record, key));
        static_cast<QComboBox *>(m_fields[0])->setCurrentIndex(index >= 0 ? index : m_unknownIndex);
        shown = shown && index >= 0;
        break;
    }
    case Kind::Integer: {
        auto *field = static_cast<QSpinBox *>(m_fields[0]);
        const int value = ConfigRecord::integer(record, key);
        field->setValue(value);
        shown = shown && field->value() == value;
        break;
    }
    case Kind::Share:
        shown = showNumber(ConfigRecord::number(record, key)) && shown;
        break;
    case Kind::Percent:
        shown = showNumber(ConfigRecord::number(record, key) * 100) && shown;
        break;
    case Kind::Address: {
        const QString text = ConfigRecord::text(record, key);
        const Ipv4Parts parts = ConfigRecord::parseIpv4(text);
        for (int i = 0; i < m_fields.size(); ++i)
            static_cast<QSpinBox *>(m_fields[i])->setValue(parts[i]);
        shown = shown && shownParts() == parts
                && (text.isEmpty() || ConfigRecord::formatIpv4(parts) == text);
        break;
    }
    }
    keepShown();
    setMarked(!shown, stored);
}

bool SettingRow::hasOwnType(const QJsonValue &stored) const
{
    switch (m_kind) {
    case Kind::Text:
    case Kind::Address:
        return stored.isString();
    case Kind::Flag:
    case Kind::Choice:
    case Kind::Integer:
        return isWholeNumber(stored);
    case Kind::Share:
    case Kind::Percent:
        return stored.isDouble();
    }
    return false;
}

// True when the field shows `value`, give or take the rounding to its decimals.
bool SettingRow::showNumber(double value)
{
    auto *field = static_cast<QDoubleSpinBox *>(m_fields[0]);
    if (!std::isfinite(value)) {
        field->setValue(0);
        return false;
    }
    field->setValue(value);
    const double halfStep = 0.5 * std::pow(10.0, -field->decimals());
    return std::abs(field->value() - value) <= halfStep + 1e-9 * std::abs(value);
}

bool SettingRow::isOn() const
{
    if (auto *combo = qobject_cast<QComboBox *>(m_fields[0]))
        return combo->currentIndex() == 0;
    return static_cast<QAbstractButton *>(m_fields[0])->isChecked();
}

void SettingRow::setOn(bool on)
{
    if (auto *combo = qobject_cast<QComboBox *>(m_fields[0]))
        combo->setCurrentIndex(on ? 0 : 1);
    else if (!on && m_fields.size() > 1)
        static_cast<QAbstractButton *>(m_fields[1])->setChecked(true);
    else
        static_cast<QAbstractButton *>(m_fields[0])->setChecked(on);
}

Ipv4Parts SettingRow::shownParts() const
{
    Ipv4Parts parts{};
    for (int i = 0; i < m_fields.size(); ++i)
        parts[i] = static_cast<QSpinBox *>(m_fields[i])->value();
    return parts;
}

void SettingRow::keepShown()
{
    if (isTextKind())
        m_loadedText = shownText();
    else
        m_loadedNumber = shownNumber();
    m_taken = false;
}

void SettingRow::connectEdits(QObject *context, const std::function<void()> &edited) const
{
    for (QWidget *field : m_fields) {
        if (auto *edit = qobject_cast<QLineEdit *>(field))
            QObject::connect(edit, &QLineEdit::textChanged, context, edited);
        else if (auto *button = qobject_cast<QAbstractButton *>(field))
            QObject::connect(button, &QAbstractButton::toggled, context, edited);
        else if (auto *combo = qobject_cast<QComboBox *>(field))
            QObject::connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), context,
                             edited);
        else if (auto *box = qobject_cast<QDoubleSpinBox *>(field))
            QObject::connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), context,
                             edited);
        else if (auto *box = qobject_cast<QSpinBox *>(field))
            QObject::connect(box, QOverload<int>::of(&QSpinBox::valueChanged), context, edited);
    }
}

void SettingRow::takeEdit()
{
    if (!m_marked)
        return;
    setMarked(false, QJsonValue());
    m_taken = true;
}

bool SettingRow::isTextKind() const
{
    return m_kind == Kind::Text || m_kind == Kind::Address;
}

// Numbers are compared exactly: any difference, however small, counts.
double SettingRow::shownNumber() const
{
    switch (m_kind) {
    case Kind::Flag:
        return isOn();
    case Kind::Choice:
        return static_cast<QComboBox *>(m_fields[0])->currentIndex();
    case Kind::Integer:
        return static_cast<QSpinBox *>(m_fields[0])->value();
    case Kind::Share:
        return FieldPresentation::ratio(static_cast<QDoubleSpinBox *>(m_fields[0]));
    case Kind::Percent:
        return static_cast<QDoubleSpinBox *>(m_fields[0])->value();
    case Kind::Text:
    case Kind::Address:
        break;
    }
    return 0;
}

QString SettingRow::shownText() const
{
    if (m_kind == Kind::Address)
        return ConfigRecord::formatIpv4(shownParts());
    return static_cast<QLineEdit *>(m_fields[0])->text();
}

// A bare path only asks, so an emptied name cannot be sent; a code needs an item.
bool SettingRow::canBeSent() const
{
    if (m_kind == Kind::Text)
        return !shownText().simplified().isEmpty();
    if (m_kind == Kind::Choice) {
        const int index = static_cast<QComboBox *>(m_fields[0])->currentIndex();
        return index >= 0 && index < m_codes.size();
    }
    return true;
}

bool SettingRow::isChanged() const
{
    if (!canBeSent())
        return false;
    if (m_taken)
        return true;
    if (m_marked)
        return false;
    return isTextKind() ? shownText() != m_loadedText : shownNumber() != m_loadedNumber;
}

QString SettingRow::valueText() const
{
    switch (m_kind) {
    case Kind::Text:
    case Kind::Address:
        return shownText();
    case Kind::Flag:
        return isOn() ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Choice:
        return QString::number(
            m_codes.value(static_cast<QComboBox *>(m_fields[0])->currentIndex()));
    case Kind::Integer:
        return QString::number(static_cast<QSpinBox *>(m_fields[0])->value());
    case Kind::Share:
        return WireFormat::formatNumber(static_cast<QDoubleSpinBox *>(m_fields[0])->value());
    case Kind::Percent:
        return WireFormat::formatNumber(static_cast<QDoubleSpinBox *>(m_fields[0])->value() / 100);
    }
    return QString();
}

// A red frame, and the stored value in the tool tip in place of the form's.
void SettingRow::setMarked(bool marked, const QJsonValue &stored)
{
    if (!marked && !m_marked)
        return;
    m_marked = marked;
    const QString toolTip =
        marked ? DeviceText::toolTip(tr("Stored value: %1").arg(storedText(stored))) : QString();
    for (int i = 0; i < m_fields.size(); ++i) {
        QWidget *field = m_fields[i];
        field->setToolTip(marked ? toolTip : m_formToolTips[i]);
        StoredValueFrame::setShown(field, marked);
    }
}
