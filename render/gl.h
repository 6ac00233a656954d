// OpenGL 1.1 and GLU; on Windows the GL headers need <windows.h> first.
#pragma once

#include "platform/win32_vocabulary.h"

#include <GL/gl.h>
#include <GL/glu.h>
