#include "tools/ToolCommands.h"

// Each job adds its entry point here and its line to the table below.

const TToolCommand ToolCommands[] = {
    {"help", "help", nullptr},
};

const int ToolCommandCount = static_cast<int>(sizeof(ToolCommands) / sizeof(ToolCommands[0]));
