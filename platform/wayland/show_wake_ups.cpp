// A thread of our own that asks for a reply on a queue of its own, until told to stop.
#include "platform/wayland/show_wake_ups.h"

#include <pthread.h>
#include <wayland-client.h>

#include <ctime>

namespace wayland {
namespace {
struct WakeUps {
    pthread_t thread;
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t stop = PTHREAD_COND_INITIALIZER;
    wl_display* display = nullptr;
    bool stopping = false;
    bool running = false;
};
WakeUps wakeUps;

bool StoppedWithin(long milliseconds) {
    timespec until;
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_nsec += milliseconds * 1000000;
    until.tv_sec += until.tv_nsec / 1000000000;
    until.tv_nsec %= 1000000000;
    pthread_mutex_lock(&wakeUps.lock);
    int waited = 0;
    while (!wakeUps.stopping && waited == 0) waited = pthread_cond_timedwait(&wakeUps.stop, &wakeUps.lock, &until);
    bool stopping = wakeUps.stopping;
    pthread_mutex_unlock(&wakeUps.lock);
    return stopping;
}

void* AskForReplies(void*) {
    while (!StoppedWithin(50)) {
        wl_event_queue* queue = wl_display_create_queue(wakeUps.display);
        int answered = wl_display_roundtrip_queue(wakeUps.display, queue);
        wl_event_queue_destroy(queue);
        if (answered < 0) break;  // the connection is gone: SDL reports that itself
    }
    return nullptr;
}
}  // namespace

void StartShowWakeUps(wl_display* display) {
    wakeUps.display = display;
    wakeUps.stopping = false;
    wakeUps.running = display && pthread_create(&wakeUps.thread, nullptr, AskForReplies, nullptr) == 0;
}

void StopShowWakeUps() {
    if (!wakeUps.running) return;
    pthread_mutex_lock(&wakeUps.lock);
    wakeUps.stopping = true;
    pthread_cond_signal(&wakeUps.stop);
    pthread_mutex_unlock(&wakeUps.lock);
    pthread_join(wakeUps.thread, nullptr);
    wakeUps.running = false;
}

}  // namespace wayland
