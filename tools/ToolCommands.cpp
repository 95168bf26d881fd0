#include "tools/ToolCommands.h"

// Each job adds its entry point here and its line to the table below.
int RunImportTexts(const QStringList &args);
int RunPaceCommand(const QStringList &args);
int ListPackageCommand(const QStringList &args);
int ExportPackageCommand(const QStringList &args);
int ImportPackageCommand(const QStringList &args);

const TToolCommand ToolCommands[] = {
    {"help", "help", nullptr},
    {"import-texts", "import-texts FOLDER --book NAME --app DIR", RunImportTexts},
    {"list-package", "list-package FILE.eap", &ListPackageCommand},
    {"export-package", "export-package OUT.eap --app DIR [--book NAME]...", &ExportPackageCommand},
    {"import-package", "import-package FILE.eap --app DIR", &ImportPackageCommand},
    {"pace",
     "pace FILE --method line|follow --cpm N [--words N --lines N --width CHARS --by-chars]",
     RunPaceCommand},
};

const int ToolCommandCount = static_cast<int>(sizeof(ToolCommands) / sizeof(ToolCommands[0]));
