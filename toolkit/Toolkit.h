// The widget toolkit: everything the application calls to build and run its
// windows. Include this header; the per-kind headers say what each family
// of operations does. Tests add toolkit/automation/Automation.h to play user input.
#pragma once

#include "toolkit/AlertWindow.h"
#include "toolkit/AppLifecycle.h"
#include "toolkit/base/GraphicResources.h"
#include "toolkit/base/KeyCodes.h"
#include "toolkit/base/NotifyCodes.h"
#include "toolkit/base/Rect16.h"
#include "toolkit/base/SystemServices.h"
#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/widgets/CBoxObj.h"
#include "toolkit/widgets/Draw.h"
#include "toolkit/widgets/Event.h"
#include "toolkit/widgets/IAreaObj.h"
#include "toolkit/widgets/KeyList.h"
#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/MBarObj.h"
#include "toolkit/widgets/MenuObj.h"
#include "toolkit/widgets/PanelObj.h"
#include "toolkit/widgets/SPanlObj.h"
#include "toolkit/widgets/TAreaObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"
#include "toolkit/widgets/WgtObj.h"
#include "toolkit/widgets/WinObj.h"
