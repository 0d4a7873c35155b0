#include "uilog.h"

Q_LOGGING_CATEGORY(vktUi, "vkt.ui")
