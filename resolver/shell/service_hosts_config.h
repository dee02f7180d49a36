#pragma once
#include "resolver/share/service_hosts.h"

namespace shell {

// The share service's two hosts this executable was built for: the product build names the
// service's hosts, the loopback flavour the simulator's (CMake settings QUILLON_MAIN_HOST /
// QUILLON_DOWNLOAD_HOST and QUILLON_LOOPBACK_MAIN_HOST / QUILLON_LOOPBACK_DOWNLOAD_HOST).
share::ServiceHosts ConfiguredServiceHosts();

}  // namespace shell
