#include "render/scene.h"

#include "app/app_state.h"
#include "render/gl.h"

bool DrawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    float tx = -appState.eyeX;
    float tz = -appState.eyeZ;
    float ty = static_cast<float>(appState.sceneY);
    float turn = 360.0f - appState.sceneYaw;

    glRotatef(appState.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(turn, 0.0f, 1.0f, 0.0f);
    glTranslatef(tx, ty, tz);
    glTranslatef(0.0f, 0.0f, -6.0f);

    glColor3f(0.0f, 1.0f, 0.0f);
    glBegin(GL_TRIANGLES);
    glVertex3f(0.0f, 1.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glEnd();

    glTranslatef(0.0f, -1.0f, 0.0f);

    glColor3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(-15.0f, 0.0f, -15.0f);
    glVertex3f(15.0f, 0.0f, -15.0f);
    glVertex3f(15.0f, 0.0f, 15.0f);
    glVertex3f(-15.0f, 0.0f, 15.0f);
    glEnd();
    return true;
}
