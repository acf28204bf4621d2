#pragma once

#include <QColor>

// One palette for every control: deep navy glass, white icons, one blue accent.
namespace terrabo::images::palette {

inline const QColor kBarEdge(6, 13, 30);
inline const QColor kBarInner(14, 28, 58);
inline const QColor kHairline(120, 170, 255);
inline const QColor kButtonTop(58, 82, 126);
inline const QColor kButtonBottom(18, 30, 58);
inline const QColor kPressedTop(8, 15, 31);
inline const QColor kPressedBottom(26, 44, 80);
inline const QColor kAccent(64, 160, 255);
inline const QColor kIcon(255, 255, 255);
inline const QColor kIconPressed(196, 222, 255);
inline const QColor kFieldHint(118, 130, 150);
inline const QColor kFieldGlass(84, 98, 122);

// The font the app draws its own text with.
inline constexpr const char* kFontFamily = "Liberation Sans";

} // namespace terrabo::images::palette
