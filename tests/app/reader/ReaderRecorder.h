#pragma once

#include "reading/ReaderService.h"

#include <QStringList>

// What a test reader module saw and did, kept in a shared library of its own that the test
// and the module both link, so the record outlives the module's unloading.
namespace ReaderRecorder {

// What the module does, chosen by the test before the launch.
enum class TBehaviour {
    HandBackSame,    // GetConfig returns the text RunReading received
    HandBackChanged, // GetConfig returns ChangedConfig
    ThrowInGetInstance,
    ThrowInRunReading,
    ThrowInGetConfig,
};

// The text a HandBackChanged module returns (from its own constant data).
inline const char *const ChangedConfigUtf8 = "<blockConfig rate=\"12\" 颜色=\"clRed\"/>";
// The message of every error the module raises.
inline const char *const FailureUtf8 = "测试模块出错";

struct TReceived {
    TArticleDTOList Articles;
    QString Config;
    int FirstArticle = 0;
    int Modal = 0;
    QApplication *Application = nullptr;
    QScreen *Screen = nullptr;
};

void Reset(TBehaviour behaviour);
TBehaviour Behaviour();

// Events in order: "loaded", "GetInstance", "RunReading", "GetConfig", "Release 0",
// "unloaded"...
void Record(const QString &event);
QStringList Events();

TReceived &Received();

} // namespace ReaderRecorder
