#pragma once
#include "editor_steps.h"
