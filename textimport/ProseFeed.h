#pragma once

// The contract between the program and the text-loader module (libProseFeed.so). Both sides
// are built by this project with the same compiler and Qt, so Qt and C++ objects cross the
// boundary as they are; the module links Qt Core and the text helpers (mxtext) only, never
// the program's store.
//
// The host, for one import run:
//   1. loads the module by absolute path (application folder + "/ProseFeed") for this run only;
//   2. resolves the C name "GetInstance" and calls it with the address of an empty pointer,
//      which it fills with one reference to the loader;
//   3. calls SetOptions(-1, 1), then SetOption(1), once each, before any file;
//   4. calls LoadFile once for each text file, one call at a time, possibly on a thread of
//      its own (never two calls at once);
//   5. calls Release() and unloads the module, also when anything above failed.
//
// What the host relies on:
//   - LoadFile returns a new TArticleDTO that the caller owns: Title, Author and Lines are
//     filled; Extra is left empty.
//   - Nothing the loader hands over (texts, the record, an exception's message) points into
//     the module's own literals or other static data: the host keeps it after the unload.
//     An exception object is only read (what()) before the unload, never kept.
//   - The loader keeps no reference to anything of the host between calls, except the
//     progress handler given to SetProgressHandler, which it drops when it is replaced.
//   - The loader object belongs to the module, which frees it when its reference count falls
//     to zero (inside Release), so it is freed by the module's own code before the unload.
//   - An error is raised as a C++ exception (std::exception) whose what() is a UTF-8 message
//     for the user: out of GetInstance, the option calls or LoadFile. An error of LoadFile
//     concerns that one file only; the loader stays usable for the next.

#include "store/ArticleDTO.h" // a plain data class of Qt values; the module uses nothing else of the store

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// Progress of one LoadFile: bytes of the file read so far and the file's size. Called on
// the thread that runs LoadFile, often (at least once per megabyte read).
using TLoadProgress = std::function<void(qint64 done, qint64 total)>;

// The loader. The operations come in this order: the three of reference counting, then the
// five of the loader, then the two the host adds for progress and the command-line report.
class IProseFeed {
public:
    // Reference counting. QueryInterface answers true (and adds a reference) only for the
    // interface name "IProseFeed".
    virtual bool QueryInterface(const char *interfaceName, void **result) = 0;
    virtual int AddRef() = 0;
    virtual int Release() = 0;

    // 1. The two reading options as SetOptions left them.
    virtual void GetOptions(int &maxMegabytes, int &keepBlankLines) const = 0;
    // 2. maxMegabytes: files larger than this many MiB are refused; -1 (or any value below 1)
    //    sets no limit. keepBlankLines: 1 keeps blank lines as they are, 0 drops them.
    //    Defaults: no limit, blank lines kept. The host passes -1 and 1.
    virtual void SetOptions(int maxMegabytes, int keepBlankLines) = 0;
    // 3. The author option as SetOption left it.
    virtual int GetOption() const = 0;
    // 4. 1: the author is taken from a line "作者：…" (or "作者:…") among the first lines of
    //    the text; 0: every text is by "佚名". Default 1. The host passes 1.
    virtual void SetOption(int findAuthor) = 0;
    // 5. Reads one text file. `path` is the file's full path as the file system holds it
    //    (bytes; a name need not be UTF-8). The title is the file name without its extension,
    //    the name decoded as UTF-8 when valid, else as GB18030. The author is "佚名" when the
    //    text names none. Lines break at CR LF, lone CR or lone LF; a break at the very end
    //    adds no empty line. The encoding is found from the bytes (see TextDecoding.h).
    //    Raises for a file that cannot be read, that is not text (NUL or control bytes) or
    //    that exceeds the size limit.
    virtual std::unique_ptr<TArticleDTO> LoadFile(const QByteArray &path) = 0;

    // Replaces the progress handler of the next LoadFile calls; an empty one reports nothing.
    virtual void SetProgressHandler(TLoadProgress handler) = 0;
    // The name of the encoding that the last successful LoadFile found ("UTF-8", "GB18030",
    // "Big5", "UTF-16LE"...); empty before the first.
    virtual QString LastEncoding() const = 0;

protected:
    ~IProseFeed() = default; // freed through Release only
};

// The module's entry point, exported as the C name "GetInstance": fills *loader (null on
// entry) with one reference (count 1) to a new loader.
extern "C" {
using TGetProseFeedInstance = void (*)(IProseFeed **loader);
}
inline constexpr const char *ProseFeedEntryPointName = "GetInstance";
inline constexpr const char *ProseFeedInterfaceName = "IProseFeed";
// The module's base name in the application folder (libProseFeed.so on Linux).
inline constexpr const char *ProseFeedModuleName = "ProseFeed";
