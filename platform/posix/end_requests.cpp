// Requests to end by signal. The handler calls nothing: it records the request, and the next
// poll turns it into a close request, so the program ends through its own tear-down.
#include <csignal>

#include "platform/posix/end_requests.h"

namespace posix {
namespace {
// What a terminal, a shell, a session manager or a resource limit sends to end a program.
const int kEndRequests[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGPIPE, SIGALRM,   SIGTERM,
                            SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF};
constexpr size_t kEndRequestCount = sizeof kEndRequests / sizeof kEndRequests[0];
struct sigaction previous[kEndRequestCount];
bool catching = false;
volatile sig_atomic_t requested = 0;  // the first request's signal
bool closeAsked = false;              // a close request has gone out for it

void OnEndRequest(int signal) {
    if (!requested) requested = signal;
}
}  // namespace

void CatchEndRequests() {
    if (catching) return;
    catching = true;
    requested = 0;
    closeAsked = false;
    for (size_t i = 0; i < kEndRequestCount; ++i) {
        sigaction(kEndRequests[i], nullptr, &previous[i]);
        if (previous[i].sa_handler == SIG_IGN) continue;  // as under nohup: stays ignored
        struct sigaction action = {};
        action.sa_handler = OnEndRequest;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        sigaction(kEndRequests[i], &action, nullptr);
    }
}

void ReleaseEndRequests() {
    if (!catching) return;
    catching = false;
    for (size_t i = 0; i < kEndRequestCount; ++i) sigaction(kEndRequests[i], &previous[i], nullptr);
}

void IgnoreEndRequests() {
    for (int signal : kEndRequests) std::signal(signal, SIG_IGN);
}

bool TakeEndRequest() {
    if (!requested || closeAsked) return false;
    return closeAsked = true;
}

// SIGINT and SIGTERM are the ordinary ways to close the program and end it with 0, as a close
// request does; any other request ends the process by its own signal, for the parent to see.
void EndAsRequested() {
    int signal = requested;
    if (!signal || signal == SIGINT || signal == SIGTERM) return;
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
}

}  // namespace posix
