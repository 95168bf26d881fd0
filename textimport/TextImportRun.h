#pragma once

#include <QString>

#include <exception>
#include <functional>

class IBlockService;

// One text file of an import run, as its log row shows it.
struct TImportedFile {
    QString Path; // the full path, decoded for showing
    bool Stored = false;
    // Filled when stored:
    QString Title;
    QString Author;
    QString Dir;
    QString Encoding;
    // Filled when failed: why.
    QString Error;
};

// How the run meets its caller (the import window or mxtool). Every hook is optional and is
// called on the caller's thread.
struct TImportHooks {
    // The book name, read again for each file (the window's book box may change meanwhile).
    std::function<QString()> BookName;
    // Tested before each file; true stops the run there.
    std::function<bool()> Canceled;
    // After each text file, stored or failed; position counts every listed file from 1.
    std::function<void(const TImportedFile &file, int position)> FileDone;
    // While a file is being read: bytes read so far and its size.
    std::function<void(qint64 done, qint64 total)> Progress;
    // After each listed file: the window lets pending events through.
    std::function<void()> FileHandled;
};

enum class TImportOutcome {
    PathNotFound,    // no folder at the trimmed path; nothing loaded
    EmptyBookName,   // the trimmed book name is empty; nothing loaded
    ReadOnlyLibrary, // the library cannot be written; nothing loaded
    NoLoader,        // the text-loader module is missing or offers no loader
    Finished,        // the run got its loader and ended (also after a cancel or an error)
};

struct TImportResult {
    TImportOutcome Outcome = TImportOutcome::Finished;
    QString Detail;   // NoLoader: the technical reason
    int Position = 0; // position of the last text file handled
    int Imported = 0; // text files stored in this run
    int Failed = 0;   // text files that failed
    bool Canceled = false;
    // An error after the loader was obtained and outside the step of one file (the option
    // calls, the listing): the run ended there, with the loader released and unloaded.
    std::exception_ptr Error;
};

// The batch import of every txt file (any letter case) below a folder into one book, through
// the text-loader module of the application folder. Each file is read on a thread of its
// own while the caller's thread handles events, and stored by the article service on the
// caller's thread; a file that fails is reported and the run goes on.
class TTextImportRun {
public:
    TTextImportRun(IBlockService &service, QString appDir);

    // folderText and the book name are trimmed of blanks. Checks the folder, the book name
    // and that the library can be written, then loads the module for the run and unloads it
    // at the end.
    TImportResult Run(const QString &folderText, const TImportHooks &hooks);

private:
    IBlockService &FService;
    QString FAppDir;
};

// The status line of the run: "已处理文件%d个，导入%d个".
QString ImportStatusText(int position, int imported);
