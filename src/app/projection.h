// The 2-D pixel projection for overlays and the 3-D perspective projection.
// Both reset the model-view matrix.
#pragma once

void orthoMode();
void perspectiveMode();
