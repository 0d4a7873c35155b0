#pragma once

#include <QString>

class QLabel;

// Text that comes from the unit, shown as it is and never as markup, and bounded so that no
// text can size the dialog.
namespace DeviceText {

// On one line, elided when long, the whole text then in the label's tool tip.
void show(QLabel *label, const QString &text);

// A tool tip that shows `text` literally, cut at a length a screen can hold.
QString toolTip(const QString &text);

} // namespace DeviceText
