// The picture: where a compositor puts full-screen windows on the output and would stretch a
// switched 640 x 480 mode to the output's shape, the program draws into an off-screen framebuffer
// of the size it asked for instead, and each present scales it, shape kept, into the middle of
// its window, with black bars at the sides or above and below. In a mode of the output's shape the
// window is small and the compositor scales it; where the window is as large as the output, the
// picture goes by an image where the window system has one: scaling into it on the CPU costs far
// less than a software OpenGL's pass over every pixel of the window.
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>

#include "platform/services/driver.h"
#include "platform/services/services.h"

namespace services {
namespace {
struct Framebuffers {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
};

struct Picture {
    bool always;  // for the frame benchmark and the tests
    bool on;
    Size size;
    GLuint framebuffer, colour, depth;
    Framebuffers gl;
    driver::Image image;
    bool noImage;  // the window system has none to give
    bool asImage;  // the frame in hand went into the image
};
Picture picture;
unsigned readBack[1024 * 768];  // the picture's pixels, for the image

template <typename Function>
bool Load(Function* function, const char* name) {
    *function = reinterpret_cast<Function>(driver::ProcAddress(name));
    return *function != nullptr;
}

// Core since OpenGL 3.0, and ARB_framebuffer_object before it.
bool LoadFramebuffers(Framebuffers* gl) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!(version && std::atoi(version) >= 3) && !driver::HasExtension("GL_ARB_framebuffer_object"))
        return false;
    return Load(&gl->genFramebuffers, "glGenFramebuffers") && Load(&gl->deleteFramebuffers, "glDeleteFramebuffers") &&
           Load(&gl->bindFramebuffer, "glBindFramebuffer") &&
           Load(&gl->framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           Load(&gl->checkFramebufferStatus, "glCheckFramebufferStatus") &&
           Load(&gl->genRenderbuffers, "glGenRenderbuffers") &&
           Load(&gl->deleteRenderbuffers, "glDeleteRenderbuffers") &&
           Load(&gl->bindRenderbuffer, "glBindRenderbuffer") &&
           Load(&gl->renderbufferStorage, "glRenderbufferStorage") && Load(&gl->blitFramebuffer, "glBlitFramebuffer");
}

GLuint Renderbuffer(GLenum format, GLenum attachment) {
    const Framebuffers& gl = picture.gl;
    GLuint buffer = 0;
    gl.genRenderbuffers(1, &buffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, buffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, format, picture.size.width, picture.size.height);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, buffer);
    return buffer;
}

// Where the compositor does not scale the window for the program: over the desktop, or where
// the window manager kept the window at the output's size in a mode of another.
bool ImageWanted(Size output) {
    const driver::Mode& shaped = B().window.shaped;
    bool scaledByTheCompositor = shaped.width == output.width && shaped.height == output.height;
    return !scaledByTheCompositor && !picture.noImage && output.width > 0 && output.height > 0 &&
           output.width <= kMostColumns &&
           1LL * picture.size.width * picture.size.height <= (long long)(sizeof readBack / sizeof readBack[0]);
}

bool ImageOfSize(Size output) {
    driver::Image& image = picture.image;
    if (image.pixels && image.width == output.width && image.height == output.height) return true;
    if (image.pixels) driver::DestroyImage();
    image = driver::Image{};
    picture.noImage = !driver::CreateImage(output.width, output.height, &image);  // writes only what it made
    return !picture.noImage;
}

void ShowAsImage(Rect to) {
    picture.gl.bindFramebuffer(GL_READ_FRAMEBUFFER, picture.framebuffer);
    glReadPixels(0, 0, picture.size.width, picture.size.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, readBack);
    ScalePicture(readBack, picture.size, picture.image.pixels, picture.image.stride, to);
}
}  // namespace

bool StartPicture(Size size) {
    EndPicture();
    if (!LoadFramebuffers(&picture.gl)) return false;
    const Framebuffers& gl = picture.gl;
    picture.size = size;
    gl.genFramebuffers(1, &picture.framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, picture.framebuffer);
    picture.colour = Renderbuffer(GL_RGB8, GL_COLOR_ATTACHMENT0);
    picture.depth = Renderbuffer(GL_DEPTH_COMPONENT16, GL_DEPTH_ATTACHMENT);
    picture.on = gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (!picture.on) EndPicture();
    return picture.on;
}

// The bars are cleared black whatever clear colour the program keeps, which is left as it was.
void ShowPicture() {
    if (!picture.on) return;
    const Framebuffers& gl = picture.gl;
    Size output = {0, 0};
    driver::DrawableSize(&output.width, &output.height);
    Rect to = FitPicture(picture.size, output);
    picture.asImage = ImageWanted(output) && ImageOfSize(output);
    if (picture.asImage) return ShowAsImage(to);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, picture.framebuffer);
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    GLfloat kept[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, kept);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(kept[0], kept[1], kept[2], kept[3]);
    int bottom = output.height - to.y - to.h;  // OpenGL counts rows from the bottom
    gl.blitFramebuffer(0, 0, picture.size.width, picture.size.height, to.x, bottom, to.x + to.w, bottom + to.h,
                       GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

void PresentPicture() {
    if (picture.asImage)
        driver::PutImage();
    else
        driver::Present();
}

void DrawIntoPicture() {
    if (picture.on) picture.gl.bindFramebuffer(GL_FRAMEBUFFER, picture.framebuffer);
}

void EndPicture() {
    const Framebuffers& gl = picture.gl;
    if (picture.framebuffer) {
        gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
        gl.deleteFramebuffers(1, &picture.framebuffer);
    }
    if (picture.colour) gl.deleteRenderbuffers(1, &picture.colour);
    if (picture.depth) gl.deleteRenderbuffers(1, &picture.depth);
    picture.framebuffer = picture.colour = picture.depth = 0;
    if (picture.image.pixels) driver::DestroyImage();
    picture.image = driver::Image{};
    picture.on = picture.noImage = picture.asImage = false;
}

void SetPictureAlways(bool on) { picture.always = on; }
bool PictureWanted() { return picture.always || B().system.composited; }

}  // namespace services
