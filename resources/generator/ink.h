#pragma once

#include <QColor>

// The house colours of the dashboard, shared by every drawing.
namespace Ink {
inline const QColor ground{0x22, 0x22, 0x22};
inline const QColor groundDeep{0x14, 0x14, 0x14};
inline const QColor steelLight{0x6a, 0x6a, 0x6a};
inline const QColor steelDark{0x1c, 0x1c, 0x1c};
inline const QColor stroke{0xee, 0xee, 0xee};
inline const QColor strokeShade{0xb8, 0xb8, 0xb8};
inline const QColor green{0x00, 0xcc, 0x00};
inline const QColor greenDeep{0x00, 0xaa, 0x00};
inline const QColor amber{0xff, 0xb0, 0x00};
inline const QColor amberDeep{0xd8, 0x8c, 0x00};
} // namespace Ink
