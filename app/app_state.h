// The one record the program's procedures share, in static storage for the life of the process.
#pragma once

#include "platform/win32_vocabulary.h"

struct PlatformHandles {
    HINSTANCE instance;
    HWND window;
    HDC deviceContext;
    HGLRC renderContext;
};

struct AppState {
    bool keyDown[256];  // held state of each key, by virtual-key code
    bool active;        // the window is not minimised; frames run only while set
    float eyeX;         // eye position on the floor plane
    float eyeZ;
    double sceneY;      // vertical translation of the whole scene; larger lowers the eye
    double restSceneY;  // the standing value of sceneY
    float yaw;          // heading in degrees, from horizontal mouse movement
    float sceneYaw;     // copy of yaw used by the scene transform
    float pitch;        // tilt in degrees, from vertical mouse movement
    bool crouching;     // the crouch offset is included in sceneY
    bool descending;    // a jump has passed its top
    POINT cursorSample; // cursor position read at the last frame
    PlatformHandles handles;
};

extern AppState appState;

// Returns the record to its start values (the tests run several lives of the program in one process).
void ResetAppState();
