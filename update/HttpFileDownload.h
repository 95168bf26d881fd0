#pragma once

#include <QByteArray>
#include <QFile>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;

// A resumable download of one HTTP address into one local file: the download component of
// the update window. It works in the event loop of the thread it lives in, and its signals
// come from that loop, never from inside Start.
//
// Every request is a plain HTTP/1.1 GET with "Accept: */*" and the fixed User-Agent text,
// through no proxy, without user authentication and without compression (a resumed byte
// offset must mean the same bytes); the cookies of the session go with it.
class THttpFileDownload : public QObject {
    Q_OBJECT

public:
    // Error codes of its own, beside the network codes (QNetworkReply::NetworkError).
    enum TErrorCode {
        LocalFileError = -1,     // the local file cannot be created or written
        TooLarge = -2,           // beyond the size limit
        BadResponse = -3,        // a partial answer that does not continue the local file
        UnsupportedAddress = -4, // not an http or https address
    };
    // Errors that another attempt cannot mend.
    static bool IsPermanent(int code) {
        return code == LocalFileError || code == TooLarge || code == UnsupportedAddress;
    }

    static constexpr int DefaultStallTimeout = 10000;
    static const QByteArray UserAgent;

    explicit THttpFileDownload(QObject *parent = nullptr);
    ~THttpFileDownload() override;

    // Time without any progress after which the download fails with an error.
    void SetStallTimeout(int milliseconds) { FStallTimeout = milliseconds; }
    // The largest local file; over one download and its resumptions at most four times as
    // many bytes are taken in. 0: no limit.
    void SetSizeLimit(qint64 bytes) { FSizeLimit = bytes; }

    // Starts fetching the address into the local file from the offset on: the file is
    // created when missing and cut at the offset; an offset above 0 resumes with a range
    // request (a server that answers with the whole resource has it written from the start).
    // Abandons any download in progress.
    void Start(const QUrl &address, const QString &localFile, qint64 startOffset);
    // Abandons the current download; no further signals come for it.
    void Stop();
    bool IsActive() const { return FReply != nullptr; }

    // The address and the local file of the current (or last) download.
    QUrl CurrentAddress() const { return FAddress; }
    QString CurrentLocalFile() const { return FLocalFile; }
    // Size of a file in bytes; 0 when it does not exist.
    static qint64 LocalFileSize(const QString &fileName);

signals:
    // Data of the resource has arrived and is in the local file.
    void GetData();
    // The whole resource is in the local file.
    void Completed();
    // The download failed or stalled; it is over.
    void Error(int code, const QString &message);

private:
    void ReplyData();
    void ReplyFinished();
    // Decides, once per answer, whether its body is the resource and where it goes.
    bool AcceptAnswer();
    // Ends the current download with an error.
    void Fail(int code, const QString &message);
    // Drops the reply and closes the file.
    void Release();
    // Reports an error of Start from the event loop, unless another start came first.
    void FailLater(int code, const QString &message);

    QNetworkAccessManager FManager;
    QNetworkReply *FReply = nullptr;
    QFile FFile;
    QUrl FAddress;
    QString FLocalFile;
    qint64 FStartOffset = 0;
    bool FAnswerChecked = false;
    int FStallTimeout = DefaultStallTimeout;
    qint64 FSizeLimit = 0;
    qint64 FTakenIn = 0;     // body bytes since the last start from offset 0
    quint64 FGeneration = 0; // one per start, so that a late report of an old start is dropped
};
