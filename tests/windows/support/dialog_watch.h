#pragma once
#include "drive.h"
