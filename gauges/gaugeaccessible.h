#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class CircularGauge;

// What assistive technology learns of a gauge: its name, what it shows in words, and its
// measured value on the scale as a number. The value cannot be set this way: a command is the
// operator's click or key.
class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit GaugeAccessible(CircularGauge *gauge);

    // Makes every gauge answer with this interface; once is enough, more do nothing.
    static void installFactory();

    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    static QAccessibleInterface *create(const QString &className, QObject *object);
    const CircularGauge *gauge() const;
};
