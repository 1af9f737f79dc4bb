// The dialogs interface lives in dialogs/; this name is kept until the window includes that.
#pragma once

#include "dialogs/user_dialogs.h"
