// Properties of gases treated as ideal.
#pragma once
#include "toolvane.h"  // the gas-property operations
