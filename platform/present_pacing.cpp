#include "platform/present_pacing.h"

namespace {
// Unpaced presents are checked in fours, so that one woken late and the next on time say nothing.
constexpr int kChecked = 4;
// A driver caught presenting faster than the display is paced this many frames before its
// presents' length counts again (ten seconds at 60 Hz).
constexpr int kDistrustedFrames = 600;
}  // namespace

void StartPacing(PresentPacing* pacing, uint64_t period) { *pacing = PresentPacing{period, 0, 0, 0, 0, 0}; }

uint64_t PacePresent(PresentPacing* pacing, uint64_t start, uint64_t end) {
    uint64_t period = pacing->period;
    // Two presents in a row that waited a quarter refresh or more: the driver keeps to the
    // display, and a wait of ours would only make it miss refreshes. One quick present and the
    // layer paces again, so a driver that stops waiting never shows two frames in one refresh
    // for long. A present that is only slow (a software copy of a large window) takes as long
    // without keeping to the display: unpaced, such presents come faster than the display's.
    bool unpaced = pacing->waitedPresents >= 2;
    if (unpaced) ++pacing->unpaced;
    if (!unpaced || pacing->unpaced == kChecked) {
        if (unpaced && end - pacing->unpacedFrom < uint64_t(kChecked) * (period - period / 4))
            pacing->distrusted = kDistrustedFrames;
        pacing->unpaced = 0;
        pacing->unpacedFrom = end;
    }
    bool waited = end - start >= period / 4 && pacing->distrusted == 0;
    if (pacing->distrusted > 0) --pacing->distrusted;
    pacing->waitedPresents = waited ? pacing->waitedPresents + 1 : 0;
    if (pacing->waitedPresents >= 2) {
        pacing->next = end;
        return 0;
    }
    // Keep to the schedule, one refresh a frame; a frame that came late by more than a refresh
    // starts it again, a whole refresh after itself.
    pacing->next = end > pacing->next + period ? end + period : pacing->next + period;
    return pacing->next;
}
