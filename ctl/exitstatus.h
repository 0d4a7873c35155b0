#pragma once

// The exit statuses scripts rely on.
enum class ExitStatus : int {
    Success = 0,
    DeviceFailure = 1, // the device, the link or a file could not do what was asked
    Usage = 2,
    BadParameterFile = 3,
};
