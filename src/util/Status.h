#pragma once

// Success or an Error: see util/Error.h.
#include "util/Error.h"
