#pragma once

// One frame of the walk: mouse look, walking and side steps, crouch and jump.
void UpdateWalk();
