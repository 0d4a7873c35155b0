#pragma once

#include <QCoreApplication>
#include <QString>

#include <optional>

class QDoubleSpinBox;

// How a force, weight or position field shows its value in one unit system: decimals, step,
// suffix and range. The limits come in held units (N, kg, mm) and are converted here.
struct FieldPresentation
{
    Q_DECLARE_TR_FUNCTIONS(FieldPresentation)

public:
    static FieldPresentation force(double limitNewtons, bool metric);
    static FieldPresentation payload(double limitKilograms, bool metric);
    static FieldPresentation position(double limitMillimetres, bool metric);

    // Steps per unit of the two position limit sliders.
    static int limitSliderScale(bool metric) { return metric ? 10 : 100; }

    // A value's share of its field's maximum. A field whose limit could not be read has the
    // range 0 to 0 and no share of it; its value stands in.
    static double ratio(const QDoubleSpinBox *field);
    static void setRatio(QDoubleSpinBox *field, double ratio);

    FieldPresentation withoutStep() const;

    // Everything but the value; the field clamps its value to the new range.
    void applyTo(QDoubleSpinBox *field) const;

    int decimals = 1;
    std::optional<double> singleStep; // none: the field keeps its own
    QString suffix;
    double minimum = 0;
    double maximum = 0;
};
