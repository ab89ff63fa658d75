// Qt's own texts (the colour chooser, the edit menus of text fields) in the program's language.
#pragma once

// Installs Qt's Polish translation when the system has it (Debian: qt6-translations-l10n) and
// tells whether it did; without it those texts stay in English and nothing else changes.
bool InstallQtPolishTranslation();
