#pragma once

#include "notes/ServerDirectory.h"

#include <memory>

namespace das {

// The server browser's directory over the Domino data service: the servers
// of the settings (and the administrator's file), each server's database
// list, and new servers kept in the settings.
std::shared_ptr<IServerDirectory> makeServerDirectory();

}  // namespace das
