#include "ReaderRecorder.h"

namespace ReaderRecorder {

namespace {

struct TState {
    TBehaviour Behaviour = TBehaviour::HandBackSame;
    QStringList Events;
    TReceived Received;
};

TState &State() {
    static TState state;
    return state;
}

} // namespace

void Reset(TBehaviour behaviour) {
    State() = TState{};
    State().Behaviour = behaviour;
}

TBehaviour Behaviour() {
    return State().Behaviour;
}

void Record(const QString &event) {
    // A deep copy: the module's literals go with the module.
    State().Events.append(QString(event.constData(), event.size()));
}

QStringList Events() {
    return State().Events;
}

TReceived &Received() {
    return State().Received;
}

} // namespace ReaderRecorder
