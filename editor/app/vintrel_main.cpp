// The editor program's application object; the framework's WinMain drives it.
#include "editor_app.h"

CEditorApp theApp;
