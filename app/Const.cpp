#include "app/Const.h"

#include "app/Addresses.h"

#include <QHash>

namespace Const {

namespace {

const QHash<int, QString> &Table() {
    static const QHash<int, QString> table = {
        {ReadmeDownloadLine, QStringLiteral("eap文件需要用\"明心轩阅读器\"打开，下载地址：") +
                                 QString::fromUtf8(Addresses::DownloadPage)},
        {Exporting, QStringLiteral("正在导出 ")},
        {Compressing, QStringLiteral("正在压缩 ")},
        {Importing, QStringLiteral("正在导入 ")},
        {Decompressing, QStringLiteral("正在解压 ")},
        {BadFileFormat, QStringLiteral("文件格式不对！")},
        {DamagedFile, QStringLiteral("文件受损，无法打开后面的文章！")},
        {Saved, QStringLiteral("已经保存!")},
        {BatchImportDone, QStringLiteral("导入结束！")},
        {WordCountNotice, QStringLiteral("共%d个字")},
        {TooLongQuestion,
         QStringLiteral("本篇文章超过%d字，建议您分篇保存，以优化性能。是否继续保存？")},
        {BatchImportHint,
         QStringLiteral("处理指定目录下的所有文本文件，以文件名作为文章标题、文件内容作为正文保存"
                        "。大文章会自动分割为每篇10万字的小文章。")},
        {PleaseWait, QStringLiteral("正在处理，请稍候...")},
        {ChooseBook, QStringLiteral("请选择一本书！")},
        {ChooseArticles, QStringLiteral("请先选择一篇或者多篇文章！")},
        {DeleteQuestion, QStringLiteral("即将删除%d篇文章，是否继续？")},
        {EmptyBookTip,
         QStringLiteral("没有文章的书目不会被持久保存，如果要保存，请在此书目下添加文章！")},
        {ChooseFolder, QStringLiteral("请选择文件所在的书目")},
        {PathNotFound, QStringLiteral("找不到路径!")},
        {EmptyBookName, QStringLiteral("书目不能为空!")},
        {ExportDone, QStringLiteral("导出完成!")},
        {ImportDone, QStringLiteral("导入完成!")},
        {SaveEditsQuestion, QStringLiteral("文章已修改，是否保存？")},
        {TextLoaderMissing, QStringLiteral("找不到文本导入模块，无法导入文章！")},
        {ReadOnlyNoImport, QStringLiteral("文章库是只读的，不能导入文章！")},
        {ReadOnlyLibraryImport,
         QStringLiteral("文章库是只读的，不能导入文章包！请检查文章库文件和所在文件夹的写权限。")},
    };
    return table;
}

} // namespace

QString Message(int key) {
    return Table().value(key);
}

QString Message(int key, int number) {
    return Message(key).replace(QStringLiteral("%d"), QString::number(number));
}

} // namespace Const
