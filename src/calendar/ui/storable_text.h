// Note editors show only what the Windows-1250 notes file can keep.
#pragma once

class QPlainTextEdit;

// Replaces every character of `memo` that the notes file cannot hold by "?", keeping the cursor
// after the same character; emits no textChanged, so it is safe inside a textChanged handler.
// Returns whether anything changed.
bool ShowOnlyStorableText(QPlainTextEdit* memo);
