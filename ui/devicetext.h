#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// Shows a text that came from a device on a label or a push button, as a trusted tool would:
// as plain text on one line, elided to the widget's width (again at every resize) with the
// whole text in the tool tip. The widget's width comes from its layout, never from the text,
// so a long name cannot widen the window; a label never renders it as rich text, and a button
// never takes an ampersand in it for a shortcut.
class DeviceText : public QObject
{
    Q_OBJECT

public:
    static void show(QLabel *label, const QString &text);
    static void show(QPushButton *button, const QString &text);

    // The text on one line: control, separator and format characters (a line feed, a
    // direction override) become blanks.
    static QString oneLine(const QString &text);

    // A tool tip that shows `text` literally, in lines of its own and cut at a length a screen
    // can hold.
    static QString toolTip(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit DeviceText(QWidget *widget);
    static DeviceText *of(QWidget *widget);
    void setText(const QString &text);
    void fit();
    int textWidth() const;

    QLabel *m_label = nullptr;
    QPushButton *m_button = nullptr;
    QString m_text;
};
