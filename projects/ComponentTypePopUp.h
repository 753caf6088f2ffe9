// Component-type pop-ups: a combo box offering the component types of the
// current project, one element per component list (labelled with the list's
// name, carrying the type code as client data). Engine descriptors and
// missing files are never offered: neither can be filtered or picked by
// type. Used by the list filter dialog and by the file picker.
#pragma once

#include "core/TypeCode.h"

class CBoxObj;

// The component type the file picker last worked with; the pop-up starts on
// it. 0 until the picker sets one.
extern TypeCode gDefaultComponentType;

// Refills `combo` from the current project's component lists in master-list
// order and chooses the element of gDefaultComponentType, or the first.
void buildProjectPopUp(CBoxObj* combo);
// Chooses the first element carrying `type`, or the first element when none
// does (nothing when the combo is empty).
void selectPopUpItem(CBoxObj* combo, TypeCode type);
