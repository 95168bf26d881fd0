#include "WordCutter.h"

#include <stdexcept>
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

struct TWordCutter::TImpl {
    std::unique_ptr<icu::BreakIterator> Iterator;
};

TWordCutter::TWordCutter() : FImpl(std::make_unique<TImpl>()) {
    UErrorCode status = U_ZERO_ERROR;
    FImpl->Iterator.reset(
        icu::BreakIterator::createWordInstance(icu::Locale::getSimplifiedChinese(), status));
    if (U_FAILURE(status) || !FImpl->Iterator) {
        throw std::runtime_error(std::string("ICU word break iterator: ") + u_errorName(status));
    }
}

TWordCutter::~TWordCutter() = default;

namespace {

bool IsSpace(QStringView piece) {
    for (const QChar c : piece) {
        if (!c.isSpace()) {
            return false;
        }
    }
    return true;
}

// The characters of a piece without word status, one a token (a surrogate pair stays one).
void AppendSigns(QList<TTextToken> &tokens, QStringView piece) {
    qsizetype i = 0;
    while (i < piece.size()) {
        const qsizetype length = piece.at(i).isHighSurrogate() && i + 1 < piece.size() &&
                                         piece.at(i + 1).isLowSurrogate()
                                     ? 2
                                     : 1;
        tokens.append({TTextToken::Punct, piece.mid(i, length).toString()});
        i += length;
    }
}

} // namespace

QList<TTextToken> TWordCutter::Cut(const QString &text) const {
    QList<TTextToken> tokens;
    if (text.isEmpty()) {
        return tokens;
    }
    // An alias of the QString's own UTF-16, kept alive while the iterator walks it.
    const icu::UnicodeString unicode(false, reinterpret_cast<const UChar *>(text.constData()),
                                     static_cast<int32_t>(text.size()));
    icu::BreakIterator &iterator = *FImpl->Iterator;
    iterator.setText(unicode);
    int32_t start = iterator.first();
    for (int32_t end = iterator.next(); end != icu::BreakIterator::DONE;
         start = end, end = iterator.next()) {
        const QStringView piece = QStringView(text).mid(start, end - start);
        const int32_t status = iterator.getRuleStatus();
        if (status >= UBRK_WORD_NUMBER && status < UBRK_WORD_NUMBER_LIMIT) {
            tokens.append({TTextToken::Number, piece.toString()});
        } else if (status >= UBRK_WORD_LETTER) {
            tokens.append({TTextToken::Word, piece.toString()});
        } else if (IsSpace(piece)) {
            tokens.append({TTextToken::Space, piece.toString()});
        } else {
            AppendSigns(tokens, piece);
        }
    }
    // Leave no reference to the text behind.
    static const icu::UnicodeString empty;
    iterator.setText(empty);
    return tokens;
}
