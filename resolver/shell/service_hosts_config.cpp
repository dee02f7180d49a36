#include "resolver/shell/service_hosts_config.h"

// Compiled once per flavour with the hosts given as definitions.
#if !defined(QUILLON_CONFIG_MAIN_HOST) || !defined(QUILLON_CONFIG_DOWNLOAD_HOST)
#error "QUILLON_CONFIG_MAIN_HOST and QUILLON_CONFIG_DOWNLOAD_HOST must be defined"
#endif

namespace shell {

share::ServiceHosts ConfiguredServiceHosts() {
  return share::ServiceHosts{QUILLON_CONFIG_MAIN_HOST, QUILLON_CONFIG_DOWNLOAD_HOST};
}

}  // namespace shell
