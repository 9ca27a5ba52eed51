#pragma once

// Everything that names paths in the output tree.
#include "export/FileNameCleaning.h"
#include "export/OutputFolderLayout.h"
#include "export/UniquePaths.h"
