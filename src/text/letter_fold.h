// Letter case and the marks of Latin letters, for searches that ignore one or both; the notes
// search and the contacts book's search fold alike through these.
#pragma once

// Lower case of ASCII and of the Latin letters U+00C0..U+017F (those of Central European
// writing, Polish among them); any other code point comes back unchanged.
char32_t LowerLetter(char32_t cp);

// The plain lower-case letter a Latin letter of U+00C0..U+017F is written with ("Ś" -> 's',
// "ł" -> 'l'), or ASCII letters in lower case; 0 for every other code point, and for the letters
// of that range that have no plain letter ("ß", "æ").
char BaseLetter(char32_t cp);
