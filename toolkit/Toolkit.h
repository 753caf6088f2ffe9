// The widget toolkit: everything the application calls to build and run its
// windows. Include this header; the per-kind headers say what each family
// of operations does. Tests add toolkit/Automation.h to play user input.
#pragma once

#include "toolkit/AlertWindow.h"
#include "toolkit/AppLifecycle.h"
#include "toolkit/CBoxObj.h"
#include "toolkit/Draw.h"
#include "toolkit/Event.h"
#include "toolkit/GraphicResources.h"
#include "toolkit/IAreaObj.h"
#include "toolkit/KeyCodes.h"
#include "toolkit/KeyList.h"
#include "toolkit/LBoxObj.h"
#include "toolkit/MBarObj.h"
#include "toolkit/MenuObj.h"
#include "toolkit/NotifyCodes.h"
#include "toolkit/PanelObj.h"
#include "toolkit/Rect16.h"
#include "toolkit/ResourceLibrary.h"
#include "toolkit/SPanlObj.h"
#include "toolkit/SystemServices.h"
#include "toolkit/TAreaObj.h"
#include "toolkit/TButObj.h"
#include "toolkit/TEdObj.h"
#include "toolkit/WgtObj.h"
#include "toolkit/WinObj.h"
