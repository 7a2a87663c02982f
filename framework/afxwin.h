// The whole framework in one include.
#pragma once

#include "afxres.h"
#include "cmd_target.h"
#include "controls.h"
#include "cstring.h"
#include "dialog.h"
#include "gdi_objects.h"
#include "menu.h"
#include "toolbar.h"
#include "winapp.h"
#include "wnd.h"
