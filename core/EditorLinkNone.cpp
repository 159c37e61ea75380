#include "EditorLink.h"

// Stand-ins for binaries built without an editor.

void EditorShowParameterValue(IGraphicsBase*, int, double, bool) {}
void EditorCreateSurfaces(IGraphicsBase*) {}
void EditorDestroy(IGraphicsBase*) {}
int EditorWidth(IGraphicsBase*) { return 0; }
int EditorHeight(IGraphicsBase*) { return 0; }
void* EditorOpenWindow(IGraphicsBase*, void*) { return nullptr; }
void EditorCloseWindow(IGraphicsBase*) {}
