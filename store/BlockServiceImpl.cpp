#include "store/BlockServiceImpl.h"

#include "app/GlobalManager.h"
#include "util/Errors.h"
#include "util/Tools.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <exception>

namespace {

// The listings take this library's edition as a quoted literal. Rows of other editions or
// types may share the table; the listings never show them.
const QString EditionFilter = QStringLiteral("'%1'").arg(QLatin1String(LibraryEdition));

const QString PartSeparator = QStringLiteral("_");

// Ids deleted by one statement.
constexpr int DeleteRunLength = 1000;

// What an operation does with the library: only reads, or writes as well.
enum class TUse { Read, Write };

QString ReadOnlyMessage(const TDm &dm) {
    return QStringLiteral("文章库 %1 是只读的（文件或其所在的文件夹不可写），修改无法保存。")
        .arg(QDir::toNativeSeparators(QFileInfo(dm.DatabasePath()).absoluteFilePath()));
}

// One use of the connection by an operation or a private step: opens it when it is not open
// yet and closes it at the end, also on the way out of an error. A step that runs inside an
// operation which already holds the connection (and its transaction) leaves it open. A use
// that writes refuses a read-only library before anything runs, and after a user command
// checkpoints the WAL, so that Lumo.db alone holds the change.
class TConnectionUse {
public:
    explicit TConnectionUse(TDm &dm, TUse use = TUse::Read)
        : FDm(dm), FOwner(!dm.Connected()), FWrites(use == TUse::Write),
          FErrorsBefore(std::uncaught_exceptions()) {
        if (!FOwner) {
            return;
        }
        FDm.Open();
        if (FWrites && FDm.ReadOnly()) {
            FDm.Close();
            throw EDatabaseError(ReadOnlyMessage(FDm));
        }
    }
    ~TConnectionUse() {
        if (!FOwner) {
            return;
        }
        if (std::uncaught_exceptions() > FErrorsBefore) {
            FDm.CloseAfterFailure();
            return;
        }
        FDm.Close();
        if (FWrites) {
            FDm.CheckpointAfterCommand();
        }
    }
    TConnectionUse(const TConnectionUse &) = delete;
    TConnectionUse &operator=(const TConnectionUse &) = delete;

private:
    TDm &FDm;
    bool FOwner;
    bool FWrites;
    int FErrorsBefore;
};

// Runs the work as one transaction: committed when it returns, rolled back when it raises.
template <typename TWork> void RunInTransaction(TDm &dm, TWork &&work) {
    dm.BeginTransaction();
    try {
        work();
        dm.Commit();
    } catch (...) {
        dm.Rollback();
        throw;
    }
}

// The headers of a library repeat a few texts over and over (language, edition, book,
// often the author): one shared copy of each keeps a large book list small.
class TTextPool {
public:
    QString Shared(const QString &text) {
        const auto found = FTexts.constFind(text);
        return found != FTexts.constEnd() ? *found : *FTexts.insert(text);
    }

private:
    QSet<QString> FTexts;
};

// Reads the ten header columns of the current row.
std::unique_ptr<TArticle> ReadArticle(const TDm &dm) {
    auto article = std::make_unique<TArticle>();
    article->Id = dm.FieldAsInteger(QStringLiteral("ID"));
    article->Lang = dm.FieldAsString(QStringLiteral("LANG"));
    article->EditionName = dm.FieldAsString(QStringLiteral("EDITION_NAME"));
    article->Grade = dm.FieldAsInteger(QStringLiteral("GRADE"));
    article->Type = dm.FieldAsInteger(QStringLiteral("TYPE"));
    article->Title = dm.FieldAsString(QStringLiteral("TITLE"));
    article->Author = dm.FieldAsString(QStringLiteral("AUTHOR"));
    article->Dir = dm.FieldAsString(QStringLiteral("DIR"));
    article->WordCount = dm.FieldAsInteger(QStringLiteral("WORD_COUNT"));
    article->UseRate = dm.FieldAsInteger(QStringLiteral("USE_RATE"));
    return article;
}

// Files a header into its book, creating the book when its name (letter case ignored) is
// met for the first time: books come in the order of their first article and keep the
// spelling of that article's DIR.
void FileIntoBook(TBookList &books, std::unique_ptr<TArticle> article) {
    TDir *book = books.Find(article->Dir);
    if (book == nullptr) {
        auto newBook = std::make_unique<TDir>();
        newBook->Name = article->Dir;
        book = books.Add(article->Dir, std::move(newBook));
    }
    const QString key = QString::number(article->Id);
    book->Articles.Add(key, std::move(article));
}

// Binds the nine header columns that the insert and the update write, in the order of
// their statements.
void BindHeader(TDm &dm, const TArticle &article) {
    dm.BindText(QStringLiteral(":LANG"), article.Lang);
    dm.BindText(QStringLiteral(":EDITION_NAME"), article.EditionName);
    dm.BindInteger(QStringLiteral(":GRADE"), article.Grade);
    dm.BindInteger(QStringLiteral(":TYPE"), article.Type);
    dm.BindText(QStringLiteral(":TITLE"), article.Title);
    dm.BindText(QStringLiteral(":AUTHOR"), article.Author);
    dm.BindText(QStringLiteral(":DIR"), article.Dir);
    dm.BindInteger(QStringLiteral(":WORD_COUNT"), article.WordCount);
    dm.BindInteger(QStringLiteral(":USE_RATE"), article.UseRate);
}

} // namespace

