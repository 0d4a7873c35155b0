#pragma once

#include <QImage>

// The "searching" animation: a green sweep turning over a round scope, with a
// few echoes that light up as it passes and then fade.
class RadarAnimation
{
public:
    static constexpr int frameCount = 30;
    static constexpr int frameDelayMs = 60;

    static QImage frame(int index, QSize size);
};
