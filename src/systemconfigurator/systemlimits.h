#pragma once

// The limits belong to the system itself: its files are refused when they break them.
#include "model/systemlimits.h"
