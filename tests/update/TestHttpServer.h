#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// An HTTP server on 127.0.0.1 for the update tests. It serves one resource; each connection
// is answered by the next step of its script (the last step repeats), and every request is
// recorded. Answers close the connection; stalled connections (children of the listening
// socket) close when the server goes.
class TTestHttpServer : public QObject {
    Q_OBJECT

public:
    enum class TStep {
        Serve,        // 200 with the resource, or 206 with the rest for "Range: bytes=N-"
        IgnoreRange,  // 200 with the whole resource whatever the request asks
        WrongRange,   // 206 that starts one byte after the asked offset
        Fail500,      // 500 with a short error body
        Fail404,      // 404 with a short error body
        CloseAtOnce,  // closes without answering
        Stall,        // reads the request and never answers
        CloseMidBody, // the headers of the answer that Serve gives, half its body, then closes
        StallMidBody, // the same, but keeps the connection open and silent
    };
    Q_ENUM(TStep)

    struct TRequest {
        QByteArray RequestLine;
        QMap<QByteArray, QByteArray> Headers; // names in lower case
    };

    explicit TTestHttpServer(QByteArray resource, QList<TStep> script = {TStep::Serve});
    ~TTestHttpServer() override;

    quint16 Port() const { return FServer.serverPort(); }
    // The address of the resource on this server.
    QString
    Url(const QString &path = QStringLiteral("/jsp/download/product/reader/patch.xml")) const;

    void SetResource(const QByteArray &resource) { FResource = resource; }
    void SetScript(const QList<TStep> &script) { FScript = script; }

    QList<TRequest> Requests;
    int Connections = 0;

    // An address on 127.0.0.1 where nothing listens: a connection there is refused.
    static QString RefusingUrl();

private:
    void Accept();
    void Answer(QTcpSocket *socket, const TRequest &request, TStep step);

    QTcpServer FServer;
    QByteArray FResource;
    QList<TStep> FScript;
};
