#pragma once

#include "circulargauge.h"

#include <QElapsedTimer>

class QPushButton;
class QTimer;

// Round gauge with an operator command. In measured mode a long press asks the host to switch
// the control mode; in command mode a click on the dial or the "+" and "-" buttons set the
// command, shown in green with its own needle.
class CommandCircularGauge : public CircularGauge
{
    Q_OBJECT

public:
    explicit CommandCircularGauge(QWidget *parent = nullptr);

    // Sets the command from the operator and announces it, rounded to commandStep but not
    // clamped: a step past the end of the scale announces a value beyond it.
    void setCommandValue(double v);

    // The command text: the command, or "OUT OF RANGE" while the device reports one beyond
    // the scale.
    QString commandText() const;
    // Measured value, and in command mode the command and the mode, for assistive technology.
    QString accessibleValue() const override;

    double commandStep = 1.0; // every command is a whole multiple of it
    double commandValue = 0;  // the command shown, always on the scale
    // The device reported a command beyond the scale: its needle rests at the end.
    bool commandBeyondScale = false;
    bool commandFocus = false;
    bool mouseInside = false;
    // A press this close to the window's activation, with the pointer over the gauge, is the
    // click that activated the window.
    static constexpr int activatingPressMs = 200;
    QPushButton *plusButton = nullptr;
    QPushButton *minusButton = nullptr;
    QTimer *longPressTimer = nullptr;

signals:
    void commandChanged(double value);
    void longPress();

public slots:
    // A command reported back by the device: shown, never announced.
    void updateCommandValue(double value);
    void setCommandFocus(bool value);
    void bumpPlus();
    void bumpMinus();
    void onLongPress();

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void drawValueText(QPainter *painter) override;
    void drawNeedle(QPainter *painter) override;

    // The control mode in which this gauge takes the command, in words.
    QString m_modeName;

private:
    void placeCommand(double value);
    static bool isRecent(const QElapsedTimer &timer);
    QPushButton *makeStepButton(const QString &text, const QString &name,
                                const QString &styleSheet);

    QElapsedTimer m_activatedAt; // valid while the activating press is still to come
    QElapsedTimer m_pressedAt;
};
