#include "gaugeaccessible.h"

#include "circulargauge.h"

GaugeAccessible::GaugeAccessible(CircularGauge *gauge)
    : QAccessibleWidget(gauge, QAccessible::Dial)
{}

void GaugeAccessible::installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(&GaugeAccessible::create);
        return true;
    }();
    Q_UNUSED(installed)
}

// Asked for each class of an object's hierarchy in turn, from the most derived one: every
// subclass of the gauge is answered here.
QAccessibleInterface *GaugeAccessible::create(const QString &className, QObject *object)
{
    if (className != QLatin1String("CircularGauge"))
        return nullptr;
    return new GaugeAccessible(static_cast<CircularGauge *>(object));
}

QString GaugeAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return gauge()->accessibleValue();
    return QAccessibleWidget::text(t);
}

void *GaugeAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant GaugeAccessible::currentValue() const
{
    return gauge()->value;
}

void GaugeAccessible::setCurrentValue(const QVariant &) {}

QVariant GaugeAccessible::maximumValue() const
{
    return gauge()->maximum;
}

QVariant GaugeAccessible::minimumValue() const
{
    return gauge()->minimum;
}

QVariant GaugeAccessible::minimumStepSize() const
{
    return 0.0;
}

const CircularGauge *GaugeAccessible::gauge() const
{
    return static_cast<const CircularGauge *>(object());
}
