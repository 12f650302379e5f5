#pragma once
// Turns the RTF a rich-text control writes into the small HTML fragment kept with
// each news message. A single pass over the text, not a full RTF reader: it knows
// the control words for character formats, colours, fonts, sizes, paragraphs,
// alignment, bullets and Latin-1 escapes and ignores the rest.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quoteria {

class RtfToHtml {
public:
    // Options: "+CR" puts CR LF after each line break and list item, "+F=n" leaves
    // size n out of the mark-up, "-FF" drops font faces. Without "+F=" the default
    // size of the previous conversion stays.
    QString convert(const QString& rtf, const QString& options);
    int defaultSize() const { return m_defaultSize; }
    // Characters the last conversion searched through while reading its colour
    // and font tables and cutting out groups; it should grow with the document,
    // not with its square.
    qint64 searchedChars() const { return m_searched; }

private:
    int m_defaultSize = 0;
    qint64 m_searched = 0;
};

// Converts with a converter kept per thread, so the default size carries over
// from one call to the next as the options describe.
QString rtfToHtml(const QString& rtf, const QString& options);

// RTF is seven-bit text; stray bytes are read as UTF-8 when they form it, else
// as Latin-1.
QString decodeRtfBytes(const QByteArray& bytes);

} // namespace quoteria
