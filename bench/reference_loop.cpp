// The reference loop: SDL2 and OpenGL straight, the same window, format, projection and
// primitives, End and the mouse handled as the program handles them.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <thread>

#include "bench/bench.h"

namespace bench {

char renderer[128] = "unknown";

void ReferenceLoop(bool paced) {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("reference", 0, 0, 640, 480, SDL_WINDOW_OPENGL | SDL_WINDOW_FULLSCREEN);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_SetSwapInterval(1);
    SDL_SetRelativeMouseMode(SDL_TRUE);
    if (const GLubyte* name = glGetString(GL_RENDERER))
        std::snprintf(renderer, sizeof renderer, "%s", reinterpret_cast<const char*>(name));
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 640.0 / 480.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    Clock::time_point next = Clock::now();
    bool crouched = false;
    float yaw = 0;
    for (bool done = false; !done;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            bool down = event.type == SDL_KEYDOWN;
            if ((down || event.type == SDL_KEYUP) && event.key.keysym.sym == SDLK_END) crouched = down;
            if (down && event.key.keysym.sym == SDLK_ESCAPE) done = true;
            if (event.type == SDL_MOUSEMOTION) yaw -= float(event.motion.xrel) * 0.05f;
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(360.0f - yaw, 0, 1, 0);
        glTranslatef(0.0f, crouched ? 0.0f : -0.9f, -6.0f);
        glColor3f(0, 1, 0);
        glBegin(GL_TRIANGLES);
        glVertex3f(0, 1, 0), glVertex3f(-1, -1, 0), glVertex3f(1, -1, 0);
        glEnd();
        glTranslatef(0.0f, -1.0f, 0.0f);
        glColor3f(0, 0, 1);
        glBegin(GL_QUADS);
        glVertex3f(-15, 0, -15), glVertex3f(15, 0, -15), glVertex3f(15, 0, 15), glVertex3f(-15, 0, 15);
        glEnd();
        SDL_GL_SwapWindow(window);
        if (paced) {
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
        }
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
}

}  // namespace bench
