// Every Korvi70 command the library offers: the generic commands and the
// model names, and the firmware and upgrade-loader commands.
#pragma once
#include "korvi70/generic_commands.h"
#include "korvi70/loader_commands.h"
#include "korvi70/model_names.h"
