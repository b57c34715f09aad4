#pragma once
// The cursors of a drag in the address tree, drawn for this program:
// 356 folder move, 357 folder copy, 359 address move, 361 address copy,
// 360 no drop.
#include <QCursor>

enum DragCursorId {
    CURSOR_FOLDER_MOVE = 356,
    CURSOR_FOLDER_COPY = 357,
    CURSOR_ADDRESS_MOVE = 359,
    CURSOR_NO_DROP = 360,
    CURSOR_ADDRESS_COPY = 361,
};

QCursor DragCursor(int id);
