#pragma once
// The plug-in core and the host binding reach the editor's graphics object only through
// these calls, so that they build and run without an editor. The editor library defines
// them; zorv_editor_none supplies stand-ins for binaries that have no editor (no editor can
// be attached to those, so the stand-ins are never reached with a real object).

class IGraphicsBase;

void EditorShowParameterValue(IGraphicsBase* editor, int index, double value, bool normalised);
void EditorCreateSurfaces(IGraphicsBase* editor);
void EditorDestroy(IGraphicsBase* editor);
int EditorWidth(IGraphicsBase* editor);
int EditorHeight(IGraphicsBase* editor);
// Opens the editor window inside the host's parent window; returns the window or null.
void* EditorOpenWindow(IGraphicsBase* editor, void* parentWindow);
void EditorCloseWindow(IGraphicsBase* editor);
