#pragma once

// Fits the viewport and the 45-degree perspective to a client area; leaves the model-view
// matrix selected and identity. A zero height is taken as one pixel.
void ResizeViewport(int width, int height);

// The fixed render state, set once after the context is made current.
void InitRenderState();
