#include "fieldpresentation.h"

#include "unitconversion.h"

#include <QDoubleSpinBox>

FieldPresentation FieldPresentation::force(double limitNewtons, bool metric)
{
    FieldPresentation shown;
    shown.decimals = 1;
    shown.singleStep = 0.1;
    shown.suffix = metric ? tr(" N") : tr(" Lb");
    shown.maximum = UnitConversion::shownForce(limitNewtons, metric);
    shown.minimum = -shown.maximum;
    return shown;
}

FieldPresentation FieldPresentation::payload(double limitKilograms, bool metric)
{
    FieldPresentation shown;
    shown.decimals = metric ? 2 : 1;
    shown.suffix = metric ? tr(" Kg") : tr(" Lb");
    shown.maximum = UnitConversion::shownWeight(limitKilograms, metric);
    return shown;
}

FieldPresentation FieldPresentation::position(double limitMillimetres, bool metric)
{
    FieldPresentation shown;
    shown.decimals = metric ? 1 : 2;
    shown.singleStep = metric ? 0.1 : 0.01;
    shown.suffix = metric ? tr(" mm") : tr(" in");
    shown.maximum = UnitConversion::shownPosition(limitMillimetres, metric);
    return shown;
}

double FieldPresentation::ratio(const QDoubleSpinBox *field)
{
    return field->maximum() != 0 ? field->value() / field->maximum() : field->value();
}

void FieldPresentation::setRatio(QDoubleSpinBox *field, double ratio)
{
    field->setValue(field->maximum() != 0 ? field->maximum() * ratio : ratio);
}

FieldPresentation FieldPresentation::withoutStep() const
{
    FieldPresentation shown = *this;
    shown.singleStep.reset();
    return shown;
}

void FieldPresentation::applyTo(QDoubleSpinBox *field) const
{
    if (singleStep)
        field->setSingleStep(*singleStep);
    // Decimals first: the field rounds its range to them.
    field->setDecimals(decimals);
    field->setRange(minimum, maximum);
    field->setSuffix(suffix);
}
