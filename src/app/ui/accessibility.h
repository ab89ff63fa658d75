// Roles that screen readers need and Qt does not guess for the program's own widget classes.
#pragma once

// Installs the factory once; later calls do nothing. The main window calls it as it is made.
void InstallWindowAccessibility();
