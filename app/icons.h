#pragma once
// The program's pictures, drawn in code: toolbar icons (32 x 32), tree
// images (16 x 16: 0 folder, 1 open folder, 2 address, 3 selected address)
// and the pictures of the four address pages.
#include <QIcon>
#include <QPixmap>

QIcon CommandIcon(int commandId);
QPixmap TreeImage(int index);
QPixmap PagePicture(int page); // 0 View, 1 New, 2 Edit, 3 Quick printing
