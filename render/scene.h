#pragma once

// Draws one frame from the eye in the state record: a green triangle six units ahead of the
// start point on a blue 30 x 30 floor. Always returns true.
bool DrawScene();
