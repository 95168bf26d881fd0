#include "bench/LibraryGenerator.h"

#include "store/DatabaseSetup.h"
#include "store/LineList.h"
#include "util/Errors.h"
#include "util/Tools.h"

#include <QSqlError>

#include <atomic>

namespace {

// Common characters, so that the text looks like running Chinese to the word rules.
const QString HanziPool = QStringLiteral("的一是在不了有和人这中大为上个国我以要他时来用们生到作地"
                                         "于出就分对成会可主发年动同工也能下过子说产种面而"
                                         "方后多定行学法所民得经十三之进着等部度家电力里如水化高自"
                                         "二理起小物现实加量都两体制机当使点从业本去把性好"
                                         "应开它合还因由其些然前外天政四日那社义事平形相全表间样与"
                                         "关各重新线内数正心反你明看原又么利比或但质气第向"
                                         "道命此变条只没结解问意建月公无系军很情者最立代想已通并提"
                                         "直题党程展五果料象员革位入常文总次品式活设及管特"
                                         "件长求老头基资边流路级少图山统接知较将组见计别她手角期根"
                                         "论运农指几九区强放决西被干做必战先回则任取据处队"
                                         "南给色光门即保治北造百规热领七海口东导器压志世金增争济阶"
                                         "油思术极交受联什认六共权收证改清己美再采转更单风");

const QStringList AsciiWords{
    QStringLiteral("Qt"),       QStringLiteral("SQLite"), QStringLiteral("2024"),
    QStringLiteral("AT&T"),     QStringLiteral("e-mail"), QStringLiteral("user@host"),
    QStringLiteral("reading"),  QStringLiteral("speed"),  QStringLiteral("x86-64"),
    QStringLiteral("Chapter3"), QStringLiteral("OK"),     QStringLiteral("100")};

const QString Punctuation = QStringLiteral("，，，。、；");

QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("mx-bare-%1").arg(++counter);
}

} // namespace

TLibraryGenerator::TLibraryGenerator(quint32 seed) : FRandom(seed) {}

QChar TLibraryGenerator::RandomHanzi() {
    return HanziPool.at(FRandom.bounded(static_cast<int>(HanziPool.size())));
}

QString TLibraryGenerator::RandomAsciiWord() {
    return AsciiWords.at(FRandom.bounded(static_cast<int>(AsciiWords.size())));
}

QStringList TLibraryGenerator::ArticleLines(int bytes, bool mixed) {
    QStringList lines;
    int size = 0;
    while (size < bytes) {
        QString line;
        const int length = 20 + FRandom.bounded(41);
        while (line.size() < length && size < bytes) {
            if (mixed && FRandom.bounded(8) == 0) {
                const QString word = QLatin1Char(' ') + RandomAsciiWord() + QLatin1Char(' ');
                line += word;
                size += static_cast<int>(word.size());
            } else if (FRandom.bounded(12) == 0) {
                line += Punctuation.at(FRandom.bounded(static_cast<int>(Punctuation.size())));
                size += 2;
            } else {
                line += RandomHanzi();
                size += 2;
            }
        }
        line += QStringLiteral("。");
        size += 2 + 2; // the full stop and the line break
        lines.append(line);
    }
    return lines;
}

QString TLibraryGenerator::BookName(int book) {
    return QStringLiteral("书目%1").arg(book, 4, 10, QLatin1Char('0'));
}

QString TLibraryGenerator::ArticleTitle(int article) {
    return QStringLiteral("第%1篇").arg(article);
}

TArticle TLibraryGenerator::MakeHeader(const QString &dir, const QString &title,
                                       const QStringList &lines) {
    TArticle header = NewLibraryArticle(dir, title, QStringLiteral("佚名"));
    header.WordCount = CountWords(lines.join(QLatin1Char('\n')));
    return header;
}

void TLibraryGenerator::ForEachArticle(
    const TLibraryShape &shape,
    const std::function<void(const TArticle &, const QStringList &)> &visit) {
    const int books = qMax(1, shape.Books);
    for (int i = 0; i < shape.Articles; ++i) {
        const int book = static_cast<int>(static_cast<qint64>(i) * books / shape.Articles) + 1;
        const bool mixed = FRandom.bounded(100) < shape.MixedPercent;
        const QStringList lines = ArticleLines(shape.ArticleBytes, mixed);
        visit(MakeHeader(BookName(book), ArticleTitle(i + 1), lines), lines);
    }
}

QString StoredText(const QStringList &lines) {
    return TLineList::FromLines(lines).Text();
}

TBareWriter::TBareWriter(const QString &databasePath) : FConnectionName(NewConnectionName()) {
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FConnectionName);
        db.setDatabaseName(databasePath);
        if (!db.open()) {
            failure = db.lastError().text();
        } else if (!db.transaction()) {
            failure = db.lastError().text();
        } else {
            FInsert = std::make_unique<QSqlQuery>(db);
            if (!FInsert->prepare(QStringLiteral(
                    "INSERT INTO EARTICLE "
                    "(LANG,EDITION_NAME,GRADE,TYPE,TITLE,AUTHOR,DIR,WORD_COUNT,USE_RATE,[TEXT]) "
                    "VALUES (?,?,?,?,?,?,?,?,?,?)"))) {
                failure = FInsert->lastError().text();
            }
        }
    }
    if (!failure.isEmpty()) {
        FInsert.reset();
        QSqlDatabase::removeDatabase(FConnectionName);
        throw EDatabaseError(failure);
    }
}

TBareWriter::~TBareWriter() {
    FInsert.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(FConnectionName, false);
        if (!FCommitted) {
            db.rollback();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(FConnectionName);
}

void TBareWriter::Insert(const TArticle &header, const QString &text) {
    FInsert->bindValue(0, header.Lang);
    FInsert->bindValue(1, header.EditionName);
    FInsert->bindValue(2, header.Grade);
    FInsert->bindValue(3, header.Type);
    FInsert->bindValue(4, header.Title);
    FInsert->bindValue(5, header.Author);
    FInsert->bindValue(6, header.Dir);
    FInsert->bindValue(7, header.WordCount);
    FInsert->bindValue(8, header.UseRate);
    FInsert->bindValue(9, text);
    if (!FInsert->exec()) {
        throw EDatabaseError(FInsert->lastError().text());
    }
}

void TBareWriter::Commit() {
    FInsert->finish();
    QSqlDatabase db = QSqlDatabase::database(FConnectionName, false);
    if (!db.commit()) {
        throw EDatabaseError(db.lastError().text());
    }
    FCommitted = true;
}

int FillLibrary(const QString &databasePath, const TLibraryShape &shape, quint32 seed) {
    CreateDatabaseIfMissing(databasePath);
    TLibraryGenerator generator(seed);
    TBareWriter writer(databasePath);
    int count = 0;
    generator.ForEachArticle(shape, [&](const TArticle &header, const QStringList &lines) {
        writer.Insert(header, StoredText(lines));
        ++count;
    });
    writer.Commit();
    return count;
}
