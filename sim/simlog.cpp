#include "simlog.h"

// quiet unless asked for with QT_LOGGING_RULES="vkt.sim.debug=true"
Q_LOGGING_CATEGORY(lcSim, "vkt.sim", QtInfoMsg)
