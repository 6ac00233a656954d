// Requests to end by signal: the handler only records; the next poll hands out a close request
// (once); after the tear-down the process ends by the signal that asked.
#pragma once

namespace posix {

void CatchEndRequests();
void ReleaseEndRequests();  // the handlers that were there before
void IgnoreEndRequests();   // for the watcher, which must outlive them
bool TakeEndRequest();
void EndAsRequested();

}  // namespace posix
