// The instrument's service password and temporary serial time-outs.
#pragma once
#include "korvi70.h"  // Korvi70_PodajeHaslo, Korvi70_KasujHaslo, the time-out changes
