#include "PaceScale.h"

#include <array>
#include <cstdlib>

namespace {

constexpr std::array<int, PaceTopStep + 1> MakeScale() {
    std::array<int, PaceTopStep + 1> scale{};
    scale[0] = PaceBottomCpm;
    for (int i = 1; i <= PaceTopStep; ++i) {
        scale[i] = scale[i - 1] * 105 / 100;
    }
    return scale;
}

constexpr std::array<int, PaceTopStep + 1> Scale = MakeScale();
static_assert(Scale[PaceTopStep] >= 3000, "the top step reaches 3000 characters a minute");
static_assert(Scale[PaceTopStep - 1] < 3000, "no step beyond the first one past 3000");

} // namespace

int ClampPaceStep(int step) {
    if (step < PaceBottomStep) {
        return PaceBottomStep;
    }
    if (step > PaceTopStep) {
        return PaceTopStep;
    }
    return step;
}

int PaceCpm(int step) {
    return Scale[static_cast<std::size_t>(ClampPaceStep(step))];
}

int PaceStepForCpm(int cpm) {
    int best = PaceBottomStep;
    for (int step = PaceBottomStep + 1; step <= PaceTopStep; ++step) {
        if (std::abs(PaceCpm(step) - cpm) < std::abs(PaceCpm(best) - cpm)) {
            best = step;
        }
    }
    return best;
}
