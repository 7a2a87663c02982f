// The end-to-end tests' names for the driving layer.
#pragma once

#include "drive.h"

namespace e2e {
using namespace drive;
}  // namespace e2e
