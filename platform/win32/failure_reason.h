#pragma once

#include "platform/platform.h"

// Why the start failed, in one line.
const char* FailureReason();
