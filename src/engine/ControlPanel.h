// The control panel docked along the bottom of the main window (Dear ImGui), and the
// routing of GLUT input between the panel and the navigation callbacks.
#pragma once

// Registers the main window's reshape, keyboard, special-key, mouse and motion callbacks:
// each forwards the event to the panel and passes it on to GlutReshape, GlutKeyboard,
// GlutSpecial, GlutMouse or GlutMotion when the panel does not take it.
void InstallPanelCallbacks();

// Creates the panel (ImGui context and backends); after the GL context exists.
void CreateControlPanel();

// Draws the panel over the current frame; called at the end of every frame, before the swap.
void RenderControlPanel();
