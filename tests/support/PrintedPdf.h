#pragma once

#include "tests/support/PdfText.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

// A printed page as a test reads it: painted into a PDF file of its own, then its pages counted
// and its words read with PdfText (none when pdftotext is not installed: a test then skips what
// it would read, with NotReadable as its reason).
namespace PrintedPdf {

inline constexpr char NotReadable[] =
    "pdftotext (poppler-utils) is not installed; scripts/install-deps test has it";

struct Printed {
    bool painted = false; // what the paint routine answered
    qsizetype pages = 0;
    QString words;
    QStringList pageWords; // each page's
};

inline Printed print(const std::function<bool(QPdfWriter &)> &paint,
                     QPageSize::PageSizeId size = QPageSize::A4)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("printed.pdf"));
    Printed printed;
    {
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(size));
        printed.painted = folder.isValid() && paint(pdf);
    }
    printed.pages = PdfText::pages(path);
    if (PdfText::available()) {
        printed.pageWords = PdfText::pageWords(path);
        printed.words = printed.pageWords.join(QLatin1Char(' '));
    }
    return printed;
}

// Which of `mentions` the words do not hold after `from` (anywhere when empty), with the words,
// for a failure's message; empty when they hold every one.
inline QString missing(const QString &words, const QStringList &mentions,
                       const QString &from = QString())
{
    const qsizetype start = from.isEmpty() ? 0 : words.indexOf(from);
    QStringList lost;
    for (const QString &mention : mentions) {
        if (start < 0 || words.indexOf(mention, start + from.size()) < 0)
            lost << mention;
    }
    return lost.isEmpty() ? QString()
                          : lost.join(QStringLiteral(", ")) + QStringLiteral(" not in:\n") + words;
}

// Which of `forbidden` the words hold, as `missing` tells it; empty when none.
inline QString held(const QString &words, const QStringList &forbidden,
                    Qt::CaseSensitivity sensitivity = Qt::CaseSensitive)
{
    QStringList found;
    for (const QString &word : forbidden) {
        if (words.contains(word, sensitivity))
            found << word;
    }
    return found.isEmpty() ? QString()
                           : found.join(QStringLiteral(", ")) + QStringLiteral(" in:\n") + words;
}

} // namespace PrintedPdf
