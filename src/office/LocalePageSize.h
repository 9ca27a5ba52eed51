#pragma once

// The locale's paper is known below the engines (the native engine uses it too).
#include "export/LocalePageSize.h"
