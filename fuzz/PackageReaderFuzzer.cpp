// Feeds arbitrary bytes to the package reader as a package file: inflate, then take the
// document apart, every record handed to a recorder in place of the store. A package the
// reader refuses is a normal outcome; a crash, a sanitizer report, a leak, a hang or any
// other exception is a finding.
#include "packages/PackageErrors.h"
#include "packages/PackageProgress.h"
#include "packages/PackageReader.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

namespace {

// Smaller than the program's limit, so that one input cannot take the run's memory.
constexpr qint64 FuzzDocumentLimit = qint64(64) << 20;

// Keeps what a store would be asked to keep, so that every value is really read.
struct TRecorder {
    qsizetype Characters = 0;
    int Records = 0;
    void Store(const TArticle &article, const TLineList &lines) {
        ++Records;
        Characters += article.Title.size() + article.Author.size() + article.Dir.size() +
                      article.Lang.size() + article.EditionName.size() + lines.Text().size();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                              static_cast<qsizetype>(size));
    QBuffer device(&file);
    device.open(QIODevice::ReadOnly);
    TSilentProgress progress;
    TRecorder recorder;
    try {
        const QByteArray document = PackageReader::Inflate(device, progress, FuzzDocumentLimit);
        PackageReader::ReadDocument(
            document,
            [&](TArticle &article, const TLineList &lines) { recorder.Store(article, lines); },
            progress);
    } catch (const EPackageError &) {
        // refused: "文件格式不对！" or "文件受损，无法打开后面的文章！"
    }
    return 0;
}
