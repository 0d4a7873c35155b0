#include "commandcirculargauge.h"

#include "gaugeslog.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace {

constexpr int longPressMs = 700;
constexpr int repeatDelayMs = 700;
constexpr int repeatIntervalMs = 100;

const char *const buttonStyle =
    "color: #FFF;"
    "background-color: qlineargradient(x1:0 y1:0, x2:0 y2:1, stop:0 #0A0, stop:1 #020);"
    "border-style: solid;border-color: #AAA;border-width: 1px;border-radius: 5px;";
// The minus glyph sits low in its box; lift it to line up with the plus.
const char *const minusPadding = "padding: -3px 0px 3px 0px;";

// Rounds x to a whole multiple of step, halves away from zero.
double roundToStep(double x, double step)
{
    return std::round(x / step) * step;
}

} // namespace

CommandCircularGauge::CommandCircularGauge(QWidget *parent)
    : CircularGauge(parent)
    , plusButton(
          makeStepButton(QStringLiteral("+"), tr("Raise command"), QLatin1String(buttonStyle)))
    , minusButton(makeStepButton(QStringLiteral("-"), tr("Lower command"),
                                 QLatin1String(buttonStyle) + QLatin1String(minusPadding)))
    , longPressTimer(new QTimer(this))
{
    setCommandValue(0.0);
    setCommandFocus(false);

    connect(plusButton, &QPushButton::pressed, this, &CommandCircularGauge::bumpPlus);
    connect(minusButton, &QPushButton::pressed, this, &CommandCircularGauge::bumpMinus);

    longPressTimer->setSingleShot(true);
    longPressTimer->setTimerType(Qt::PreciseTimer);
    connect(longPressTimer, &QTimer::timeout, this, &CommandCircularGauge::onLongPress);
}

QPushButton *CommandCircularGauge::makeStepButton(const QString &text, const QString &name,
                                                  const QString &styleSheet)
{
    auto *button = new QPushButton(text, this);
    button->setAccessibleName(name);
    button->setAutoRepeat(true);
    button->setAutoRepeatInterval(repeatIntervalMs);
    button->setAutoRepeatDelay(repeatDelayMs);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(styleSheet);
    return button;
}

void CommandCircularGauge::setCommandValue(double v)
{
    const double c = roundToStep(v, commandStep);
    // The operator's own step past the end shows the end; only the device's report of a
    // command beyond the scale is out of range.
    placeCommand(c);
    commandBeyondScale = false;
    announceValueChange();
    emit commandChanged(c);
}

// The dial cannot show a reported command beyond its scale, and showing the scale's end as
// its text would show a command the device never reported: the text says so, and the needle
// rests at the end on the command's side.
void CommandCircularGauge::updateCommandValue(double value)
{
    placeCommand(value);
    commandBeyondScale = !(value >= minimum && value <= maximum);
    announceValueChange();
}

void CommandCircularGauge::placeCommand(double value)
{
    commandValue = roundToStep(qBound(minimum, value, maximum), commandStep);
    update();
}

QString CommandCircularGauge::commandText() const
{
    return commandBeyondScale ? tr("OUT OF RANGE") : valueText(commandValue);
}

QString CommandCircularGauge::accessibleValue() const
{
    QStringList words{tr("%1 measured").arg(valueText(value))};
    if (commandFocus)
        words << tr("command %1").arg(commandText()) << m_modeName;
    return words.join(QStringLiteral(", "));
}

void CommandCircularGauge::setCommandFocus(bool value)
{
    plusButton->setVisible(value);
    minusButton->setVisible(value);
    commandFocus = value;
    update();
    announceValueChange();
}

void CommandCircularGauge::bumpPlus()
{
    if (commandFocus)
        setCommandValue(commandValue + commandStep);
}

void CommandCircularGauge::bumpMinus()
{
    if (commandFocus)
        setCommandValue(commandValue - commandStep);
}

void CommandCircularGauge::onLongPress()
{
    // The host may have switched to command mode while the button was held.
    if (commandFocus)
        return;
    qCDebug(lcGauges) << "longPress" << title;
    emit longPress();
}

bool CommandCircularGauge::isRecent(const QElapsedTimer &timer)
{
    return timer.isValid() && !timer.hasExpired(activatingPressMs);
}

bool CommandCircularGauge::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        mouseInside = true;
        break;
    case QEvent::Leave:
        mouseInside = false;
        break;
    case QEvent::WindowActivate:
        // A click on this gauge that activates the window must not act on the gauge. But the
        // window also becomes active without a click (a box closing over the gauge, the
        // keyboard), and under X11 the activation may follow the press that caused it: only a
        // press within a moment of the activation is taken for the activating one.
        if (mouseInside && !isRecent(m_pressedAt))
            m_activatedAt.start();
        else
            m_activatedAt.invalidate();
        break;
    default:
        break;
    }
    return CircularGauge::event(event);
}

void CommandCircularGauge::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    const bool activating = isRecent(m_activatedAt);
    m_activatedAt.invalidate();
    m_pressedAt.start();
    if (activating)
        return;
    if (!commandFocus) {
        longPressTimer->start(longPressMs);
        return;
    }
    const QPoint at = event->pos(); // the local position, each coordinate rounded
    setCommandValue(pointToValue(at.x(), at.y()));
}

void CommandCircularGauge::mouseReleaseEvent(QMouseEvent *)
{
    longPressTimer->stop();
}

void CommandCircularGauge::resizeEvent(QResizeEvent *event)
{
    CircularGauge::resizeEvent(event);
    const int side = static_cast<int>(0.1 * qMin(width(), height()));
    const QFont font = gaugeFont(static_cast<int>(0.5 * side));
    const int y = static_cast<int>(0.5 * height() + 3 * side);
    for (QPushButton *button : {plusButton, minusButton}) {
        button->setFont(font);
        button->resize(side, side);
    }
    plusButton->move(static_cast<int>(0.5 * width()), y);
    minusButton->move(static_cast<int>(0.5 * width() - side), y);
}

void CommandCircularGauge::drawValueText(QPainter *painter)
{
    painter->save();
    const int s = valueFontSize();
    painter->setFont(gaugeFont(static_cast<int>(0.8 * s)));
    painter->setPen(QColor(QLatin1String(commandFocus ? "#8C8" : "#888")));
    const QRect captionBox(static_cast<int>(centerX - 4 * s), static_cast<int>(centerY + 0.75 * s),
                           8 * s, static_cast<int>(1.5 * s));
    painter->drawText(captionBox, Qt::AlignCenter, commandFocus ? tr("Command") : tr("Measured"));
    if (commandFocus)
        drawValueBoxText(painter, commandText(), !commandBeyondScale,
                         QColor(QStringLiteral("#0C0")));
    painter->restore();
    if (!commandFocus)
        CircularGauge::drawValueText(painter);
}

void CommandCircularGauge::drawNeedle(QPainter *painter)
{
    CircularGauge::drawNeedle(painter);
    if (!commandFocus)
        return;
    painter->save();
    const double a = tickInset;
    drawNeedleShape(painter, valueToDegrees(commandValue), a / 4, a / 16, QColor(0, 160, 0, 120),
                    QColor(0, 240, 0, 120));
    painter->restore();
}