TBlockServiceImpl::TBlockServiceImpl(const QString &databasePath, const TGlobalManager &settings,
                                     TDm::THandlePolicy handlePolicy)
    : FDm(std::make_unique<TDm>(databasePath, handlePolicy)), FSettings(settings) {}

QStringList TBlockServiceImpl::GetDirNames() {
    TConnectionUse use(*FDm);
    QStringList names;
    FDm->SetSql(QStringLiteral("SELECT DISTINCT DIR FROM EARTICLE WHERE EDITION_NAME =") +
                EditionFilter + QStringLiteral(" AND TYPE=3"));
    FDm->OpenQuery();
    while (FDm->Next()) {
        names.append(FDm->FieldAsString(QStringLiteral("DIR")));
    }
    FDm->CloseQuery();
    return names;
}

std::unique_ptr<TBookList> TBlockServiceImpl::GetArticles() {
    TConnectionUse use(*FDm);
    auto books = std::make_unique<TBookList>();
    FDm->SetSql(
        QStringLiteral(
            "SELECT ID,LANG,EDITION_NAME,GRADE,TYPE,TITLE,AUTHOR,DIR,WORD_COUNT,USE_RATE FROM "
            "EARTICLE WHERE EDITION_NAME =") +
        EditionFilter + QStringLiteral(" AND TYPE=3"));
    FDm->OpenQuery();
    TTextPool pool;
    while (FDm->Next()) {
        std::unique_ptr<TArticle> article = ReadArticle(*FDm);
        article->Lang = pool.Shared(article->Lang);
        article->EditionName = pool.Shared(article->EditionName);
        article->Dir = pool.Shared(article->Dir);
        article->Author = pool.Shared(article->Author);
        FileIntoBook(*books, std::move(article));
    }
    FDm->CloseQuery();
    return books;
}

TLineList TBlockServiceImpl::GetArticleText(int id) {
    TConnectionUse use(*FDm);
    FDm->SetSql(QStringLiteral("SELECT ID, TEXT FROM EARTICLE WHERE ID=:ID"));
    FDm->BindInteger(QStringLiteral(":ID"), id);
    FDm->OpenQuery();
    if (FDm->Next()) {
        return TLineList::FromStoredText(FDm->FieldAsString(QStringLiteral("TEXT")));
    }
    return TLineList();
}

void TBlockServiceImpl::IncreaseUseRate(int id) {
    TConnectionUse use(*FDm, TUse::Write);
    FDm->CloseQuery();
    FDm->SetSql(QStringLiteral("SELECT USE_RATE FROM EARTICLE WHERE ID=:ID"));
    FDm->BindInteger(QStringLiteral(":ID"), id);
    FDm->OpenQuery();
    // No row, or an empty value, counts as 0.
    const int rate = FDm->Next() ? FDm->FieldAsInteger(QStringLiteral("USE_RATE")) : 0;
    FDm->CloseQuery();

    FDm->SetSql(QStringLiteral("UPDATE EARTICLE SET USE_RATE=:RATE WHERE ID=:ID"));
    FDm->BindInteger(QStringLiteral(":RATE"), rate + 1);
    FDm->BindInteger(QStringLiteral(":ID"), id);
    FDm->ExecSql();
}

