#pragma once

#include <QList>
#include <QQueue>

#include <optional>

// The test hook behind a kind of modal dialog. While it is installed no dialog opens: every
// request is recorded and answered with the next queued answer, or with a default-made answer
// (a cancel) when none is queued. Each kind of dialog has its own state.
template <typename TAnswer, typename TRecord> class TDialogHook {
public:
    // Installing starts with an empty record and no queued answers.
    static void Install() {
        State() = TState{};
        State().Installed = true;
    }
    static void Uninstall() { State() = TState{}; }
    static bool IsInstalled() { return State().Installed; }

    static void QueueAnswer(const TAnswer &answer) { State().Answers.enqueue(answer); }
    static QList<TRecord> Records() { return State().Records; }
    static void ClearRecords() { State().Records.clear(); }

    // Records a request that takes no answer; false while the hook is not installed, and
    // the real dialog is to be shown.
    static bool Record(const TRecord &request) {
        if (State().Installed) {
            State().Records.append(request);
        }
        return State().Installed;
    }

    // Records a request and gives the next queued answer; nothing while the hook is not
    // installed, and the real dialog is to be shown.
    static std::optional<TAnswer> Answer(const TRecord &request) {
        if (!Record(request)) {
            return std::nullopt;
        }
        return State().Answers.isEmpty() ? TAnswer{} : State().Answers.dequeue();
    }

private:
    struct TState {
        bool Installed = false;
        QQueue<TAnswer> Answers;
        QList<TRecord> Records;
    };

    static TState &State() {
        static TState state;
        return state;
    }
};
