#pragma once

#include <QList>
#include <QString>
#include <memory>

// One piece of a text as the word cutter finds it.
struct TTextToken {
    enum TKind {
        Word,   // a Chinese word (词) or a word of letters, whole
        Number, // digits, with their decimal point or separators ("3.14", "2,000")
        Space,  // white space
        Punct,  // punctuation and other signs, one character a token
    };
    TKind Kind = Word;
    QString Text;
};

// Cuts text into words with ICU's dictionary-based word break iterator: Chinese into words
// (词), other scripts at their word boundaries; ASCII words and numbers stay whole. Qt's own
// boundary finder cuts Chinese into single characters, which is why ICU is called directly.
// One cutter is not for use by two threads at once.
class TWordCutter {
public:
    TWordCutter();
    ~TWordCutter();
    TWordCutter(const TWordCutter &) = delete;
    TWordCutter &operator=(const TWordCutter &) = delete;

    // The tokens of the text in order; their texts joined give the text back.
    QList<TTextToken> Cut(const QString &text) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
