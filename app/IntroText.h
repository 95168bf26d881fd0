#pragma once

#include <QString>

// The formatted text that scrolls on the summary page: an introduction to fast reading and
// the notes of this release.
QString IntroductionHtml();
