#pragma once

#include <QStringList>

// The jobs of mxtool. Each takes the words after its name and returns the exit status; each
// lives in a file of its own and runs the same core code as the window that does the job.
struct TToolCommand {
    const char *Name;
    const char *Usage;
    int (*Run)(const QStringList &args);
};

// The table of jobs, in the order the help lists them (ToolCommands.cpp).
extern const TToolCommand ToolCommands[];
extern const int ToolCommandCount;
