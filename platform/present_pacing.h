// Frames follow the display: each is presented at once and the rest of the refresh is waited out
// after it, so that what the frame's update reads (cursor, messages) is as fresh as can be when
// the next frame is drawn. When the driver's own present already waits for the display (a real
// vertical sync), the layer adds no wait of its own. Shared by the backends that present through
// a driver that may or may not wait; times are in ticks of the backend's clock.
#pragma once

#include <cstdint>

struct PresentPacing {
    uint64_t period;  // one refresh of the display
    uint64_t next;    // when the wait after the present in hand ends
    int waitedPresents;  // presents in a row that themselves took a good part of a refresh
    int unpaced;         // presents since the layer last waited, up to a check of their pace
    uint64_t unpacedFrom;  // when the present before them returned
    int distrusted;        // frames left in which a present's length says nothing of the display
};

void StartPacing(PresentPacing* pacing, uint64_t period);

// After a present that ran from `start` to `end`: the time to wait until, or 0 for no wait.
uint64_t PacePresent(PresentPacing* pacing, uint64_t start, uint64_t end);
