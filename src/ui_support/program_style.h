// The program's widget style: Qt's Fusion, the same on every desktop, since the windows are laid
// out in fixed pixels and a theme with wider margins would crowd them.
#pragma once

class QStyle;

// Null only when Qt was built without Fusion.
QStyle* CreateProgramStyle();
