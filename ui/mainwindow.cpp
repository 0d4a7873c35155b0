#include "mainwindow.h"

#include "configdialog.h"
#include "consolewindow.h"
#include "devicechooser.h"
#include "devicetext.h"
#include "devicevocabulary.h"
#include "parameterfiledialogs.h"
#include "parameterimport.h"
#include "pictureiconengine.h"
#include "safefile.h"
#include "trendwindow.h"
#include "uilog.h"

#include <QBuffer>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <limits>
#include <utility>

namespace {

// A weighing runs from the first negative payload weight until the next zero or positive one.
// There is only one dashboard, so this belongs to the program rather than to a window.
bool weighingInProgress = false;

const char *const boxTitle = QT_TRANSLATE_NOOP("MainWindow", "VKT Dashboard");
const char *const connectedColor = "#0C0";
const char *const noToolColor = "#CC0";

const char *const weighingErrorText = QT_TRANSLATE_NOOP(
    "MainWindow",
    "<b>Error weighting payload!</b><br>Possible causes:<ul><li> Insufficient air "
    "pressure</li><li> Excess payload weight</li><li> Carriage position unstable</li></ul>");

// A payload weight the label shows as a number: "99999.99 Kg" still fits it. No actuator of
// this family carries more; a larger number could only be shown cut off.
constexpr double shownPayloadLimit = 1e5;
// Characters of a device's error text the box shows; all of it is under its details.
constexpr int boxTextChars = 500;

QString boxTitleText()
{
    return MainWindow::tr(boxTitle);
}

void showCritical(QWidget *parent, const QString &text)
{
    QMessageBox::critical(parent, boxTitleText(), text);
}

void showInformation(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, boxTitleText(), text);
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setupUi(this);
    // The picture is 512 x 512, a megabyte decoded, and shown nowhere at that size: the title
    // shows it within 50 x 50, scaled down once here as the label would scale it, and the window
    // system takes the window icon once, when the window is made; the decoded picture is kept
    // for that and let go then.
    const QString pictureFile = QStringLiteral(":/vktdash.png");
    const QImage picture(pictureFile);
    const QSize shownSize = iconLabel->maximumSize() * devicePixelRatioF();
    iconLabel->setPixmap(QPixmap::fromImage(
        picture.scaled(shownSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    setWindowIcon(QIcon(new PictureIconEngine(pictureFile, picture)));
    // Both show the device's own words once connected; set up for them from the start, so that
    // the layout is the same before and after.
    DeviceText::show(toolTypeLabel, toolTypeLabel->text());
    DeviceText::show(connectionButton, connectionButton->text());

    QPalette ground = palette();
    ground.setBrush(QPalette::All, QPalette::Window, QBrush(QColor("#222")));
    setAutoFillBackground(true);
    setPalette(ground);

    connectSignals();
    assignShortcuts();

    fileOpenButton->setEnabled(false);
    fileSaveButton->setEnabled(false);
    consoleButton->setEnabled(false);
}

// The link's tear-down still resets the display, but a weighing cut short by closing the
// program is no error to report on a window that is going away.
MainWindow::~MainWindow()
{
    weighingInProgress = false;
}

void MainWindow::connectSignals()
{
    connect(fileOpenButton, &QToolButton::clicked, this, &MainWindow::onFileOpenButtonClick);
    connect(fileSaveButton, &QToolButton::clicked, this, &MainWindow::onFileSaveButtonClick);
    connect(consoleButton, &QToolButton::clicked, this, &MainWindow::onConsoleButtonClick);
    connect(setupButton, &QToolButton::clicked, this, &MainWindow::onSetupButtonClick);
    connect(connectionButton, &QPushButton::clicked, this, &MainWindow::onConnectionButtonClick);
    connect(trendButton, &QToolButton::clicked, this, &MainWindow::onTrendButtonClick);

    connect(weighPayloadButton, &QPushButton::clicked, &remoteDevice, &RemoteDevice::weighPayload);
    connect(forceGauge, &ForceGauge::commandChanged, &remoteDevice, &RemoteDevice::commandForce);
    connect(forceGauge, &ForceGauge::longPress, this, &MainWindow::onForceLongPress);
    connect(positionGauge, &PositionGauge::commandChanged, &remoteDevice,
            &RemoteDevice::commandPosition);
    connect(positionGauge, &PositionGauge::longPress, this, &MainWindow::onPositionLongPress);
    connect(&remoteDevice, &RemoteDevice::deviceConnect, this, &MainWindow::onDeviceConnect);
    connect(&remoteDevice, &RemoteDevice::deviceDisconnect, this, &MainWindow::onDeviceDisconnect);
    connect(&remoteDevice, &RemoteDevice::toolComChanged, this, &MainWindow::onToolChanged);
    connect(&remoteDevice, &RemoteDevice::weighError, this, &MainWindow::onWeighError);
    connect(&remoteDevice, &RemoteDevice::metricUnitsChanged, this,
            &MainWindow::onMetricUnitsChanged);
    connect(&remoteDevice, &RemoteDevice::actualForceChanged, forceGauge, &ForceGauge::setValue);
    connect(&remoteDevice, &RemoteDevice::actualPositionChanged, positionGauge,
            &PositionGauge::setValue);
    connect(&remoteDevice, &RemoteDevice::accelGravityChanged, accelerationGauge,
            &AccelerationGauge::setValue);
    connect(&remoteDevice, &RemoteDevice::commandForceChanged, forceGauge,
            &ForceGauge::updateCommandValue);
    connect(&remoteDevice, &RemoteDevice::commandPositionChanged, positionGauge,
            &PositionGauge::updateCommandValue);
    connect(&remoteDevice, &RemoteDevice::payloadWeightChanged, this,
            &MainWindow::setPayloadWeight);
    connect(&remoteDevice, &RemoteDevice::controlModeChanged, this, &MainWindow::setControlMode);
    connect(&remoteDevice, &RemoteDevice::posLimitPositionChanged, positionGauge,
            &PositionGauge::setPosLimit);
    connect(&remoteDevice, &RemoteDevice::negLimitPositionChanged, positionGauge,
            &PositionGauge::setNegLimit);
}

// The title row's keys act on their press, as every shortcut does; the window's own keys act on
// release and leave presses alone. Each button's tool tip names its key.
void MainWindow::assignShortcuts()
{
    const std::pair<QToolButton *, QKeySequence> shortcuts[] = {
        {fileOpenButton, QKeySequence(QKeySequence::Open)},
        {fileSaveButton, QKeySequence(QKeySequence::Save)},
        {consoleButton, QKeySequence(Qt::CTRL | Qt::Key_K)},
        {setupButton, preferencesKeys()},
        {trendButton, QKeySequence(Qt::CTRL | Qt::Key_T)},
    };
    for (const auto &[button, keys] : shortcuts) {
        button->setShortcut(keys);
        button->setToolTip(
            tr("%1 (%2)").arg(button->toolTip(), keys.toString(QKeySequence::NativeText)));
    }
}

// The desktop's key for settings; the usual Ctrl+, where it has none (X11 desktops mostly).
QKeySequence MainWindow::preferencesKeys()
{
    const QKeySequence desktops(QKeySequence::Preferences);
    return desktops.isEmpty() ? QKeySequence(Qt::CTRL | Qt::Key_Comma) : desktops;
}

// The file name for a parameter-file command; empty when there is no device to serve it or the
// operator cancelled.
QString MainWindow::askParameterFileName(QString (*ask)(QWidget *parent))
{
    if (!remoteDevice.isConnected()) {
        showInformation(this, tr("VKT is not connected!"));
        return QString();
    }
    return ask(this);
}

void MainWindow::onFileOpenButtonClick()
{
    const QString fileName = askParameterFileName(&ParameterFileDialogs::askOpenFileName);
    if (fileName.isEmpty())
        return;

    // Read whole before anything is sent, and only from a regular file: a named pipe or a
    // device node would hold the window until something wrote to it.
    QByteArray text;
    QString reason;
    if (!SafeFile::read(fileName, ParameterImport::fileLimitBytes + 1, &text, &reason)) {
        showCritical(this, tr("Error opening file!") + QLatin1Char('\n') + reason);
        return;
    }
    QBuffer file(&text);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    QStringList refused;
    const bool loaded = remoteDevice.loadParameters(&file, &refused);
    if (loaded)
        remoteDevice.saveConfig();

    // An exchange without reply ends the link, and the remaining commands are never sent:
    // neither a good nor a bad file can be claimed then.
    if (!remoteDevice.isConnected()) {
        showCritical(this, tr("Connection lost: configuration not saved!"));
    } else if (!refused.isEmpty()) {
        // The device's own words, as plain text: a box would read markup in them.
        QMessageBox box(QMessageBox::Critical, boxTitleText(),
                        ParameterImport::refusalReport(refused).join(QLatin1Char('\n')),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    } else if (!loaded) {
        showCritical(this, tr("Bad configuration file format!"));
    } else {
        showInformation(this, tr("Configuration downloaded and saved!"));
    }
}

void MainWindow::onFileSaveButtonClick()
{
    const QString fileName = askParameterFileName(&ParameterFileDialogs::askSaveFileName);
    if (fileName.isEmpty())
        return;

    QBuffer document;
    document.open(QIODevice::WriteOnly | QIODevice::Text);
    if (!remoteDevice.saveParameters(&document)) {
        showCritical(this, tr("Error reading configuration from device!"));
        return;
    }
    // Put in place only when complete, so a failed save never costs the operator the file
    // that was there before.
    QString reason;
    if (!SafeFile::write(fileName, document.data(), &reason))
        showCritical(this, tr("Error saving file!") + QLatin1Char('\n') + reason);
}

void MainWindow::onConsoleButtonClick()
{
    qCDebug(lcUi) << "onConsoleButtonClick";
    ConsoleWindow console(&remoteDevice);
    console.exec();
}

// A dialog of its own for every opening: it reads the device afresh each time.
void MainWindow::onSetupButtonClick()
{
    qCDebug(lcUi) << "onSetupButtonClick";
    ConfigDialog dialog(&remoteDevice);
    dialog.exec();
}

void MainWindow::onConnectionButtonClick()
{
    qCDebug(lcUi) << "onConnectionButtonClick";
    if (remoteDevice.isConnected())
        remoteDevice.disconnectDevice();
    DeviceChooser::chooseAndConnect(remoteDevice, this);
}

void MainWindow::onForceLongPress()
{
    qCDebug(lcUi) << "onForceLongPress";
    if (remoteDevice.isConnected())
        remoteDevice.sendCommand(DevicePath::forceMode);
}

void MainWindow::onPositionLongPress()
{
    qCDebug(lcUi) << "onPositionLongPress";
    if (remoteDevice.isConnected())
        remoteDevice.sendCommand(DevicePath::positionMode);
}

void MainWindow::onDeviceConnect()
{
    qCDebug(lcUi) << "onDeviceConnect";
    const QString name = remoteDevice.isConnected()
                             ? remoteDevice.deviceIdRecord().value(RecordKey::deviceName).toString()
                             : tr("NONE");
    DeviceText::show(connectionButton, name);
    connectionButton->setStyleSheet(QStringLiteral("background-color: ") + connectedColor);
    fileOpenButton->setEnabled(true);
    fileSaveButton->setEnabled(true);
    consoleButton->setEnabled(true);
}

void MainWindow::onDeviceDisconnect()
{
    qCDebug(lcUi) << "onDeviceDisconnect";
    forceGauge->setValue(0);
    forceGauge->updateCommandValue(0);
    positionGauge->setValue(0);
    positionGauge->setPosLimit(0);
    positionGauge->setNegLimit(0);
    positionGauge->updateCommandValue(0);
    accelerationGauge->setValue(0);
    DeviceText::show(connectionButton, tr("CONNECT"));
    connectionButton->setStyleSheet(QString());
    fileOpenButton->setEnabled(false);
    fileSaveButton->setEnabled(false);
    consoleButton->setEnabled(false);
}

void MainWindow::onToolChanged(int connected)
{
    qCDebug(lcUi).nospace() << "onToolChanged(" << connected << ")";
    if (connected == 0) {
        toolTypeLabel->setStyleSheet(QStringLiteral("background-color: ") + noToolColor);
        DeviceText::show(toolTypeLabel, tr("NONE"));
        forceGauge->setMaxForce(0.0);
        forceGauge->unitText.clear();
        forceGauge->setCommandFocus(false);
        positionGauge->setMaxPosition(0.0);
        positionGauge->unitText.clear();
        positionGauge->setCommandFocus(false);
        setPayloadWeight(0.0);
        return;
    }

    toolTypeLabel->setStyleSheet(QStringLiteral("background-color: ") + connectedColor);
    const QJsonObject &tool = remoteDevice.toolIdRecord();
    DeviceText::show(toolTypeLabel,
                     tool.isEmpty() ? tr("NONE") : tool.value(RecordKey::modelName).toString());
    applyToolRatings();
    setForceCommandFocus(stateControlMode() & ControlModeBit::forceMode);
    setPayloadWeight(remoteDevice.stateRecord().value(RecordKey::payloadWeight).toDouble());
}

// The device's words, shown as they are: never as rich text, and a long text shortened in the
// box with all of it under the details.
void MainWindow::onWeighError(QString errorStr)
{
    QMessageBox box(QMessageBox::Critical, boxTitleText(), errorStr, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    if (errorStr.size() > boxTextChars) {
        box.setText(errorStr.left(boxTextChars) + QChar(0x2026));
        box.setDetailedText(errorStr);
    }
    box.exec();
}

void MainWindow::onMetricUnitsChanged(int metricUnits)
{
    forceGauge->unitText = metricUnits ? QStringLiteral("N") : QStringLiteral("Lb");
    positionGauge->unitText = metricUnits ? QStringLiteral("mm") : QStringLiteral("in");
    applyToolRatings();
}

void MainWindow::setControlMode(int mode)
{
    qCDebug(lcUi).nospace() << "setControlMode:" << mode;
    // The link stores the new state before it signals, so the record is the authority here.
    if (stateControlMode() & ControlModeBit::forceMode) {
        forceGauge->setCommandFocus(true);
        forceGaugeHelp->setText(tr("CLICK to set Force"));
        positionGauge->setCommandFocus(false);
        positionGaugeHelp->setText(tr("CLICK + HOLD for Position Mode"));
    } else {
        positionGauge->setCommandFocus(true);
        positionGaugeHelp->setText(tr("CLICK to set Position"));
        forceGauge->setCommandFocus(false);
        forceGaugeHelp->setText(tr("CLICK + HOLD for Force Mode"));
    }
    forceGauge->setSoftTouchActive(stateControlMode() & ControlModeBit::softTouch);
}

void MainWindow::setPayloadWeight(double value)
{
    if (value == 0) {
        payloadWeight->setStyleSheet(QStringLiteral("background-color: #C00; color: white;"));
        payloadWeight->setText(tr("UNKNOWN"));
        // Every box here opens from the event loop once the state signal has returned, so
        // the poll that brought the weight ends and polling goes on behind the box.
        if (weighingInProgress)
            QTimer::singleShot(0, this, [this] { showCritical(this, tr(weighingErrorText)); });
        weighingInProgress = false;
    } else if (value < 0) {
        payloadWeight->setStyleSheet(QStringLiteral("background-color: #C00; color: black;"));
        payloadWeight->setText(tr("WEIGHING"));
        weighingInProgress = true;
        weighPayloadButton->setEnabled(false);
        return;
    } else {
        payloadWeight->setStyleSheet(QStringLiteral("background-color: #0C0; color: black;"));
        const bool metric = remoteDevice.stateRecord().value(RecordKey::metricUnits).toInt() != 0;
        if (value >= shownPayloadLimit)
            payloadWeight->setText(tr("OUT OF RANGE"));
        else
            payloadWeight->setText(metric ? QString::asprintf("%0.2lf Kg", value)
                                          : QString::asprintf("%0.1lf Lb", value));
        if (weighingInProgress && !m_weighingQuestionPending) {
            m_weighingQuestionPending = true;
            QTimer::singleShot(0, this, &MainWindow::askToSaveWeighedPayload);
        }
    }
    updateWeighButton();
}

// Non-modal and one at a time: a second click brings the open one to the front.
void MainWindow::onTrendButtonClick()
{
    qCDebug(lcUi) << "onTrendButtonClick";
    if (!m_trendWindow) {
        m_trendWindow = new TrendWindow(&m_trendFeed, this);
        placeBeside(m_trendWindow);
    }
    m_trendWindow->show();
    m_trendWindow->raise();
    m_trendWindow->activateWindow();
}

// Right of the dashboard, or under it, where the screen has room, else in the screen's far
// corner: a desktop without a window manager would put a new window over the gauges.
void MainWindow::placeBeside(QWidget *window) const
{
    const QRect screen = this->screen()->availableGeometry();
    const QRect dashboard = frameGeometry();
    const QSize size = window->size();
    for (const QPoint &at :
         {dashboard.topRight() + QPoint(1, 0), dashboard.bottomLeft() + QPoint(0, 1)}) {
        if (screen.contains(QRect(at, size))) {
            window->move(at);
            return;
        }
    }
    window->move(screen.bottomRight() - QPoint(size.width(), size.height()) + QPoint(1, 1));
}

void MainWindow::askToSaveWeighedPayload()
{
    if (QMessageBox::question(this, boxTitleText(), tr("Save new payload weight as default?"),
                              QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes) {
        remoteDevice.saveConfig();
    }
    weighingInProgress = false;
    m_weighingQuestionPending = false;
}

bool MainWindow::event(QEvent *e)
{
    if (e->type() != QEvent::KeyRelease)
        return QMainWindow::event(e);

    switch (static_cast<QKeyEvent *>(e)->key()) {
    case Qt::Key_Left:
        setForceCommandFocus(true);
        break;
    case Qt::Key_Right:
        setForceCommandFocus(false);
        break;
    case Qt::Key_Up:
        if (forceGauge->commandFocus)
            forceGauge->bumpPlus();
        if (positionGauge->commandFocus)
            positionGauge->bumpPlus();
        break;
    case Qt::Key_Down:
        if (forceGauge->commandFocus)
            forceGauge->bumpMinus();
        if (positionGauge->commandFocus)
            positionGauge->bumpMinus();
        break;
    default:
        break;
    }
    e->accept();
    return true;
}

// The device answers in its current unit system; nothing is converted here. Without a link
// the answers are null, read as 0, and the gauges fall back to their default scales.
void MainWindow::applyToolRatings()
{
    forceGauge->setMaxForce(remoteDevice.sendCommand(DevicePath::maxForce).toDouble());
    positionGauge->setMaxPosition(remoteDevice.sendCommand(DevicePath::maxPosition).toDouble());
}

void MainWindow::setForceCommandFocus(bool force)
{
    forceGauge->setCommandFocus(force);
    positionGauge->setCommandFocus(!force);
}

void MainWindow::updateWeighButton()
{
    weighPayloadButton->setEnabled(!remoteDevice.hasDio()
                                   || (remoteDevice.dioValue() & DioMask::toolCom) != 0);
}

// controlMode counts as an integer truncated toward zero, as the link signals it.
int MainWindow::stateControlMode() const
{
    const double mode = remoteDevice.stateRecord().value(RecordKey::controlMode).toDouble();
    if (!std::isfinite(mode) || std::abs(mode) > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(mode);
}
