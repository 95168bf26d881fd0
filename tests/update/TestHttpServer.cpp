#include "TestHttpServer.h"

#include <QRegularExpression>
#include <QTcpSocket>

namespace {

QByteArray Head(const QByteArray &status, qint64 length, const QByteArray &extra = {}) {
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: text/xml\r\nContent-Length: " + QByteArray::number(length) + "\r\n" +
           extra + "Connection: close\r\n\r\n";
}

// The offset of "Range: bytes=N-"; -1 when there is none.
qint64 RangeOffset(const TTestHttpServer::TRequest &request) {
    static const QRegularExpression pattern(QStringLiteral("^bytes=(\\d+)-$"));
    const QRegularExpressionMatch match =
        pattern.match(QString::fromLatin1(request.Headers.value("range")).trimmed());
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

} // namespace

TTestHttpServer::TTestHttpServer(QByteArray resource, QList<TStep> script)
    : FResource(std::move(resource)), FScript(std::move(script)) {
    connect(&FServer, &QTcpServer::newConnection, this, &TTestHttpServer::Accept);
    FServer.listen(QHostAddress::LocalHost);
}

TTestHttpServer::~TTestHttpServer() = default;

QString TTestHttpServer::Url(const QString &path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path);
}

QString TTestHttpServer::RefusingUrl() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/jsp/download/product/reader/patch.xml").arg(port);
}

void TTestHttpServer::Accept() {
    while (QTcpSocket *socket = FServer.nextPendingConnection()) {
        const TStep step = FScript.isEmpty()
                               ? TStep::Serve
                               : FScript.at(std::min<qsizetype>(Connections, FScript.size() - 1));
        ++Connections;
        auto *received = new QByteArray;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, socket, [received] { delete received; });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, received, step] {
            received->append(socket->readAll());
            const qsizetype end = received->indexOf("\r\n\r\n");
            if (end < 0 || received->isEmpty()) {
                return;
            }
            TRequest request;
            const QList<QByteArray> lines = received->left(end).split('\n');
            request.RequestLine = lines.value(0).trimmed();
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0) {
                    request.Headers.insert(lines[i].left(colon).trimmed().toLower(),
                                           lines[i].mid(colon + 1).trimmed());
                }
            }
            received->clear();
            Requests.append(request);
            Answer(socket, request, step);
        });
    }
}

void TTestHttpServer::Answer(QTcpSocket *socket, const TRequest &request, TStep step) {
    const qint64 offset = RangeOffset(request);
    const qint64 total = FResource.size();
    const bool partial = offset > 0 && offset < total;
    const QByteArray body = partial ? FResource.mid(offset) : FResource;
    const QByteArray serveHead =
        partial ? Head("206 Partial Content", body.size(),
                       "Content-Range: bytes " + QByteArray::number(offset) + '-' +
                           QByteArray::number(total - 1) + '/' + QByteArray::number(total) + "\r\n")
                : Head("200 OK", body.size());
    switch (step) {
    case TStep::Serve:
        socket->write(serveHead + body);
        break;
    case TStep::IgnoreRange:
        socket->write(Head("200 OK", total) + FResource);
        break;
    case TStep::WrongRange: {
        const qint64 from = std::max<qint64>(offset, 0) + 1;
        socket->write(Head("206 Partial Content", total - from,
                           "Content-Range: bytes " + QByteArray::number(from) + '-' +
                               QByteArray::number(total - 1) + '/' + QByteArray::number(total) +
                               "\r\n") +
                      FResource.mid(from));
        break;
    }
    case TStep::Fail500:
        socket->write(Head("500 Internal Server Error", 5) + "error");
        break;
    case TStep::Fail404:
        socket->write(Head("404 Not Found", 5) + "nope!");
        break;
    case TStep::CloseAtOnce:
        break;
    case TStep::Stall:
        return; // the connection stays open and silent until the server goes
    case TStep::CloseMidBody:
    case TStep::StallMidBody:
        socket->write(serveHead + body.left(body.size() / 2));
        if (step == TStep::StallMidBody) {
            return;
        }
        break;
    }
    socket->disconnectFromHost();
}
