#include "platform/present_pacing.h"

void StartPacing(PresentPacing* pacing, uint64_t period) { *pacing = PresentPacing{period, 0, 0}; }

uint64_t PacePresent(PresentPacing* pacing, uint64_t start, uint64_t end) {
    uint64_t period = pacing->period;
    // Two presents in a row that waited a quarter refresh or more: the driver keeps to the
    // display, and a wait of ours would only make it miss refreshes. One quick present and the
    // layer paces again, so a driver that stops waiting never shows two frames in one refresh
    // for long.
    bool waited = end - start >= period / 4;
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
