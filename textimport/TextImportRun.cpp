#include "textimport/TextImportRun.h"

#include "app/Const.h"
#include "store/BlockModal.h"
#include "store/IBlockService.h"
#include "store/LineList.h"
#include "textimport/ProseFeedModule.h"
#include "textimport/TextImportErrors.h"
#include "util/TextDecoding.h"
#include "util/Tools.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// How often the progress of a file being read is passed on.
constexpr int ProgressIntervalMs = 50;

// CountWords of the lines joined with CR LF after every line, without joining them: a line
// break is no word character, so no word runs across it.
int CountLineWords(const QStringList &lines) {
    qint64 words = 0;
    for (const QString &line : lines) {
        words += CountWords(line);
    }
    return static_cast<int>(qMin<qint64>(words, std::numeric_limits<int>::max()));
}

// Runs LoadFile on a thread of its own; meanwhile the caller's thread handles its events and
// passes the progress on, so a big file never freezes the window.
std::unique_ptr<TArticleDTO> LoadOffThread(IProseFeed &loader, const QByteArray &path,
                                           const TImportHooks &hooks) {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    loader.SetProgressHandler([&done, &total](qint64 d, qint64 t) {
        total.store(t);
        done.store(d);
    });
    std::unique_ptr<TArticleDTO> article;
    std::exception_ptr failure;
    const auto load = [&] {
        try {
            article = loader.LoadFile(path);
        } catch (...) {
            failure = std::current_exception();
        }
    };
    if (QCoreApplication::instance() == nullptr) {
        load();
    } else {
        QEventLoop wait;
        QTimer tick;
        tick.setInterval(ProgressIntervalMs);
        QObject::connect(&tick, &QTimer::timeout, &wait, [&] {
            if (hooks.Progress) {
                hooks.Progress(done.load(), total.load());
            }
        });
        tick.start();
        std::thread reader([&] {
            load();
            // Posted, so it ends the wait even when it comes before the wait has begun.
            QMetaObject::invokeMethod(&wait, &QEventLoop::quit, Qt::QueuedConnection);
        });
        wait.exec();
        reader.join();
        if (hooks.Progress) {
            hooks.Progress(done.load(), total.load());
        }
    }
    loader.SetProgressHandler({});
    if (failure) {
        std::rethrow_exception(failure);
    }
    return article;
}

QString ErrorText(const std::exception_ptr &failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("未知错误");
    }
}

} // namespace

TTextImportRun::TTextImportRun(IBlockService &service, QString appDir)
    : FService(service), FAppDir(std::move(appDir)) {}

TImportResult TTextImportRun::Run(const QString &folderText, const TImportHooks &hooks) {
    TImportResult result;
    const QString folder = folderText.trimmed();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        result.Outcome = TImportOutcome::PathNotFound;
        return result;
    }
    const auto bookName = [&hooks] {
        return hooks.BookName ? hooks.BookName().trimmed() : QString();
    };
    if (bookName().isEmpty()) {
        result.Outcome = TImportOutcome::EmptyBookName;
        return result;
    }
    if (FService.IsReadOnly()) {
        result.Outcome = TImportOutcome::ReadOnlyLibrary;
        return result;
    }

    std::unique_ptr<TProseFeedModule> module;
    try {
        module = std::make_unique<TProseFeedModule>(FAppDir);
    } catch (const ENoTextLoader &error) {
        result.Outcome = TImportOutcome::NoLoader;
        result.Detail = error.Message();
        return result;
    } catch (const std::exception &error) {
        result.Outcome = TImportOutcome::NoLoader;
        result.Detail = QString::fromUtf8(error.what());
        return result;
    }

    // From here on the run ends with the loader released and the module unloaded.
    result.Outcome = TImportOutcome::Finished;
    try {
        // Commits of the run skip the disk flush; Finish makes them durable before the run
        // reports its end. A kill loses nothing committed either way.
        TBulkWork bulk(FService);
        IProseFeed &loader = module->Loader();
        loader.SetOptions(-1, 1);
        loader.SetOption(1);
        const QList<QByteArray> files = ListFiles(QFile::encodeName(folder));
        for (qsizetype i = 0; i < files.size(); ++i) {
            if (hooks.Canceled && hooks.Canceled()) {
                result.Canceled = true;
                break;
            }
            const QByteArray &path = files.at(i);
            const QString shownPath = DecodePath(path);
            if (LowerFileExt(shownPath) == QLatin1String("txt")) {
                TImportedFile file;
                file.Path = shownPath;
                try {
                    const std::unique_ptr<TArticleDTO> loaded = LoadOffThread(loader, path, hooks);
                    const QString dir = bookName();
                    if (dir.isEmpty()) {
                        throw EMxError(Const::Message(Const::EmptyBookName));
                    }
                    TArticle article = NewLibraryArticle(dir, loaded->Title, loaded->Author);
                    article.WordCount = CountLineWords(loaded->Lines);
                    FService.SaveLongArticle(article, TLineList::FromLines(loaded->Lines));
                    file.Stored = true;
                    file.Title = article.Title;
                    file.Author = article.Author;
                    file.Dir = article.Dir;
                    file.Encoding = loader.LastEncoding();
                    ++result.Imported;
                } catch (...) {
                    file.Error = ErrorText(std::current_exception());
                    ++result.Failed;
                }
                result.Position = static_cast<int>(i + 1);
                if (hooks.FileDone) {
                    hooks.FileDone(file, result.Position);
                }
            }
            if (hooks.FileHandled) {
                hooks.FileHandled();
            }
        }
        bulk.Finish();
    } catch (const std::exception &error) {
        // The exception object may belong to the module, which goes before the caller sees
        // it: only its message is kept.
        result.Error = std::make_exception_ptr(EMxError(QString::fromUtf8(error.what())));
    }
    return result;
}

QString ImportStatusText(int position, int imported) {
    return QStringLiteral("已处理文件%1个，导入%2个").arg(position).arg(imported);
}
