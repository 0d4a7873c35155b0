#include "fieldslider.h"

#include <QDoubleSpinBox>
#include <QSlider>

#include <cmath>

FieldSlider::FieldSlider(QDoubleSpinBox *field, QSlider *slider, int scale)
    : m_field(field)
    , m_slider(slider)
    , m_scale(scale)
{}

// Truncated toward zero, as the device's own panels place their sliders.
int FieldSlider::sliderPosition(double value, int scale)
{
    return int(std::trunc(value * scale));
}

// 1.97 in at 100 steps per inch lands on 196 by truncation, 197 by rounding: either shows it.
bool FieldSlider::sliderShowsField() const
{
    const double exact = m_field->value() * m_scale;
    const int position = m_slider->value();
    return position == int(std::trunc(exact)) || position == int(std::lround(exact));
}

void FieldSlider::fieldToSlider()
{
    if (m_suspended || sliderShowsField())
        return;
    m_slider->setValue(sliderPosition(m_field->value(), m_scale));
}

void FieldSlider::sliderToField()
{
    if (m_suspended || sliderShowsField())
        return;
    m_field->setValue(double(m_slider->value()) / m_scale);
}

void FieldSlider::rescaleSlider(double value)
{
    m_slider->setSingleStep(1);
    m_slider->setPageStep(10);
    m_slider->setMaximum(sliderPosition(m_field->maximum(), m_scale));
    m_slider->setValue(sliderPosition(value, m_scale));
}
