#pragma once
// The pictures of the games, drawn in code: the Snake food (icon 260) and the
// four bonus items 257 (type 1), 258 (type 3), 259 (type 6) and 256
// (type 10), each 32 x 32 pixels with a transparent background.

#include <QImage>

inline constexpr int kSnakeIconSize = 32;
inline constexpr int kFoodIcon = 260;

// The icon resource of a bonus type (1, 3, 6, 10); 0 for any other type.
int SnakeBonusIcon(int type);

// The picture of icon `id` (256-260); a null image for any other id.
QImage SnakePicture(int id);
