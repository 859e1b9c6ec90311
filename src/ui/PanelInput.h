// The routing of the main window's GLUT input between the control panel and the
// navigation callbacks (GlutReshape, GlutKeyboard, GlutSpecial, GlutMouse, GlutMotion).
#pragma once

// Registers the main window's reshape, keyboard, special-key, mouse and motion callbacks:
// each forwards the event to the panel and passes it on to GlutReshape, GlutKeyboard,
// GlutSpecial, GlutMouse or GlutMotion when the panel does not take it.
void InstallPanelCallbacks();

// The panel's input handlers, registered by InstallPanelCallbacks. `modifiers` is what
// glutGetModifiers() reports inside the GLUT callback (GLUT_ACTIVE_* bits); the GLUT
// callbacks pass it in so that tests can drive the routing without a GLUT event.
void PanelMouse(int button, int state, int x, int y, int modifiers);
void PanelMotion(int x, int y);
void PanelPassiveMotion(int x, int y);
void PanelKeyboard(unsigned char key, int x, int y);
void PanelKeyboardUp(unsigned char key, int x, int y);
void PanelSpecial(int key, int x, int y);
void PanelSpecialUp(int key, int x, int y);

// Called by the panel around each of its frames: input held back for the frame is let
// through after it.
void PanelInputFrameStarted();
void PanelInputFrameDone();
// Forgets held input and press owners (the panel is removed).
void ForgetPanelInput();
