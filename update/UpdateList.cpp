#include "update/UpdateList.h"

#include <QFile>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>

namespace {

struct TXmlDocFree {
    void operator()(xmlDoc *document) const { xmlFreeDoc(document); }
};
using TXmlDocPtr = std::unique_ptr<xmlDoc, TXmlDocFree>;

struct TXmlFree {
    void operator()(xmlChar *text) const { xmlFree(text); }
};
using TXmlTextPtr = std::unique_ptr<xmlChar, TXmlFree>;

// libxml2 takes a GB2312 declaration strictly and fails on GBK characters beyond it; GB18030
// reads every GBK character and is what such lists are really written in.
const char *EncodingFor(const QByteArray &document) {
    const QByteArray head = document.left(200).toLower();
    const qsizetype declarationEnd = head.indexOf("?>");
    if (!head.startsWith("<?xml") || declarationEnd < 0) {
        return nullptr;
    }
    const QByteArray declaration = head.left(declarationEnd);
    for (const char *name : {"gb2312", "gbk"}) {
        const QByteArray quoted = QByteArray(name);
        if (declaration.contains("\"" + quoted + "\"") ||
            declaration.contains("'" + quoted + "'")) {
            return "GB18030";
        }
    }
    return nullptr;
}

bool IsEntry(const xmlNode *node) {
    switch (node->type) {
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return false;
    case XML_TEXT_NODE:
        return xmlIsBlankNode(node) == 0;
    default:
        return true;
    }
}

const xmlNode *VersionElement(const xmlNode *entry) {
    if (entry->type != XML_ELEMENT_NODE) {
        return nullptr;
    }
    for (const xmlNode *child = entry->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE &&
            xmlStrcmp(child->name, reinterpret_cast<const xmlChar *>("version")) == 0) {
            return child;
        }
    }
    return nullptr;
}

// The release an entry names; raises for an entry without a readable one.
qint64 EntryRelease(const xmlNode *entry, int position) {
    const xmlNode *version = VersionElement(entry);
    if (version == nullptr) {
        throw EUpdateListError(QStringLiteral("升级列表的第 %1 项没有版本号。").arg(position));
    }
    const TXmlTextPtr text(xmlNodeGetContent(version));
    bool ok = false;
    const qint64 release =
        QString::fromUtf8(reinterpret_cast<const char *>(text.get())).trimmed().toLongLong(&ok);
    if (!ok) {
        throw EUpdateListError(
            QStringLiteral("升级列表的第 %1 项的版本号不是整数。").arg(position));
    }
    return release;
}

TXmlDocPtr Parse(const QByteArray &document) {
    if (document.size() > UpdateList::MaxSize) {
        throw EUpdateListError(QStringLiteral("升级列表过大。"));
    }
    if (document.contains("<!DOCTYPE")) {
        throw EUpdateListError(QStringLiteral("升级列表不能声明文档类型。"));
    }
    // No network, no entity substitution, no DTD loading; errors stay out of stderr.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    TXmlDocPtr parsed(xmlReadMemory(document.constData(), static_cast<int>(document.size()),
                                    "patch.xml", EncodingFor(document), options));
    if (!parsed || xmlDocGetRootElement(parsed.get()) == nullptr) {
        throw EUpdateListError(QStringLiteral("升级列表不是可读的 XML 文档。"));
    }
    if (parsed->intSubset != nullptr || parsed->extSubset != nullptr) {
        throw EUpdateListError(QStringLiteral("升级列表不能声明文档类型。"));
    }
    return parsed;
}

} // namespace

namespace UpdateList {

bool ListsRelease(const QByteArray &document, qint64 release) {
    const TXmlDocPtr parsed = Parse(document);
    int position = 0;
    for (const xmlNode *node = xmlDocGetRootElement(parsed.get())->children; node != nullptr;
         node = node->next) {
        if (!IsEntry(node)) {
            continue;
        }
        if (EntryRelease(node, ++position) == release) {
            return true;
        }
    }
    return false;
}

bool FileListsRelease(const QString &path, qint64 release) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EUpdateListError(QStringLiteral("升级列表 %1 无法读取。").arg(path));
    }
    // One byte more than allowed is enough to tell a list that is too large.
    return ListsRelease(file.read(MaxSize + 1), release);
}

} // namespace UpdateList
