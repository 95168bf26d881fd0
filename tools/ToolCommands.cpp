#include "tools/ToolCommands.h"

// Each job adds its entry point here and its line to the table below.
int RunPaceCommand(const QStringList &args);

const TToolCommand ToolCommands[] = {
    {"help", "help", nullptr},
    {"pace",
     "pace FILE --method line|follow --cpm N [--words N --lines N --width CHARS --by-chars]",
     RunPaceCommand},
};

const int ToolCommandCount = static_cast<int>(sizeof(ToolCommands) / sizeof(ToolCommands[0]));
