#pragma once
// The document model unit: tree, entries, segment list, manager, views.

#include "model/ckitems.h"
#include "model/ckmanager.h"
#include "model/ckreducedtime.h"
#include "model/ckviews.h"
