#pragma once

#include <QString>

// The message table: every message the program shows of its own, by key.
namespace Const {

enum MessageKey : int {
    ReadmeDownloadLine = 65024,
    Exporting = 65040,
    Compressing = 65041,
    Importing = 65042,
    Decompressing = 65043,
    BadFileFormat = 65044,
    DamagedFile = 65045,
    Saved = 65046,
    BatchImportDone = 65047,
    WordCountNotice = 65052,
    TooLongQuestion = 65053,
    BatchImportHint = 65054,
    PleaseWait = 65055,
    ChooseBook = 65063,
    ChooseArticles = 65064,
    DeleteQuestion = 65065,
    EmptyBookTip = 65066,
    ChooseFolder = 65067,
    PathNotFound = 65068,
    EmptyBookName = 65069,
    ExportDone = 65070,
    ImportDone = 65071,
    SaveEditsQuestion = 65072,
    TextLoaderMissing = 65090,
    ReadOnlyNoImport = 65091,
    ReadOnlyLibraryImport = 65080,
};

// The text of a message; an unknown key gives an empty text.
QString Message(int key);

// The text of a message with its %d replaced by a decimal number.
QString Message(int key, int number);

} // namespace Const
