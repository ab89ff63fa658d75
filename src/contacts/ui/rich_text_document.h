// The contacts document in and out of a QTextDocument, the editor's own model.
#pragma once

#include "contacts/rich_text.h"

class QTextCharFormat;
class QTextDocument;

// Replaces the document's content; properties a run does not set come from the document's
// default font.
void FillDocument(QTextDocument& target, const RichDocument& source);
// What of the editor's content the file keeps: text, line breaks, tabs and character formats.
// Embedded objects are dropped.
RichDocument ToRichDocument(const QTextDocument& source);

QTextCharFormat ToCharFormat(const TextFormat& format);
TextFormat FromCharFormat(const QTextCharFormat& format);
