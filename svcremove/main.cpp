// svcremove NAME: stops and deletes the Windows service NAME. A failure is reported by one line
// on standard error and exit status -1; a removal prints nothing and ends with status 1.
#include "remove_service.h"

int main(int argc, char **argv) {
    return svcremove::remove_service(argc, argv, svcremove::system_scm_api(),
                                     svcremove::standard_error());
}
