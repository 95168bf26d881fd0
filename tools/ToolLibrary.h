#pragma once

#include "app/GlobalManager.h"
#include "store/BlockServiceImpl.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>

// The library of an application folder as the program opens it: its settings and the
// article service on db/Lumo.db (created empty when missing, as the program does at start).
class TToolLibrary {
public:
    explicit TToolLibrary(const QString &appDir);

    IBlockService &Service() { return *FService; }

private:
    TGlobalManager FSettings;
    std::unique_ptr<TBlockServiceImpl> FService;
};

// Takes "NAME VALUE" out of the arguments; every occurrence, in order.
QStringList TakeOption(QStringList &args, const QString &name);

// The job's output streams, in UTF-8.
QTextStream &ToolOut();
QTextStream &ToolErr();

// Prints a failure the way the windows show it (message, then the details) on stderr.
void PrintFailure(const std::exception &error);
