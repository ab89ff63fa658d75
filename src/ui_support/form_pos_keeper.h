// The window position keeper on a Qt window: a dialog opens again where the user last left it
// during this run of the program.
#pragma once

#include "ui_support/window_positions.h"

class QWidget;

// Moves (and, where the keeper allows, sizes) `window` to where the last window of its kind
// closed. Call once the window is built, before it is shown.
void RestoreWindowPosition(const TFormPosKeeper& keeper, QWidget* window, bool dialogFramed);
// Remembers where `window` is now. Call when it closes.
void SaveWindowPosition(const TFormPosKeeper& keeper, QWidget* window);
