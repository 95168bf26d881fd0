#pragma once

#include "util/Errors.h"

// The text-loader module is missing, cannot be loaded or offers no loader; the message is
// the technical reason (the window shows its own notice above it).
class ENoTextLoader : public EMxError {
public:
    using EMxError::EMxError;
};
