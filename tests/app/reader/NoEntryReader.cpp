// A module file without the entry point: loads, records that, and offers nothing.
#include "ReaderRecorder.h"

namespace {

struct TLifeRecord {
    TLifeRecord() { ReaderRecorder::Record(QStringLiteral("loaded")); }
    ~TLifeRecord() { ReaderRecorder::Record(QStringLiteral("unloaded")); }
    TLifeRecord(const TLifeRecord &) = delete;
    TLifeRecord &operator=(const TLifeRecord &) = delete;
} LifeRecord;

} // namespace

extern "C" int GetInstanceNot() {
    return 0;
}
