#pragma once

namespace velomira {

// Everything the map's web views need settled before the application object exists:
// the "res:" scheme, shared OpenGL contexts for the web engine, and the software scene
// graph for the web views. Call once, before QApplication, in the viewer and in
// anything else that builds the main window.
//
// The software scene graph keeps OpenGL out of the widget window's composition: a web
// view rendered through OpenGL makes Qt compose the whole top-level window with OpenGL,
// so every video picture painted anywhere in the window would cost a full-window
// composition (on a machine without a GPU, through Mesa's software rasteriser). The map
// panes change a few times a second at most and are small, so drawing them in software
// is cheap everywhere; the video views, which change every picture, are then flushed as
// plain image updates of their own rectangles. On a desktop with a real GPU the
// composition would cost a texture upload and a whole-window swap per picture, waiting
// for the display's refresh, so the choice is right there too.
void PrepareWebViews();

} // namespace velomira
