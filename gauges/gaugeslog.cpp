#include "gaugeslog.h"

// Debug lines are off unless enabled with QT_LOGGING_RULES="vkt.gauges.debug=true".
Q_LOGGING_CATEGORY(lcGauges, "vkt.gauges", QtInfoMsg)
