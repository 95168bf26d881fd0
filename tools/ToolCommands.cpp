#include "tools/ToolCommands.h"

// Each job adds its entry point here and its line to the table below.
int RunImportTexts(const QStringList &args);

const TToolCommand ToolCommands[] = {
    {"help", "help", nullptr},
    {"import-texts", "import-texts FOLDER --book NAME --app DIR", RunImportTexts},
};

const int ToolCommandCount = static_cast<int>(sizeof(ToolCommands) / sizeof(ToolCommands[0]));
