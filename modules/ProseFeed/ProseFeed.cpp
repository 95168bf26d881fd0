// libProseFeed.so: reads one text file of any encoding a Chinese user's files come in and
// hands it back as title, author and lines.
#include "textimport/ProseFeed.h"
#include "util/TextDecoding.h"

#include <QRegularExpression>

#include <atomic>
#include <cstring>

namespace {

const QString Anonymous = QStringLiteral("佚名");
// The author line is looked for among the first lines that hold anything.
constexpr int AuthorSearchLines = 10;
constexpr int MaxAuthorLength = 40;

// A copy of the text in memory of its own. The host keeps the texts after the module has been
// unloaded, so nothing handed over may point into the module's literals.
QString Owned(const QString &text) {
    return text.isEmpty() ? QString() : QString(text.constData(), text.size());
}

// The file name without its folder and its extension; a name that is all extension keeps it.
QString TitleOf(const QByteArray &path) {
    const QString name = DecodeFileName(path.mid(path.lastIndexOf('/') + 1));
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

// "作者：某某", "作者: 某某" or "作者 某某" among the first lines; else "佚名".
QString AuthorOf(const QStringList &lines) {
    static const QRegularExpression authorLine(
        QStringLiteral("^\\s*作\\s*者\\s*[:：]?\\s*(\\S.*?)\\s*$"));
    int looked = 0;
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty()) {
            continue;
        }
        if (++looked > AuthorSearchLines) {
            break;
        }
        const QRegularExpressionMatch match = authorLine.match(line);
        if (match.hasMatch() && match.captured(1).size() <= MaxAuthorLength) {
            return match.captured(1);
        }
    }
    return Anonymous;
}

class TProseFeed final : public IProseFeed {
public:
    bool QueryInterface(const char *interfaceName, void **result) override {
        if (result == nullptr) {
            return false;
        }
        if (interfaceName != nullptr && std::strcmp(interfaceName, ProseFeedInterfaceName) == 0) {
            AddRef();
            *result = static_cast<IProseFeed *>(this);
            return true;
        }
        *result = nullptr;
        return false;
    }
    int AddRef() override { return ++FReferences; }
    int Release() override {
        const int left = --FReferences;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    void GetOptions(int &maxMegabytes, int &keepBlankLines) const override {
        maxMegabytes = FMaxMegabytes;
        keepBlankLines = FKeepBlankLines ? 1 : 0;
    }
    void SetOptions(int maxMegabytes, int keepBlankLines) override {
        FMaxMegabytes = maxMegabytes < 1 ? -1 : maxMegabytes;
        FKeepBlankLines = keepBlankLines != 0;
    }
    int GetOption() const override { return FFindAuthor ? 1 : 0; }
    void SetOption(int findAuthor) override { FFindAuthor = findAuthor != 0; }

    std::unique_ptr<TArticleDTO> LoadFile(const QByteArray &path) override {
        TReadOptions options;
        options.MaxBytes = FMaxMegabytes < 1 ? -1 : qint64(FMaxMegabytes) << 20;
        options.KeepBlankLines = FKeepBlankLines;
        TDecodedText text = ReadTextFile(path, options, FProgress);
        auto article = std::make_unique<TArticleDTO>();
        article->Title = TitleOf(path);
        article->Author = Owned(FFindAuthor ? AuthorOf(text.Lines) : Anonymous);
        article->Lines = std::move(text.Lines);
        FLastEncoding = Owned(text.Encoding);
        return article;
    }

    void SetProgressHandler(TLoadProgress handler) override { FProgress = std::move(handler); }
    QString LastEncoding() const override { return Owned(FLastEncoding); }

private:
    ~TProseFeed() = default;

    std::atomic<int> FReferences{1};
    int FMaxMegabytes = -1;
    bool FKeepBlankLines = true;
    bool FFindAuthor = true;
    TLoadProgress FProgress;
    QString FLastEncoding;
};

} // namespace

extern "C" __attribute__((visibility("default"))) void GetInstance(IProseFeed **loader) {
    if (loader != nullptr) {
        *loader = new TProseFeed;
    }
}
