#pragma once

class QDoubleSpinBox;
class QSlider;

// Keeps a value field and the slider under it showing the same value, the slider in whole steps
// of 1/scale. Each direction leaves the other side alone when it already shows the value, so a
// typed value is never moved to the slider's coarser (truncated) position.
class FieldSlider
{
public:
    FieldSlider() = default;
    FieldSlider(QDoubleSpinBox *field, QSlider *slider, int scale);

    int scale() const { return m_scale; }
    void setScale(int stepsPerUnit) { m_scale = stepsPerUnit; }

    // While suspended the two directions below do nothing.
    bool isSuspended() const { return m_suspended; }
    void setSuspended(bool suspended) { m_suspended = suspended; }

    void fieldToSlider();
    void sliderToField();
    // Single step 1, page step 10, range from the field's maximum, position from `value`.
    void rescaleSlider(double value);

    static int sliderPosition(double value, int scale);

private:
    bool sliderShowsField() const;

    QDoubleSpinBox *m_field = nullptr;
    QSlider *m_slider = nullptr;
    int m_scale = 10;
    bool m_suspended = false;
};
