#include "StepReading.h"

#include "modules/PacerKit/PaceScale.h"

#include <algorithm>

TStepReading::TStepReading(const TArticleDTOList &articles, TFlashSettings &settings,
                           TPaceClock::TNow now)
    : FArticles(articles), FSettings(settings), FClock(now ? TPaceClock(now) : TPaceClock()),
      FReadingTime(now ? TPaceClock(now) : TPaceClock()) {
    if (!FArticles.isEmpty()) {
        Build();
    }
}

qint64 TStepReading::PositionMs() const {
    return std::min(FClock.PositionMs(), FSchedule.TotalMs());
}

bool TStepReading::IsFinished() const {
    return FClock.PositionMs() >= FSchedule.TotalMs();
}

qint64 TStepReading::MsToNextStep() const {
    const int index = StepIndex();
    if (index < 0 || IsFinished()) {
        return -1;
    }
    const qint64 next = index + 1 < FSchedule.Steps.size() ? FSchedule.Steps[index + 1].StartMs
                                                           : FSchedule.TotalMs();
    return std::max<qint64>(0, next - FClock.PositionMs());
}

int TStepReading::CharsDone() const {
    if (IsFinished()) {
        return FSchedule.TotalChars();
    }
    const int index = StepIndex();
    return index < 0 ? 0 : FSchedule.Steps[index].CharsBefore;
}

void TStepReading::Play() {
    if (FArticles.isEmpty() || FSchedule.IsEmpty()) {
        return;
    }
    if (IsFinished()) {
        FClock.SetPositionMs(0);
    }
    FClock.Resume();
    FReadingTime.Resume();
}

void TStepReading::Pause() {
    FClock.Pause();
    FReadingTime.Pause();
}

void TStepReading::TogglePause() {
    if (IsPaused()) {
        Play();
    } else {
        Pause();
    }
}

void TStepReading::GoToStep(int index) {
    if (FSchedule.IsEmpty()) {
        return;
    }
    index = std::clamp(index, 0, static_cast<int>(FSchedule.Steps.size()) - 1);
    FClock.SetPositionMs(FSchedule.Steps[index].StartMs);
}

void TStepReading::NextStep() {
    if (!IsFinished()) {
        if (StepIndex() + 1 >= FSchedule.Steps.size()) {
            FClock.SetPositionMs(FSchedule.TotalMs());
        } else {
            GoToStep(StepIndex() + 1);
        }
    }
}

void TStepReading::PreviousStep() {
    GoToStep(IsFinished() ? static_cast<int>(FSchedule.Steps.size()) - 1 : StepIndex() - 1);
}

void TStepReading::SentenceStart() {
    const int index = IsFinished() ? static_cast<int>(FSchedule.Steps.size()) - 1 : StepIndex();
    if (index >= 0) {
        GoToStep(FSchedule.Steps[index].SentenceStart);
    }
}

void TStepReading::ArticleStart() {
    FClock.SetPositionMs(0);
}

void TStepReading::OpenArticle(int index) {
    if (FArticles.isEmpty()) {
        return;
    }
    FArticle = std::clamp(index, 0, ArticleCount() - 1);
    Build();
    FClock.SetPositionMs(0);
}

void TStepReading::Build() {
    const TFollowOptions options{FSettings.ExtractWordCount(), FSettings.LineCount(),
                                 FSettings.Mode() == TFlashSettings::ByCharacters};
    FSchedule = BuildFollowSchedule(Article().Lines, options, FCutter, PaceCpm(FSettings.Rate()));
}

void TStepReading::ChangeRate(int delta) {
    const int step = ClampPaceStep(FSettings.Rate() + delta);
    if (step == FSettings.Rate()) {
        return;
    }
    // Keep the place: the same step, the same share of it already shown.
    const qint64 position = FClock.PositionMs();
    const int index = StepIndex();
    double share = 0;
    if (index >= 0 && !IsFinished() && FSchedule.Steps[index].DurationMs > 0) {
        share = double(position - FSchedule.Steps[index].StartMs) /
                double(FSchedule.Steps[index].DurationMs);
    }
    const bool finished = IsFinished();
    FSettings.SetRate(step);
    FSchedule.Retime(PaceCpm(step));
    if (finished) {
        FClock.SetPositionMs(FSchedule.TotalMs());
    } else if (index >= 0) {
        const TPaceStep &now = FSchedule.Steps[index];
        FClock.SetPositionMs(now.StartMs + qint64(share * double(now.DurationMs)));
    }
}

namespace {

// The step that holds the counted character at chars into the article.
int StepHolding(const TPaceSchedule &schedule, int chars) {
    for (qsizetype i = schedule.Steps.size() - 1; i >= 0; --i) {
        if (schedule.Steps[i].CharsBefore <= chars) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

} // namespace

void TStepReading::ChangeWordsPerStep(int delta) {
    const int before = FSettings.ExtractWordCount();
    FSettings.SetExtractWordCount(before + delta);
    if (FSettings.ExtractWordCount() != before) {
        const int chars = CharsDone();
        Build();
        GoToStep(StepHolding(FSchedule, chars));
    }
}

void TStepReading::ChangeLineCount(int delta) {
    const int before = FSettings.LineCount();
    FSettings.SetLineCount(before + delta);
    if (FSettings.LineCount() != before) {
        const int chars = CharsDone();
        Build();
        GoToStep(StepHolding(FSchedule, chars));
    }
}

void TStepReading::ToggleMode() {
    const int chars = CharsDone();
    FSettings.SetMode(FSettings.Mode() == TFlashSettings::ByWords ? TFlashSettings::ByCharacters
                                                                  : TFlashSettings::ByWords);
    Build();
    GoToStep(StepHolding(FSchedule, chars));
}
