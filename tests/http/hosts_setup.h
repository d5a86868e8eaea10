#ifndef KORVEL_TESTS_HTTP_HOSTS_SETUP_H_
#define KORVEL_TESTS_HTTP_HOSTS_SETUP_H_

#include <string>

// Empty when "localhost" resolves to both loopback addresses in this
// process, otherwise why that could not be arranged.
const std::string& HostsSetupError();

#endif  // KORVEL_TESTS_HTTP_HOSTS_SETUP_H_
