// The shared image: one at a time, for the program's one window.
#include "platform/x11/shared_image.h"
#include "platform/x11/errors.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace x11 {
namespace {
struct SharedImage {
    Display* display;
    Window window;
    XImage* image;
    XShmSegmentInfo segment;
    GC gc;
};
SharedImage shared;

// A server on another machine refuses to attach the segment, and says so only later: waited for
// here, so that the refusal is no failure of the program.
bool Attach(Display* display) {
    XSync(display, False);
    return RunsWithoutErrors(display, [](Display* on) { XShmAttach(on, &shared.segment); });
}

bool TrueColourWords(const XImage* image) {
    return image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
           image->blue_mask == 0xFF && image->byte_order == LSBFirst;
}
}  // namespace

// The image keeps a pointer to its segment's record: both stay in `shared` from the start.
bool CreateSharedImage(Display* display, unsigned long window, int width, int height, driver::Image* image) {
    DestroySharedImage();
    XWindowAttributes attributes;
    if (!display || !XShmQueryExtension(display) || !XGetWindowAttributes(display, window, &attributes)) return false;
    SharedImage& made = shared;
    made.image = XShmCreateImage(display, attributes.visual, unsigned(attributes.depth), ZPixmap, nullptr,
                                 &made.segment, unsigned(width), unsigned(height));
    if (!made.image) return false;
    made.segment.shmid = shmget(IPC_PRIVATE, size_t(made.image->bytes_per_line) * size_t(height), IPC_CREAT | 0600);
    void* memory = made.segment.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(made.segment.shmid, nullptr, 0);
    if (made.segment.shmid >= 0) shmctl(made.segment.shmid, IPC_RMID, nullptr);  // gone once both detach
    bool attached = memory != reinterpret_cast<void*>(-1) && TrueColourWords(made.image);
    made.segment.shmaddr = made.image->data = attached ? static_cast<char*>(memory) : nullptr;
    made.segment.readOnly = False;
    attached = attached && Attach(display);
    if (!attached) {
        if (memory != reinterpret_cast<void*>(-1)) shmdt(memory);
        made.image->data = nullptr;
        XDestroyImage(made.image);
        shared = SharedImage{};
        return false;
    }
    made.display = display;
    made.window = window;
    made.gc = XCreateGC(display, window, 0, nullptr);
    *image = {static_cast<unsigned*>(memory), width, height, made.image->bytes_per_line / 4};
    return true;
}

bool PutSharedImage() {
    if (!shared.image) return false;
    XImage* image = shared.image;
    XShmPutImage(shared.display, shared.window, shared.gc, image, 0, 0, 0, 0, unsigned(image->width),
                 unsigned(image->height), False);
    XSync(shared.display, False);  // the next frame writes into the memory the server reads
    return true;
}

void DestroySharedImage() {
    if (!shared.image) return;
    XShmDetach(shared.display, &shared.segment);
    XSync(shared.display, False);
    shmdt(shared.segment.shmaddr);
    shared.image->data = nullptr;
    XDestroyImage(shared.image);
    XFreeGC(shared.display, shared.gc);
    shared = SharedImage{};
}

}  // namespace x11