void TBlockServiceImpl::SaveNewArticle(TArticle &article, const TLineList &lines) {
    TConnectionUse use(*FDm, TUse::Write);
    // The replace rule runs as one transaction: a failed insert leaves the article it was
    // going to replace in place.
    RunInTransaction(*FDm, [&] { StoreNewArticle(article, lines); });
}

void TBlockServiceImpl::StoreNewArticle(TArticle &article, const TLineList &lines) {
    if (const std::unique_ptr<TArticle> found = FindArticle(article.Title, article.Dir)) {
        RemoveArticle(*found);
    }

    FDm->SetSql(
        QStringLiteral("INSERT INTO EARTICLE "
                       "(LANG,EDITION_NAME,GRADE,TYPE,TITLE,AUTHOR,DIR,WORD_COUNT,USE_RATE,[TEXT]) "
                       "VALUES(:LANG, :EDITION_NAME, :GRADE, :TYPE, :TITLE, :AUTHOR, :DIR, "
                       ":WORD_COUNT, :USE_RATE, :TEXT)"));
    BindHeader(*FDm, article);
    FDm->BindText(QStringLiteral(":TEXT"), lines.Text());
    FDm->ExecSql();

    // New keys always grow, so the largest one is the row just inserted.
    int newId = 0;
    FDm->SetSql(QStringLiteral("SELECT MAX(ID) AS ID FROM EARTICLE"));
    FDm->OpenQuery();
    if (FDm->Next()) {
        newId = FDm->FieldAsInteger(QStringLiteral("ID"));
    }
    FDm->CloseQuery();
    article.Id = newId;
}

std::unique_ptr<TArticle> TBlockServiceImpl::FindArticle(const QString &title,
                                                         const QString &dirName) {
    TConnectionUse use(*FDm);
    FDm->SetSql(QStringLiteral(
        "SELECT ID,LANG,EDITION_NAME,GRADE,TYPE,TITLE,AUTHOR,DIR,WORD_COUNT,USE_RATE FROM "
        "EARTICLE WHERE TITLE =:TITLE AND TYPE=3 AND DIR=:DIR"));
    FDm->BindText(QStringLiteral(":TITLE"), title);
    FDm->BindText(QStringLiteral(":DIR"), dirName);
    FDm->OpenQuery();
    std::unique_ptr<TArticle> found;
    if (FDm->Next()) {
        found = ReadArticle(*FDm);
    }
    FDm->CloseQuery();
    return found;
}

void TBlockServiceImpl::RemoveArticle(const TArticle &article) {
    TConnectionUse use(*FDm, TUse::Write);
    FDm->SetSql(QStringLiteral("DELETE FROM EARTICLE WHERE ID=:ID"));
    FDm->BindInteger(QStringLiteral(":ID"), article.Id);
    FDm->ExecSql();
}

void TBlockServiceImpl::SaveLongArticle(TArticle &article, const TLineList &lines) {
    const int limit = FSettings.ContentMaxWordCount;
    const int words = article.WordCount;
    if (words <= limit) {
        SaveNewArticle(article, lines);
        return;
    }
    if (limit < 1) {
        throw EDatabaseError(
            QStringLiteral(
                "文章分篇字数上限 ContentMaxWordCount=%1 无效，必须至少为 1；文章《%2》未保存。")
                .arg(limit)
                .arg(article.Title));
    }

    const int parts = (words - 1) / limit + 1; // rounded up, without overflow
    const int lastSize = words % limit == 0 ? limit : words % limit;
    const QString text = lines.Text();
    // All parts of the article are stored in one transaction, or none is: a failure (or a
    // crash) half-way never leaves an article of which some parts are missing.
    TConnectionUse use(*FDm, TUse::Write);
    RunInTransaction(*FDm, [&] { StoreParts(article, text, parts, limit, lastSize); });
}

