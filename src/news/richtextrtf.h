#pragma once
// News messages are kept as RTF in the form a rich-text control writes (font
// table, colour table, \cf, \fs, \b, \i, \ul, \strike, \qc/\qr, bullets), so the
// HTML converter understands them and messages from older databases still load.
#include <QString>

class QTextDocument;

namespace quoteria {

// The document as RTF. Character formats run on from paragraph to paragraph and
// are written only where they change; every paragraph starts with \pard and
// ends with \par; bullet paragraphs carry the control's {\pntext ...} prefix.
QString documentToRtf(const QTextDocument& doc);

// Replaces the document's content with the RTF text. Understands what the
// writer above and common rich-text controls produce; unknown control words and
// destinations are skipped. False (document untouched) when text is not RTF.
bool rtfToDocument(const QString& rtf, QTextDocument& doc);

// True when the text starts like an RTF document.
bool looksLikeRtf(const QString& text);

} // namespace quoteria
