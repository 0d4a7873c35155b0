#include "imagegenlog.h"

Q_LOGGING_CATEGORY(lcImageGen, "vkt.imagegen", QtInfoMsg)