void TBlockServiceImpl::StoreParts(const TArticle &article, const QString &text, int parts,
                                   int limit, int lastSize) {
    int cursor = 1;
    for (int k = 1; k <= parts; ++k) {
        TArticle part;
        part.Lang = article.Lang;
        part.EditionName = article.EditionName;
        part.Grade = article.Grade;
        part.Type = article.Type;
        part.UseRate = article.UseRate;
        part.Author = article.Author;
        part.Dir = article.Dir;
        part.Title = article.Title + PartSeparator + QString::number(k);
        const bool last = k == parts;
        part.WordCount = last ? lastSize : limit;

        QString piece = CopyWords(text, cursor, part.WordCount);
        if (last) {
            // What follows the last counted word (closing punctuation and line breaks, or
            // words that the cutting counts but the word count did not) stays in the article.
            piece += text.mid(cursor - 1);
        }
        StoreNewArticle(part, TLineList::FromStoredText(piece));
    }
}

int TBlockServiceImpl::UpdateArticle(const TArticle &article, const TLineList &lines) {
    TConnectionUse use(*FDm, TUse::Write);
    FDm->SetSql(QStringLiteral(
        "UPDATE EARTICLE SET "
        "LANG=:LANG,EDITION_NAME=:EDITION_NAME,GRADE=:GRADE,TYPE=:TYPE,TITLE=:TITLE,"
        "AUTHOR=:AUTHOR,DIR=:DIR,WORD_COUNT=:WORD_COUNT,USE_RATE=:USE_RATE,[TEXT]=:TEXT "
        "WHERE ID=:ID"));
    BindHeader(*FDm, article);
    FDm->BindText(QStringLiteral(":TEXT"), lines.Text());
    FDm->BindInteger(QStringLiteral(":ID"), article.Id);
    FDm->ExecSql();
    return FDm->RowsAffected();
}

void TBlockServiceImpl::RenameDir(const QString &oldName, const QString &newName) {
    TConnectionUse use(*FDm, TUse::Write);
    FDm->SetSql(QStringLiteral("UPDATE EARTICLE SET DIR=:NEWNAME WHERE DIR=:OLDNAME"));
    FDm->BindText(QStringLiteral(":NEWNAME"), newName);
    FDm->BindText(QStringLiteral(":OLDNAME"), oldName);
    FDm->ExecSql();
}

void TBlockServiceImpl::DeleteArticles(const QList<TArticle *> *articles) {
    if (articles == nullptr || articles->isEmpty()) {
        return;
    }
    TConnectionUse use(*FDm, TUse::Write);
    // One transaction, and one statement for each run of Ids instead of one per article:
    // deleting a hundred thousand ticked articles takes about as long as a bare DELETE of
    // them, and a failure deletes none. The Ids are numbers, written into the statement.
    RunInTransaction(*FDm, [&] {
        QString idList;
        int inList = 0;
        const auto deleteListed = [&] {
            FDm->SetSql(QStringLiteral("DELETE FROM EARTICLE WHERE ID IN (") + idList +
                        QLatin1Char(')'));
            FDm->ExecSql();
            idList.clear();
            inList = 0;
        };
        for (const TArticle *article : *articles) {
            if (article == nullptr) {
                continue;
            }
            if (inList > 0) {
                idList += QLatin1Char(',');
            }
            idList += QString::number(article->Id);
            if (++inList == DeleteRunLength) {
                deleteListed();
            }
        }
        if (inList > 0) {
            deleteListed();
        }
    });
    FDm->CloseQuery();
}

bool TBlockServiceImpl::IsReadOnly() const {
    return FDm->ReadOnly();
}

void TBlockServiceImpl::BeginBulk() {
    if (FBulkDepth++ == 0) {
        FDm->SetBulk(true);
    }
}

void TBlockServiceImpl::EndBulk() {
    if (FBulkDepth == 0 || --FBulkDepth > 0) {
        return;
    }
    // Back to user commands first, so that a failing checkpoint leaves no bulk work behind.
    try {
        FDm->SetBulk(false);
    } catch (...) {
        FDm->CloseAfterFailure(); // the next open starts with FULL
        throw;
    }
    try {
        FDm->Checkpoint();
    } catch (...) {
        FDm->CloseAfterFailure(); // closing the file checkpoints once more
        throw;
    }
}
