// How each platform gets servers when the environment names none.
#ifndef TESTS_SUPPORT_SERVERS_START_H
#define TESTS_SUPPORT_SERVERS_START_H

#include <map>
#include <string>

#include "support/servers.h"

namespace testing_support {

TestServers StartOwnServers();
// Fills the servers from NAME=host:port entries; false when one is missing.
bool AssignServers(const std::map<std::string, std::string>& entries, TestServers& servers);

}  // namespace testing_support

#endif
