#include "update/HttpFileDownload.h"

#include <QFileInfo>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

const QByteArray THttpFileDownload::UserAgent = "Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)";

namespace {

// The first byte position of a "Content-Range: bytes FIRST-LAST/LENGTH" header; -1 if none.
qint64 RangeStart(const QByteArray &header) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*bytes\\s+(\\d+)-\\d+/"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(header));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

} // namespace

THttpFileDownload::THttpFileDownload(QObject *parent) : QObject(parent) {
    FManager.setProxy(QNetworkProxy::NoProxy);
}

THttpFileDownload::~THttpFileDownload() {
    Release();
}

qint64 THttpFileDownload::LocalFileSize(const QString &fileName) {
    const QFileInfo info(fileName);
    return info.isFile() ? info.size() : 0;
}

void THttpFileDownload::Start(const QUrl &address, const QString &localFile, qint64 startOffset) {
    Release();
    ++FGeneration;
    FAddress = address;
    FLocalFile = localFile;
    FStartOffset = startOffset;
    FAnswerChecked = false;
    if (startOffset == 0) {
        FTakenIn = 0;
    }

    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || (scheme != u"http" && scheme != u"https")) {
        FailLater(UnsupportedAddress, QStringLiteral("不是 HTTP 地址：%1").arg(address.toString()));
        return;
    }
    FFile.setFileName(localFile);
    if (!FFile.open(QIODevice::ReadWrite) || !FFile.resize(startOffset) ||
        !FFile.seek(startOffset)) {
        const QString reason = FFile.errorString();
        FFile.close();
        FailLater(LocalFileError, QStringLiteral("无法写入 %1：%2").arg(localFile, reason));
        return;
    }

    QNetworkRequest request(address);
    request.setRawHeader("Accept", "*/*");
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent);
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(FStallTimeout);
    if (startOffset > 0) {
        request.setRawHeader("Range", "bytes=" + QByteArray::number(startOffset) + '-');
    }
    FReply = FManager.get(request);
    connect(FReply, &QNetworkReply::readyRead, this, &THttpFileDownload::ReplyData);
    connect(FReply, &QNetworkReply::finished, this, &THttpFileDownload::ReplyFinished);
}

void THttpFileDownload::Stop() {
    ++FGeneration;
    Release();
}

void THttpFileDownload::Release() {
    if (FReply != nullptr) {
        QNetworkReply *reply = FReply;
        FReply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    FFile.close();
}

void THttpFileDownload::FailLater(int code, const QString &message) {
    QTimer::singleShot(0, this, [this, code, message, generation = FGeneration] {
        if (generation == FGeneration) {
            emit Error(code, message);
        }
    });
}

void THttpFileDownload::Fail(int code, const QString &message) {
    Release();
    emit Error(code, message);
}

bool THttpFileDownload::AcceptAnswer() {
    if (FAnswerChecked) {
        return true;
    }
    const int status = FReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299) {
        return false; // an error answer: its body is no part of the resource
    }
    FAnswerChecked = true;
    qint64 writeFrom = 0;
    if (status == 206) {
        writeFrom = RangeStart(FReply->rawHeader("Content-Range"));
        if (FStartOffset == 0 || writeFrom != FStartOffset) {
            Fail(BadResponse, QStringLiteral("服务器送回的部分不接续本地文件。"));
            return false;
        }
    } else if (FStartOffset > 0) {
        // The range was not honoured: the whole resource comes again.
        if (!FFile.resize(0) || !FFile.seek(0)) {
            Fail(LocalFileError, FFile.errorString());
            return false;
        }
    }
    const QVariant length = FReply->header(QNetworkRequest::ContentLengthHeader);
    if (FSizeLimit > 0 && length.isValid() && writeFrom + length.toLongLong() > FSizeLimit) {
        Fail(TooLarge, QStringLiteral("文件超过 %1 字节。").arg(FSizeLimit));
        return false;
    }
    return true;
}

void THttpFileDownload::ReplyData() {
    if (!AcceptAnswer()) {
        if (FReply != nullptr) {
            FReply->readAll();
        }
        return;
    }
    const QByteArray data = FReply->readAll();
    if (data.isEmpty()) {
        return;
    }
    FTakenIn += data.size();
    if (FSizeLimit > 0 && (FFile.pos() + data.size() > FSizeLimit || FTakenIn > 4 * FSizeLimit)) {
        Fail(TooLarge, QStringLiteral("文件超过 %1 字节。").arg(FSizeLimit));
        return;
    }
    if (FFile.write(data) != data.size()) {
        Fail(LocalFileError, FFile.errorString());
        return;
    }
    emit GetData();
}

void THttpFileDownload::ReplyFinished() {
    const QNetworkReply::NetworkError error = FReply->error();
    if (error != QNetworkReply::NoError) {
        const QString message = error == QNetworkReply::OperationCanceledError
                                    ? QStringLiteral("%1 毫秒没有进展。").arg(FStallTimeout)
                                    : FReply->errorString();
        Fail(error, message);
        return;
    }
    ReplyData(); // whatever arrived with the end
    if (FReply == nullptr) {
        return; // failed on that
    }
    if (!AcceptAnswer()) {
        if (FReply != nullptr) {
            Fail(BadResponse, QStringLiteral("服务器的回答不是文件。"));
        }
        return;
    }
    if (!FFile.flush()) {
        Fail(LocalFileError, FFile.errorString());
        return;
    }
    Release();
    emit Completed();
}
