#pragma once

#include <QSerialPort>
#include <QString>

// The device's serial line: 115200 baud both ways, 8 data bits, no parity, one stop bit, no flow
// control. The link and the discovery probe open their ports alike.
class SerialLine
{
public:
    static void configure(QSerialPort &port, const QString &portName)
    {
        port.setPortName(portName);
        port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
    }
};
