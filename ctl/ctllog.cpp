#include "ctllog.h"

Q_LOGGING_CATEGORY(lcCtl, "vkt.ctl")
